#!/bin/sh
# Runs a Windows program under Wine, for the build (test discovery) and the tests.
# The Wine prefix lives in the build folder (QUINDLE_WINEPREFIX overrides it). A
# wineserver started by wine itself would inherit the caller's pipes and keep CTest
# or Ninja waiting for it, so one is started here with no pipes at all; it ends a
# minute after the last program (scripts/test-windows.sh stops it at once).
if [ -z "$QUINDLE_WINEPREFIX" ]; then
  dir=$PWD
  while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
  [ "$dir" != / ] || dir=$PWD
  QUINDLE_WINEPREFIX="$dir/wineprefix"
fi
export WINEPREFIX="$QUINDLE_WINEPREFIX"
export WINEDEBUG=-all
# No .NET or Gecko install prompts while a prefix is made.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
mkdir -p "$WINEPREFIX"
# A fresh server is warmed with a first program that starts Wine's own background
# programs (services, the desktop), so they too hold none of the caller's pipes. The
# lock keeps tests started in parallel from running before that is done, and makes
# the prefix once.
(
  flock 9
  if wineserver -p60 </dev/null >/dev/null 2>&1 9>&- || [ ! -f "$WINEPREFIX/.made" ]; then
    wine cmd /c exit </dev/null >/dev/null 2>&1 9>&- && touch "$WINEPREFIX/.made"
  fi
) 9>"$WINEPREFIX/.lock"
exec wine "$@"

#!/usr/bin/env bash
# When Wine cannot start a program, the wrapper's standard error says so with
# Wine's own exit status and message, and nothing runs.
set -u
runner=$(realpath "$1")
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cd "$tmp" && touch file
failures=0
# usage: expect STATUS PATTERN: the last run's exit status (a case pattern) and a line of its standard error.
expect() {
  case $status in $1) grep -q -- "$2" err && ! grep -q ran out && return ;; esac
  echo "FAILED: exit status $status, or no \"$2\" in:" && cat err && failures=$((failures + 1))
}
status=0; "$runner" "$tmp/missing.exe" >out 2>err || status=$?
expect '[1-9]*' 'missing.exe": c0000135' # Wine's own words: the file is not there
status=0; QUINDLE_WINEPREFIX=relative "$runner" cmd /c echo ran >out 2>err || status=$?
expect 125 "wineserver failed with exit status 1"
expect 125 "not an absolute path"
status=0; QUINDLE_WINEPREFIX=$tmp/file/prefix "$runner" cmd /c echo ran >out 2>err || status=$?
expect 125 "$tmp/file/prefix cannot be made"
# A test program that Wine ended before its first line ran (here cmd, which
# leaves no start mark) is started once more, and the retry said and counted;
# one that marked its start is never started again, whatever its exit status.
export QUINDLE_WINE_RETRY=1 QUINDLE_WINE_RETRIES=$tmp/retries
status=0; "$runner" cmd /c exit 3 >out 2>err || status=$?
expect 3 "ended cmd with exit status 3 before its first line ran; starting it once more"
[ "$(wc -l <"$tmp/retries")" = 1 ] || { echo "FAILED: the retry was not counted once"; failures=$((failures + 1)); }
status=0; "$runner" cmd /c 'type nul >%QUINDLE_STARTED_MARK% & exit 4' >out 2>err || status=$?
[ "$status" = 4 ] && ! grep -q "once more" err && [ "$(wc -l <"$tmp/retries")" = 1 ] ||
  { echo "FAILED: a program that ran ended with $status or was started again" && cat err && failures=$((failures + 1)); }
exit $((failures > 0))

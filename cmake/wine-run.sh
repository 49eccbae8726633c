#!/bin/sh
# Runs a Windows program under Wine, for the build (test discovery) and the tests.
# The Wine prefix lives in the build folder (QUINDLE_WINEPREFIX overrides it).
#
# The programs of a prefix share one wineserver. It is started here with no pipes at
# all (one started by wine itself would inherit the caller's pipes and keep CTest or
# Ninja waiting for it) and warmed with a first program that starts Wine's own
# background programs, so that they hold none of the caller's pipes either. It ends
# QUINDLE_WINE_LINGER seconds (60) after the last program; scripts/test-windows.sh
# stops it at once. A server that has begun to end still holds the prefix but takes
# no new program, and wine would then wait for it to go and start an unwarmed server
# of its own on the caller's pipes. So a server that has been idle for half its
# linger is stopped and started afresh rather than used.
#
# When Wine cannot start programs in the prefix, this says so on standard error with
# Wine's own exit status and message, and exits with status 125.
#
# Wine sometimes ends a program, with no word on any output, before the program's
# first line has run: about one program start in several thousand on a loaded
# machine. A test program run with QUINDLE_WINE_RETRY=1 marks its start (the file
# QUINDLE_STARTED_MARK names, tests/support/started_mark.cpp); one that failed with
# no mark never ran, and is started once more. Each such start is said on standard
# error and counted in the prefix's .wine-run.retries, or QUINDLE_WINE_RETRIES
# (scripts/test-windows.sh prints them). A program that ran is never started again, whatever its status.
# A test's own start of a program that CreateProcessW refused is logged there too.
if [ -z "${QUINDLE_WINEPREFIX:-}" ]; then
  dir=$PWD
  while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
  [ "$dir" != / ] || dir=$PWD
  QUINDLE_WINEPREFIX="$dir/wineprefix"
fi
export WINEPREFIX="$QUINDLE_WINEPREFIX"
export WINEDEBUG=-all
# No .NET or Gecko install prompts while a prefix is made.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
linger=${QUINDLE_WINE_LINGER:-60}

# Reports why Wine cannot start programs: what failed, its exit status, its message.
cannot_start() {
  {
    echo "wine-run.sh: Wine cannot start programs in $WINEPREFIX: $1 failed with exit status $2"
    [ -s "$3" ] && sed 's/^/  /' "$3"
  } >&2
  exit 125
}

if ! mkdir -p "$WINEPREFIX" 2>/dev/null; then
  echo "wine-run.sh: the Wine prefix $WINEPREFIX cannot be made" >&2
  exit 125
fi
messages=$WINEPREFIX/.wine-run.messages
started=$WINEPREFIX/.wine-run.started # touched as each program starts
running=$WINEPREFIX/.wine-run.running # share-locked by each program while it runs

# One caller at a time looks at the server and makes or warms it.
exec 9>"$WINEPREFIX/.lock"
flock 9
idle=$(($(date +%s) - $(stat -c %Y "$started" 2>/dev/null || echo 0)))
if [ "$idle" -ge $((linger / 2)) ] && flock -n "$running" true; then
  wineserver -k </dev/null >/dev/null 2>&1 9>&- # none runs, or one that may be ending
fi
status=0
wineserver -p"$linger" </dev/null >"$messages" 2>&1 9>&- || status=$?
case $status in
0) rm -f "$WINEPREFIX/.made" ;; # a server of our own, not yet warmed
2) ;;                           # one runs already
*) cannot_start wineserver "$status" "$messages" ;;
esac
if [ ! -f "$WINEPREFIX/.made" ]; then # warms the server, and makes the prefix the first time
  status=0
  wine cmd /c exit </dev/null >"$messages" 2>&1 9>&- || status=$?
  [ "$status" = 0 ] || cannot_start "a first program (cmd /c exit)" "$status" "$messages"
  touch "$WINEPREFIX/.made"
fi
touch "$started"
exec 8>>"$running"
flock -s 8
exec 9>&-
[ "${QUINDLE_WINE_RETRY:-}" = 1 ] || exec wine "$@"

windows_path() { printf 'Z:%s' "$1" | tr / '\\'; }
mark=$WINEPREFIX/.wine-run.mark.$$
retries=${QUINDLE_WINE_RETRIES:-$WINEPREFIX/.wine-run.retries}
QUINDLE_STARTED_MARK=$(windows_path "$mark")
QUINDLE_WINE_RETRY_LOG=$(windows_path "$retries") # a test's own second starts (tests/support/run_process.cpp)
export QUINDLE_STARTED_MARK QUINDLE_WINE_RETRY_LOG
rm -f "$mark"
status=0
wine "$@" || status=$?
if [ "$status" != 0 ] && [ ! -e "$mark" ]; then
  echo "wine-run.sh: Wine ended $1 with exit status $status before its first line ran; starting it once more" >&2
  echo "$(date -u '+%Y-%m-%d %H:%M:%S') $* (exit status $status)" >>"$retries"
  status=0
  wine "$@" || status=$?
fi
rm -f "$mark"
exit "$status"

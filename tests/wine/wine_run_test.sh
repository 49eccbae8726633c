#!/usr/bin/env bash
# The Wine wrapper must never fail in silence: when Wine cannot start a program,
# standard error says so with Wine's own exit status and message.
# usage: wine_run_test.sh WINE_RUNNER
set -u
[ $# -eq 1 ] || { echo "usage: $0 WINE_RUNNER" >&2; exit 2; }
runner=$(realpath "$1")
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
cd "$tmp"

# Runs the wrapper; expects exit status $1 ("nonzero" for any but 0) and standard
# error holding each of the further patterns.
expect() {
  local want=$1 status=0 pattern
  shift
  "$runner" "${command[@]}" >out 2>err </dev/null || status=$?
  if [ "$want" = nonzero ] && [ "$status" = 0 ] || [ "$want" != nonzero ] && [ "$status" != "$want" ]; then
    echo "FAILED: ${command[*]} exited with $status, not $want"
    failures=$((failures + 1))
  fi
  for pattern in "$@"; do
    grep -q -- "$pattern" err || {
      echo "FAILED: standard error of ${command[*]} lacks \"$pattern\":"
      sed 's/^/  /' err
      failures=$((failures + 1))
    }
  done
}

# A program that is not there: Wine's own message, and its status.
command=("$tmp/missing.exe")
expect nonzero "missing.exe"

# A prefix Wine refuses: what failed, Wine's status and message, and nothing run.
command=(cmd /c echo ran)
QUINDLE_WINEPREFIX=relative/prefix expect 125 "wineserver failed with exit status 1" "not an absolute path"
grep -q ran out && { echo "FAILED: a program ran in a prefix Wine refused"; failures=$((failures + 1)); }

# A prefix that cannot be made at all.
touch file
QUINDLE_WINEPREFIX=$tmp/file/prefix expect 125 "$tmp/file/prefix cannot be made"

[ "$failures" = 0 ] && echo "the wrapper reported each start Wine refused"
exit $((failures > 0))

#!/usr/bin/env bash
# The season of 400 mares against a 50,000-stallion sire list, timed side by side
# with `quindle-cli profiles` of the same breeding file (990,000 horses), whose
# cost the season should not pass. Usage:
#   bench/season.sh [BUILD_DIR] [WORK_DIR]
# BUILD_DIR (default build) holds quindle-cli and quindle-sampledata, built
# already; WORK_DIR (default BUILD_DIR/bench-data) gets the data folder, about
# 220 MB. farm-bench takes the two commands turn about (RUNS=n runs each,
# default 5) and prints the medians, their ratio and each one's peak memory.
# Then, when BUILD_DIR has bench/season_target (-DQUINDLE_BUILD_BENCH=ON), what
# a new target costs the season window once the same mares are planned.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
work=${2:-$build/bench-data}
runs=${RUNS:-5}
cli=$(cd "$build" && pwd)/src/cli/quindle-cli
data=$work/season
mkdir -p "$work"
[ -f "$data/breeding.txt" ] ||
  "$build/tools/quindle-sampledata" "$data" --horses 990000 --sires 50000 --seed 45 >/dev/null
"$cli" --data-dir "$data" show 1 >/dev/null # the split, once, before any timing

# The first 400 fillies and mares of the file.
dams=$("$cli" --data-dir "$data" show --json $(seq 1 2000) |
  grep -o '"id":[0-9]*,"found":true,"Text2":"[^"]*","AgeSex":"[^"]*"' | grep -E '(Filly|Mare)"$' |
  sed 's/"id":\([0-9]*\),.*/\1/' | awk 'NR <= 400' | paste -sd, -)
[ "$(echo "$dams" | tr ',' '\n' | wc -l)" -eq 400 ] || { echo "season.sh: fewer than 400 mares in $data" >&2; exit 1; }

profiles="sh -c 'exec $cli --data-dir $data profiles >/dev/null'"
for season in "--top 5" "--assign --book 3"; do
  echo "== quindle-cli season $season (400 mares) against quindle-cli profiles"
  farm-bench -n "$runs" --timeout 600 --vs "$profiles" -- \
    sh -c "exec $cli --data-dir $data season --dams $dams $season >/dev/null"
done

if [ -x "$build/bench/season_target" ]; then
  echo "== a new target in the season window (400 mares)"
  "$build/bench/season_target" "$data" "$dams" "$runs"
fi

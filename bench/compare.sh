#!/usr/bin/env bash
# Measures Quindle's whole-process speed side by side with the system's own tools
# on the same files, in one run, and prints the ratios. Usage:
#   bench/compare.sh [BUILD_DIR] [WORK_DIR]
# BUILD_DIR defaults to build (a Release build); it is configured with
# -DQUINDLE_BUILD_BENCH=ON (the benchmarks are off by default) and built first.
# WORK_DIR, where the data folders go (about 600 MB), defaults to
# BUILD_DIR/bench-data. Each timing is the median of 7 runs (RUNS=n to change),
# Quindle's and the system tool's taken turn about.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
work=${2:-$build/bench-data}
runs=${RUNS:-7}
cmake -S . -B "$build" -DQUINDLE_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null
mkdir -p "$work"
work=$(cd "$work" && pwd)
bin=$(cd "$build" && pwd)

time_us() { # command... ; prints its wall time in microseconds
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null 2>&1
  end=$(date +%s%N)
  echo $(( (end - start) / 1000 ))
}
median() { printf '%s\n' "$@" | sort -n | awk -v n=$# 'NR == int((n + 1) / 2) { printf "%.1f", $1 / 1000 }'; }
median_ms() { # command... ; prints the median wall time in milliseconds
  local times=()
  for _ in $(seq $runs); do times+=($(time_us "$@")); done
  median "${times[@]}"
}
# Runs two commands (functions) turn about, so both meet the same load on a
# shared machine; sets first_ms and second_ms to their medians.
side_by_side() {
  local a=() b=()
  for _ in $(seq $runs); do
    a+=($(time_us "$1"))
    b+=($(time_us "$2"))
  done
  first_ms=$(median "${a[@]}")
  second_ms=$(median "${b[@]}")
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
peak_kb() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1; }

for n in 100000 1000000; do
  [ -f "$work/h$n/breeding.txt" ] || "$bin/tools/quindle-sampledata" "$work/h$n" --horses $n --seed 11
done
big=$work/h1000000
size=$(du -m "$big/breeding.txt" | cut -f1)
echo "Data: $big/breeding.txt, 1,000,000 horses, ${size} MB; median of $runs runs each, taken turn about."
echo
echo "| What | Quindle | System tool | Ratio |"
echo "|---|---|---|---|"

# Split versus copy, both reading the file from the page cache.
cat "$big/breeding.txt" >/dev/null
split_run() { "$bin/bench/split_file" "$big"; }
copy_run() { cp "$big/breeding.txt" "$work/copy.txt"; }
side_by_side split_run copy_run
split=$first_ms copy=$second_ms
rm -f "$work/copy.txt"
echo "| Split 1,000,000 horses into buckets | ${split} ms | cp: ${copy} ms | $(ratio "$split" "$copy") |"

# Lookup of an identifier beyond the last horse of file9 (910,001 horses): its
# table of places is read whole to say so, against grep -c over the bucket.
mkdir -p "$work/run"
(cd "$work/run" && "$bin/src/cli/quindle-cli" --data-dir "$big" show 1 >/dev/null) # stamp, so no split below
look_run() { (cd "$work/run" && "$bin/src/cli/quindle-cli" --data-dir "$big" show 999999); }
grep_run() { grep -c '^999999,' "$big/QNsubBtxt/file9"; }
side_by_side look_run grep_run
look=$first_ms grepc=$second_ms
echo "| Whole-process lookup of 999,999 (quindle-cli show, start-up included) | ${look} ms | grep -c over file9: ${grepc} ms | $(ratio "$look" "$grepc") |"
# A horse in the middle of file9, found at its place, against the process's start alone.
middle=$(sed -n "$(( $(wc -l <"$big/QNsubBtxt/file9") / 8 * 4 + 1 ))p" "$big/QNsubBtxt/file9" | cut -d, -f1)
found_run() { (cd "$work/run" && "$bin/src/cli/quindle-cli" --data-dir "$big" show "$middle"); }
start_run() { (cd "$work/run" && "$bin/src/cli/quindle-cli" --version); }
side_by_side found_run start_run
found=$first_ms started=$second_ms
echo "| Whole-process lookup of $middle, the middle of file9 (quindle-cli show) | ${found} ms | quindle-cli --version: ${started} ms | $(ratio "$found" "$started") |"

# Finding horses by a common fragment of their names, against grep -c of the same
# fragment over the breeding file. grep writes into a file: with its output on
# /dev/null GNU grep stops at the first match.
(cd "$work/run" && "$bin/src/cli/quindle-cli" --data-dir "$big" find SEA >/dev/null) # an index of this stamp
find_run() { (cd "$work/run" && "$bin/src/cli/quindle-cli" --data-dir "$big" find SEA); }
grep_sea_run() { grep -c SEA "$big/breeding.txt" >"$work/grep.out"; }
side_by_side find_run grep_sea_run
findms=$first_ms grepsea=$second_ms
echo "| Find the $(($(cd "$work/run" && "$bin/src/cli/quindle-cli" --data-dir "$big" find SEA | wc -l) - 1)) horses whose name holds SEA (quindle-cli find, start-up included) | ${findms} ms | grep -c SEA over breeding.txt: ${grepsea} ms | $(ratio "$findms" "$grepsea") |"

# The profile of every horse, on every core and (where taskset is there) on one.
cores=$(nproc)
profiles_run() { (cd "$work/run" && $pin "$bin/src/cli/quindle-cli" --data-dir "$big" profiles); }
wc_run() { $pin wc -l "$big/breeding.txt"; }
pin=""
side_by_side profiles_run wc_run
prof=$first_ms wcl=$second_ms
echo "| Profiles of 1,000,000 horses (quindle-cli profiles, $cores cores) | ${prof} ms | wc -l: ${wcl} ms | $(ratio "$prof" "$wcl") |"
# The best mares for a stallion against the profiles of every horse: it reads the
# same file and needs less of each horse.
stallion_big=$(sed -n 2000p "$big/QN_SireList" | cut -d, -f1)
mares_run() { (cd "$work/run" && "$bin/src/cli/quindle-cli" --data-dir "$big" mares --sire "$stallion_big"); }
side_by_side mares_run profiles_run
maresms=$first_ms profms=$second_ms
echo "| Best mares for $stallion_big among 1,000,000 horses (quindle-cli mares) | ${maresms} ms | quindle-cli profiles: ${profms} ms | $(ratio "$maresms" "$profms") |"
# The same horses with every text field in quotes, as many programs write CSV.
quoted=$work/q1000000
[ -f "$quoted/breeding.txt" ] || "$bin/tools/quindle-sampledata" "$quoted" --horses 1000000 --seed 11 --quote-all
(cd "$work/run" && "$bin/src/cli/quindle-cli" --data-dir "$quoted" show 1 >/dev/null) # split once
quoted_run() { (cd "$work/run" && "$bin/src/cli/quindle-cli" --data-dir "$quoted" profiles); }
quoted_wc_run() { wc -l "$quoted/breeding.txt"; }
side_by_side quoted_run quoted_wc_run
qprof=$first_ms qwcl=$second_ms
echo "| The same with every text field quoted ($(du -m "$quoted/breeding.txt" | cut -f1) MB) | ${qprof} ms | wc -l: ${qwcl} ms | $(ratio "$qprof" "$qwcl") |"
if command -v taskset >/dev/null && [ "$cores" -gt 1 ]; then
  pin="taskset -c 0"
  side_by_side profiles_run wc_run
  prof1=$first_ms wcl1=$second_ms
  echo "| The same on one core (taskset -c 0) | ${prof1} ms | wc -l: ${wcl1} ms | $(ratio "$prof1" "$wcl1") |"
fi

# The mating planner: every stallion of a 50,000-entry sire list with one mare,
# against one mating of the stallion halfway down the list with the same mare.
plan=$work/p1000000
[ -f "$plan/breeding.txt" ] || "$bin/tools/quindle-sampledata" "$plan" --horses 1000000 --sires 50000 --seed 11
[ -f "$work/p100000/breeding.txt" ] || "$bin/tools/quindle-sampledata" "$work/p100000" --horses 100000 --sires 50000 --seed 11
cli() { (cd "$work/run" && "$bin/src/cli/quindle-cli" --data-dir "$@"); }
text_of() { grep -o "\"$1\":\"[^\"]*\"" | cut -d'"' -f4; }
mare=""
for id in $(seq 1 50); do
  horse=$(cli "$plan" show --json "$id")
  if echo "$horse" | text_of AgeSex | grep -qE 'Mare|Filly'; then mare=$id; break; fi
done
damsire=$(echo "$horse" | text_of Text3)
damdamsire=$(echo "$horse" | text_of Text5)
stallion=$(sed -n 25000p "$plan/QN_SireList" | cut -d, -f1)
sires_run() { cli "$plan" sires --dam "$mare"; }
mate_run() { cli "$plan" mate "$stallion" "$damsire" "$damdamsire"; }
side_by_side sires_run mate_run
sires=$first_ms mate=$second_ms
echo "| Planner: 50,000 stallions for mare $mare (quindle-cli sires --dam, start-up included) | ${sires} ms | one quindle-cli mate of the 25,000th stallion: ${mate} ms | $(ratio "$sires" "$mate") |"
echo

cli "$work/p100000" show 1 >/dev/null
peak_plan_small=$(cd "$work/run" && peak_kb "$bin/src/cli/quindle-cli" --data-dir "$work/p100000" sires)
peak_plan_big=$(cd "$work/run" && peak_kb "$bin/src/cli/quindle-cli" --data-dir "$plan" sires)
peak_plan_short=$(cd "$work/run" && peak_kb "$bin/src/cli/quindle-cli" --data-dir "$big" sires)
echo "Peak memory of sires: $peak_plan_small KB on 100,000 horses and $peak_plan_big KB on 1,000,000 with the same 50,000-entry sire list; $peak_plan_short KB with a 4,000-entry list."

peak_find=$(cd "$work/run" && peak_kb "$bin/src/cli/quindle-cli" --data-dir "$big" find SEA)
peak_show=$(cd "$work/run" && peak_kb "$bin/src/cli/quindle-cli" --data-dir "$big" show 1)
echo "Peak memory of find SEA on 1,000,000 horses: $peak_find KB (show of one horse: $peak_show KB)."
"$bin/bench/search_bench" "$big" S SEA AR "STAR LANTERN"

small=$work/h100000
peak_small=$(peak_kb "$bin/bench/split_file" "$small")
peak_big=$(peak_kb "$bin/bench/split_file" "$big")
echo "Peak memory of the split: $peak_small KB for 100,000 horses, $peak_big KB for 1,000,000 ($(ratio "$peak_big" "$peak_small")x)."
(cd "$work/run" && "$bin/src/cli/quindle-cli" --data-dir "$big" profiles >/dev/null)
peak_prof_small=$(cd "$work/run" && peak_kb "$bin/src/cli/quindle-cli" --data-dir "$small" profiles)
peak_prof_big=$(cd "$work/run" && peak_kb "$bin/src/cli/quindle-cli" --data-dir "$big" profiles)
echo "Peak memory of profiles: $peak_prof_small KB for 100,000 horses, $peak_prof_big KB for 1,000,000."

sample=$work/h100000
(cd "$work/run" && "$bin/src/cli/quindle-cli" --data-dir "$sample" show 1 >/dev/null)
show=$(cd "$work/run" && median_ms "$bin/src/cli/quindle-cli" --data-dir "$sample" show 54321)
echo "quindle-cli show of one identifier on 100,000 horses, whole process: ${show} ms."

# Start-up without a split, with a chef table of 1,000 rows, to the main window shown.
chefs=$work/chefs1000
rm -rf "$chefs" && mkdir -p "$chefs"
cp "$small/QN_SireList" "$small/breeding.txt" "$chefs/"
cp "$small/ChefTable" "$chefs/ChefTable"
rows=$(grep -c . "$chefs/ChefTable")
for i in $(seq $((rows + 1)) 1000); do printf 'EXTRA CHEF %d,1,0,1,0,0\r\n' "$i"; done >>"$chefs/ChefTable"
if [ -x "$bin/bench/startup_bench" ]; then
  (cd "$work/run" && QT_QPA_PLATFORM=offscreen "$bin/bench/startup_bench" "$chefs" >/dev/null) # the split
  (cd "$work/run" && for _ in 1 2 3; do QT_QPA_PLATFORM=offscreen "$bin/bench/startup_bench" "$chefs"; done | sort -n | sed -n 2p)
fi

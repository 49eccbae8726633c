#!/usr/bin/env bash
# Builds the fuzz targets with clang, the core they call instrumented for
# coverage as well (so libFuzzer sees inside it), and runs each for SECONDS (default 600),
# two at a time, keeping the corpus each one grows in fuzz/corpus/TARGET.
#   fuzz/run.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_field_reader fuzz_bucket_scan fuzz_sire_scan fuzz_edit_filters fuzz_subdivide fuzz_record_chunks
  fuzz_place_table)

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUINDLE_FUZZ=ON \
  -DQUINDLE_BUILD_GUI=OFF -DQUINDLE_BUILD_TESTS=OFF -DQUINDLE_BUILD_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer" >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]}"

mkdir -p build-fuzz/logs
run_one() {
  local t=$1 corpus=fuzz/corpus/$1
  mkdir -p "$corpus"
  build-fuzz/fuzz/$t "$corpus" fuzz/seeds/$t -max_total_time="$seconds" -max_len=4096 \
    -timeout=10 -rss_limit_mb=2048 -artifact_prefix=build-fuzz/logs/$t- >build-fuzz/logs/$t.log 2>&1 || true
  local line
  line=$(grep -E '^#[0-9]+.*(DONE|pulse|NEW|REDUCE)' build-fuzz/logs/$t.log | tail -1)
  local crashes
  crashes=$(find build-fuzz/logs \( -name "$t-crash-*" -o -name "$t-leak-*" -o -name "$t-timeout-*" \) | wc -l)
  echo "$t: ${seconds}s, ${line} corpus $(ls "$corpus" | wc -l) files, crashes ${crashes}"
}
jobs=$(nproc)
for t in "${targets[@]}"; do
  run_one "$t" &
  while [ "$(jobs -r | wc -l)" -ge "$jobs" ]; do sleep 1; done
done
wait

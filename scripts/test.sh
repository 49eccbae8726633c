#!/usr/bin/env bash
# Installs what is missing, checks the sources' layout against .clang-format,
# builds with warnings as errors and runs every test headless; then builds the
# whole suite again with AddressSanitizer and UndefinedBehaviorSanitizer and
# runs it once more. Fails when a test fails or when no test ran at all.
# QUINDLE_SANITIZERS=0 skips the second run.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

scripts/install-deps.sh

echo "== Layout (.clang-format)"
scripts/check-format.sh

echo "== Release build and tests, with the benchmarks and the package check"
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUINDLE_WERROR=ON \
  -DQUINDLE_BUILD_BENCH=ON -DQUINDLE_PACKAGE_TEST=ON >/dev/null
cmake --build build-test -j"$jobs"
(cd build-test && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --no-tests=error -j"$jobs")

if [ "${QUINDLE_SANITIZERS:-1}" != 0 ]; then
  echo "== AddressSanitizer + UndefinedBehaviorSanitizer build and tests"
  sanitize="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
  cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DQUINDLE_WERROR=ON -DQUINDLE_BUILD_BENCH=OFF -DQUINDLE_PACKAGE_TEST=OFF \
    -DCMAKE_CXX_FLAGS="$sanitize" -DCMAKE_EXE_LINKER_FLAGS="$sanitize" >/dev/null
  cmake --build build-asan -j"$jobs"
  # Leaks inside the system's Qt, fontconfig and GLib are not ours to mend.
  export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
  export ASAN_OPTIONS="abort_on_error=0:halt_on_error=1:detect_stack_use_after_return=1"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  (cd build-asan && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --no-tests=error -j"$jobs")
fi

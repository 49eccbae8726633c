#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors and runs every test
# headless. Fails when a test fails or when no test ran at all.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUINDLE_WERROR=ON >/dev/null
cmake --build build-test -j"$(nproc)"
cd build-test
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --no-tests=error -j"$(nproc)"

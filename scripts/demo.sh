#!/usr/bin/env bash
# Installs what is missing to build and run, builds Quindle (Release, without the tests), makes a sample data folder
# under the build tree on the first run, and opens the main window on it. The
# window is started from build/run, so its stamp file stays in the build tree.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --run
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DQUINDLE_BUILD_TESTS=OFF >/dev/null
cmake --build build -j"$(nproc)"

if [ ! -f build/sample-data/breeding.txt ]; then
  echo "Writing a sample data folder to build/sample-data ..."
  build/tools/quindle-sampledata build/sample-data
fi
mkdir -p build/run
cd build/run
exec ../src/ui/quindle --data-dir ../sample-data "$@"

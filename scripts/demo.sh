#!/usr/bin/env bash
# Installs what is missing, builds Quindle (Release), makes a sample data folder
# under the build tree on the first run, and opens the main window on it. The
# window is started from build/run, so its stamp file stays in the build tree.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)"

if [ ! -f build/sample-data/breeding.txt ]; then
  echo "Writing a sample data folder to build/sample-data ..."
  build/tools/quindle-sampledata build/sample-data
fi
mkdir -p build/run
cd build/run
exec ../src/ui/quindle --data-dir ../sample-data "$@"

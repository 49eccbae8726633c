#!/usr/bin/env bash
# Builds the Debian package build/quindle_<version>_<arch>.deb (Release).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)"
(cd build && cpack -G DEB)
ls build/quindle_*.deb

#!/usr/bin/env bash
# Builds Quindle for 64-bit Windows on this Debian machine and runs every test
# under Wine: installs what is missing, takes the small static Qt ready-made or
# builds it once into a cache outside the clone (scripts/build-mingw-qt.sh),
# cross-builds GoogleTest, builds the window, the command line and the tests with
# warnings as errors, compares the Windows command line's output with the Linux
# one's, and installs, upgrades and removes the installer made from the build.
# Fails when a test fails or when no test ran at all.
# With --build-only it stops after the build (scripts/package-windows.sh).
#   QUINDLE_QT_CACHE  where the MinGW Qt is kept (default ~/.cache/quindle-mingw-qt)
#   QUINDLE_QT_READY  where a ready one may lie (default ../shared/mingw-qt)
#   QUINDLE_JOBS      parallel build jobs (default: the number of cores)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=${QUINDLE_JOBS:-$(nproc)}
build=$root/build-windows
run_tests=1
[ "${1:-}" = --build-only ] && run_tests=0

packages=(
  g++ cmake ninja-build dpkg-dev
  g++-mingw-w64-x86-64-posix # the posix-thread MinGW: the win32 one lacks std::mutex
  wine wine64
  qt6-base-dev-tools         # the host tools (moc, uic, rcc) of the Windows Qt build
  googletest                 # GoogleTest's sources, built here for MinGW
  nlohmann-json3-dev         # nlohmann/json, header-only: reads the stable file
  xauth xvfb zip             # the package and its screenshot
  wixl                       # the Windows installer (.msi), made here from packaging/quindle.wxs
  msitools                   # msiinfo: reads the installer's tables back
  fonts-dejavu-core          # the fonts' licence for the package
)
# Each part says how long it took, so that a slow CI run shows where its time went.
part_name="" part_start=$SECONDS
part() {
  [ -z "$part_name" ] || echo "   ($part_name: $((SECONDS - part_start)) s)"
  part_name=$1 part_start=$SECONDS
  [ -z "$1" ] || echo "== $1"
}
part "Tools"
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

part "Static Qt for Windows"
qt=$(QUINDLE_JOBS=$jobs scripts/build-mingw-qt.sh | tail -n 1)

mkdir -p "$build"
# Every Wine program of this run shares one prefix and one wineserver, stopped at the end.
export QUINDLE_WINEPREFIX=$build/wineprefix
stop_wine() { WINEPREFIX=$QUINDLE_WINEPREFIX wineserver -k 2>/dev/null || true; }
trap stop_wine EXIT

part "GoogleTest for Windows"
gtest=$build/googletest
if [ ! -f "$gtest/install/lib/cmake/GTest/GTestConfig.cmake" ]; then
  cmake -S /usr/src/googletest -B "$gtest/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DQUINDLE_NO_EMULATOR=ON \
    -DBUILD_GMOCK=OFF -DCMAKE_INSTALL_PREFIX="$gtest/install" >/dev/null
  cmake --build "$gtest/build" -j"$jobs" >/dev/null
  cmake --install "$gtest/build" >/dev/null
fi

part "Linux command line, for the comparison"
cmake -S . -B build-windows-ref -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUINDLE_BUILD_GUI=OFF \
  -DQUINDLE_BUILD_TESTS=OFF -DQUINDLE_BUILD_BENCH=OFF >/dev/null
cmake --build build-windows-ref -j"$jobs" --target quindle-cli quindle-sampledata

part "Wine prefix"
# Made and started before the build, so that no test discovery waits for it.
cmake/wine-run.sh cmd /c exit

part "Windows build"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUINDLE_WERROR=ON -DQUINDLE_BUILD_BENCH=OFF \
  -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
  -DQT_CHAINLOAD_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DGTest_DIR="$gtest/install/lib/cmake/GTest" \
  -DQUINDLE_LINUX_CLI="$root/build-windows-ref/src/cli/quindle-cli" \
  -DQUINDLE_LINUX_SAMPLEDATA="$root/build-windows-ref/tools/quindle-sampledata" >/dev/null
cmake --build "$build" -j"$jobs"
[ "$run_tests" = 1 ] || { part "" && exit 0; }

part "Tests under Wine"
retries=$QUINDLE_WINEPREFIX/.wine-run.retries # starts Wine failed, made once more (cmake/wine-run.sh)
rm -f "$retries"
status=0
(cd "$build" && ctest --output-on-failure --no-tests=error -j"$jobs") || status=$?
part ""
if [ -s "$retries" ]; then
  echo "== Wine failed $(wc -l <"$retries") program start(s) before the program ran; each was started once more:"
  cat "$retries"
fi
exit "$status"

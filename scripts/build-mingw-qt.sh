#!/usr/bin/env bash
# Builds the small static Qt 6 (Core, Gui, Widgets, Test) that the Windows build of
# Quindle links, from Debian's own qt6-base source package, with MinGW-w64.
# Installs into $QUINDLE_QT_CACHE (default ~/.cache/quindle-mingw-qt/<version>) and
# does nothing when a finished install of the same version is already there.
# Before building, it looks for that install made ready beforehand, packed as
# mingw-qt-<version>.tar.xz with its checksum in SHA256SUMS, in $QUINDLE_QT_READY
# (default: ../shared/mingw-qt beside the clone), and unpacks it into the cache
# when its checksum holds and its version is the host tools' (docs/testing.md).
# Prints the install folder as its last line.
# With --no-build it fails instead of building.
# Expects the MinGW compilers and qt6-base-dev-tools (the host Qt) to be installed.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build_allowed=1
[ "${1:-}" = --no-build ] && build_allowed=0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

# The source must match the host tools exactly, so take their version.
version=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools)
upstream=${version#*:}; upstream=${upstream%%+*}; upstream=${upstream%%-*}
cache_root=${QUINDLE_QT_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/quindle-mingw-qt}
prefix="$cache_root/$version"
stamp="$prefix/.quindle-qt-complete"

if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$version" ]; then
  echo "Static MinGW Qt $version found in $prefix" >&2
  echo "$prefix"
  exit 0
fi

# The ready install is unpacked beside the cache's own and moved into place only
# once whole and of this version; the folder it comes from may be read-only.
ready=${QUINDLE_QT_READY:-$here/../shared/mingw-qt}
archive=mingw-qt-$version.tar.xz
if [ -f "$ready/$archive" ]; then
  if ! (cd "$ready" && awk -v f="$archive" '$2 == f' SHA256SUMS 2>/dev/null | sha256sum --check --strict --status); then
    echo "Not using $ready/$archive: its checksum in $ready/SHA256SUMS does not hold" >&2
  else
    mkdir -p "$cache_root"
    unpack=$(mktemp -d "$cache_root/unpack.XXXXXX")
    if tar -C "$unpack" -xJf "$ready/$archive" && [ -f "$unpack/$version/lib/cmake/Qt6/qt.toolchain.cmake" ] &&
      [ "$(cat "$unpack/$version/.quindle-qt-complete" 2>/dev/null)" = "$version" ]; then
      rm -rf "$prefix"
      mv "$unpack/$version" "$prefix"
      rm -rf "$unpack"
      echo "Static MinGW Qt $version unpacked from $ready/$archive into $prefix" >&2
      echo "$prefix"
      exit 0
    fi
    rm -rf "$unpack"
    echo "Not using $ready/$archive: it does not hold a finished Qt $version" >&2
  fi
elif [ -d "$ready" ]; then
  echo "No ready Qt for the host tools' $version in $ready" >&2
fi
[ "$build_allowed" = 1 ] || { echo "No static MinGW Qt $version in $cache_root, and no build asked for" >&2; exit 1; }

work="$cache_root/work-$version"
mkdir -p "$work"
cd "$work"

src=$(find . -maxdepth 2 -path "./qt6-base-${upstream}*/CMakeLists.txt" -printf '%h' -quit)
if [ -z "$src" ]; then
  # Source packages need a deb-src entry; add one beside the release's deb entry.
  if ! apt-get source --print-uris qt6-base="$version" >/dev/null 2>&1; then
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
      sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
        $sudo tee /etc/apt/sources.list.d/quindle-deb-src.sources >/dev/null
    else
      grep -h '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' |
        $sudo tee /etc/apt/sources.list.d/quindle-deb-src.list >/dev/null
    fi
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q >&2
  fi
  echo "Fetching Debian's qt6-base $version source" >&2
  apt-get source -q qt6-base="$version" >&2
  src=$(find . -maxdepth 2 -path "./qt6-base-${upstream}*/CMakeLists.txt" -printf '%h' -quit)
fi
[ -n "$src" ] || { echo "qt6-base source not unpacked in $work" >&2; exit 1; }
src="$work/${src#./}"

rm -rf "$work/build" "$prefix"
echo "Building static Qt $version for MinGW into $prefix (about 20 minutes on two cores)" >&2
# Bundled third-party libraries: no MinGW builds of the system ones exist here.
# direct2d stays on (the windows plugin's font database needs it); Debian's source
# lacks the tablet folder; Debian's cross patch turns androiddeployqt on.
cmake -S "$src" -B "$work/build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" \
  -DQUINDLE_NO_EMULATOR=ON \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DBUILD_SHARED_LIBS=OFF -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
  -DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF -DFEATURE_dbus=OFF \
  -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_xml=OFF -DFEATURE_printsupport=OFF \
  -DFEATURE_concurrent=ON -DFEATURE_testlib=ON -DFEATURE_icu=OFF -DFEATURE_zstd=OFF \
  -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_androiddeployqt=OFF \
  -DFEATURE_direct2d1_1=OFF -DFEATURE_tabletevent=OFF \
  -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_freetype=OFF \
  -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_doubleconversion=OFF \
  >"$work/configure.log" 2>&1 || { tail -40 "$work/configure.log" >&2; exit 1; }
cmake --build "$work/build" --parallel "${QUINDLE_JOBS:-$(nproc)}" >"$work/build.log" 2>&1 ||
  { tail -40 "$work/build.log" >&2; exit 1; }
cmake --install "$work/build" >"$work/install.log" 2>&1 || { tail -20 "$work/install.log" >&2; exit 1; }
# The licence texts go with the libraries, for the Windows package.
mkdir -p "$prefix/licences"
cp "$src/LICENSES/LGPL-3.0-only.txt" "$src/LICENSES/GPL-3.0-only.txt" "$prefix/licences/"
echo "$version" >"$stamp"
# The build folder is about 2 GB; the source stays for a rebuild.
rm -rf "$work/build"
echo "$prefix"

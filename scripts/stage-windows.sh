#!/usr/bin/env bash
# Lays out what a Windows player gets, the same in the zip and in the installer:
# the window, the command line and the sample-data maker as stripped static .exe
# files, the README (with the version) and the changelog as text with Windows
# line ends, and the licences.
#   stage-windows.sh BUILD_DIR STAGE_DIR VERSION QT_PREFIX
# BUILD_DIR is the Windows build (scripts/test-windows.sh), QT_PREFIX the static
# Qt it linked (scripts/build-mingw-qt.sh), whose licences go with the programs.
set -euo pipefail
build=$1 stage=$2 version=$3 qt=$4
source_dir="$(cd "$(dirname "$0")/.." && pwd)"

rm -rf "$stage"
mkdir -p "$stage/licences"
for exe in src/ui/quindle.exe src/cli/quindle-cli.exe tools/quindle-sampledata.exe; do
  x86_64-w64-mingw32-strip -o "$stage/$(basename "$exe")" "$build/$exe"
done
# Windows readers expect CR LF line ends in a text file. The README says first
# which version it goes with; the changelog is the one the Debian package carries.
{
  printf 'Quindle %s for Windows (64-bit). CHANGELOG.txt lists what changed in each release.\n\n' "$version"
  cat "$source_dir/README.md"
} | sed 's/$/\r/' >"$stage/README.txt"
sed 's/$/\r/' "$source_dir/CHANGELOG.md" >"$stage/CHANGELOG.txt"
sed 's/$/\r/' "$source_dir/packaging/windows-licences.txt" >"$stage/licences/README.txt"
sed 's/$/\r/' "$source_dir/LICENSE" >"$stage/licences/Quindle.txt"
cp "$qt/licences/LGPL-3.0-only.txt" "$qt/licences/GPL-3.0-only.txt" "$stage/licences/"
cp /usr/share/doc/fonts-dejavu-core/copyright "$stage/licences/DejaVu-fonts.txt"
cp /usr/share/doc/mingw-w64-common/copyright "$stage/licences/MinGW-w64-runtime.txt"

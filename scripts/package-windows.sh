#!/usr/bin/env bash
# Makes build-windows/quindle-<version>-windows-x64.zip: the window, the command
# line and the sample-data maker as static .exe files, the README (with the
# version) and the changelog as text, and the licences (scripts/stage-windows.sh);
# and beside it the installer of the same files, build-windows/quindle-<version>.msi
# (scripts/windows-msi.sh; the Windows suite installs, upgrades and removes one).
# Builds through scripts/test-windows.sh --build-only, then unpacks the zip, checks
# the version agrees and starts each program under Wine on invented data. With
# --screenshot it also renews docs/windows-main-window.png from the unpacked window
# program.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build-windows

scripts/test-windows.sh --build-only
version=$(sed -n 's/^project(Quindle VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
name=quindle-$version-windows-x64
qt=$(scripts/build-mingw-qt.sh --no-build 2>/dev/null | tail -n 1)

stage=$build/package/$name
rm -rf "$build/package" "$build/$name.zip" "$build/quindle-$version.msi"
scripts/stage-windows.sh "$build" "$stage" "$version" "$qt"
(cd "$build/package" && zip -q -r -X "$build/$name.zip" "$name")
scripts/windows-msi.sh "$stage" "$version" "$build/quindle-$version.msi"

echo "== Starting the packaged programs under Wine"
export QUINDLE_WINEPREFIX=$build/wineprefix
stop_wine() { WINEPREFIX=$QUINDLE_WINEPREFIX wineserver -k 2>/dev/null || true; }
trap stop_wine EXIT
# Each window gets a fresh Wine on its own virtual screen: Wine's desktop program
# stays tied to the screen it first met and hangs the next program once it is gone.
on_screen() {
  stop_wine
  local status=0
  xvfb-run -a -s "-screen 0 1280x1024x24" "$@" >/dev/null 2>&1 || status=$?
  stop_wine
  return $status
}
wine=$root/cmake/wine-run.sh
check=$build/package/check
mkdir -p "$check"
(cd "$check" && unzip -q "$build/$name.zip")
app=$check/$name
cd "$check"
"$wine" "$app/quindle-sampledata.exe" pdg --horses 2000 --seed 3
"$wine" "$app/quindle-cli.exe" --data-dir pdg show 1 | grep -q "Quindle Profile"
# One version: the zip's name, its README, its changelog's newest release and the programs.
"$wine" "$app/quindle-cli.exe" --version | tr -d '\r' | grep -qx "quindle-cli $version" ||
  { echo "quindle-cli.exe --version is not $version" >&2; exit 1; }
head -n 1 "$app/README.txt" | grep -q "^Quindle $version for Windows" ||
  { echo "README.txt does not start with the version $version" >&2; exit 1; }
grep -m 1 '^## ' "$app/CHANGELOG.txt" | grep -q "^## $version " ||
  { echo "CHANGELOG.txt's newest release is not $version" >&2; exit 1; }
# The window stays open until closed. It has started when, after 20 seconds, it still
# runs and has split a fresh folder and written its stamp in its working folder.
"$wine" "$app/quindle-sampledata.exe" pdg-window --horses 2000 --seed 4
mkdir gui
status=0
(cd gui && on_screen timeout 20 "$wine" "$app/quindle.exe" --data-dir ../pdg-window) || status=$?
[ "$status" = 124 ] && [ -f gui/Quindle.nnn ] && [ -f pdg-window/QNsubBtxt/file9 ] ||
  { echo "quindle.exe did not start (status $status)" >&2; exit 1; }
if [ "${1:-}" = --screenshot ]; then
  on_screen timeout 60 "$wine" "$build/tools/quindle-screenshot.exe" pdg shot.png 7
  cp shot.png "$root/docs/windows-main-window.png"
fi
ls -l "$build/$name.zip" "$build/quindle-$version.msi"

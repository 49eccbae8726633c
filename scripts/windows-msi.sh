#!/usr/bin/env bash
# Makes the Windows installer from a staged folder (scripts/stage-windows.sh) with
# wixl, from packaging/quindle.wxs: per user, with a Start-menu shortcut, and
# replacing any older version of Quindle on installing.
#   windows-msi.sh STAGE_DIR VERSION OUT.msi
set -euo pipefail
stage=$(realpath "$1") version=$2 out=$(realpath "$3")
source_dir="$(cd "$(dirname "$0")/.." && pwd)"

# Windows Installer reads a version as up to three numbers: 0.96.02 is 0.96.2.
IFS=. read -r major minor patch rest <<<"$version"
[ -z "${rest:-}" ] && [[ "$major.$minor.${patch:-0}" =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] ||
  { echo "windows-msi.sh: $version is not a version Windows Installer reads" >&2; exit 1; }
msi_version=$((10#$major)).$((10#$minor)).$((10#${patch:-0}))

# The shortcut's and the installed programs' icon: the 32 x 32 PNG in an .ico of
# one image (Windows reads PNG images in icons).
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
png=$source_dir/packaging/quindle.png
size=$(stat -c %s "$png")
le32() { printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255)); }
{
  printf '\x00\x00\x01\x00\x01\x00'     # an icon file of one image
  printf '\x20\x20\x00\x00\x01\x00\x20\x00' # 32 x 32, one plane, 32 bits a pixel
  printf "$(le32 "$size")$(le32 22)"   # the image's size and where it starts
  cat "$png"
} >"$work/quindle.ico"

# wixl takes the files' names relative to the folder it runs in.
ln -s "$stage" "$work/stage"
(cd "$work" && wixl -a x64 -D Version="$msi_version" -D Stage=stage -D Icon=quindle.ico \
  -o "$out" "$source_dir/packaging/quindle.wxs")

#!/usr/bin/env bash
# Builds the Debian package from BUILD_DIR into a temporary folder and checks what
# a player needs is in it: both programs, a valid desktop entry, the icons, the
# manual pages compressed as Debian asks, the maintainer the build was given,
# and dependencies on Qt 6.
#   check_package.sh BUILD_DIR
set -euo pipefail
build=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

(cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1) || { cat "$out/cpack.log"; exit 1; }
deb=$(ls "$out"/quindle_*.deb)
contents=$(dpkg-deb -c "$deb")
status=0
for path in ./usr/bin/quindle ./usr/bin/quindle-cli ./usr/share/applications/quindle.desktop \
            ./usr/share/icons/hicolor/scalable/apps/quindle.svg ./usr/share/icons/hicolor/32x32/apps/quindle.png \
            ./usr/share/man/man1/quindle.1.gz ./usr/share/man/man1/quindle-cli.1.gz \
            ./usr/share/doc/quindle/LICENSE-DejaVu.txt ./usr/share/doc/quindle/copyright; do
  if grep -q " $path\$" <<<"$contents"; then echo "ok: $path"; else echo "missing: $path"; status=1; fi
done

mkdir "$out/root"
dpkg-deb -x "$deb" "$out/root"
desktop-file-validate "$out/root/usr/share/applications/quindle.desktop" && echo "ok: desktop entry is valid" || status=1
grep -q '^Categories=Game;' "$out/root/usr/share/applications/quindle.desktop" || { echo "not in Game"; status=1; }
file_type=$(head -c 8 "$out/root/usr/share/icons/hicolor/32x32/apps/quindle.png" | od -An -tx1 | tr -d ' \n')
[ "$file_type" = "89504e470d0a1a0a" ] && echo "ok: the icon is a PNG" || { echo "the icon is not a PNG"; status=1; }
for page in quindle.1 quindle-cli.1; do
  gz=$out/root/usr/share/man/man1/$page.gz
  [ -f "$gz" ] || continue
  # gzip -9n: no file name and no time in the header, so a rebuild gives the same bytes.
  header=$(head -c 8 "$gz" | od -An -tx1 | tr -d ' \n')
  [ "$header" = "1f8b080000000000" ] && echo "ok: $page.gz has no name or time" || { echo "$page.gz header $header"; status=1; }
  first=$(zcat "$gz" | sed -n 1p) || first=""
  [[ $first == ".TH "* ]] && echo "ok: $page.gz reads as a manual page" || { echo "$page.gz unreadable"; status=1; }
done
maintainer=$(dpkg-deb -f "$deb" Maintainer)
expected=$(sed -n 's/^QUINDLE_MAINTAINER:STRING=//p' "$build/CMakeCache.txt")
echo "Maintainer: $maintainer"
[ -n "$maintainer" ] && [ "$maintainer" = "$expected" ] || { echo "maintainer is not QUINDLE_MAINTAINER ($expected)"; status=1; }
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
grep -q 'libqt6widgets6' <<<"$depends" || { echo "no dependency on libqt6widgets6"; status=1; }
"$out/root/usr/bin/quindle-cli" --version | grep -q '0.95.05' && echo "ok: quindle-cli runs" || status=1
exit $status

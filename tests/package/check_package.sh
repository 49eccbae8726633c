#!/usr/bin/env bash
# Builds the Debian package from BUILD_DIR into a temporary folder and checks what
# a player needs is in it: both programs, a valid desktop entry, the icons and
# the manual pages, and dependencies on Qt 6.
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
            ./usr/share/man/man1/quindle.1 ./usr/share/man/man1/quindle-cli.1 \
            ./usr/share/doc/quindle/LICENSE-DejaVu.txt ./usr/share/doc/quindle/copyright; do
  if grep -q " $path\$" <<<"$contents"; then echo "ok: $path"; else echo "missing: $path"; status=1; fi
done

mkdir "$out/root"
dpkg-deb -x "$deb" "$out/root"
desktop-file-validate "$out/root/usr/share/applications/quindle.desktop" && echo "ok: desktop entry is valid" || status=1
grep -q '^Categories=Game;' "$out/root/usr/share/applications/quindle.desktop" || { echo "not in Game"; status=1; }
file_type=$(head -c 8 "$out/root/usr/share/icons/hicolor/32x32/apps/quindle.png" | od -An -tx1 | tr -d ' \n')
[ "$file_type" = "89504e470d0a1a0a" ] && echo "ok: the icon is a PNG" || { echo "the icon is not a PNG"; status=1; }
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
grep -q 'libqt6widgets6' <<<"$depends" || { echo "no dependency on libqt6widgets6"; status=1; }
"$out/root/usr/bin/quindle-cli" --version | grep -q '0.95.05' && echo "ok: quindle-cli runs" || status=1
exit $status

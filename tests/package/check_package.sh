#!/usr/bin/env bash
# Builds the Debian package from BUILD_DIR into a temporary folder and checks it
# as Debian and software centres would: lintian finds no error or warning, the
# section, both programs, a valid desktop entry and software-centre entry named
# by one reverse-DNS id, the icons, the manual pages and changelog compressed as Debian asks, the
# maintainer the build was given, dependencies on Qt 6, and one version
# everywhere a player reads it.
#   check_package.sh BUILD_DIR
set -euo pipefail
build=$1
source_dir=$(sed -n "s/^Quindle_SOURCE_DIR:STATIC=//p" "$build/CMakeCache.txt")
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

(cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1) || { cat "$out/cpack.log"; exit 1; }
deb=$(ls "$out"/quindle_*.deb)
contents=$(dpkg-deb -c "$deb")
status=0
fail() { echo "$*"; status=1; }
doc=./usr/share/doc/quindle
# The software-centre id, as the build chose it: the one metainfo file's name.
metainfo_files=$(grep -o ' ./usr/share/metainfo/[^ ]*\.metainfo\.xml$' <<<"$contents" || true)
app_id=$(basename "$metainfo_files" .metainfo.xml)
[ "$(wc -w <<<"$metainfo_files")" = 1 ] || fail "not one metainfo file: $metainfo_files"
[[ $app_id =~ ^[a-z]+(\.[A-Za-z0-9_]+){2,}$ ]] && echo "ok: the software-centre id $app_id is reverse-DNS" ||
  fail "the software-centre id '$app_id' is not reverse-DNS"
desktop=usr/share/applications/$app_id.desktop
for path in ./usr/bin/quindle ./usr/bin/quindle-cli ./$desktop ./usr/share/icons/hicolor/scalable/apps/quindle.svg ./usr/share/icons/hicolor/32x32/apps/quindle.png \
            ./usr/share/man/man1/quindle.1.gz ./usr/share/man/man1/quindle-cli.1.gz \
            $doc/LICENSE-DejaVu.txt $doc/copyright $doc/changelog.gz; do
  if grep -q " $path\$" <<<"$contents"; then echo "ok: $path"; else fail "missing: $path"; fi
done

# Debian's own check. Every tag it may report above "info" must be mended, or
# overridden in the package with a comment saying why.
if lintian --fail-on error,warning "$deb" >"$out/lintian.log" 2>&1; then
  echo "ok: lintian reports no error or warning"
else
  cat "$out/lintian.log"
  fail "lintian failed"
fi
section=$(dpkg-deb -f "$deb" Section)
[ "$section" = utils ] && echo "ok: section utils" || fail "section is $section, not utils"

mkdir "$out/root"
dpkg-deb -x "$deb" "$out/root"
desktop-file-validate "$out/root/$desktop" && echo "ok: desktop entry is valid" || status=1
grep -q '^Categories=Game;' "$out/root/$desktop" || fail "not in Game"
metainfo=$out/root/usr/share/metainfo/$app_id.metainfo.xml
id_inside=$(sed -n 's|^  <id>\(.*\)</id>$|\1|p' "$metainfo")
[ "$id_inside" = "$app_id" ] && echo "ok: the metainfo's id is its file's name" ||
  fail "the metainfo's id is '$id_inside', its file is $app_id.metainfo.xml"
# validate-tree checks the metainfo as "validate" does, and that the desktop
# entry it launches is installed beside it; every warning counts.
if appstreamcli validate-tree --no-net "$out/root" >"$out/appstream.log" 2>&1
then
  echo "ok: software-centre entry is valid"
else
  cat "$out/appstream.log"
  fail "appstreamcli validate failed"
fi
# Software centres fetch the screenshots from the repository's docs folder.
while read -r shot; do
  [ -f "$source_dir/docs/$shot" ] && echo "ok: screenshot docs/$shot" || fail "screenshot docs/$shot is not in docs/"
done < <(sed -n 's|.*<image>.*/\([^/<]*\)</image>.*|\1|p' "$metainfo")

# The menu entry starts the window: its Exec line, run as a menu runs it on an X
# screen with a player's data folder in ~/pdg, still runs after 15 seconds and
# has split the breeding file and written its stamp into the state folder.
home=$out/home
mkdir -p "$home"
"$build/tools/quindle-sampledata" "$home/pdg" --horses 2000 --seed 5 >/dev/null
read -r -a menu_command <<<"$(sed -n 's/^Exec=//p' "$out/root/$desktop")"
started=0
(cd "$home" && env -u QT_QPA_PLATFORM HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_STATE_HOME="$home/state" \
  XDG_DATA_HOME="$home/data" PATH="$out/root/usr/bin:$PATH" xvfb-run -a timeout 15 "${menu_command[@]}" \
  >"$out/menu.log" 2>&1) || started=$?
if [ "$started" = 124 ] && [ -f "$home/state/quindle/Quindle.nnn" ] && [ -f "$home/pdg/QNsubBtxt/file9" ]; then
  echo "ok: the menu entry starts the window"
else
  cat "$out/menu.log"
  fail "the menu entry's command (${menu_command[*]}) did not start the window (status $started)"
fi

file_type=$(head -c 8 "$out/root/usr/share/icons/hicolor/32x32/apps/quindle.png" | od -An -tx1 | tr -d ' \n')
[ "$file_type" = "89504e470d0a1a0a" ] && echo "ok: the icon is a PNG" || fail "the icon is not a PNG"
for gz in usr/share/man/man1/quindle.1.gz usr/share/man/man1/quindle-cli.1.gz usr/share/doc/quindle/changelog.gz; do
  [ -f "$out/root/$gz" ] || continue
  # gzip -9n: no file name and no time in the header, so a rebuild gives the same bytes.
  header=$(head -c 8 "$out/root/$gz" | od -An -tx1 | tr -d ' \n')
  [ "$header" = "1f8b080000000000" ] && echo "ok: $gz has no name or time" || fail "$gz header $header"
done
for page in quindle.1 quindle-cli.1; do
  first=$(zcat "$out/root/usr/share/man/man1/$page.gz" | sed -n 1p) || first=""
  [[ $first == ".TH "* ]] && echo "ok: $page.gz reads as a manual page" || fail "$page.gz unreadable"
done
maintainer=$(dpkg-deb -f "$deb" Maintainer)
expected=$(sed -n 's/^QUINDLE_MAINTAINER:STRING=//p' "$build/CMakeCache.txt")
echo "Maintainer: $maintainer"
[ -n "$maintainer" ] && [ "$maintainer" = "$expected" ] || fail "maintainer is not QUINDLE_MAINTAINER ($expected)"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
grep -q 'libqt6widgets6' <<<"$depends" || fail "no dependency on libqt6widgets6"

# One version: the project's, in the package, both programs, the software-centre
# entry's newest release and the newest entry of the changelog it was made from.
echo "Version: $version"
check_version() { [ "$2" = "$version" ] && echo "ok: $1 says $2" || fail "$1 says '$2', not $version"; }
check_version "the package" "$(dpkg-deb -f "$deb" Version)"
check_version "quindle-cli --version" "$("$out/root/usr/bin/quindle-cli" --version | sed -n 's/^quindle-cli //p')"
check_version "quindle --version" "$(QT_QPA_PLATFORM=offscreen "$out/root/usr/bin/quindle" --version |
  sed -n 's/^quindle //p')"
check_version "the metainfo's newest release" "$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$metainfo" | head -n 1)"
check_version "changelog.gz" "$(zcat "$out/root/$doc/changelog.gz" | sed -n '1s/^quindle (\([^)]*\)).*/\1/p')"
exit $status

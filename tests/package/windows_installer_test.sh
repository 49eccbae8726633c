#!/usr/bin/env bash
# The Windows installer as a player meets it, under Wine in a prefix of its own:
# it asks for no administrator; installed quietly it puts the three programs and
# the licences in %LOCALAPPDATA%\Programs\Quindle, a Start-menu shortcut and one
# entry in the installed programs; installed over an older build it replaces
# it; an older build is refused over it; removed, it takes away all it put
# there and leaves the player's lists in %APPDATA%\quindle alone.
#   windows_installer_test.sh SOURCE_DIR BUILD_DIR QT_PREFIX WINE_RUNNER VERSION
set -euo pipefail
source_dir=$1 build=$2 qt=$3 wine=$4 version=$5
out=$(mktemp -d "$PWD/installer-test.XXXXXX")
export QUINDLE_WINEPREFIX=$out/prefix
# No menus of the machine's own desktop made from the shortcut.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
cleanup() {
  WINEPREFIX=$QUINDLE_WINEPREFIX wineserver -k 2>/dev/null || true
  rm -rf "$out"
}
trap cleanup EXIT
status=0
fail() { echo "FAILED: $*"; status=1; }

older=0.0.1
for v in "$version" "$older"; do
  "$source_dir/scripts/stage-windows.sh" "$build" "$out/stage-$v" "$v" "$qt"
  "$source_dir/scripts/windows-msi.sh" "$out/stage-$v" "$v" "$out/quindle-$v.msi" 2>"$out/wixl-$v.log" ||
    { cat "$out/wixl-$v.log"; exit 1; }
done
# Bit 8 of the package's word count: Windows asks for no administrator.
word_count=$(msiinfo suminfo "$out/quindle-$version.msi" | sed -n 's/^Source: \([0-9]*\).*/\1/p')
(((word_count & 8) != 0)) && echo "ok: installs with no administrator" || fail "the installer asks for an administrator"
properties=$(msiinfo export "$out/quindle-$version.msi" Property | tr -d '\r')
grep -q '^ALLUSERS' <<<"$properties" && fail "the installer installs for all users"

w() { "$wine" "$@" 2>>"$out/wine.log"; }
# A step that ends the test unasked says which it was, and what Wine said.
trap 'echo "FAILED at line $LINENO: $BASH_COMMAND"; tail -n 20 "$out/wine.log" 2>/dev/null' ERR
# Asks Wine what changes nothing (the prefix made, a path turned); on a loaded
# machine Wine now and then ends such a start early, so it is asked up to three times.
ask() {
  local try
  for try in 1 2 3; do
    w "$@" && return 0
    echo "asked again after try $try: $*" >>"$out/wine.log"
    sleep 1
  done
  return 1
}
msi() { w msiexec "$1" "$(ask winepath -w "$2" | tr -d '\r')" /qn; }
ask cmd /c exit
unix_dir() { ask winepath -u "$(ask cmd /c echo "%$1%" | tr -d '\r')" | tr -d '\r'; }
local_app=$(unix_dir LOCALAPPDATA)
roaming=$(unix_dir APPDATA)
[ -d "$local_app" ] && [ -d "$roaming" ] || { echo "no application-data folders in the prefix"; exit 1; }
programs=$local_app/Programs/Quindle
shortcut=$roaming/Microsoft/Windows/Start\ Menu/Programs/Quindle.lnk
# usage: installed: the installed programs' entries that are Quindle, as CODE|VERSION.
installed() {
  w uninstaller --list | tr -d '\r' | sed -n 's/^\({[^}]*}\)|||Quindle$/\1/p' | while read -r code; do
    echo "$code|$(w reg query "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$code" /v DisplayVersion </dev/null |
      tr -d '\r' | sed -n 's/.*REG_SZ *//p')"
  done
}

status_of() { local s=0; "$@" || s=$?; echo "$s"; }
[ "$(status_of msi /i "$out/quindle-$older.msi")" = 0 ] || fail "the older build did not install"
old_entry=$(installed)
head -n 1 "$programs/README.txt" | grep -q "^Quindle $older for Windows" && echo "ok: the older build is installed" ||
  fail "the older build's README.txt is not in $programs"
# A list of the player's own horses, which no install or removal may touch.
lists=$roaming/quindle/quindle
mkdir -p "$lists"
printf '{"horses":[{"id":5}]}\n' >"$lists/horses-pdg-1a2b3c.json"
cp "$lists/horses-pdg-1a2b3c.json" "$out/list-before"

[ "$(status_of msi /i "$out/quindle-$version.msi")" = 0 ] || fail "the new build did not install over the older one"
# Every file of the zip's folder, byte for byte, and nothing of the older build.
(cd "$out/stage-$version" && find . -type f | sort) >"$out/staged"
(cd "$programs" && find . -type f | sort) >"$out/in-programs"
if diff "$out/staged" "$out/in-programs" >"$out/files.diff"; then
  while read -r f; do cmp -s "$out/stage-$version/$f" "$programs/$f" || fail "$f differs from the build's"; done <"$out/staged"
  echo "ok: the programs, texts and licences are installed"
else
  fail "the installed files are not the package's:" && cat "$out/files.diff"
fi
cli_version=$(w "$programs/quindle-cli.exe" --version | tr -d '\r')
[ "$cli_version" = "quindle-cli $version" ] && echo "ok: the installed quindle-cli.exe starts" ||
  fail "quindle-cli.exe --version said '$cli_version'"
entries=$(installed)
msi_version=$(sed -n 's/^ProductVersion\t//p' <<<"$properties")
if [ "$(wc -l <<<"$entries")" = 1 ] && [ "${entries#*|}" = "$msi_version" ] && [ "$entries" != "$old_entry" ]; then
  echo "ok: one entry in the installed programs, the new version's, in place of the older one's"
else
  fail "the installed programs hold '$entries' (before: '$old_entry', expected version $msi_version)"
fi
target=$(w winepath -w "$programs/quindle.exe" | tr -d '\r')
# A shortcut file holds its target in the code page and its arguments in UTF-16.
link_texts=$( (strings -a "$shortcut" && strings -a -el "$shortcut") 2>/dev/null || true)
if grep -qxF "$target" <<<"$link_texts" && grep -qx -- --state-folder <<<"$link_texts"; then
  echo "ok: the Start-menu shortcut starts quindle.exe with its state folder"
else
  fail "no Start-menu shortcut to the installed quindle.exe --state-folder"
fi

# An older build over a newer one is refused, and the newer one stays.
[ "$(status_of msi /i "$out/quindle-$older.msi")" != 0 ] && [ "$(installed)" = "$entries" ] &&
  head -n 1 "$programs/README.txt" | grep -q "^Quindle $version for" && echo "ok: an older build is refused" ||
  fail "an older build replaced the newer one"

[ "$(status_of msi /x "$out/quindle-$version.msi")" = 0 ] || fail "removing Quindle failed"
[ ! -e "$programs" ] && echo "ok: removed, the programs are gone" || fail "$programs is left: $(ls -R "$programs")"
[ ! -e "$shortcut" ] && echo "ok: removed, the shortcut is gone" || fail "the shortcut is left"
[ -z "$(installed)" ] && echo "ok: removed, no entry in the installed programs" || fail "still installed: $(installed)"
cmp -s "$out/list-before" "$lists/horses-pdg-1a2b3c.json" && echo "ok: the player's list is kept" ||
  fail "the player's list in $lists is gone or changed"
[ "$status" = 0 ] || { echo "Wine's messages:" && cat "$out/wine.log"; }
exit $status

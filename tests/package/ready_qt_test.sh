#!/usr/bin/env bash
# scripts/build-mingw-qt.sh takes a ready static Qt only when its checksum holds,
# its name and its stamp are of the host tools' version, and it unpacks whole;
# it unpacks it into the cache, leaves the folder it came from as it was, and
# leaves nothing half unpacked behind when it refuses one.
#   ready_qt_test.sh SOURCE_DIR
set -euo pipefail
script=$1/scripts/build-mingw-qt.sh
version=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools)
out=$(mktemp -d)
trap 'chmod -R u+w "$out"; rm -rf "$out"' EXIT
status=0
fail() { echo "FAILED: $*"; status=1; }

# usage: make_ready FOLDER STAMP [NAME_VERSION]: a stand-in for the packed install
# (the toolchain file the script looks for and the stamp), with its checksum.
make_ready() {
  local dir=$1 stamp=$2 name=${3:-$version}
  rm -rf "$out/pack" && mkdir -p "$out/pack/$name/lib/cmake/Qt6" "$dir"
  echo "# stand-in" >"$out/pack/$name/lib/cmake/Qt6/qt.toolchain.cmake"
  echo "$stamp" >"$out/pack/$name/.quindle-qt-complete"
  tar -C "$out/pack" -cJf "$dir/mingw-qt-$name.tar.xz" "$name"
  (cd "$dir" && sha256sum "mingw-qt-$name.tar.xz" >SHA256SUMS)
}
# usage: run CASE: the script on its own cache, --no-build so that a refusal ends it.
run() {
  cache=$out/cache-$1
  result=0
  QUINDLE_QT_CACHE=$cache QUINDLE_QT_READY=$ready "$script" --no-build >"$out/$1.out" 2>"$out/$1.err" || result=$?
}
# usage: refused CASE MESSAGE: the run failed, said why, and left the cache empty.
refused() {
  if [ "$result" = 0 ] || ! grep -q -- "$2" "$out/$1.err"; then
    fail "$1: not refused with \"$2\" (exit $result)" && cat "$out/$1.err"
  elif [ -n "$(ls -A "$cache" 2>/dev/null)" ]; then
    fail "$1: left $(ls -A "$cache") in the cache"
  else
    echo "ok: $1 refused"
  fi
}

ready=$out/ready-sound
make_ready "$ready" "$version"
chmod -R a-w "$ready"
before=$(cd "$ready" && ls -lR --time-style=full-iso)
run sound
if [ "$result" = 0 ] && [ "$(tail -n 1 "$out/sound.out")" = "$cache/$version" ] &&
  [ -f "$cache/$version/lib/cmake/Qt6/qt.toolchain.cmake" ] && [ "$(ls -A "$cache")" = "$version" ]; then
  echo "ok: a sound ready Qt is unpacked into the cache"
else
  fail "sound: exit $result, printed $(tail -n 1 "$out/sound.out"), cache holds $(ls -A "$cache" 2>/dev/null)"
  cat "$out/sound.err"
fi
[ "$before" = "$(cd "$ready" && ls -lR --time-style=full-iso)" ] && echo "ok: the ready folder is unchanged" ||
  fail "the ready folder changed"

ready=$out/ready-altered
make_ready "$ready" "$version"
printf 'x' >>"$ready/mingw-qt-$version.tar.xz"
run altered
refused altered "checksum .* does not hold"


ready=$out/ready-other-version
make_ready "$ready" 6.0.0 6.0.0
run other-version
refused other-version "No ready Qt for the host tools' $version"

ready=$out/ready-wrong-stamp
make_ready "$ready" 6.0.0
run wrong-stamp
refused wrong-stamp "does not hold a finished Qt $version"

ready=$out/ready-cut
make_ready "$ready" "$version"
head -c 100 "$ready/mingw-qt-$version.tar.xz" >"$out/cut" && mv "$out/cut" "$ready/mingw-qt-$version.tar.xz"
(cd "$ready" && sha256sum "mingw-qt-$version.tar.xz" >SHA256SUMS)
run cut
refused cut "does not hold a finished Qt $version"
exit $status

#!/usr/bin/env bash
# The Windows command line, run under Wine, must answer byte for byte as the Linux
# one does on the same data folder: text, JSON, CSV, error messages, exit codes,
# and the same invented data and split files.
# usage: same_as_linux.sh LINUX_CLI LINUX_SAMPLEDATA WINE_RUNNER WINDOWS_CLI WINDOWS_SAMPLEDATA
set -u
[ $# -eq 5 ] || { echo "usage: $0 LINUX_CLI LINUX_SAMPLEDATA WINE_RUNNER WINDOWS_CLI WINDOWS_SAMPLEDATA" >&2; exit 2; }
for program in "$@"; do
  [ -x "$program" ] || [ -f "$program" ] || { echo "$program: not found" >&2; exit 2; }
done
linux_cli=$(realpath "$1") linux_sample=$(realpath "$2") wine=$(realpath "$3")
windows_cli=$(realpath "$4") windows_sample=$(realpath "$5")
export LANG=C.UTF-8 # arguments reach Wine's UTF-16 command line through the locale
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir "$tmp/linux" "$tmp/windows"
data="pdg Ωä" # a folder name outside every Windows code page
failures=0

differ() {
  echo "DIFFERENT: $1"
  failures=$((failures + 1))
}

"$linux_sample" "$tmp/linux/$data" --horses 4000 --seed 11 || differ "Linux sample data not written"
(cd "$tmp/windows" && "$wine" "$windows_sample" "$data" --horses 4000 --seed 11) || differ "Windows sample data not written"
for f in ChefTable QN_SireList breeding.txt; do
  cmp -s "$tmp/linux/$data/$f" "$tmp/windows/$data/$f" || differ "sample data $f"
done

# Runs one command line on both systems, each in its own copy of the folder, and
# compares standard output, standard error and the exit code.
runs=0
same() {
  runs=$((runs + 1))
  (cd "$tmp/linux" && "$linux_cli" "$@" >out 2>err; echo $? >code)
  (cd "$tmp/windows" && "$wine" "$windows_cli" "$@" >out 2>err; echo $? >code)
  local part
  for part in out err code; do
    if ! cmp -s "$tmp/linux/$part" "$tmp/windows/$part"; then
      differ "$part of: $*"
      diff <(head -c 2000 "$tmp/linux/$part") <(head -c 2000 "$tmp/windows/$part") | head -10
    fi
  done
}

d=(--data-dir "$data/")
# Two sires of the list, for matings.
sire1=$(sed -n '5p' "$tmp/linux/$data/QN_SireList" | cut -d, -f1 | tr -d '"')
sire2=$(sed -n '9p' "$tmp/linux/$data/QN_SireList" | cut -d, -f1 | tr -d '"')

same "${d[@]}" show 1 2 3 # the first start splits the breeding file
grep -q "Quindle Profile" "$tmp/linux/out" || differ "the first run should have shown horses"
for b in 0 1 2 3 4 5 6 7 8 9; do
  cmp -s "$tmp/linux/$data/QNsubBtxt/file$b" "$tmp/windows/$data/QNsubBtxt/file$b" || differ "split file $b"
done
same "${d[@]}" show --json 17 400 3999 4001
same "${d[@]}" show " 12 " x1
same "${d[@]}" mate "$sire1" "$sire2"
same "${d[@]}" mate --json "$sire2" "" "$sire1"
same "${d[@]}" mate "NO SUCH HORSE"
same "${d[@]}" mate "CAFÉ"
same "${d[@]}" mate "ΩMEGA"
same "${d[@]}" profiles
same "${d[@]}" find --limit 5 A # the name index, in a folder whose name no code page holds
same "${d[@]}" find --json "$sire1"
same "${d[@]}" profiles --from 100 --to 250
same --help
same --version
same "${d[@]}"
same "${d[@]}" show --frob 1
# A console shows an accented name as its letters, not as the code page's signs for
# its UTF-8 bytes. `script` gives Wine a terminal, so the program writes to a console.
for side in linux windows; do sed -i '1s/,/,\xC9/' "$tmp/$side/$data/breeding.txt"; done # É, in Latin-1
same "${d[@]}" show 1
printf -v console '%q ' "$wine" "$windows_cli" "${d[@]}" show 1
(cd "$tmp/windows" && script -qec "$console" /dev/null >console </dev/null)
grep -q "É" "$tmp/windows/console" && ! grep -q $'\xEF\xBF\xBD' "$tmp/windows/console" ||
  differ "the accented name on a console: $(grep -a -m 3 -P '[^\x00-\x7F]' "$tmp/windows/console" | cat -v)"

for side in linux windows; do
  printf 'GOOD,1,0,0,0,0\r\nBAD,1,0,0,0\r\n' >"$tmp/$side/$data/ChefTable"
done
same "${d[@]}" show 1
for side in linux windows; do rm "$tmp/$side/$data/QN_SireList"; done
same "${d[@]}" mate A

[ "$(cat "$tmp/linux/code")" = 2 ] || differ "the last run should have failed to start"
echo "$runs command lines compared, $failures differences"
[ "$failures" -eq 0 ]

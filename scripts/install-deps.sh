#!/usr/bin/env bash
# Installs the Debian packages Quindle needs. With --run, only what building and
# running the programs needs (scripts/demo.sh); without it, also what the tests,
# the benchmarks and the package check need. Installs only what is missing and
# prints nothing when everything is there.
set -euo pipefail

packages=(
  g++ cmake make pkg-config
  qt6-base-dev          # Qt 6 Widgets, and QtTest for the window tests
  nlohmann-json3-dev    # nlohmann/json, header-only: reads the player's stable file (also for the Windows build)
  fonts-dejavu-core     # DejaVu Sans Mono and the fonts' licence, built into the window
  fonts-dejavu-extra    # DejaVu Sans Condensed, built into the window: an 18-letter name fits a box
  liblemon-dev          # LEMON's network simplex, used header-only: the season's best plan (also for the Windows build)
  fonttools             # pyftsubset: the built-in fonts cut down to the Latin-1 the names are in
)
if [ "${1:-}" != --run ]; then
  packages+=(
    libgtest-dev          # GoogleTest
    libbenchmark-dev      # Google Benchmark
    xauth xvfb            # a virtual screen for screenshots and the package check
    desktop-file-utils    # desktop-file-validate, for the package check
    lintian               # Debian's own check of the package, for the package check
    appstream             # appstreamcli, checks the software-centre entry in the package check
    dpkg-dev              # dpkg-shlibdeps, for the package's dependencies
    clang-format          # the layout check (scripts/check-format.sh)
    poppler-utils         # pdftotext and pdfinfo: the tests read back the card and the season book written as PDF
  )
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"

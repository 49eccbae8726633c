#!/usr/bin/env bash
# Fails, naming each place, when a C++ source of the project is not laid out as
# .clang-format says. `clang-format -i` on the same files mends them.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -d '' files < <(find src tests tools bench fuzz \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z)
if ! clang-format --dry-run -Werror "${files[@]}"; then
  echo "check-format: the files above are not formatted; run: clang-format -i \$(find src tests tools bench fuzz -name '*.cpp' -o -name '*.h')" >&2
  exit 1
fi

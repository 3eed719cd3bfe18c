#!/usr/bin/env bash
# Fails when a C++ file of the project is not laid out as .clang-format says
# (clang-format from Debian's clang-format package). With --fix, formats them.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h' 2>/dev/null || find src tests bench desktop fuzz -name '*.cpp' -o -name '*.h')
if [[ "${1:-}" == "--fix" ]]; then
  clang-format -i "${files[@]}"
  exit 0
fi
clang-format --dry-run --Werror "${files[@]}"

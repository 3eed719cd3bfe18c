#!/usr/bin/env bash
# Builds the editor and starts it on the picture given, or on a copy of the
# bundled sample screenshot (kept in build/, so saves land there too).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/deps.sh build
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc 2>/dev/null || echo 2)" --target korvel-annotarix
if (($# == 0)); then
  cp -f assets/sample.jpg build/sample.jpg
  set -- "$root/build/sample.jpg"
fi
exec build/korvel-annotarix "$@"

#!/usr/bin/env bash
# Builds and runs every benchmark in bench/ and prints their figures. Run it on a quiet machine: the
# figures are rates measured against pseudo-terminals and the simulated electronics.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
for b in build/bin/bench_*; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b") =="
  "$b"
done

#!/usr/bin/env bash
# Builds and runs every benchmark in bench/ and prints their figures. Run it on a quiet machine: the
# figures are rates measured against pseudo-terminals and the simulated electronics.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
# The same build as the test command's (scripts/build-env.sh): neither compiles what the other did.
source scripts/build-env.sh
normal_build
export QT_QPA_PLATFORM=offscreen
for b in build/bin/bench_*; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b") =="
  "$b"
done

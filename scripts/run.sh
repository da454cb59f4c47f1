#!/usr/bin/env bash
# Installs what is missing, builds, starts a simulated electronics on a port directory of its own and
# starts KPD connected to it. Without a display, KPD runs under Xvfb for a few seconds and a screenshot
# is written; its path is printed.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
# The same build as the test command's (scripts/build-env.sh): neither compiles what the other did.
source scripts/build-env.sh
normal_build

portdir=$(mktemp -d /tmp/kpd-ports.XXXXXX)
simlog="$portdir/sim.log"
build/bin/kpd-sim --port-dir "$portdir" --com 3 >"$simlog" 2>&1 &
simpid=$!
cleanup() { kill "$simpid" 2>/dev/null || true; wait "$simpid" 2>/dev/null || true; rm -rf "$portdir"; }
trap cleanup EXIT
for _ in $(seq 50); do [ -e "$portdir/COM3" ] && break; sleep 0.1; done
cat "$simlog"

if [ ! -x build/bin/KPD ]; then
  echo "The simulator runs on $portdir/COM3; the application is not built yet."
  sleep 2
  exit 0
fi

export SENSLINK_PORT_DIR="$portdir"
export KPD_INSTALL_DIR="${KPD_INSTALL_DIR:-$PWD/out/run}"
mkdir -p "$KPD_INSTALL_DIR" out
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  build/bin/KPD
else
  shot="$PWD/out/kpd-screenshot.png"
  xvfb-run -a -s "-screen 0 1280x1024x24" build/bin/KPD --screenshot "$shot" --quit-after 8000
  echo "No display: KPD ran under Xvfb for 8 seconds. Screenshot: $shot"
fi

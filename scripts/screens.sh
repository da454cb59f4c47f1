#!/usr/bin/env bash
# Screenshots of every display mode and every window of KPD, connected to a simulated electronics, on the
# screens people have: 800x600, 1024x768, 1280x800, 1366x768, 1920x1080, 2560x1440, 2560x1600 at 200 %
# and 3840x2160 at 150 % scaling. Each picture is the whole (virtual) screen under Xvfb, so the windows
# opened over the main window show too. Not part of the test command: it is for looking.
#
#   bash scripts/screens.sh [OUTDIR] [SCREEN...]     e.g. bash scripts/screens.sh out/screens 1366x768
#
# A SCREEN is WIDTHxHEIGHT or WIDTHxHEIGHT@SCALE. Needs a build (bash scripts/run.sh or scripts/test.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-out/screens}
shift || true
screens=("$@")
[ ${#screens[@]} -gt 0 ] || screens=(800x600 1024x768 1280x800 1366x768 1920x1080 2560x1440 2560x1600@2
                                     3840x2160@1.5)
# What each picture shows: a display mode, and a window opened over it (KPD --show).
shots=(status: encoder: strength: plots: status:settings status:units status:alarms status:info
       status:about status:engineering status:engineering-setup encoder:plot-options plots:plot-options)
# KPD_SHOTS="encoder: plots:" takes only those pictures.
[ -z "${KPD_SHOTS:-}" ] || read -r -a shots <<<"$KPD_SHOTS"
for tool in xvfb-run import; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: bash scripts/install-deps.sh" >&2; exit 1; }
done
[ -x build/bin/KPD ] && [ -x build/bin/kpd-sim ] || { echo "build first: bash scripts/run.sh" >&2; exit 1; }

mkdir -p "$out"
portdir=$(mktemp -d /tmp/kpd-screens.XXXXXX)
build/bin/kpd-sim --port-dir "$portdir" --com 3 >"$portdir/sim.log" 2>&1 &
simpid=$!
cleanup() { kill "$simpid" 2>/dev/null || true; wait "$simpid" 2>/dev/null || true; rm -rf "$portdir"; }
trap cleanup EXIT
for _ in $(seq 50); do [ -e "$portdir/COM3" ] && break; sleep 0.1; done
export SENSLINK_PORT_DIR="$portdir" KPD_INSTALL_DIR="$portdir"

for screen in "${screens[@]}"; do
  size=${screen%@*}
  scale=1
  [ "$screen" = "$size" ] || scale=${screen#*@}
  for shot in "${shots[@]}"; do
    mode=${shot%%:*}
    window=${shot#*:}
    name="$out/${screen}-${mode}${window:+-$window}.png"
    args=(--mode "$mode" --quit-after 6000)
    [ -z "$window" ] || args+=(--show "$window")
    # The picture is taken once the mode runs and the window is open (the program quits 6 s after start).
    QT_SCALE_FACTOR=$scale xvfb-run -a -s "-screen 0 ${size}x24" bash -c '
      "$@" &
      sleep 4.5
      import -window root "$0"
      wait' "$name" build/bin/KPD "${args[@]}" >/dev/null 2>&1 || echo "failed: $name" >&2
    echo "$name"
  done
done

#!/usr/bin/env bash
# Start-up of the designer: from the launch of `cartigo samples/esempio.eti` to its main window
# being mapped, polled with xdotool every 2 ms, on an Xvfb server of its own.
#   bench/designer/avvio.sh [RUNS]          (CARTIGO=path/to/cartigo, default build/cartigo)
set -euo pipefail
cd "$(dirname "$0")/../.."
# A server of its own on a free display number, kept from resetting when a run's program ends.
for ((schermo = 90; schermo < 200; schermo++)); do [[ -e /tmp/.X$schermo-lock ]] || break; done
Xvfb ":$schermo" -screen 0 1600x1000x24 -nolisten tcp -noreset >/dev/null 2>&1 &
server=$!
export DISPLAY=":$schermo"
unset XAUTHORITY
for ((i = 0; i < 250; i++)); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.02; done
xdotool getdisplaygeometry >/dev/null || { echo "no X server on $DISPLAY" >&2; exit 1; }
RUNS=${1:-9}
CARTIGO=${CARTIGO:-build/cartigo}
source bench/misure.sh
casa=$(mktemp -d)
trap 'kill "$server"; rm -rf "$casa"' EXIT
tempi=()
for ((i = 0; i < RUNS; i++)); do
    inizio=$(date +%s%N)
    HOME=$casa XDG_CONFIG_HOME=$casa/.config "$CARTIGO" samples/esempio.eti >/dev/null 2>"$casa/stderr.txt" &
    pid=$!
    until xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1; do
        kill -0 "$pid" 2>/dev/null || { cat "$casa/stderr.txt" >&2; echo "cartigo ended before its window showed" >&2; exit 1; }
        sleep 0.002
    done
    fine=$(date +%s%N)
    kill "$pid"; wait "$pid" 2>/dev/null || true
    tempi+=("$(awk -v a="$inizio" -v b="$fine" 'BEGIN { printf "%.3f", (b - a) / 1e9 }')")
done
echo "runs: ${tempi[*]}"
echo "median start-up to window shown: $(printf '%s\n' "${tempi[@]}" | median) s"

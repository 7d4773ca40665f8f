#!/usr/bin/env bash
# The benchmark label job (a 2 x 4 sheet of 80 x 50 mm labels: three text lines that change
# every label, an EAN-13 with its digits, a Code 39 and a frame) through cartigo-print to
# ZPL II at 203 dpi and to PDF: wall time, CPU time, peak memory, bytes per label.
#
# Usage: bench/print/zpl.sh [RUNS]   (from the repository, after a build in ./build)
# Environment: CARTIGO_BUILD (default ./build), OUT_DIR (default a temporary folder),
# PEER_DIR (default ../shared/bench/glabels: make_data.py), SIZES (default 10000).
set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
BUILD=${CARTIGO_BUILD:-$ROOT/build}
PEER=${PEER_DIR:-$ROOT/../shared/bench/glabels}
OUT=${OUT_DIR:-$(mktemp -d)}
RUNS=${1:-1}
SIZES=${SIZES:-10000}
PRINT=$BUILD/cartigo-print
LABEL=$HERE/etichetta_glabels.eti
[[ -x $PRINT ]] || { echo "build cartigo-print first ($PRINT)" >&2; exit 1; }
source "$ROOT/bench/misure.sh"

for n in $SIZES; do
    csv=$OUT/data_$n.csv
    python3 "$PEER/make_data.py" "$n" "$csv"
    for r in $(seq "$RUNS"); do
        for uscita in pdf zpl; do
            file=$OUT/out_$n.$uscita
            rm -f "$file"
            read -r wall cpu rss < <(timed_cpu "$PRINT" "$LABEL" --db "$csv" --dpi 203 "--$uscita" "$file")
            bytes=$(stat -c %s "$file")
            awk -v u="$uscita" -v n="$n" -v r="$r" -v w="$wall" -v c="$cpu" -v m="$rss" -v b="$bytes" 'BEGIN {
                printf "%s N=%d run=%d wall_s=%s cpu_s=%s max_rss_mb=%.1f bytes=%d bytes_per_label=%.0f\n",
                       u, n, r, w, c, m / 1024, b, b / n }'
        done
    done
done

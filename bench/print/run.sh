#!/usr/bin/env bash
# Whole-process benchmark of cartigo-print against gLabels 3 on the same label job:
# a 2 x 4 sheet of 80 x 50 mm labels, three text lines, an EAN-13 with its digits,
# a Code 39 without text and a frame per label, one label per CSV record, to PDF.
#
# Usage: bench/print/run.sh [RUNS]   (from the repository, after a build in ./build)
# Environment: CARTIGO_BUILD (default ./build), OUT_DIR (default a temporary folder),
# PEER_DIR (default ../shared/bench/glabels: make_data.py, label.glabels, run.sh),
# SIZES (default "1000 10000"), PEER_SIZES (default "1000").
# Prints one line per run and the medians of wall time and peak memory.
set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
BUILD=${CARTIGO_BUILD:-$ROOT/build}
PEER=${PEER_DIR:-$ROOT/../shared/bench/glabels}
OUT=${OUT_DIR:-$(mktemp -d)}
RUNS=${1:-5}
SIZES=${SIZES:-"1000 10000"}
PEER_SIZES=${PEER_SIZES:-1000}
PRINT=$BUILD/cartigo-print
LABEL=$HERE/etichetta_glabels.eti

[[ -x $PRINT ]] || { echo "build cartigo-print first ($PRINT)" >&2; exit 1; }
[[ -f $PEER/make_data.py ]] || { echo "peer job not found in $PEER" >&2; exit 1; }

source "$ROOT/bench/misure.sh"

for n in $SIZES; do
    csv=$OUT/data_$n.csv
    python3 "$PEER/make_data.py" "$n" "$csv"
    walls=() rsss=()
    for ((r = 1; r <= RUNS; r++)); do
        pdf=$OUT/cartigo_$n.pdf
        rm -f "$pdf"
        read -r wall rss < <(timed "$PRINT" "$LABEL" --db "$csv" --pdf "$pdf")
        pages=$(pdfinfo "$pdf" | awk '/^Pages:/ { print $2 }')
        [[ $pages == $(((n + 7) / 8)) ]] || { echo "cartigo: $pages pages for $n labels" >&2; exit 1; }
        echo "cartigo N=$n run=$r wall_s=$wall max_rss_kb=$rss pages=$pages"
        walls+=("$wall") rsss+=("$rss")
        if [[ " $PEER_SIZES " == *" $n "* ]] && command -v glabels-3-batch >/dev/null; then
            line=$(OUT_DIR=$OUT bash "$PEER/run.sh" "$n" | grep '^RESULT')
            echo "glabels $line"
            echo "$line" | sed -n 's/.*wall_s=\([0-9.]*\).*/\1/p' >>"$OUT/peer_wall_$n"
            echo "$line" | sed -n 's/.*max_rss_kb=\([0-9]*\).*/\1/p' >>"$OUT/peer_rss_$n"
        fi
    done
    mw=$(printf '%s\n' "${walls[@]}" | median)
    mr=$(printf '%s\n' "${rsss[@]}" | median)
    echo "MEDIAN cartigo N=$n wall_s=$mw max_rss_mb=$(awk -v k="$mr" 'BEGIN { printf "%.1f", k / 1024 }')"
    if [[ -f $OUT/peer_wall_$n ]]; then
        pw=$(median <"$OUT/peer_wall_$n")
        pr=$(median <"$OUT/peer_rss_$n")
        echo "MEDIAN glabels N=$n wall_s=$pw max_rss_mb=$(awk -v k="$pr" 'BEGIN { printf "%.1f", k / 1024 }')" \
             "ratio_cartigo_to_glabels=$(awk -v a="$mw" -v b="$pw" 'BEGIN { printf "%.2f", a / b }')"
    fi
done

#!/usr/bin/env bash
# Whole-process benchmark of the barcodes libzint draws: 10,000 labels (a 2 x 4 sheet
# of 80 x 50 mm labels, a number and a 40 x 36 mm barcode each), every label with a
# different code from a CSV file, printed to PDF by cartigo-print once with a QR Code
# (level M) and once with a Code 39 without text; the two labels differ only in the
# barcode's kind. Runs alternate, so both jobs share the machine's state.
#
# Usage: bench/barcode/run.sh [RUNS]   (from the repository, after a build in ./build)
# Environment: CARTIGO_BUILD (default ./build), OUT_DIR (default a temporary folder),
# N (labels, default 10000).
# Prints one line per run, the medians of wall time and peak memory, and their ratios.
set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
BUILD=${CARTIGO_BUILD:-$ROOT/build}
OUT=${OUT_DIR:-$(mktemp -d)}
RUNS=${1:-5}
N=${N:-10000}
PRINT=$BUILD/cartigo-print

[[ -x $PRINT ]] || { echo "build cartigo-print first ($PRINT)" >&2; exit 1; }
source "$ROOT/bench/misure.sh"

# numero,codice: CTG-000001-XXXXXX, the last six characters from a fixed sequence
csv=$OUT/codici.csv
awk -v n="$N" 'BEGIN {
    a = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"; s = 20240601
    print "numero,codice"
    for (i = 1; i <= n; i++) {
        c = ""
        for (k = 0; k < 6; k++) { s = (s * 1103515245 + 12345) % 2147483648; c = c substr(a, int(s / 65536) % 36 + 1, 1) }
        printf "%d,CTG-%06d-%s\n", i, i, c
    }
}' >"$csv"

declare -A walls rsss
for ((r = 1; r <= RUNS; r++)); do
    for kind in qr code39; do
        pdf=$OUT/$kind.pdf
        rm -f "$pdf"
        read -r wall rss < <(timed "$PRINT" "$HERE/etichetta_$kind.eti" --db "$csv" --pdf "$pdf")
        pages=$(pdfinfo "$pdf" | awk '/^Pages:/ { print $2 }')
        [[ $pages == $(((N + 7) / 8)) ]] || { echo "$kind: $pages pages for $N labels" >&2; exit 1; }
        echo "$kind N=$N run=$r wall_s=$wall max_rss_kb=$rss pages=$pages"
        walls[$kind]+="$wall "
        rsss[$kind]+="$rss "
    done
done
declare -A mw mr
for kind in qr code39; do
    mw[$kind]=$(printf '%s\n' ${walls[$kind]} | median)
    mr[$kind]=$(printf '%s\n' ${rsss[$kind]} | median)
    echo "MEDIAN $kind N=$N wall_s=${mw[$kind]} max_rss_mb=$(awk -v k="${mr[$kind]}" 'BEGIN { printf "%.1f", k / 1024 }')"
done
echo "RATIO qr/code39 wall=$(awk -v a="${mw[qr]}" -v b="${mw[code39]}" 'BEGIN { printf "%.2f", a / b }')" \
     "max_rss=$(awk -v a="${mr[qr]}" -v b="${mr[code39]}" 'BEGIN { printf "%.2f", a / b }') (target: wall within 2)"

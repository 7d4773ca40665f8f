#!/usr/bin/env bash
# Peak memory and wall time of cartigo-print printing one label per row of a spreadsheet
# to PDF, side by side with the same rows from a CSV file: ROWS rows of 5 columns written
# by tests/data/fogli.py (XlsxWriter for XLSX, odfpy for ODS). The peak is the largest of
# cartigo-print and its reader process (/usr/bin/time reports the largest of the tree).
#
# Usage: bench/data/foglio_memoria.sh [RUNS]   (from the repository, after a build in ./build)
# Environment: CARTIGO_BUILD (default ./build), ROWS (default 100000), FORMATS (default
# "csv xlsx ods"). Needs /usr/bin/python3 with python3-xlsxwriter and python3-odf.
# Prints one line per run and the medians of wall time, CPU time and peak memory.
set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
BUILD=${CARTIGO_BUILD:-$ROOT/build}
PRINT=$BUILD/cartigo-print
ROWS=${ROWS:-100000}
RUNS=${1:-3}
FORMATS=${FORMATS:-csv xlsx ods}
OUT=$(mktemp -d)
trap 'rm -rf "$OUT"' EXIT

[[ -x $PRINT ]] || { echo "build cartigo-print first ($PRINT)" >&2; exit 1; }
source "$HERE/../misure.sh"

run_once() {
    local eti=$1 pdf=$OUT/out.pdf r pages
    rm -f "$pdf"
    r=$(timed_cpu "$PRINT" "$eti" --pdf "$pdf") || return 1
    pages=$(pdfinfo "$pdf" | awk '/^Pages:/ { print $2 }')
    [[ $pages == $(((ROWS + 23) / 24)) ]] || { echo "$pages pages for $ROWS labels" >&2; return 1; }
    echo "$r $pages"
}

for f in $FORMATS; do
    file=$OUT/articoli.$f
    /usr/bin/python3 "$ROOT/tests/data/fogli.py" righe "$ROWS" "$file"
    tabella=Articoli
    [[ $f == csv ]] && tabella=articoli
    label_campi "$OUT/$f.eti" "$file" "$tabella" '${Codice}: ${Nome}' '${Prezzo} / ${Arrivo} ${Reparto}'
    walls=() cpus=() rsss=()
    for ((r = 1; r <= RUNS; r++)); do
        read -r wall cpu rss pages < <(run_once "$OUT/$f.eti")
        echo "$f rows=$ROWS size_kb=$(($(stat -c %s "$file") / 1024)) run=$r wall_s=$wall cpu_s=$cpu max_rss_kb=$rss pages=$pages"
        walls+=("$wall") cpus+=("$cpu") rsss+=("$rss")
    done
    echo "$f rows=$ROWS median wall_s=$(printf '%s\n' "${walls[@]}" | median)" \
        "cpu_s=$(printf '%s\n' "${cpus[@]}" | median) max_rss_kb=$(printf '%s\n' "${rsss[@]}" | median)"
done

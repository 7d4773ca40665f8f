#!/usr/bin/env bash
# Whole-process benchmark of cartigo-print, side by side with the bare PDF writer
# (bench_pdf_nudo: the same pages drawn straight onto QPdfWriter) and gLabels 3, on the
# same label job: a 2 x 4 sheet of 80 x 50 mm labels, three text lines, an EAN-13 with
# its digits, a Code 39 without text and a frame per label, one label per CSV record, to PDF.
#
# Usage: bench/print/run.sh [RUNS]   (from the repository, after a build with
#        -DCARTIGO_BUILD_BENCH=ON in ./build; RUNS defaults to 3)
# Environment: CARTIGO_BUILD (default ./build), OUT_DIR (default a temporary folder),
# PEER_DIR (default ../shared/bench/glabels: make_data.py, label.glabels, run.sh),
# SIZES (default "1000 10000"; add 100000 for the linearity check), PEER_SIZES
# (default "1000": gLabels grows quadratically beyond that).
# Each run times the three programs one after the other, so they share the machine's
# load; the medians and the ratios (cartigo to the bare writer, to gLabels, and each size
# to the one before it) come last. cpu_s is user + system time, steadier than wall time
# on a busy machine.
set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/../misure.sh"
PEER=${PEER_DIR:-$ROOT/../shared/bench/glabels}
RUNS=${1:-3}
SIZES=${SIZES:-"1000 10000"}
PEER_SIZES=${PEER_SIZES:-1000}
PRINT=$BUILD/cartigo-print
NUDO=$BUILD/bench/print/bench_pdf_nudo
LABEL=$HERE/etichetta_glabels.eti

richiedi cartigo-print bench/print/bench_pdf_nudo
uscita_temporanea
[[ -f $PEER/make_data.py ]] || { echo "peer job not found in $PEER" >&2; exit 1; }
PEER_OK=0
command -v glabels-3-batch >/dev/null && PEER_OK=1
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0) ? a / b : 0 }'; }
mb() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }

pages_of() { pdfinfo "$1" | awk '/^Pages:/ { print $2 }'; }

# Runs one program on N labels and records its figures under $OUT/<name>_<N>.*
run_one() {
    local name=$1 n=$2 r=$3 pdf=$OUT/$1_$2.pdf wall cpu rss pages
    shift 3
    rm -f "$pdf"
    read -r wall cpu rss < <(timed_cpu "$@" "$pdf")
    pages=$(pages_of "$pdf")
    [[ $pages == $(((n + 7) / 8)) ]] || { echo "$name: $pages pages for $n labels" >&2; exit 1; }
    echo "$name N=$n run=$r wall_s=$wall cpu_s=$cpu max_rss_kb=$rss pages=$pages"
    echo "$wall" >>"$OUT/$name.wall.$n"
    echo "$cpu" >>"$OUT/$name.cpu.$n"
    echo "$rss" >>"$OUT/$name.rss.$n"
}

for n in $SIZES; do
    csv=$OUT/data_$n.csv
    python3 "$PEER/make_data.py" "$n" "$csv"
    rm -f "$OUT"/*."$n"
    for ((r = 1; r <= RUNS; r++)); do
        run_one cartigo "$n" "$r" "$PRINT" "$LABEL" --db "$csv" --pdf
        run_one nudo "$n" "$r" "$NUDO" "$csv"
        if [[ $PEER_OK == 1 && " $PEER_SIZES " == *" $n "* ]]; then
            line=$(OUT_DIR=$OUT bash "$PEER/run.sh" "$n" | grep '^RESULT')
            echo "glabels $line"
            echo "$line" | sed -n 's/.*wall_s=\([0-9.]*\).*/\1/p' >>"$OUT/glabels.wall.$n"
            echo "$line" | sed -n 's/.*max_rss_kb=\([0-9]*\).*/\1/p' >>"$OUT/glabels.rss.$n"
        fi
    done
done

echo
prev=
for n in $SIZES; do
    for name in cartigo nudo glabels; do
        [[ -f $OUT/$name.wall.$n ]] || continue
        w=$(median <"$OUT/$name.wall.$n")
        c=$([[ -f $OUT/$name.cpu.$n ]] && median <"$OUT/$name.cpu.$n" || echo -)
        m=$(median <"$OUT/$name.rss.$n")
        echo "MEDIAN $name N=$n wall_s=$w cpu_s=$c max_rss_mb=$(mb "$m")"
        printf -v "wall_$name" '%s' "$w"
        printf -v "cpu_$name" '%s' "$c"
    done
    line="RATIO N=$n cartigo/nudo wall=$(ratio "$wall_cartigo" "$wall_nudo") cpu=$(ratio "$cpu_cartigo" "$cpu_nudo")"
    [[ -f $OUT/glabels.wall.$n ]] && line+=" cartigo/glabels wall=$(ratio "$wall_cartigo" "$(median <"$OUT/glabels.wall.$n")")"
    [[ -n $prev ]] && line+=" cartigo N=$n/N=$prev wall=$(ratio "$wall_cartigo" "$prev_wall")"
    echo "$line"
    prev=$n prev_wall=$wall_cartigo
    unset wall_glabels cpu_glabels
done

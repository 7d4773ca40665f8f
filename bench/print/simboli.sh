#!/usr/bin/env bash
# Symbols until the device, before and after, side by side: the 10,000-label job of
# bench/print/run.sh (an EAN-13 with its digits and a Code 39 per label, 2 x 4 a page) printed
# to PDF by two builds of cartigo-print, one run of each after the other so they share the
# machine's load: wall and CPU time, PDF size, and the time CUPS's pdftoraster takes to turn
# the first PAGES pages of each PDF into 600 dpi raster (the queue's filter for a 600 dpi
# printer; its own PPD, the Zebra ZPL one of CUPS's sample drivers, compiled with ppdc).
#
# Usage: bench/print/simboli.sh BEFORE_BUILD [RUNS]   (AFTER_BUILD: ./build, or CARTIGO_BUILD)
# Environment: N (default 10000 labels), PAGES (default 40), OUT_DIR, PEER_DIR as run.sh.
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
BEFORE=${1:?the build folder of the code before the change}
AFTER=${CARTIGO_BUILD:-$ROOT/build}
RUNS=${2:-3}
N=${N:-10000}
PAGES=${PAGES:-40}
PEER=${PEER_DIR:-$ROOT/../shared/bench/glabels}
OUT=${OUT_DIR:-$(mktemp -d)}
LABEL=$HERE/etichetta_glabels.eti
source "$ROOT/bench/misure.sh"
RASTER=/usr/lib/cups/filter/pdftoraster
[[ -x $RASTER ]] || { echo "pdftoraster not found: install cups-filters-core-drivers" >&2; exit 1; }
mkdir -p "$OUT/ppd"; ppdc -d "$OUT/ppd" /usr/share/cups/drv/sample.drv >/dev/null
PPD=$OUT/ppd/zebra.ppd
csv=$OUT/data.csv
python3 "$PEER/make_data.py" "$N" "$csv"

raster() {  # PDF -> seconds pdftoraster takes on its first $PAGES pages at 600 dpi
    local pdf=$1 part=$OUT/part.pdf
    pdfseparate -l "$PAGES" "$pdf" "$OUT/p%d.pdf"
    pdfunite $(for ((i = 1; i <= PAGES; i++)); do echo "$OUT/p$i.pdf"; done) "$part"
    rm -f "$OUT"/p[0-9]*.pdf
    PPD=$PPD timed_cpu "$RASTER" 1 bench bench 1 "Resolution=600dpi PageSize=A4" "$part" | awk '{ print $1, $2 }'
}

for ((r = 1; r <= RUNS; r++)); do
    for side in before after; do
        build=$BEFORE; [[ $side == after ]] && build=$AFTER
        pdf=$OUT/$side.pdf
        read -r wall cpu rss < <(timed_cpu "$build/cartigo-print" "$LABEL" --db "$csv" --pdf "$pdf")
        size=$(stat -c %s "$pdf")
        read -r rwall rcpu < <(raster "$pdf")
        echo "$side run=$r wall_s=$wall cpu_s=$cpu pdf_bytes=$size raster600_wall_s=$rwall raster600_cpu_s=$rcpu"
        for k in wall cpu size rwall rcpu; do echo "${!k}" >>"$OUT/$side.$k"; done
    done
done
echo
for side in before after; do
    echo "MEDIAN $side N=$N wall_s=$(median <"$OUT/$side.wall") cpu_s=$(median <"$OUT/$side.cpu")" \
        "pdf_bytes=$(median <"$OUT/$side.size") raster600_${PAGES}p_wall_s=$(median <"$OUT/$side.rwall")" \
        "raster600_${PAGES}p_cpu_s=$(median <"$OUT/$side.rcpu")"
done

#!/usr/bin/env bash
# ZPL II against PDF and against CUPS's Zebra ZPL driver, for two labels:
#  - the benchmark label (a 2 x 4 sheet of 80 x 50 mm labels: three text lines that change
#    every label, an EAN-13 with its digits, a Code 39 and a frame; ZPL prints a row of two
#    labels at a time);
#  - a 62 x 29 mm roll label with four barcodes (EAN-13, Code 39, QR Code, Data Matrix)
#    and a 6 pt lot line, the same on every label.
# Each job through cartigo-print at 203 dpi to PDF and to ZPL, RUNS times side by side:
# wall time, CPU time, peak memory, bytes per label, then the medians. The driver's bytes
# per label: the PDF of DRIVER_N labels through cupsfilter with the Zebra PPD that ppdc
# makes from CUPS's sample drivers (the driver sends a bitmap a page, so a per-label
# figure from a few hundred labels holds for any number).
#
# Usage: bench/print/zpl.sh [RUNS]   (from the repository, after a build in ./build)
# Environment: CARTIGO_BUILD (default ./build), OUT_DIR (default a temporary folder),
# PEER_DIR (default ../shared/bench/glabels: make_data.py), SIZES (default "1000 10000"),
# DRIVER_N (default 200; 0 skips the driver).
set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
BUILD=${CARTIGO_BUILD:-$ROOT/build}
PEER=${PEER_DIR:-$ROOT/../shared/bench/glabels}
OUT=${OUT_DIR:-$(mktemp -d)}
RUNS=${1:-3}
SIZES=${SIZES:-1000 10000}
DRIVER_N=${DRIVER_N:-200}
PRINT=$BUILD/cartigo-print
[[ -x $PRINT ]] || { echo "build cartigo-print first ($PRINT)" >&2; exit 1; }
source "$ROOT/bench/misure.sh"

# label name, file, the driver's page size for its PDF pages
LABELS=("benchmark $HERE/etichetta_glabels.eti A4" "62x29 $HERE/etichetta_62x29.eti Custom.176x82")

driver_bytes() {  # LABEL_FILE PAGE_SIZE: bytes per label the Zebra driver sends
    local eti=$1 size=$2 ppd=$OUT/ppd/zebra.ppd
    if [[ ! -f $ppd ]]; then
        mkdir -p "$OUT/ppd"
        ppdc -d "$OUT/ppd" /usr/share/cups/drv/sample.drv >/dev/null 2>&1 || { echo "n/a"; return; }
    fi
    python3 "$PEER/make_data.py" "$DRIVER_N" "$OUT/driver.csv"
    "$PRINT" "$eti" --db "$OUT/driver.csv" --dpi 203 --pdf "$OUT/driver.pdf" >/dev/null
    cupsfilter -p "$ppd" -m printer/foo -e -o PageSize="$size" -o Resolution=203dpi "$OUT/driver.pdf" \
        >"$OUT/driver.zpl" 2>/dev/null || { echo "n/a"; return; }
    echo $(($(stat -c %s "$OUT/driver.zpl") / DRIVER_N))
}

for label in "${LABELS[@]}"; do
    read -r name eti size <<<"$label"
    driver=n/a
    [[ $DRIVER_N -gt 0 ]] && driver=$(driver_bytes "$eti" "$size")
    echo "$name: CUPS Zebra driver at 203 dpi: $driver bytes per label ($DRIVER_N labels)"
    for n in $SIZES; do
        csv=$OUT/data_$n.csv
        python3 "$PEER/make_data.py" "$n" "$csv"
        : >"$OUT/runs.txt"
        for r in $(seq "$RUNS"); do
            for uscita in pdf zpl; do
                file=$OUT/out_$n.$uscita
                rm -f "$file"
                read -r wall cpu rss < <(timed_cpu "$PRINT" "$eti" --db "$csv" --dpi 203 "--$uscita" "$file")
                bytes=$(stat -c %s "$file")
                echo "$uscita $wall $cpu $rss $bytes" >>"$OUT/runs.txt"
                awk -v u="$uscita" -v n="$n" -v r="$r" -v w="$wall" -v c="$cpu" -v m="$rss" -v b="$bytes" 'BEGIN {
                    printf "  %s N=%d run=%d wall_s=%s cpu_s=%s max_rss_mb=%.1f bytes=%d bytes_per_label=%.0f\n",
                           u, n, r, w, c, m / 1024, b, b / n }'
            done
        done
        for uscita in pdf zpl; do
            med() { awk -v u="$uscita" -v c="$1" '$1 == u { print $c }' "$OUT/runs.txt" | median; }
            awk -v nm="$name" -v u="$uscita" -v n="$n" -v w="$(med 2)" -v c="$(med 3)" -v m="$(med 4)" -v b="$(med 5)" \
                -v d="$driver" 'BEGIN {
                printf "%s %s N=%d median: wall_s=%s cpu_s=%s max_rss_mb=%.1f bytes_per_label=%.0f", nm, u, n, w, c, m / 1024, b / n
                if (u == "zpl" && d != "n/a") printf " (%.1f %% of the driver)", 100 * b / n / d
                printf "\n" }'
        done
    done
done

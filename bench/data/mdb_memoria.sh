#!/usr/bin/env bash
# Peak memory and wall time of cartigo-print printing one label per row of a large MDB
# table to PDF. The test data has no large MDB file, so a stand-in reader program hands
# over nwind.mdb's real catalogue (written by the build's cartigo-mdbreader) and an
# "Order Details" of ROWS rows (data/lettore_sostituto.py): what follows the reader is measured.
#
# Usage: bench/data/mdb_memoria.sh [RUNS]   (from the repository, after a build in ./build)
# Environment: CARTIGO_BUILD (default ./build), ROWS (default 200000), TESTDATA (default
# ../shared/testdata). Needs the sqlite3 program and /usr/bin/time.
set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
ROWS=${ROWS:-200000}
RUNS=${1:-3}
source "$HERE/../misure.sh"
richiedi cartigo-print cartigo-mdbreader
uscita_temporanea
catalogo_nwind
# the stand-in reader: the catalogue above and an "Order Details" of ROWS rows made up as it goes
export CARTIGO_MDBREADER=$HERE/lettore_sostituto.py RIGHE=$ROWS CATALOGO=$OUT/catalogo.sqlite

label_campi "$OUT/mdb.eti" "$NWIND" "Order Details" 'Order ${OrderID}, product ${ProductID}' \
    '${Quantity} x ${UnitPrice}'

walls=() cpus=() rsss=()
for ((r = 1; r <= RUNS; r++)); do
    rm -f "$OUT/out.pdf"
    read -r wall cpu rss < <(timed_cpu "$BUILD/cartigo-print" "$OUT/mdb.eti" --pdf "$OUT/out.pdf")
    pages=$(pdfinfo "$OUT/out.pdf" | awk '/^Pages:/ { print $2 }')
    [[ $pages == $(((ROWS + 23) / 24)) ]] || { echo "$pages pages for $ROWS labels" >&2; exit 1; }
    echo "mdb rows=$ROWS run=$r wall_s=$wall cpu_s=$cpu max_rss_kb=$rss pages=$pages"
    walls+=("$wall") cpus+=("$cpu") rsss+=("$rss")
done
echo "mdb rows=$ROWS median wall_s=$(printf '%s\n' "${walls[@]}" | median)" \
    "cpu_s=$(printf '%s\n' "${cpus[@]}" | median) max_rss_kb=$(printf '%s\n' "${rsss[@]}" | median)"

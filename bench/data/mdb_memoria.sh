#!/usr/bin/env bash
# Peak memory and wall time of cartigo-print printing one label per row of a large MDB
# table to PDF. The test data has no large MDB file, so a stand-in reader program hands
# over nwind.mdb's real catalogue (written by the build's cartigo-mdbreader) and an
# "Order Details" of ROWS rows made with sqlite3: what follows the reader is measured.
#
# Usage: bench/data/mdb_memoria.sh [RUNS]   (from the repository, after a build in ./build)
# Environment: CARTIGO_BUILD (default ./build), ROWS (default 200000), TESTDATA (default
# ../shared/testdata). Needs the sqlite3 program and /usr/bin/time.
set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
BUILD=${CARTIGO_BUILD:-$ROOT/build}
ROWS=${ROWS:-200000}
RUNS=${1:-3}
NWIND=${TESTDATA:-$ROOT/../shared/testdata}/mdb/nwind.mdb
OUT=$(mktemp -d)
trap 'rm -rf "$OUT"' EXIT
source "$HERE/../misure.sh"

[[ -x $BUILD/cartigo-print && -x $BUILD/cartigo-mdbreader ]] || { echo "build first ($BUILD)" >&2; exit 1; }
"$BUILD/cartigo-mdbreader" catalogo "$NWIND" "$OUT/catalogo.sqlite" >/dev/null
sqlite3 "$OUT/tabelle.sqlite" <<SQL
CREATE TABLE "Order Details" (OrderID, ProductID, UnitPrice, Quantity, Discount);
WITH RECURSIVE r(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM r WHERE i < $ROWS)
INSERT INTO "Order Details" SELECT i, i % 77 + 1, 12.5 + i % 100, i % 50, 0.05 FROM r;
SQL
# arguments: [--memoria BYTES] MODE FILE OUT [NAME...]
printf '#!/bin/sh\n[ "$1" = --memoria ] && shift 2\ncp "%s/$1.sqlite" "$3" && echo OK\n' "$OUT" >"$OUT/lettore.sh"
chmod +x "$OUT/lettore.sh"

label_campi "$OUT/mdb.eti" "$NWIND" "Order Details" 'Order ${OrderID}, product ${ProductID}' \
    '${Quantity} x ${UnitPrice}'

walls=() cpus=() rsss=()
for ((r = 1; r <= RUNS; r++)); do
    rm -f "$OUT/out.pdf"
    read -r wall cpu rss < <(CARTIGO_MDBREADER=$OUT/lettore.sh timed_cpu "$BUILD/cartigo-print" "$OUT/mdb.eti" --pdf "$OUT/out.pdf")
    pages=$(pdfinfo "$OUT/out.pdf" | awk '/^Pages:/ { print $2 }')
    [[ $pages == $(((ROWS + 23) / 24)) ]] || { echo "$pages pages for $ROWS labels" >&2; exit 1; }
    echo "mdb rows=$ROWS run=$r wall_s=$wall cpu_s=$cpu max_rss_kb=$rss pages=$pages"
    walls+=("$wall") cpus+=("$cpu") rsss+=("$rss")
done
echo "mdb rows=$ROWS median wall_s=$(printf '%s\n' "${walls[@]}" | median)" \
    "cpu_s=$(printf '%s\n' "${cpus[@]}" | median) max_rss_kb=$(printf '%s\n' "${rsss[@]}" | median)"

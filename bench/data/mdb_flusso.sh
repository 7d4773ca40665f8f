#!/usr/bin/env bash
# Time to the first label and peak memory of cartigo-print printing every row of an MDB
# table to PDF: a million rows through a stand-in reader (data/lettore_sostituto.py,
# nwind.mdb's real catalogue and an "Order Details" made up as it goes, in the reader's
# stream of rows), and nwind.mdb's own "Order Details" (2,155 rows, the largest sample
# table) through the build's reader. The first label is drawn as the job's document
# begins: the moment its PDF's temporary file (".NAME.xxxxxx" beside it) appears. The
# stand-in's rows are also printed through a selection (Quantity between 10 and 19).
#
# Usage: bench/data/mdb_flusso.sh [RUNS]   (from the repository, after a build in ./build)
# Environment: CARTIGO_BUILD (default ./build); CARTIGO_BUILD_PRIMA, a build whose reader
# wrote a SQLite file (the stand-in then writes one too), measured the same way; ROWS
# (default 1000000); TESTDATA (default ../shared/testdata). Needs python3, pdfinfo,
# /usr/bin/time.
set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
ROWS=${ROWS:-1000000}
RUNS=${1:-3}
source "$HERE/../misure.sh"
richiedi cartigo-print cartigo-mdbreader
uscita_temporanea
catalogo_nwind
label_campi "$OUT/od.eti" "$NWIND" "Order Details" 'Order ${OrderID}, product ${ProductID}' '${Quantity} x ${UnitPrice}'
# the same label for the rows whose Quantity is between 10 and 19 (a fifth of the stand-in's)
awk 'NR == 5 { $0 = "Quantity\r" } NR == 6 { $0 = " 2 \r" } NR == 8 { $0 = "10\r" } NR == 9 { $0 = "19\r" } { print }' \
    "$OUT/od.eti" >"$OUT/od_tra.eti"

# One run: "first_s wall_s max_rss_kb" of COMMAND writing OUT.pdf (first_s: the temporary
# file appears).
prima_etichetta() {
    python3 - "$OUT/out.pdf" "$OUT/time.txt" "$@" <<'PY'
import glob, os, subprocess, sys, time
uscita, tempi, cmd = sys.argv[1], sys.argv[2], sys.argv[3:]
cartella, nome = os.path.split(uscita)
for f in glob.glob(os.path.join(cartella, "." + nome + ".*")) + [uscita]:
    if os.path.exists(f):
        os.unlink(f)
t0 = time.monotonic()
p = subprocess.Popen(["/usr/bin/time", "-v", "-o", tempi] + cmd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
prima = None
while p.poll() is None:
    if prima is None and glob.glob(os.path.join(cartella, "." + nome + ".*")):
        prima = time.monotonic() - t0
    time.sleep(0.002)
wall = time.monotonic() - t0
if p.returncode != 0:
    sys.exit(f"failed ({p.returncode})")
rss = next(l.split(":")[1].strip() for l in open(tempi) if "Maximum resident set size" in l)
print(f"{prima if prima is not None else wall:.3f} {wall:.3f} {rss}")
PY
}

# misura NAME PAGES COMMAND...: RUNS runs, the page count checked, then the medians
misura() {
    local nome=$1 attese=$2 r riga
    shift 2
    local prime=() walls=() rsss=()
    for ((r = 1; r <= RUNS; r++)); do
        riga=$(prima_etichetta "$@") || { echo "$nome failed" >&2; exit 1; }
        read -r prima wall rss <<<"$riga"
        pagine=$(pdfinfo "$OUT/out.pdf" | awk '/^Pages:/ { print $2 }')
        [[ $pagine == "$attese" ]] || { echo "$nome: $pagine pages, not $attese" >&2; exit 1; }
        echo "$nome run=$r first_label_s=$prima wall_s=$wall max_rss_kb=$rss"
        prime+=("$prima") walls+=("$wall") rsss+=("$rss")
    done
    echo "$nome median first_label_s=$(printf '%s\n' "${prime[@]}" | median)" \
        "wall_s=$(printf '%s\n' "${walls[@]}" | median) max_rss_kb=$(printf '%s\n' "${rsss[@]}" | median)"
}

for b in "$BUILD" ${CARTIGO_BUILD_PRIMA:+"$CARTIGO_BUILD_PRIMA"}; do
    formato=stream
    [[ $b == "${CARTIGO_BUILD_PRIMA:-}" ]] && formato=sqlite
    misura "build=$b rows=$ROWS" $(((ROWS + 23) / 24)) env CARTIGO_MDBREADER="$HERE/lettore_sostituto.py" \
        RIGHE="$ROWS" CATALOGO="$OUT/catalogo.sqlite" FORMATO=$formato "$b/cartigo-print" "$OUT/od.eti" --pdf "$OUT/out.pdf"
    [[ $formato == stream ]] &&
        misura "build=$b rows=$ROWS Quantity between 10 and 19" $(((ROWS / 5 + 23) / 24)) \
            env CARTIGO_MDBREADER="$HERE/lettore_sostituto.py" RIGHE="$ROWS" CATALOGO="$OUT/catalogo.sqlite" \
            "$b/cartigo-print" "$OUT/od_tra.eti" --pdf "$OUT/out.pdf"
    misura "build=$b nwind Order Details" 90 "$b/cartigo-print" "$OUT/od.eti" --pdf "$OUT/out.pdf"
done

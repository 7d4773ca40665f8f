#!/usr/bin/env bash
# Peak memory of whole jobs at 10,000 and 100,000 labels (/usr/bin/time -v, medians of RUNS):
# cartigo-print from a CSV file to each output (PDF, print file, a queue of a private CUPS
# scheduler), from each source (CSV, SQLite, an MDB table through a stand-in reader) to PDF,
# and the preview of the job (print/bench_anteprima, one run). Every run's page count is checked.
#
# Usage: bench/print/memoria.sh [RUNS]   (from the repository, after a build in ./build;
#        the preview needs -DCARTIGO_BUILD_BENCH=ON and is left out without it)
# Environment: CARTIGO_BUILD (default ./build), SIZES (default "10000 100000"),
# TESTDATA (default ../shared/testdata). Needs sqlite3, cupsd and lpadmin, pdfinfo.
set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
BUILD=${CARTIGO_BUILD:-$ROOT/build}
SIZES=${SIZES:-10000 100000}
RUNS=${1:-3}
NWIND=${TESTDATA:-$ROOT/../shared/testdata}/mdb/nwind.mdb
OUT=$(mktemp -d)
CUPSD=
fine() {
    [[ -n $CUPSD ]] && kill "$CUPSD" 2>/dev/null && wait "$CUPSD" 2>/dev/null
    rm -rf "$OUT"
}
trap fine EXIT
source "$HERE/../misure.sh"
[[ -x $BUILD/cartigo-print && -x $BUILD/cartigo-mdbreader ]] || { echo "build first ($BUILD)" >&2; exit 1; }

# A private scheduler whose queue "Coda" writes what it gets into $OUT/cups/out/coda.pdf.
C=$OUT/cups
mkdir -p "$C"/{spool,cache,state,log,tmp,out}
chmod 755 "$OUT" "$C"  # the filters run as another user
chmod 1777 "$C/tmp" "$C/out"
PORT=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
printf 'ServerRoot %s\nRequestRoot %s/spool\nCacheDir %s/cache\nStateDir %s/state\nTempDir %s/tmp\nAccessLog %s/log/a\nErrorLog %s/log/e\nPageLog %s/log/p\nFileDevice Yes\n' \
    "$C" "$C" "$C" "$C" "$C" "$C" "$C" "$C" >"$C/cups-files.conf"
[[ $(id -u) == 0 ]] && echo "SystemGroup root" >>"$C/cups-files.conf"
printf 'Listen localhost:%s\nWebInterface No\nBrowsing No\nDefaultAuthType None\nMaxJobs 0\n<Location />\n Order allow,deny\n Allow all\n</Location>\n<Policy default>\n <Limit All>\n  Order deny,allow\n </Limit>\n</Policy>\n' \
    "$PORT" >"$C/cupsd.conf"
cat >"$C/coda.ppd" <<'PPD'
*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "CODA.PPD"
*Manufacturer: "Cartigo"
*Product: "(Cartigo bench)"
*ModelName: "Cartigo bench"
*ShortNickName: "Cartigo bench"
*NickName: "Cartigo bench"
*PSVersion: "(3010.000) 0"
*LanguageLevel: "3"
*ColorDevice: True
*DefaultColorSpace: RGB
*FileSystem: False
*Throughput: "1"
*cupsVersion: 2.4
*cupsManualCopies: True
*cupsFilter2: "application/vnd.cups-pdf application/pdf 0 -"
*OpenUI *PageSize/Media Size: PickOne
*DefaultPageSize: A4
*PageSize A4/A4: "<</PageSize[595 842]/ImagingBBox null>>setpagedevice"
*CloseUI: *PageSize
PPD
cupsd -f -c "$C/cupsd.conf" -s "$C/cups-files.conf" >"$C/log/cupsd.out" 2>&1 &
CUPSD=$!
export CUPS_SERVER=localhost:$PORT
for ((i = 0; i < 50; i++)); do lpstat -r >/dev/null 2>&1 && break; sleep 0.2; done
lpadmin -p Coda -E -v "file://$C/out/coda.pdf" -P "$C/coda.ppd"

# The data: one table "Righe" of the largest size, as SQLite and CSV; the MDB source is a
# stand-in reader handing over nwind.mdb's catalogue and an "Order Details" of those rows.
MAX=$(printf '%s\n' $SIZES | sort -n | tail -1)
sqlite3 "$OUT/righe.sqlite" <<SQL
CREATE TABLE Righe (OrderID, ProductID, UnitPrice, Quantity);
WITH RECURSIVE r(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM r WHERE i < $MAX)
INSERT INTO Righe SELECT i, i % 77 + 1, 12.5 + i % 100, i % 50 FROM r;
SQL
"$BUILD/cartigo-mdbreader" catalogo "$NWIND" "$OUT/catalogo.sqlite" >/dev/null
righe=('Order ${OrderID}, product ${ProductID}' '${Quantity} x ${UnitPrice}')

# misura NAME PAGES OUTPUT COMMAND...: RUNS runs of COMMAND, the pages of OUTPUT checked
pagine() { pdfinfo "$1" 2>/dev/null | awk '/^Pages:/ { print $2 }'; }
misura() {
    local nome=$1 attese=$2 uscita=$3
    shift 3
    local rss=() r riga
    for ((r = 1; r <= RUNS; r++)); do
        rm -f "$uscita" "$C/out/coda.pdf"
        riga=$(timed_cpu "$@") || { echo "$nome failed" >&2; exit 1; }
        if [[ $uscita == *.ant ]]; then
            [[ -s $uscita ]] || { echo "$nome: no print file" >&2; exit 1; }
        else
            for ((i = 0; i < 300; i++)); do [[ -s $uscita ]] && [[ -n $(pagine "$uscita") ]] && break; sleep 0.2; done
            [[ $(pagine "$uscita") == "$attese" ]] || {
                echo "$nome: $(pagine "$uscita") pages, not $attese" >&2
                tail -5 "$C/log/e" >&2
                exit 1
            }
        fi
        rss+=("$(echo "$riga" | awk '{ print $3 }')")
        echo "$nome run=$r wall_s=$(echo "$riga" | awk '{ print $1 }') max_rss_kb=${rss[-1]}"
    done
    echo "$nome median max_rss_kb=$(printf '%s\n' "${rss[@]}" | median)"
}

for n in $SIZES; do
    sqlite3 -csv -header "$OUT/righe.sqlite" "SELECT * FROM Righe WHERE OrderID <= $n" >"$OUT/Righe.csv"
    sqlite3 "$OUT/righe.sqlite" "DROP TABLE IF EXISTS Parte; CREATE TABLE Parte AS SELECT * FROM Righe WHERE OrderID <= $n"
    label_campi "$OUT/csv.eti" "$OUT/Righe.csv" Righe "${righe[@]}"
    label_campi "$OUT/sqlite.eti" "$OUT/righe.sqlite" Parte "${righe[@]}"
    label_campi "$OUT/mdb.eti" "$NWIND" "Order Details" "${righe[@]}"
    p=$(((n + 23) / 24))
    misura "labels=$n csv->pdf" $p "$OUT/o.pdf" "$BUILD/cartigo-print" "$OUT/csv.eti" --pdf "$OUT/o.pdf"
    misura "labels=$n csv->ant" $p "$OUT/o.ant" "$BUILD/cartigo-print" "$OUT/csv.eti" --ant "$OUT/o.ant"
    misura "labels=$n csv->cups" $p "$C/out/coda.pdf" "$BUILD/cartigo-print" "$OUT/csv.eti" --printer Coda
    misura "labels=$n sqlite->pdf" $p "$OUT/o.pdf" "$BUILD/cartigo-print" "$OUT/sqlite.eti" --pdf "$OUT/o.pdf"
    misura "labels=$n mdb->pdf" $p "$OUT/o.pdf" \
        env CARTIGO_MDBREADER="$HERE/../data/lettore_sostituto.py" RIGHE=$n CATALOGO="$OUT/catalogo.sqlite" "$BUILD/cartigo-print" "$OUT/mdb.eti" --pdf "$OUT/o.pdf"
    if [[ -x $BUILD/bench/print/bench_anteprima ]]; then
        read -r wall cpu rss < <(QT_QPA_PLATFORM=offscreen timed_cpu "$BUILD/bench/print/bench_anteprima" 1 "$n")
        echo "labels=$n preview (job and its print file, one run) wall_s=$wall max_rss_kb=$rss"
    fi
done

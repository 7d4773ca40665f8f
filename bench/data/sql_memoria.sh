#!/usr/bin/env bash
# Peak memory and wall time of cartigo-print printing one label per row of a large SQL
# table to PDF: a SQLite file and a private PostgreSQL server (initdb/pg_ctl in a temporary
# folder, port 127.0.0.1:PORT, stopped at the end), the same table in both.
#
# Usage: bench/data/sql_memoria.sh [RUNS]   (from the repository, after a build in ./build)
# Environment: CARTIGO_BUILD (default ./build), ROWS (default 1000000),
# PG_BIN (default /usr/lib/postgresql/15/bin; the PostgreSQL half is left out without it).
# Needs the sqlite3 program (Debian package sqlite3) and /usr/bin/time.
# Prints one line per run and the medians of wall time and peak memory.
set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
BUILD=${CARTIGO_BUILD:-$ROOT/build}
PRINT=$BUILD/cartigo-print
ROWS=${ROWS:-1000000}
RUNS=${1:-3}
PG_BIN=${PG_BIN:-/usr/lib/postgresql/15/bin}
OUT=$(mktemp -d)
chmod 755 "$OUT"
PG_DATA=$OUT/pg
PG_UP=0

[[ -x $PRINT ]] || { echo "build cartigo-print first ($PRINT)" >&2; exit 1; }

# initdb refuses root: the cluster is then nobody's.
as_server() { if [[ $(id -u) == 0 ]]; then runuser -u nobody -- "$@"; else "$@"; fi; }
stop_pg() { if ((PG_UP)); then as_server "$PG_BIN/pg_ctl" -D "$PG_DATA" -m fast -w stop >/dev/null; fi; }
trap 'stop_pg; rm -rf "$OUT"' EXIT

median() { sort -n | awk '{ a[NR] = $1 } END { print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2 }'; }
seconds() { awk -F: '{ s = 0; for (i = 1; i <= NF; i++) s = s * 60 + $i; printf "%.3f", s }'; }

# A label of 3 x 8 labels a page bound to table "righe" of DATABASE, two lines of merge fields.
label() {
    local eti=$1 db=$2
    {
        printf '%s\r\n' oggDatabase "$db" "" righe "" " 0 " "" "" "" False "" oggLayout \
            " 3 " " 8 " " 5 " " 10 " " 66 " " 33 " " 3 " " 2 " " -4 " " 0 "
        local top=150 t
        for t in '${id}: ${nome}' '${prezzo} / ${arrivo}'; do
            printf '%s\r\n' oggTesto " 200 " " $top " " 3400 " " 280 " "$t" Arial " 9 " False False \
                " 0 " " 0 " " 16777215 " " 0 " "" " 0 "
            top=$((top + 300))
        done
    } >"$eti"
}

# One timed run; prints "wall_s max_rss_kb pages".
timed() {
    local eti=$1 pdf=$OUT/out.pdf t=$OUT/time.txt
    rm -f "$pdf"
    /usr/bin/time -v -o "$t" "$PRINT" "$eti" --pdf "$pdf" >/dev/null 2>"$OUT/stderr.txt" ||
        { cat "$OUT/stderr.txt" >&2; return 1; }
    local wall rss pages
    wall=$(sed -n 's/^[[:space:]]*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$t" | seconds)
    rss=$(sed -n 's/^[[:space:]]*Maximum resident set size (kbytes): //p' "$t")
    pages=$(pdfinfo "$pdf" | awk '/^Pages:/ { print $2 }')
    [[ $pages == $(((ROWS + 23) / 24)) ]] || { echo "$pages pages for $ROWS labels" >&2; return 1; }
    echo "$wall $rss $pages"
}

run() {
    local name=$1 eti=$2 walls=() rsss=() wall rss pages r
    for ((r = 1; r <= RUNS; r++)); do
        read -r wall rss pages < <(timed "$eti")
        echo "$name rows=$ROWS run=$r wall_s=$wall max_rss_kb=$rss pages=$pages"
        walls+=("$wall") rsss+=("$rss")
    done
    echo "$name rows=$ROWS median wall_s=$(printf '%s\n' "${walls[@]}" | median)" \
        "max_rss_kb=$(printf '%s\n' "${rsss[@]}" | median)"
}

# SQLite
sqlite3 "$OUT/righe.sqlite" <<SQL
CREATE TABLE righe (id INTEGER, nome TEXT, prezzo REAL, arrivo DATE);
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < $ROWS)
INSERT INTO righe SELECT i, printf('Articolo %07d', i), (i % 1000) / 10.0, date('1990-01-01', '+' || (i % 20000) || ' days') FROM n;
SQL
label "$OUT/sqlite.eti" "$OUT/righe.sqlite"
run sqlite "$OUT/sqlite.eti"

# PostgreSQL
if [[ ! -x $PG_BIN/initdb ]]; then
    echo "postgresql: $PG_BIN/initdb not found, left out"
    exit 0
fi
mkdir "$PG_DATA"
[[ $(id -u) == 0 ]] && chown nobody "$PG_DATA"
as_server "$PG_BIN/initdb" -D "$PG_DATA" -U cartigo --auth=trust -E UTF8 --locale=C --no-sync >/dev/null
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
as_server "$PG_BIN/pg_ctl" -D "$PG_DATA" -l "$PG_DATA/server.log" -w \
    -o "-p $port -k $PG_DATA -c listen_addresses=127.0.0.1 -c fsync=off" start >/dev/null
PG_UP=1
psql -X -q -h 127.0.0.1 -p "$port" -U cartigo -d postgres -v ON_ERROR_STOP=1 <<SQL
CREATE TABLE righe (id integer, nome text, prezzo numeric(10,2), arrivo date);
INSERT INTO righe SELECT i, 'Articolo ' || lpad(i::text, 7, '0'), (i % 1000) / 10.0,
    date '1990-01-01' + i % 20000 FROM generate_series(1, $ROWS) i;
SQL
label "$OUT/postgres.eti" "postgresql://cartigo@127.0.0.1:$port/postgres"
run postgresql "$OUT/postgres.eti"

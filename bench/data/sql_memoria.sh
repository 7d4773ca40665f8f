#!/usr/bin/env bash
# Peak memory and wall time of cartigo-print printing one label per row of a large SQL
# table to PDF: a SQLite file and a private PostgreSQL server (initdb/pg_ctl in a temporary
# folder, port 127.0.0.1:PORT, stopped at the end), the same table in both.
#
# Usage: bench/data/sql_memoria.sh [RUNS]   (from the repository, after a build in ./build)
# Environment: CARTIGO_BUILD (default ./build), ROWS (default 1000000),
# PG_BIN (default /usr/lib/postgresql/15/bin; the PostgreSQL half is left out without it).
# Needs the sqlite3 program (Debian package sqlite3) and /usr/bin/time.
# Prints one line per run and the medians of wall time, CPU time and peak memory.
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

source "$HERE/../misure.sh"

# A label bound to table "righe" of DATABASE, two lines of merge fields.
label() { label_campi "$1" "$2" righe '${id}: ${nome}' '${prezzo} / ${arrivo}'; }

# One timed run; prints "wall_s cpu_s max_rss_kb pages".
run_once() {
    local eti=$1 pdf=$OUT/out.pdf r pages
    rm -f "$pdf"
    r=$(timed_cpu "$PRINT" "$eti" --pdf "$pdf") || return 1
    pages=$(pdfinfo "$pdf" | awk '/^Pages:/ { print $2 }')
    [[ $pages == $(((ROWS + 23) / 24)) ]] || { echo "$pages pages for $ROWS labels" >&2; return 1; }
    echo "$r $pages"
}

run() {
    local name=$1 eti=$2 walls=() cpus=() rsss=() wall cpu rss pages r
    for ((r = 1; r <= RUNS; r++)); do
        read -r wall cpu rss pages < <(run_once "$eti")
        echo "$name rows=$ROWS run=$r wall_s=$wall cpu_s=$cpu max_rss_kb=$rss pages=$pages"
        walls+=("$wall") cpus+=("$cpu") rsss+=("$rss")
    done
    echo "$name rows=$ROWS median wall_s=$(printf '%s\n' "${walls[@]}" | median)" \
        "cpu_s=$(printf '%s\n' "${cpus[@]}" | median) max_rss_kb=$(printf '%s\n' "${rsss[@]}" | median)"
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

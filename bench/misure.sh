# Helpers of the whole-process benchmarks (sourced): the scripts' common start, medians, timed
# runs, a label bound to a table. timed writes its files into $OUT.

# The repository and the build measured (CARTIGO_BUILD, by default ./build).
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${CARTIGO_BUILD:-$ROOT/build}
# richiedi PROGRAM...: stops unless each is built (paths under $BUILD).
richiedi() {
    local p
    for p; do [[ -x $BUILD/$p ]] || { echo "build $p first ($BUILD/$p; the bench programs need -DCARTIGO_BUILD_BENCH=ON)" >&2; exit 1; }; done
}
# uscita_temporanea: OUT is OUT_DIR when given, else a temporary folder removed at the end.
uscita_temporanea() {
    if [[ -n ${OUT_DIR:-} ]]; then
        OUT=$OUT_DIR
        mkdir -p "$OUT"
    else
        OUT=$(mktemp -d)
        trap 'rm -rf "$OUT"' EXIT
    fi
}
# catalogo_nwind: the real catalogue of nwind.mdb (TESTDATA, by default ../shared/testdata),
# written by the build's reader into $OUT/catalogo.sqlite, for the stand-in reader
# (data/lettore_sostituto.py); NWIND names the file.
catalogo_nwind() {
    NWIND=${TESTDATA:-$ROOT/../shared/testdata}/mdb/nwind.mdb
    "$BUILD/cartigo-mdbreader" catalogo "$NWIND" "$OUT/catalogo.sqlite" >/dev/null
}

# The median of the numbers on standard input, one a line.
median() { sort -n | awk '{ a[NR] = $1 } END { print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2 }'; }
# "h:mm:ss" or "m:ss.cc" as seconds.
seconds() { awk -F: '{ s = 0; for (i = 1; i <= NF; i++) s = s * 60 + $i; printf "%.3f", s }'; }

# One timed run of a command; prints "wall_s cpu_s max_rss_kb" (cpu_s: user + system time).
timed_cpu() {
    local t=$OUT/time.txt
    /usr/bin/time -v -o "$t" "$@" >/dev/null 2>"$OUT/stderr.txt" || { cat "$OUT/stderr.txt" >&2; return 1; }
    local wall user sys rss
    wall=$(sed -n 's/^[[:space:]]*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$t" | seconds)
    user=$(sed -n 's/^[[:space:]]*User time (seconds): //p' "$t")
    sys=$(sed -n 's/^[[:space:]]*System time (seconds): //p' "$t")
    rss=$(sed -n 's/^[[:space:]]*Maximum resident set size (kbytes): //p' "$t")
    echo "$wall $(awk -v u="$user" -v s="$sys" 'BEGIN { printf "%.2f", u + s }') $rss"
}

# One timed run of a command; prints "wall_s max_rss_kb".
timed() {
    local r
    r=$(timed_cpu "$@") || return 1
    echo "$r" | awk '{ print $1, $3 }'
}

# A label of 3 x 8 labels a page bound to TABLE of DATABASE, one text line per further
# argument (merge fields as ${field}); written to ETI. Usage: label_campi ETI DATABASE TABLE LINE...
label_campi() {
    local eti=$1 db=$2 tabella=$3 top=150 t
    shift 3
    {
        printf '%s\r\n' oggDatabase "$db" "" "$tabella" "" " 0 " "" "" "" False "" oggLayout \
            " 3 " " 8 " " 5 " " 10 " " 66 " " 33 " " 3 " " 2 " " -4 " " 0 "
        for t in "$@"; do
            printf '%s\r\n' oggTesto " 200 " " $top " " 3400 " " 280 " "$t" Arial " 9 " False False \
                " 0 " " 0 " " 16777215 " " 0 " "" " 0 "
            top=$((top + 300))
        done
    } >"$eti"
}

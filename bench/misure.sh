# Helpers of the whole-process benchmarks (sourced): medians and timed runs.
# timed writes its files into $OUT.

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

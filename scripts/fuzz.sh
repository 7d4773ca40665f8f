#!/usr/bin/env bash
# Runs one libFuzzer target of tests/fuzz for a number of seconds:
#
#     scripts/fuzz.sh TARGET SECONDS      TARGET: etichetta, file_stampa, csv, mdb
#
# Builds the fuzz targets in ./build-fuzz with clang (-DCARTIGO_FUZZ=ON) when needed, then
# runs TARGET on its starting corpus (tests/fuzz/corpus/TARGET, kept as it is; new inputs go to
# build-fuzz/corpus/TARGET) and its regression inputs (tests/fuzz/regressioni/TARGET).
# Fails on a crash, a sanitizer report, a leak, an input that takes more than 2 seconds or
# an allocation above 512 MB; the input that did it is left in build-fuzz/artefatti/TARGET/.
# The last lines say how many inputs ran (stat::number_of_executed_units). CARTIGO_FUZZ_TIMEOUT
# sets another limit per input (seconds) for long runs on a busy machine.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -ne 2 ]; then
  echo "usage: scripts/fuzz.sh TARGET SECONDS (TARGET: etichetta, file_stampa, csv, mdb)" >&2
  exit 2
fi
bersaglio=$1
secondi=$2
case "$bersaglio" in
  etichetta|file_stampa|csv|mdb) ;;
  *) echo "unknown target $bersaglio (etichetta, file_stampa, csv, mdb)" >&2; exit 2 ;;
esac

clang=$(command -v clang++-14 || command -v clang++ || true)
if [ -z "$clang" ]; then
  echo "clang++ not found: bash scripts/install-deps.sh --fuzz installs it" >&2
  exit 2
fi
if [ ! -f build-fuzz/build.ninja ]; then
  cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER="$clang" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCARTIGO_FUZZ=ON -DCARTIGO_BUILD_TESTS=OFF >/dev/null
fi
cmake --build build-fuzz --target "fuzz_$bersaglio" >/dev/null

lavoro=build-fuzz/corpus/$bersaglio
artefatti=build-fuzz/artefatti/$bersaglio
mkdir -p "$lavoro" "$artefatti"
regressioni=()
[ -d "tests/fuzz/regressioni/$bersaglio" ] && regressioni=("tests/fuzz/regressioni/$bersaglio")

export QT_QPA_PLATFORM=offscreen
# Leaks are ours to fix; Qt's and fontconfig's caches of the process are not leaks.
export LSAN_OPTIONS="suppressions=$PWD/tests/sanitizer/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
programma=build-fuzz/tests/fuzz/fuzz_$bersaglio
stato=0
"$programma" -max_total_time="$secondi" -timeout="${CARTIGO_FUZZ_TIMEOUT:-2}" -malloc_limit_mb=512 -rss_limit_mb=2048 -detect_leaks=1 \
  -print_final_stats=1 -artifact_prefix="$artefatti/" \
  "$lavoro" "tests/fuzz/corpus/$bersaglio" "${regressioni[@]}" || stato=$?
# A timeout on a machine that others load too is checked again: the input alone, three
# times. Slow every time is a fault; in time alone, the machine was busy.
if [ "$stato" -eq 70 ]; then
  lento=$(ls -t "$artefatti"/timeout-* 2>/dev/null | head -n 1)
  if [ -n "$lento" ] && "$programma" -timeout=2 -runs=3 "$lento" >/dev/null 2>&1; then
    echo "fuzz_$bersaglio: $lento took more than 2 s under load but runs in time alone" >&2
    rm -f "$lento"
    stato=0
  fi
fi
exit "$stato"

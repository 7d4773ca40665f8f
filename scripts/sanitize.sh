#!/usr/bin/env bash
# Builds Cartigo with AddressSanitizer and UndefinedBehaviorSanitizer in ./build-asan
# (-DCARTIGO_SANITIZE=address,undefined) and runs the test suite there:
#
#     scripts/sanitize.sh [--core] [CTEST OPTIONS...]
#
# Without --core: everything, and the whole suite. With --core (what CI runs): only the
# test programs of the code that reads what comes from outside and prints it (the string
# table, the label file, the barcodes, the databases and spreadsheets, the print engine and its files, the
# print job and cartigo-print on a private CUPS scheduler); the window tests are left out.
# Any report from our code fails the test that made it; the leaks of Qt's and fontconfig's
# own process-wide caches are listed, with the reason, in tests/sanitizer/lsan.supp. The MDB
# reader helper is built plain: it runs under an address-space cap that the sanitizer's
# shadow memory does not fit in; so is the spreadsheet reader, for the same reason.
set -euo pipefail
cd "$(dirname "$0")/.."
nucleo=(test_shell test_label test_barcode test_data_motore test_data_jetsql test_data_foglio test_stampora_core
        test_stampora_memoria test_print)
bersagli=()
selezione=()
if [ "${1:-}" = "--core" ]; then
  shift
  bersagli=(--target "${nucleo[@]}")
  selezione=(-L "^($(IFS='|'; echo "${nucleo[*]}"))\$")
fi
bash scripts/install-deps.sh
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCARTIGO_SANITIZE=address,undefined >/dev/null
cmake --build build-asan --parallel "$(nproc)" "${bersagli[@]}"
supp=$PWD/tests/sanitizer
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:detect_stack_use_after_return=1:strict_init_order=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export LSAN_OPTIONS="suppressions=$supp/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:suppressions=$supp/ubsan.supp${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
cd build-asan
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)" --timeout 900 "${selezione[@]}" "$@"

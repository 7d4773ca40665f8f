#!/usr/bin/env bash
# Runs the installed programs: cartigo-print prints the sample labels, and a label of an MDB
# database, whose reader it finds in libexec/cartigo/ of its own prefix (never in bin/, as the
# spreadsheet reader, which reads a workbook there); both
# programs answer --help and --version; their manual pages read without warnings, carry the
# version and name every option that --help names, and no other.
# Usage: programmi_installati.sh SOURCE_DIR BUILD_DIR  (stages the build under /usr and /usr/local)
#        programmi_installati.sh SOURCE_DIR --root DIR (a tree already installed under DIR/usr)
set -euo pipefail
sorgenti="$1"
dati="${CARTIGO_TESTDATA:-$sorgenti/../shared/testdata}"
lavoro="$(mktemp -d)"
trap 'rm -rf "$lavoro"' EXIT
unset CARTIGO_MDBREADER CARTIGO_SHEETREADER
prefissi=()
if [ "$2" = --root ]; then
  prefissi=("$3/usr")
else
  for p in /usr /usr/local; do
    DESTDIR="$lavoro/radice" cmake --install "$2" --prefix "$p" >/dev/null
    prefissi+=("$lavoro/radice$p")
  done
fi
versione="$(sed -n 's/^project(Cartigo VERSION \([0-9.]*\) .*/\1/p' "$sorgenti/CMakeLists.txt")"

for radice in "${prefissi[@]}"; do
  test -x "$radice/libexec/cartigo/cartigo-mdbreader"
  test -x "$radice/libexec/cartigo/cartigo-sheetreader"
  if [ -e "$radice/bin/cartigo-mdbreader" ] || [ -e "$radice/bin/cartigo-sheetreader" ]; then
    echo "a reader is installed among the user's commands"; exit 1
  fi
  # the installed spreadsheet reader runs (liborcus found) when a producer is at hand
  if /usr/bin/python3 "$sorgenti/tests/data/fogli.py" righe 30 "$lavoro/r.xlsx" >/dev/null 2>&1; then
    rm -f "$lavoro/r.sqlite"
    "$radice/libexec/cartigo/cartigo-sheetreader" foglio "$lavoro/r.xlsx" "$lavoro/r.sqlite" | grep -q '^OK$'
  fi
  stampa="$radice/bin/cartigo-print"
  riepilogo="$(HOME="$lavoro" "$stampa" "$radice/share/doc/cartigo/examples/indirizzi.eti" --pdf "$lavoro/a.pdf")"
  grep -q '^24 labels, 3 pages' <<<"$riepilogo" || { echo "$radice: $riepilogo"; exit 1; }
  riepilogo="$(HOME="$lavoro" "$stampa" "$radice/share/doc/cartigo/examples/codici.eti" --pdf "$lavoro/c.pdf")"
  grep -q '^1 labels, 1 pages' <<<"$riepilogo" || { echo "$radice: $riepilogo"; exit 1; }
  if [ -f "$dati/mdb/nwind.mdb" ]; then
    riepilogo="$(HOME="$lavoro" "$stampa" "$sorgenti/tests/app/dati/spedizionieri.eti" \
      --db "$dati/mdb/nwind.mdb" --pdf "$lavoro/b.pdf")"
    grep -q '^3 labels, 1 pages' <<<"$riepilogo" || { echo "$radice: $riepilogo"; exit 1; }
  else
    echo "no sample databases in $dati: the MDB reader of the installed programs is not tried"
  fi

  for programma in cartigo cartigo-print; do
    [ "$(env -u DISPLAY -u WAYLAND_DISPLAY "$radice/bin/$programma" --version)" = "$programma $versione" ]
    aiuto="$(env -u DISPLAY -u WAYLAND_DISPLAY LANGUAGE=en "$radice/bin/$programma" --help)"
    man="$radice/share/man/man1/$programma.1.gz"
    avvisi="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$man" 2>&1 >/dev/null)"
    [ -z "$avvisi" ] || { echo "$man: $avvisi"; exit 1; }
    testo="$(zcat "$man" | sed 's/\\-/-/g')"
    grep -q "\"Cartigo $versione\"" <<<"$testo" || { echo "$man does not carry version $versione"; exit 1; }
    for opzione in $(grep -oE -- '--[a-z][a-z-]*' <<<"$aiuto" | sort -u); do
      grep -qF -- "$opzione" <<<"$testo" || { echo "$man does not name $opzione"; exit 1; }
    done
    for opzione in $(grep -oE -- '--[a-z][a-z-]*' <<<"$testo" | sort -u); do
      grep -qF -- "$opzione" <<<"$aiuto" || { echo "$man names $opzione, which $programma --help does not"; exit 1; }
    done
  done
done
echo "installed programs ok"

#!/usr/bin/env bash
# cartigo-print links no widget library and prints with no display and no platform set.
# Usage: senza_finestre.sh CARTIGO_PRINT SOURCE_DIR
set -euo pipefail
programma="$1"
sorgenti="$2"
if ldd "$programma" | grep -E 'libQt6(Widgets|PrintSupport)'; then
  echo "cartigo-print links a widget library"
  exit 1
fi
cartella="$(mktemp -d)"
trap 'rm -rf "$cartella"' EXIT
env -i PATH="$PATH" HOME="$cartella" \
  "$programma" "$sorgenti/samples/indirizzi.eti" --pdf "$cartella/indirizzi.pdf" >"$cartella/riepilogo"
grep -q '^24 labels, 3 pages' "$cartella/riepilogo" || { cat "$cartella/riepilogo"; exit 1; }
test -s "$cartella/indirizzi.pdf"

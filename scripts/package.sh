#!/usr/bin/env bash
# Makes the Debian package of the build in ./build (cpack -G DEB) and tries it without
# installing it: the control fields (computed Depends, Recommends), stripped binaries with
# their symbols in the -dbgsym package, and the programs of the package unpacked with
# dpkg -x into a temporary root, run on the samples (tests/app/programmi_installati.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
versione="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/CMakeCache.txt)"
arch="$(dpkg --print-architecture)"
deb="build/cartigo_${versione}_${arch}.deb"
rm -f "$deb" "build/cartigo-dbgsym_${versione}_${arch}.ddeb"
(cd build && cpack -G DEB >/dev/null)
test -f "$deb" || { echo "cpack made no $deb"; exit 1; }
test -f "build/cartigo-dbgsym_${versione}_${arch}.ddeb"

campo() { dpkg-deb --field "$deb" "$1"; }
[ "$(campo Package)" = cartigo ] && [ "$(campo Version)" = "$versione" ]
for libreria in libqt6gui6 libmdb3 libsqlite3-0 libzint libc6; do
  campo Depends | grep -q "$libreria" || { echo "Depends lacks $libreria: $(campo Depends)"; exit 1; }
done
campo Recommends | grep -q glabels-data
campo Maintainer | grep -q '@'

radice="$(mktemp -d)"
trap 'rm -rf "$radice"' EXIT
dpkg -x "$deb" "$radice"
for f in "$radice"/usr/bin/* "$radice"/usr/libexec/cartigo/*; do
  file "$f" | grep -q ', stripped' || { echo "not stripped: $f"; exit 1; }
done
bash tests/app/programmi_installati.sh "$PWD" --root "$radice"
echo "$deb: $(du -k "$deb" | cut -f1) kB, installed $(campo Installed-Size) kB"

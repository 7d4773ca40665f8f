#!/usr/bin/env bash
# Installs the build into a staging folder and checks the desktop integration: the menu
# entry validates and keeps its Italian keywords apart, the file types register with
# their globs and their magic (a label without its extension is still a label), the
# entry handles both types, the icons come at every hicolor size, and the AppStream
# metadata validates. Usage: installazione.sh BUILD_DIR
set -euo pipefail
build="$1"
stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null
share="$stage/usr/share"
test -x "$stage/usr/bin/cartigo"
for f in applications/cartigo.desktop mime/packages/cartigo-mime.xml icons/hicolor/scalable/apps/cartigo.svg \
         icons/hicolor/scalable/mimetypes/application-x-cartigo-label.svg \
         icons/hicolor/scalable/mimetypes/application-x-cartigo-print.svg; do
  test -f "$share/$f" || { echo "missing $f"; exit 1; }
done

# the menu entry: English keywords by default, the Italian ones under [it]
desktop="$share/applications/cartigo.desktop"
desktop-file-validate "$desktop"
grep -q '^Keywords=label;' "$desktop"
if grep '^Keywords=' "$desktop" | grep -qi 'etichett'; then
  echo "an Italian keyword in the default Keywords="; exit 1
fi
grep -q '^Keywords\[it\]=etichetta;' "$desktop"

# icons: each PNG at its own size, for the program and both file types
for lato in 16 22 24 32 48 64 128 256; do
  for icona in apps/cartigo mimetypes/application-x-cartigo-label mimetypes/application-x-cartigo-print; do
    png="$share/icons/hicolor/${lato}x${lato}/$icona.png"
    file "$png" | grep -q "PNG image data, $lato x $lato," || { echo "wrong or missing: $png"; file "$png"; exit 1; }
  done
done

# AppStream metadata (no network: the screenshot and home page are not fetched)
metainfo=("$share"/metainfo/*.metainfo.xml)
test -f "${metainfo[0]}" || { echo "no AppStream metadata"; exit 1; }
appstreamcli validate --no-net "${metainfo[0]}"

# the file types: globs, magic, and cartigo as their handler
update-mime-database "$share/mime"
grep -q '^[0-9]*:application/x-cartigo-label:\*\.eti$' "$share/mime/globs2"
grep -q '^[0-9]*:application/x-cartigo-print:\*\.ant$' "$share/mime/globs2"
update-desktop-database "$share/applications"
grep -q '^application/x-cartigo-label=cartigo.desktop;' "$share/applications/mimeinfo.cache"
grep -q '^application/x-cartigo-print=cartigo.desktop;' "$share/applications/mimeinfo.cache"

# what a file manager sees in files without their extension
file_tipo() {
  XDG_DATA_HOME="$stage/home" XDG_DATA_DIRS="$share:/usr/share" \
    gio info -a standard::content-type "$1" | sed -n 's/^ *standard::content-type: //p'
}
prove="$stage/prove"
mkdir -p "$prove"
printf 'oggDatabase\r\n\r\n\r\n' >"$prove/etichetta"
printf '\xef\xbb\xbfoggDatabase\r\n\r\n' >"$prove/etichetta-utf8"
printf 'oggDatabase\n\n' >"$prove/etichetta-lf"
printf 'una lettera\r\n' >"$prove/testo"
for f in etichetta etichetta-utf8 etichetta-lf; do
  tipo="$(file_tipo "$prove/$f")"
  [ "$tipo" = application/x-cartigo-label ] || { echo "$f is $tipo"; exit 1; }
done
tipo="$(file_tipo "$prove/testo")"
[ "$tipo" = text/plain ] || { echo "a plain text is $tipo"; exit 1; }
echo "desktop integration ok"

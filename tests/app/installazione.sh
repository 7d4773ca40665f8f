#!/usr/bin/env bash
# Installs the build into a staging folder and checks the desktop integration:
# the menu entry validates, the file types register with their globs, and the
# entry is the handler of both types. Usage: installazione.sh BUILD_DIR
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
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$share/applications/cartigo.desktop"
fi
if command -v update-mime-database >/dev/null; then
  update-mime-database "$share/mime"
  grep -q '^[0-9]*:application/x-cartigo-label:\*\.eti$' "$share/mime/globs2"
  grep -q '^[0-9]*:application/x-cartigo-print:\*\.ant$' "$share/mime/globs2"
fi
if command -v update-desktop-database >/dev/null; then
  update-desktop-database "$share/applications"
  grep -q '^application/x-cartigo-label=cartigo.desktop;' "$share/applications/mimeinfo.cache"
  grep -q '^application/x-cartigo-print=cartigo.desktop;' "$share/applications/mimeinfo.cache"
fi
echo "desktop integration ok"

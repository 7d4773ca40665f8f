#!/usr/bin/env bash
# Takes the screenshot of the designer that the AppStream metadata shows: the sample label
# in the main window, in English, on a virtual X display of 1280x720, saved as
# packaging/screenshots/designer.png (publish it under the home page's /screenshots/).
# Usage: scripts/screenshot.sh [OUT.png]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
out="$(realpath -m "${1:-packaging/screenshots/designer.png}")"
etichetta=samples/esempio.eti
mkdir -p "$(dirname "$out")"
LANGUAGE=en timeout 120 xvfb-run -a -s "-screen 0 1280x720x24" bash -c '
  set -euo pipefail
  ./build/cartigo "$1" &
  programma=$!
  trap "kill $programma 2>/dev/null || true" EXIT
  finestra="$(xdotool search --sync --onlyvisible --name "^Cartigo" | head -n 1)"
  sleep 2  # the first paint of the design surface
  import -window "$finestra" "$2"
' screenshot "$etichetta" "$out"
echo "$out"

#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Cartigo needs.
# Safe to run again: does nothing when everything is already installed.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache git
  qt6-base-dev qt6-base-dev-tools libqt6printsupport6 libqt6svg6
  qt6-image-formats-plugins qt6-qpa-plugins libgl-dev qt6-translations-l10n
  libx11-dev
  mdbtools mdbtools-dev libglib2.0-dev
  libsqlite3-dev
  liborcus-dev zlib1g-dev python3-xlsxwriter python3-odf python3-openpyxl
  libqt6sql6-sqlite libqt6sql6-psql libpq-dev postgresql-15
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  fonts-liberation fontconfig
  libzint-dev libdeflate-dev
  poppler-utils zbar-tools dmtx-utils zxing-cpp-tools
  xvfb xauth imagemagick x11-utils xdotool
  desktop-file-utils shared-mime-info
  librsvg2-bin appstream man-db file dpkg-dev libglib2.0-bin
  cups cups-client cups-filters printer-driver-cups-pdf libcups2-dev cups-ppdc
  glabels-data
  time
  nodejs
)

# --fuzz: also clang and its sanitizer and libFuzzer runtimes, for tests/fuzz (scripts/fuzz.sh).
if [ "${1:-}" = "--fuzz" ]; then
  packages+=(clang-14 libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

# npm comes with some builds of nodejs; Debian's own is a package of its own.
if ! command -v npm >/dev/null 2>&1 && ! printf '%s\n' "${missing[@]}" | grep -qx npm; then
  missing+=(npm)
fi

if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
  fi
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The tests' independent ZPL reader: zpl-renderer-js (ZPL to PNG in node, no network
# service), in the tools folder of the build (CARTIGO_BUILD_DIR, by default ./build).
# Without it the tests that render ZPL skip that part and say so.
tools="${CARTIGO_BUILD_DIR:-$(cd "$(dirname "$0")/.." && pwd)/build}/tools"
if [ ! -d "$tools/node_modules/zpl-renderer-js" ] && command -v npm >/dev/null 2>&1; then
  mkdir -p "$tools"
  npm install --prefix "$tools" --no-audit --no-fund --no-save zpl-renderer-js@3.4.0 >/dev/null ||
    echo "zpl-renderer-js could not be installed: the ZPL rendering tests will skip"
fi

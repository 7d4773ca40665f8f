#!/usr/bin/env bash
# Installs, builds and starts the designer with the sample label.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
exec ./build/cartigo "${1:-samples/esempio.eti}"

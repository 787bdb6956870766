#!/usr/bin/env bash
# Sets up, builds and starts Tarnwell.
set -euo pipefail
cd "$(dirname "$0")/.."
TW_GUI_RUN=1 bash scripts/setup.sh
bash scripts/build.sh build
exec build/bin/tarnwell "$@"

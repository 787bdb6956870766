#!/usr/bin/env bash
# Sets up, builds and starts Tarnwell.
set -euo pipefail
cd "$(dirname "$0")/.."
TW_GUI_RUN=1 bash scripts/setup.sh
bash scripts/build.sh build
# X11 even on a Wayland desktop (through Xwayland): there the program can put its window back
# where it was, which Wayland does not let a program do.
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-xcb}"
exec build/bin/tarnwell "$@"

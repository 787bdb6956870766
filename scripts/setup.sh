#!/usr/bin/env bash
# Installs the Debian packages the build needs, when they are missing.
set -euo pipefail
pkgs=(cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev libxlsxwriter-dev zlib1g-dev libgtest-dev
      libbenchmark-dev fonts-liberation)
if [ "${TW_GUI_RUN:-0}" = 1 ]; then
  pkgs+=(qt6-qpa-plugins libxkbcommon-x11-0)
else
  # The tests: a locale with a decimal comma is made from the locales package's sources,
  # poppler-utils read the help document back, and LibreOffice recalculates a report. A machine
  # that has LibreOffice keeps its own (the no-GUI package would replace a desktop's Calc).
  pkgs+=(locales poppler-utils)
  command -v soffice >/dev/null 2>&1 || pkgs+=(libreoffice-calc-nogui)
fi
# Only scripts/fuzz.sh needs clang and its libFuzzer runtime.
if [ "${TW_FUZZ_SETUP:-0}" = 1 ]; then
  pkgs+=(clang libclang-rt-dev)
fi
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

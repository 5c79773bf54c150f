#!/usr/bin/env bash
# Adds LumenShow to the desktop's menu for the current user, and to the "Open with" list of
# folders in the file manager (a folder opened that way starts its show). Builds first.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
lumen_install_packages "${LUMEN_BUILD_PACKAGES[@]}"
cmake -S . -B build -DLUMEN_BUILD_TESTS=OFF -DLUMEN_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build -j"$(nproc)" --target lumenshow >/dev/null

applications="${XDG_DATA_HOME:-$HOME/.local/share}/applications"
mkdir -p "$applications"
program="$(pwd)/build/lumenshow"
icon="$(pwd)/desktop/lumenshow.svg"
sed -e "s|^Exec=lumenshow |Exec=\"$program\" |" -e "s|^Icon=lumenshow$|Icon=$icon|" \
  desktop/lumenshow.desktop > "$applications/lumenshow.desktop"
command -v update-desktop-database >/dev/null && update-desktop-database "$applications" || true
echo "LumenShow is in the menu: $applications/lumenshow.desktop"

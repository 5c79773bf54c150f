#!/usr/bin/env bash
# Adds LumenShow, as built in this clone, to the desktop's menu for the current user, and
# "Slide show with LumenShow" to folders' context menus in Dolphin, Nemo and Nautilus
# (Files). LumenShow does not become the folders' default opener. Builds first.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
lumen_install_packages "${LUMEN_BUILD_PACKAGES[@]}"
[[ -f build/CMakeCache.txt ]] || cmake -S . -B build -DLUMEN_BUILD_TESTS=OFF -DLUMEN_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build -j"$(nproc)" --target lumenshow >/dev/null

data="${XDG_DATA_HOME:-$HOME/.local/share}"
program="$(pwd)/build/lumenshow"
icon="$(pwd)/desktop/lumenshow.svg"
place() {  # place SOURCE TARGET: the file with this clone's program and icon
  mkdir -p "$(dirname "$2")"
  sed -e "s|^Exec=lumenshow |Exec=\"$program\" |" -e "s|^Icon=lumenshow$|Icon=$icon|" \
    -e "s|^Icon-Name=lumenshow$|Icon-Name=$icon|" "$1" > "$2"
}
place desktop/lumenshow.desktop "$data/applications/lumenshow.desktop"
place desktop/lumenshow-slideshow.servicemenu.desktop "$data/kio/servicemenus/lumenshow-slideshow.desktop"
place desktop/lumenshow.nemo_action "$data/nemo/actions/lumenshow.nemo_action"
mkdir -p "$data/nautilus/scripts"
printf '#!/bin/sh\n# Nautilus passes the selected folder.\nexec "%s" slideshow "$1"\n' "$program" \
  > "$data/nautilus/scripts/Slide show with LumenShow"
chmod +x "$data/nautilus/scripts/Slide show with LumenShow" "$data/kio/servicemenus/lumenshow-slideshow.desktop"
command -v update-desktop-database >/dev/null && update-desktop-database "$data/applications" || true
echo "LumenShow is in the menu: $data/applications/lumenshow.desktop"

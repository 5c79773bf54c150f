#!/usr/bin/env bash
# Builds LumenShow's Debian package, build-deb/lumenshow_<version>_<arch>.deb (installing
# missing Debian packages first). Install it with: sudo apt install ./build-deb/lumenshow_*.deb
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/scripts/deps.sh"
# dpkg-shlibdeps (dpkg-dev) finds the packages of the libraries the program links.
lumen_install_packages "${LUMEN_BUILD_PACKAGES[@]}" dpkg-dev file

cmake -S "$root" -B "$root/build-deb" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
  -DLUMEN_BUILD_TESTS=OFF -DLUMEN_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$root/build-deb" --target lumenshow -j "$(nproc)"
(cd "$root/build-deb" && cpack -G DEB)
ls "$root"/build-deb/lumenshow_*.deb

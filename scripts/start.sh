#!/usr/bin/env bash
# Builds LumenShow (installing missing Debian packages first) and starts it.
# Arguments are passed to the program: scripts/start.sh settings
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/scripts/deps.sh"
lumen_install_packages "${LUMEN_BUILD_PACKAGES[@]}"

# Configured once; afterwards the build itself notices a changed CMakeLists.txt.
if [[ ! -f "$root/build/CMakeCache.txt" ]]; then
  cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DLUMEN_BUILD_TESTS=OFF -DLUMEN_BUILD_BENCHMARKS=OFF >/dev/null
fi
cmake --build "$root/build" --target lumenshow -j "$(nproc)"
exec "$root/build/lumenshow" "$@"

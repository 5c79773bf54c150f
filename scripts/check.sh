#!/usr/bin/env bash
# Builds LumenShow with its tests and benchmarks (installing missing Debian packages
# first) and runs every test twice: in a normal build, then in a build with
# AddressSanitizer and UndefinedBehaviorSanitizer. Exits non-zero on any failure.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/scripts/deps.sh"
lumen_install_packages "${LUMEN_BUILD_PACKAGES[@]}" "${LUMEN_TEST_PACKAGES[@]}"

jobs="$(nproc)"
run_suite() {
  local dir="$1"
  shift
  echo "== $(basename "$dir") =="
  # Tests and benchmarks asked for by name: a build dir configured without them (by
  # start.sh) is reconfigured, and a missing test package stops the run.
  cmake -S "$root" -B "$dir" -DLUMEN_BUILD_TESTS=ON -DLUMEN_BUILD_BENCHMARKS=ON "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  (cd "$dir" && ctest --output-on-failure --no-tests=error -j "$jobs" --timeout 600)
}

run_suite "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMEN_SANITIZE=OFF
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_suite "$root/build-sanitize" -DCMAKE_BUILD_TYPE=Debug -DLUMEN_SANITIZE=ON
echo "All tests passed (normal and sanitizer builds)."

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
  # Chained: called where a failure does not stop the script, a failed build must not
  # go on to test what an earlier build left.
  cmake -S "$root" -B "$dir" -DLUMEN_BUILD_TESTS=ON -DLUMEN_BUILD_BENCHMARKS=ON "$@" >/dev/null &&
    cmake --build "$dir" -j "$jobs" &&
    (cd "$dir" && ctest --output-on-failure --no-tests=error -j "$jobs" --timeout 600)
}

# Both halves run whatever the first gave, so one run tells everything that fails.
normal=passed sanitized=passed
run_suite "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMEN_SANITIZE=OFF -DLUMEN_WERROR=ON || normal=FAILED
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 LSAN_OPTIONS="suppressions=$root/tests/lsan.supp" \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_suite "$root/build-sanitize" -DCMAKE_BUILD_TYPE=Debug -DLUMEN_SANITIZE=ON -DLUMEN_WERROR=ON || sanitized=FAILED
echo "Normal build: $normal. Sanitizer build: $sanitized."
[ "$normal" = passed ] && [ "$sanitized" = passed ]

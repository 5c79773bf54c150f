#!/usr/bin/env bash
# Runs every fuzz target (or those named) for a set time each, with clang's libFuzzer and
# AddressSanitizer, from the seeds and the inputs kept before. An input that crashes,
# hangs or runs out of memory is kept in tests/fuzz/regressions/<target>/, where the
# normal test suite runs it from then on.
#   scripts/fuzz.sh SECONDS [TARGET...]     e.g. scripts/fuzz.sh 600, scripts/fuzz.sh 60 video
# Exits non-zero when any target found something.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:?usage: scripts/fuzz.sh SECONDS [TARGET...]}"
shift
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(picture profile mci disc video)
source "$root/scripts/deps.sh"
lumen_install_packages "${LUMEN_BUILD_PACKAGES[@]}" clang libclang-rt-14-dev

build="$root/build-fuzz"
CXX=clang++ CC=clang cmake -S "$root" -B "$build" -DLUMEN_BUILD_FUZZERS=ON -DLUMEN_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target "${targets[@]/%/_fuzzer}"

found=()
for target in "${targets[@]}"; do
  work="$(mktemp -d)"  # what this run learns; the seeds in the tree stay as they are
  kept="$root/tests/fuzz/regressions/$target"
  mkdir -p "$kept"
  echo "== $target: $seconds s =="
  # Each input gets 10 s and 2 GB; fork mode goes on after a find, so one run finds them all.
  if ! LSAN_OPTIONS="suppressions=$root/tests/lsan.supp" "$build/tests/fuzz/${target}_fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1 -artifact_prefix="$kept/" \
       "$work" "$root/tests/fuzz/corpus/$target" "$kept" 2>"$work.log"; then
    found+=("$target")
  fi
  grep -E "^#[0-9]+.*DONE|crash|timeout|oom" "$work.log" | tail -3 || true
  rm -rf "$work" "$work.log"
  [ -z "$(find "$kept" -maxdepth 1 -newer "$build/tests/fuzz/${target}_fuzzer" -type f)" ] || found+=("$target")
  rmdir --ignore-fail-on-non-empty "$kept"
done
if [ ${#found[@]} -gt 0 ]; then
  echo "Inputs kept for: ${found[*]} (tests/fuzz/regressions/); the test suite runs them." >&2
  exit 1
fi
echo "Nothing found in ${#targets[@]} target(s), $seconds s each."

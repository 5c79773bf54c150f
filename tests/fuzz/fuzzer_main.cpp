// One libFuzzer program per target (LUMEN_FUZZ_TARGET is its index in kTargets). Build
// and run by hand, with clang:
//   CXX=clang++ CC=clang cmake -S . -B build-fuzz -DLUMEN_BUILD_FUZZERS=ON -DLUMEN_BUILD_TESTS=OFF
//   cmake --build build-fuzz --target picture_fuzzer
//   build-fuzz/tests/fuzz/picture_fuzzer -max_total_time=600 -rss_limit_mb=2048 \
//       -artifact_prefix=tests/fuzz/regressions/picture/ tests/fuzz/corpus/picture
// An input that once failed goes into tests/fuzz/regressions/<target>/ for the suite.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  lumen::fuzz::kTargets[LUMEN_FUZZ_TARGET].run(std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}

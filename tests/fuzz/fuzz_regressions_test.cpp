// Every input the fuzzers kept, through the function its fuzzer feeds: no crash, no hang.
#include <filesystem>
#include <gtest/gtest.h>

#include "fuzz_targets.h"
#include "support/temp_folder.h"

namespace lumen::fuzz {
namespace {

TEST(FuzzRegressions, EveryKeptInputOfEveryTargetComesBack) {
  for (const Target& target : kTargets) {
    size_t inputs = 0;
    for (const char* kept : {"regressions", "corpus"}) {
      const std::filesystem::path folder = std::filesystem::path(LUMEN_FUZZ_DATA) / kept / target.name;
      if (!std::filesystem::is_directory(folder)) continue;  // no input kept yet (git keeps no empty folder)
      for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        SCOPED_TRACE(entry.path().string());
        target.run(test::ReadBytes(entry.path().string()));
        ++inputs;
      }
    }
    EXPECT_GT(inputs, 0u) << target.name;
  }
}

}  // namespace
}  // namespace lumen::fuzz

// Every input the loaders' fuzzer kept, through both loading paths: no crash, no hang.
#include <filesystem>
#include <gtest/gtest.h>

#include "catalogue/thumbnail_decoder.h"
#include "platform/picture/picture.h"
#include "support/temp_folder.h"

namespace lumen::catalogue {
namespace {

TEST(FuzzRegressions, EveryKeptInputLoadsOrFailsCleanly) {
  size_t inputs = 0;
  for (const auto& entry : std::filesystem::directory_iterator(LUMEN_FUZZ_REGRESSIONS)) {
    const std::string bytes = test::ReadBytes(entry.path().string());
    SCOPED_TRACE(entry.path().filename().string());
    auto loaded = platform::picture::LoadPictureFromBytes(bytes);
    if (loaded.picture) {
      platform::gdi::Surface page(90, 60);
      loaded.picture->StretchTo(page, -3, 2, 97, 61);
    }
    std::string error;
    DecodeBytesForBox(bytes, 128, error);
    ++inputs;
  }
  EXPECT_GT(inputs, 10u);
}

}  // namespace
}  // namespace lumen::catalogue

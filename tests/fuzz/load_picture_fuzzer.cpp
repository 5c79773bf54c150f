// libFuzzer target for the picture loading paths: the show's LoadPicture (and a stretched
// draw of what it loads) and the thumbnails' reduced decode. Build and run by hand:
//   CXX=clang++ cmake -S . -B build-fuzz -DLUMEN_BUILD_FUZZERS=ON && cmake --build build-fuzz --target load_picture_fuzzer
//   build-fuzz/tests/fuzz/load_picture_fuzzer -max_total_time=300 -rss_limit_mb=1024 tests/fuzz/corpus
// Inputs that once failed are kept in tests/fuzz/regressions and run by the normal suite.
#include <cstddef>
#include <cstdint>
#include <string>

#include "catalogue/thumbnail_decoder.h"
#include "platform/gdi/surface.h"
#include "platform/picture/picture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  auto loaded = lumen::platform::picture::LoadPictureFromBytes(bytes);
  if (loaded.picture) {
    lumen::platform::gdi::Surface page(90, 60);
    loaded.picture->StretchTo(page, -3, 2, 97, 61);
  }
  std::string error;
  lumen::catalogue::DecodeBytesForBox(bytes, 128, error);
  return 0;
}

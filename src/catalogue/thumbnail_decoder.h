// Decoding a picture for a small box, by the show's own decoder: the camera's thumbnail
// when it serves, else the picture reduced while it is decoded (JPEG) or whole.
#pragma once

#include <string>

#include "platform/gdi/surface.h"
#include "platform/result.h"

namespace lumen::catalogue {

struct DecodedPicture {
  platform::gdi::Surface image;      // upright, possibly reduced
  int width = 0, height = 0;         // the picture's own upright size
};

// A reduced decode (box > 0) or the full picture (box 0). The reason when the file cannot
// be decoded or would not fit the memory budget.
Result<DecodedPicture> DecodeForBox(const std::string& path, int box);

// From bytes in memory (the fuzzing target and the tests).
Result<DecodedPicture> DecodeBytesForBox(std::string bytes, int box);

}  // namespace lumen::catalogue

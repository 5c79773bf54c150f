// BMPs read a row at a time whenever they are drawn, never decoded whole: what the show
// draws of a 16,384 x 8,192 picture costs one row, and a thumbnail the reduced copy. The
// common kinds are read so: uncompressed 1, 4 and 8-bit with a whole palette, 24 and
// 32-bit, and the run-length kinds (RLE8, RLE4). The rest (bit fields, 16-bit, a short
// palette, unusual headers) Qt decodes whole, within the decode budget.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/picture/picture.h"
#include "platform/whole_file.h"

namespace lumen::platform::picture {

// The bytes a file's start must hold for StreamsBmp to judge it: the headers and a palette.
inline constexpr size_t kBmpHeadBytes = 14 + 124 + 1024;

// Whether a file starting with `head` (up to kBmpHeadBytes of it) is a BMP read here.
bool StreamsBmp(const std::string& head);
// For a file StreamsBmp takes: the reason when it is too large to decode.
Result<std::unique_ptr<Picture>> OpenStreamedBmp(std::string bytes);
Result<std::unique_ptr<Picture>> OpenStreamedBmp(OpenedFile file);

// Each output pixel the average of a factor x factor block of the rows fed to it, each
// row once, a band's rows one after another (upwards or downwards); the last blocks of a
// row or column hold what there is. What a preview of any picture decoded in rows is
// reduced by.
class BlockReducer {
 public:
  BlockReducer(int width, int height, int factor);
  void AddRow(int y, const uint32_t* row);
  gdi::Surface Take();

 private:
  int width_, height_, factor_;
  std::vector<uint64_t> sums_;  // blue, green, red per output pixel of the current band
  int rowsInBand_ = 0;
  gdi::Surface out_;
};

}  // namespace lumen::platform::picture

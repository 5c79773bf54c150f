#include "platform/picture/exif_orientation.h"

#include <cstring>
#include <optional>

namespace lumen::platform::picture {

namespace {

// The TIFF block of an APP1 Exif segment, read in its own byte order; every read is
// checked against its end (0 past it).
class TiffBlock {
 public:
  TiffBlock(const uint8_t* app1, size_t length) {
    if (app1 == nullptr || length < 6 + 8 || std::memcmp(app1, "Exif\0\0", 6) != 0) return;
    data_ = app1 + 6;
    size_ = length - 6;
    if (data_[0] == 'I' && data_[1] == 'I') {
      little_ = true;
    } else if (!(data_[0] == 'M' && data_[1] == 'M')) {
      size_ = 0;
    }
    if (U16(2) != 42) size_ = 0;
  }
  bool Valid() const { return size_ != 0; }
  size_t Size() const { return size_; }
  uint32_t U16(size_t at) const {
    if (at + 2 > size_) return 0;
    return little_ ? data_[at] | (data_[at + 1] << 8) : (data_[at] << 8) | data_[at + 1];
  }
  uint32_t U32(size_t at) const {
    if (at + 4 > size_) return 0;
    return little_ ? U16(at) | (U16(at + 2) << 16) : (U16(at) << 16) | U16(at + 2);
  }
  // The value of a LONG (or SHORT) tag of the IFD at `ifd`; none when absent.
  std::optional<uint32_t> Tag(size_t ifd, uint32_t tag) const {
    const size_t entries = U16(ifd);
    for (size_t e = 0; e < entries; ++e) {
      const size_t entry = ifd + 2 + 12 * e;
      if (entry + 12 > size_) return std::nullopt;
      if (U16(entry) != tag || U32(entry + 4) != 1) continue;
      if (U16(entry + 2) == 4) return U32(entry + 8);
      if (U16(entry + 2) == 3) return U16(entry + 8);
    }
    return std::nullopt;
  }
  // The IFD after the one at `ifd`, 0 when none.
  size_t NextIfd(size_t ifd) const {
    const size_t link = ifd + 2 + 12 * size_t{U16(ifd)};
    const size_t next = U32(link);
    return next > ifd && next + 2 <= size_ ? next : 0;
  }

 private:
  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
  bool little_ = false;
};

}  // namespace

int ExifOrientation(const uint8_t* app1, size_t length) {
  const TiffBlock tiff(app1, length);
  if (!tiff.Valid()) return 1;
  const auto value = tiff.Tag(tiff.U32(4), 0x0112);
  return value && *value >= 1 && *value <= 8 ? static_cast<int>(*value) : 1;
}

ExifRange ExifThumbnail(const uint8_t* app1, size_t length) {
  const TiffBlock tiff(app1, length);
  if (!tiff.Valid()) return {};
  const size_t ifd1 = tiff.NextIfd(tiff.U32(4));
  if (ifd1 == 0) return {};
  const auto offset = tiff.Tag(ifd1, 0x0201), bytes = tiff.Tag(ifd1, 0x0202);
  if (!offset || !bytes || *bytes == 0 || size_t{*offset} + *bytes > tiff.Size()) return {};
  return {6 + size_t{*offset}, size_t{*bytes}};  // after "Exif\0\0"
}

}  // namespace lumen::platform::picture

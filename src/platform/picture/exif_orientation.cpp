#include "platform/picture/exif_orientation.h"

#include <cstring>
#include <optional>

namespace lumen::platform::picture {

int ExifOrientation(const uint8_t* app1, size_t length) {
  if (app1 == nullptr || length < 6 + 8 || std::memcmp(app1, "Exif\0\0", 6) != 0) return 1;
  const uint8_t* tiff = app1 + 6;
  const size_t size = length - 6;
  bool little;
  if (tiff[0] == 'I' && tiff[1] == 'I') {
    little = true;
  } else if (tiff[0] == 'M' && tiff[1] == 'M') {
    little = false;
  } else {
    return 1;
  }
  auto u16 = [&](size_t at) -> uint32_t {
    return little ? tiff[at] | (tiff[at + 1] << 8) : (tiff[at] << 8) | tiff[at + 1];
  };
  auto u32 = [&](size_t at) -> uint32_t {
    return little ? u16(at) | (u16(at + 2) << 16) : (u16(at) << 16) | u16(at + 2);
  };
  if (u16(2) != 42) return 1;
  size_t ifd = u32(4);
  if (ifd > size - 2) return 1;
  size_t entries = u16(ifd);
  for (size_t e = 0; e < entries; ++e) {
    size_t entry = ifd + 2 + 12 * e;
    if (entry + 12 > size) return 1;
    if (u16(entry) != 0x0112) continue;
    // SHORT (type 3), count 1: the value sits in the first two bytes of the value field.
    if (u16(entry + 2) != 3 || u32(entry + 4) != 1) return 1;
    uint32_t value = u16(entry + 8);
    return value >= 1 && value <= 8 ? static_cast<int>(value) : 1;
  }
  return 1;
}

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

// Each APP1 Exif segment of the file before the scan: `visit(data, length, offset of the
// data in the file)` until it returns true.
template <typename Visit>
void ForEachExifSegment(const uint8_t* jpeg, size_t length, Visit visit) {
  if (length < 4 || jpeg[0] != 0xFF || jpeg[1] != 0xD8) return;
  size_t at = 2;
  while (at + 4 <= length && jpeg[at] == 0xFF) {
    const uint8_t marker = jpeg[at + 1];
    if (marker == 0xDA || marker == 0xD9) break;  // start of scan, end of image
    const size_t size = (size_t(jpeg[at + 2]) << 8) | jpeg[at + 3];
    if (size < 2 || at + 2 + size > length) break;
    if (marker == 0xE1 && size >= 8 && std::memcmp(jpeg + at + 4, "Exif\0\0", 6) == 0 &&
        visit(jpeg + at + 4, size - 2, at + 4)) {
      return;
    }
    at += 2 + size;
  }
}

}  // namespace

EmbeddedThumbnail JpegEmbeddedThumbnail(const uint8_t* jpeg, size_t length) {
  EmbeddedThumbnail found;
  ForEachExifSegment(jpeg, length, [&](const uint8_t* app1, size_t size, size_t fileOffset) {
    const TiffBlock tiff(app1, size);
    if (!tiff.Valid()) return false;
    const size_t ifd1 = tiff.NextIfd(tiff.U32(4));
    if (ifd1 == 0) return true;
    const auto offset = tiff.Tag(ifd1, 0x0201), bytes = tiff.Tag(ifd1, 0x0202);
    if (offset && bytes && *bytes > 0 && size_t{*offset} + *bytes <= tiff.Size()) {
      found = {fileOffset + 6 + *offset, *bytes};
    }
    return true;
  });
  return found;
}

}  // namespace lumen::platform::picture

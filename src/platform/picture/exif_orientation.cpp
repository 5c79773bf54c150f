#include "platform/picture/exif_orientation.h"

#include <cstring>

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

int JpegOrientation(const uint8_t* jpeg, size_t length) {
  if (length < 4 || jpeg[0] != 0xFF || jpeg[1] != 0xD8) return 1;
  size_t at = 2;
  while (at + 4 <= length && jpeg[at] == 0xFF) {
    const uint8_t marker = jpeg[at + 1];
    if (marker == 0xDA || marker == 0xD9) break;  // start of scan, end of image
    const size_t size = (size_t(jpeg[at + 2]) << 8) | jpeg[at + 3];
    if (size < 2 || at + 2 + size > length) break;
    if (marker == 0xE1) {
      int orientation = ExifOrientation(jpeg + at + 4, size - 2);
      if (orientation != 1) return orientation;
    }
    at += 2 + size;
  }
  return 1;
}

}  // namespace lumen::platform::picture

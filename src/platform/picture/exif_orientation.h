// The orientation tag (0x0112) of a JPEG's EXIF block: how the stored pixels must be
// turned to stand upright.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lumen::platform::picture {

// 1 upright, 2 mirrored left-right, 3 turned 180°, 4 mirrored top-bottom, 5 transposed,
// 6 to be turned 90° clockwise, 7 transversed, 8 to be turned 90° anticlockwise.
// `app1` is the APP1 segment's data ("Exif\0\0" and the TIFF block); 1 when it holds no
// valid tag.
int ExifOrientation(const uint8_t* app1, size_t length);

// Where the thumbnail a camera embeds in an Exif block (IFD1's JPEGInterchangeFormat)
// lies within the APP1 segment's data; empty when there is none or it points outside.
struct ExifRange {
  size_t offset = 0, length = 0;
  bool Empty() const { return length == 0; }
};
ExifRange ExifThumbnail(const uint8_t* app1, size_t length);

// Orientations 5 to 8 swap width and height.
constexpr bool SwapsAxes(int orientation) { return orientation >= 5 && orientation <= 8; }

// The stored pixel (rx, ry) of a W x H stored picture that the upright pixel (ux, uy) shows.
constexpr void StoredFromUpright(int orientation, int W, int H, int ux, int uy, int& rx, int& ry) {
  switch (orientation) {
    case 2: rx = W - 1 - ux, ry = uy; break;
    case 3: rx = W - 1 - ux, ry = H - 1 - uy; break;
    case 4: rx = ux, ry = H - 1 - uy; break;
    case 5: rx = uy, ry = ux; break;
    case 6: rx = uy, ry = H - 1 - ux; break;
    case 7: rx = W - 1 - uy, ry = H - 1 - ux; break;
    case 8: rx = W - 1 - uy, ry = ux; break;
    default: rx = ux, ry = uy; break;
  }
}

}  // namespace lumen::platform::picture

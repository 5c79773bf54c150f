// Off-screen 32-bit surfaces, as the show window, its page buffers and the picture
// source use them. Colours cross the interface as COLORREF (0x00BBGGRR); inside, a pixel
// is 0xFFRRGGBB, the layout QImage::Format_RGB32 and ARGB32 use, so a surface reaches
// the screen without conversion.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lumen::platform::gdi {

using COLORREF = uint32_t;

constexpr uint32_t PixelFromColorRef(COLORREF c) {
  return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
constexpr COLORREF ColorRefFromPixel(uint32_t p) {
  return ((p >> 16) & 0xFFu) | (p & 0xFF00u) | ((p & 0xFFu) << 16);
}

inline constexpr int COLORONCOLOR = 3;
inline constexpr uint32_t SRCCOPY = 0x00CC0020;

class Surface {
 public:
  Surface() = default;
  // A surface of the size, filled with its background colour.
  Surface(int width, int height, COLORREF background = 0);

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ <= 0 || height_ <= 0; }
  uint32_t* Row(int y) { return pixels_.data() + static_cast<size_t>(y) * width_; }
  const uint32_t* Row(int y) const { return pixels_.data() + static_cast<size_t>(y) * width_; }
  const std::vector<uint32_t>& Pixels() const { return pixels_; }

  COLORREF GetPixel(int x, int y) const { return ColorRefFromPixel(Row(y)[x]); }
  void SetPixel(int x, int y, COLORREF c) { Row(y)[x] = PixelFromColorRef(c); }

  COLORREF BackgroundColor() const { return background_; }
  // Changing the background colour clears the surface to it, as a window's does.
  void SetBackgroundColor(COLORREF c);
  // Fills the whole surface with the background colour.
  void Clear();
  // New size; the contents become the background colour.
  void Resize(int width, int height);

  int SetStretchMode(int mode);  // returns the previous mode

 private:
  int width_ = 0;
  int height_ = 0;
  COLORREF background_ = 0;
  int stretchMode_ = 1;  // BLACKONWHITE, as a new device context has
  std::vector<uint32_t> pixels_;
};

}  // namespace lumen::platform::gdi

// The PNG files of the thumbnail cache and the thumbnails output, written and read over
// libdeflate: 8-bit RGB (RGBA where alpha is asked for), every row filtered by its left
// neighbour, compressed at level 1. Reading takes any non-interlaced 8-bit RGB or RGBA PNG
// (ours, and what most programs put in the shared cache); anything else is left to a
// general PNG reader.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/gdi/surface.h"

namespace lumen::catalogue {

// tEXt chunks in file order: Latin-1 keys of 1 to 79 characters, Latin-1 values.
using PngTexts = std::vector<std::pair<std::string, std::string>>;

// pixels: height rows of width 0xAARRGGBB words, `stride` words apart. With alpha the
// file keeps each pixel's top byte; without, the pixels are taken as opaque.
std::string EncodePng(const uint32_t* pixels, int width, int height, size_t stride, bool alpha,
                      const PngTexts& texts = {});
inline std::string EncodePng(const platform::gdi::Surface& image, bool alpha, const PngTexts& texts = {}) {
  return EncodePng(image.Pixels().data(), image.Width(), image.Height(), static_cast<size_t>(image.Width()), alpha,
                   texts);
}

struct PngPicture {
  platform::gdi::Surface image;  // 0xAARRGGBB; alpha 0xFF throughout when the file has none
  bool alpha = false;
  PngTexts texts;
  const std::string* Text(std::string_view key) const;  // null when the file has no such text
};

// The picture, when the bytes are a whole, intact PNG of the kind above whose width and
// height are at most maxSide (checked before anything is inflated); its texts are tEXt
// and zTXt chunks (up to 64 KiB each). Nothing for any other PNG (palette, 16-bit, grey,
// interlaced, international texts) and for damaged files.
std::optional<PngPicture> DecodePlainPng(std::string_view bytes, int maxSide);

}  // namespace lumen::catalogue

#include "catalogue/thumbnail_png.h"

#include <cstdlib>
#include <cstring>
#include <libdeflate.h>
#include <memory>

namespace lumen::catalogue {
namespace {

constexpr char kSignature[] = "\x89PNG\r\n\x1a\n";
constexpr size_t kSignatureBytes = 8;
constexpr uint8_t kRgb = 2, kRgba = 6;
constexpr uint8_t kSub = 1;
constexpr size_t kMaxTextBytes = 64 * 1024;  // a compressed text inflating to more is refused

void PutBigEndian(std::string& out, uint32_t value) {
  const char bytes[4] = {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
  out.append(bytes, 4);
}

uint32_t BigEndian(const unsigned char* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | p[2] << 8 | p[3]; }

void PutChunk(std::string& out, const char type[4], std::string_view data) {
  PutBigEndian(out, static_cast<uint32_t>(data.size()));
  const size_t typeAt = out.size();
  out.append(type, 4);
  out.append(data);
  PutBigEndian(out, libdeflate_crc32(0, out.data() + typeAt, 4 + data.size()));
}

// Compressors and decompressors are costly to set up and not shareable between threads:
// one of each per thread, kept while it lives.
struct FreeCompressor {
  void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};
struct FreeDecompressor {
  void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
};

libdeflate_compressor* Compressor() {
  // Level 1: a thumbnail is written once and read many times, but reading costs the same
  // at every level, and level 1 is both the quickest and, for these rows, hardly larger.
  thread_local std::unique_ptr<libdeflate_compressor, FreeCompressor> compressor(libdeflate_alloc_compressor(1));
  return compressor.get();
}

libdeflate_decompressor* Decompressor() {
  thread_local std::unique_ptr<libdeflate_decompressor, FreeDecompressor> decompressor(libdeflate_alloc_decompressor());
  return decompressor.get();
}

// Undoes one row's filter in place; prior is the row above, unfiltered (zeros for the first).
bool Unfilter(uint8_t type, uint8_t* row, const uint8_t* prior, size_t bytes, size_t bpp) {
  switch (type) {
    case 0:
      return true;
    case 1:
      for (size_t i = bpp; i < bytes; ++i) row[i] = uint8_t(row[i] + row[i - bpp]);
      return true;
    case 2:
      for (size_t i = 0; i < bytes; ++i) row[i] = uint8_t(row[i] + prior[i]);
      return true;
    case 3:
      for (size_t i = 0; i < bytes; ++i) row[i] = uint8_t(row[i] + ((i >= bpp ? row[i - bpp] : 0) + prior[i]) / 2);
      return true;
    case 4:
      for (size_t i = 0; i < bytes; ++i) {
        const int a = i >= bpp ? row[i - bpp] : 0, b = prior[i], c = i >= bpp ? prior[i - bpp] : 0;
        const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
        row[i] = uint8_t(row[i] + (pa <= pb && pa <= pc ? a : pb <= pc ? b : c));
      }
      return true;
    default:
      return false;
  }
}

}  // namespace

const std::string* PngPicture::Text(std::string_view key) const {
  for (const auto& [k, v] : texts) {
    if (k == key) return &v;
  }
  return nullptr;
}

std::string EncodePng(const uint32_t* pixels, int width, int height, size_t stride, bool alpha,
                      const PngTexts& texts) {
  const size_t bpp = alpha ? 4 : 3;
  const size_t rowBytes = 1 + static_cast<size_t>(width) * bpp;
  std::string raw(rowBytes * static_cast<size_t>(height), '\0');
  for (int y = 0; y < height; ++y) {
    const uint32_t* from = pixels + static_cast<size_t>(y) * stride;
    auto* to = reinterpret_cast<uint8_t*>(raw.data()) + static_cast<size_t>(y) * rowBytes;
    *to++ = kSub;
    uint32_t left = 0;  // the pixel before the first counts as zero in every byte
    for (int x = 0; x < width; ++x) {
      const uint32_t p = from[x];
      *to++ = uint8_t((p >> 16) - (left >> 16));
      *to++ = uint8_t((p >> 8) - (left >> 8));
      *to++ = uint8_t(p - left);
      if (alpha) *to++ = uint8_t((p >> 24) - (left >> 24));
      left = p;
    }
  }
  libdeflate_compressor* compressor = Compressor();
  std::string idat(libdeflate_zlib_compress_bound(compressor, raw.size()), '\0');
  idat.resize(libdeflate_zlib_compress(compressor, raw.data(), raw.size(), idat.data(), idat.size()));

  std::string out(kSignature, kSignatureBytes);
  std::string header;
  PutBigEndian(header, static_cast<uint32_t>(width));
  PutBigEndian(header, static_cast<uint32_t>(height));
  header += {char(8), char(alpha ? kRgba : kRgb), 0, 0, 0};  // depth, colour type, deflate, adaptive, no interlace
  PutChunk(out, "IHDR", header);
  for (const auto& [key, value] : texts) PutChunk(out, "tEXt", key + '\0' + value);
  PutChunk(out, "IDAT", idat);
  PutChunk(out, "IEND", {});
  return out;
}

std::optional<PngPicture> DecodePlainPng(std::string_view bytes, int maxSide) {
  if (bytes.size() < kSignatureBytes || std::memcmp(bytes.data(), kSignature, kSignatureBytes) != 0) return std::nullopt;
  const auto* at = reinterpret_cast<const unsigned char*>(bytes.data()) + kSignatureBytes;
  const auto* end = reinterpret_cast<const unsigned char*>(bytes.data()) + bytes.size();
  PngPicture picture;
  int width = 0, height = 0;
  std::string_view idat;  // the image data: its one chunk where it has one (as ours do),
  std::string joined;     // else its chunks joined
  bool ended = false;
  while (!ended) {
    if (end - at < 12) return std::nullopt;
    const uint32_t length = BigEndian(at);
    if (length > static_cast<size_t>(end - at) - 12) return std::nullopt;
    const unsigned char* type = at + 4;
    const unsigned char* data = at + 8;
    if (BigEndian(data + length) != libdeflate_crc32(0, type, 4 + size_t(length))) return std::nullopt;
    at = data + length + 4;
    const std::string_view name(reinterpret_cast<const char*>(type), 4);
    const bool first = width == 0;
    if (first != (name == "IHDR")) return std::nullopt;  // IHDR first, and once
    if (name == "IHDR") {
      if (length != 13) return std::nullopt;
      const uint32_t w = BigEndian(data), h = BigEndian(data + 4);
      if (w == 0 || h == 0 || w > uint32_t(maxSide) || h > uint32_t(maxSide)) return std::nullopt;
      if (data[8] != 8 || (data[9] != kRgb && data[9] != kRgba) || data[10] != 0 || data[11] != 0 || data[12] != 0) {
        return std::nullopt;
      }
      width = int(w), height = int(h);
      picture.alpha = data[9] == kRgba;
    } else if (name == "IDAT") {
      const std::string_view chunk(reinterpret_cast<const char*>(data), length);
      if (idat.empty() && joined.empty()) {
        idat = chunk;
      } else {
        if (joined.empty()) joined = idat;
        joined += chunk;
        idat = joined;
      }
    } else if (name == "IEND") {
      ended = true;
    } else if (name == "tEXt") {
      const auto* text = reinterpret_cast<const char*>(data);
      const size_t keyLength = strnlen(text, length);
      if (keyLength == 0 || keyLength >= length) return std::nullopt;
      picture.texts.emplace_back(std::string(text, keyLength), std::string(text + keyLength + 1, length - keyLength - 1));
    } else if (name == "zTXt") {
      // Qt writes texts over 40 characters so (LumenShow's own entries before, and others').
      const auto* text = reinterpret_cast<const char*>(data);
      const size_t keyLength = strnlen(text, length);
      if (keyLength == 0 || keyLength + 2 > length || data[keyLength + 1] != 0) return std::nullopt;
      std::string value(kMaxTextBytes, '\0');
      size_t inflated = 0;
      if (libdeflate_zlib_decompress(Decompressor(), data + keyLength + 2, length - keyLength - 2, value.data(),
                                     value.size(), &inflated) != LIBDEFLATE_SUCCESS) {
        return std::nullopt;
      }
      value.resize(inflated);
      picture.texts.emplace_back(std::string(text, keyLength), std::move(value));
    } else if (name == "iTXt" || !(type[0] & 0x20)) {
      return std::nullopt;  // international texts, or a critical chunk we do not know
    }  // other ancillary chunks (gAMA, pHYs, tIME, a suggested PLTE) change nothing here
  }

  const size_t bpp = picture.alpha ? 4 : 3;
  const size_t rowBytes = static_cast<size_t>(width) * bpp;
  std::vector<uint8_t> raw((rowBytes + 1) * static_cast<size_t>(height));
  // Without a place for the actual size, libdeflate succeeds only on exactly this many bytes.
  if (libdeflate_zlib_decompress(Decompressor(), idat.data(), idat.size(), raw.data(), raw.size(), nullptr) !=
      LIBDEFLATE_SUCCESS) {
    return std::nullopt;
  }
  const std::vector<uint8_t> zeros(rowBytes, 0);
  picture.image = platform::gdi::Surface(width, height);
  const uint8_t* prior = zeros.data();
  for (int y = 0; y < height; ++y) {
    uint8_t* row = raw.data() + static_cast<size_t>(y) * (rowBytes + 1);
    uint32_t* to = picture.image.Row(y);
    if (row[0] == kSub && !picture.alpha) {
      // The rows we write: undone and packed in one pass, a running sum per colour.
      uint8_t r = 0, g = 0, b = 0;
      for (int x = 0; x < width; ++x) {
        uint8_t* p = row + 1 + static_cast<size_t>(x) * 3;
        p[0] = r = uint8_t(r + p[0]), p[1] = g = uint8_t(g + p[1]), p[2] = b = uint8_t(b + p[2]);
        to[x] = 0xFF000000u | uint32_t(r) << 16 | uint32_t(g) << 8 | b;
      }
    } else {
      if (!Unfilter(row[0], row + 1, prior, rowBytes, bpp)) return std::nullopt;
      for (int x = 0; x < width; ++x) {
        const uint8_t* p = row + 1 + static_cast<size_t>(x) * bpp;
        to[x] = uint32_t(picture.alpha ? p[3] : 0xFF) << 24 | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
      }
    }
    prior = row + 1;
  }
  return picture;
}

}  // namespace lumen::catalogue

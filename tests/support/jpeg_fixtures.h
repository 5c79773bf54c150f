// JPEG files made in the tests with TurboJPEG, and TurboJPEG's own full decoding: an
// independent path to the pixels LoadPicture must produce.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <string>
#include <turbojpeg.h>
#include <vector>

#include "platform/gdi/surface.h"

namespace lumen::test {

// A picture with detail everywhere, so any wrong row or column shows.
inline std::vector<unsigned char> DetailedRgb(int width, int height) {
  std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      unsigned char* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
      p[0] = static_cast<unsigned char>(x * 7 + y * 3);
      p[1] = static_cast<unsigned char>(y * 5 ^ x);
      p[2] = static_cast<unsigned char>((x / 8 + y / 8) % 2 ? 230 : 20);
    }
  }
  return rgb;
}

inline std::string MakeJpeg(int width, int height, int subsampling = TJSAMP_420, int quality = 90, int flags = 0) {
  const std::vector<unsigned char> rgb = DetailedRgb(width, height);
  tjhandle handle = tjInitCompress();
  unsigned char* out = nullptr;
  unsigned long size = 0;
  tjCompress2(handle, rgb.data(), width, 0, height, TJPF_RGB, &out, &size, subsampling, quality, flags);
  std::string bytes(reinterpret_cast<char*>(out), size);
  tjFree(out);
  tjDestroy(handle);
  return bytes;
}

// RGB pixels as a sequential JPEG with a restart marker every `restartMcus` MCUs, written
// by libjpeg itself (TurboJPEG cannot place them): luma sampled h x v against the colours'
// 1 x 1 (2 x 2 is 4:2:0, 2 x 1 4:2:2, 1 x 1 4:4:4), or greyscale with h 0.
inline std::string JpegWithRestarts(const std::vector<unsigned char>& rgb, int width, int height, int restartMcus,
                                    int h = 2, int v = 2, int quality = 90) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &out, &size);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  if (h == 0) {
    jpeg_set_colorspace(&info, JCS_GRAYSCALE);
  } else {
    info.comp_info[0].h_samp_factor = h;
    info.comp_info[0].v_samp_factor = v;
  }
  info.restart_interval = static_cast<unsigned>(restartMcus);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<unsigned char*>(&rgb[static_cast<size_t>(info.next_scanline) * width * 3]);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  std::string bytes(reinterpret_cast<char*>(out), size);
  std::free(out);
  jpeg_destroy_compress(&info);
  return bytes;
}

// The JPEG with an EXIF block holding only the orientation tag, right after SOI.
inline std::string WithOrientation(const std::string& jpeg, int orientation, bool bigEndian = false) {
  std::string tiff = bigEndian ? std::string("MM\0\x2A\0\0\0\x08", 8) : std::string("II\x2A\0\x08\0\0\0", 8);
  auto u16 = [&](int v) {
    return bigEndian ? std::string{char(v >> 8), char(v & 0xFF)} : std::string{char(v & 0xFF), char(v >> 8)};
  };
  tiff += u16(1);                                                     // one entry
  tiff += u16(0x0112) + u16(3) + (bigEndian ? std::string("\0\0\0\1", 4) : std::string("\1\0\0\0", 4));
  tiff += u16(orientation) + u16(0);
  tiff += std::string(4, '\0');                                       // no next IFD
  std::string app1 = std::string("Exif\0\0", 6) + tiff;
  size_t length = app1.size() + 2;
  std::string segment = std::string("\xFF\xE1", 2) + char(length >> 8) + char(length & 0xFF) + app1;
  return jpeg.substr(0, 2) + segment + jpeg.substr(2);
}

// The JPEG with an Exif block (little-endian) holding the orientation and, in IFD1, an
// embedded thumbnail, as cameras write them; `before` is put ahead of it (an XMP APP1).
inline std::string WithExifThumbnail(const std::string& jpeg, const std::string& thumbnail, int orientation = 1,
                                     const std::string& before = "") {
  auto u16 = [](uint32_t v) { return std::string{char(v & 0xFF), char(v >> 8)}; };
  auto u32 = [&](uint32_t v) { return u16(v & 0xFFFF) + u16(v >> 16); };
  std::string tiff("II\x2A\0\x08\0\0\0", 8);
  tiff += u16(1) + u16(0x0112) + u16(3) + u32(1) + u16(static_cast<uint32_t>(orientation)) + u16(0) + u32(26);
  tiff += u16(2) + u16(0x0201) + u16(4) + u32(1) + u32(56) + u16(0x0202) + u16(4) + u32(1) +
          u32(static_cast<uint32_t>(thumbnail.size())) + u32(0);
  tiff += thumbnail;
  const std::string app1 = std::string("Exif\0\0", 6) + tiff;
  const size_t length = app1.size() + 2;
  const std::string segment = std::string("\xFF\xE1", 2) + char(length >> 8) + char(length & 0xFF) + app1;
  return jpeg.substr(0, 2) + before + segment + jpeg.substr(2);
}

// An APP1 segment that is not Exif (XMP), to stand before the Exif one.
inline std::string XmpSegment() {
  const std::string xmp = std::string("http://ns.adobe.com/xap/1.0/\0", 29) + "<x:xmpmeta/>";
  const size_t length = xmp.size() + 2;
  return std::string("\xFF\xE1", 2) + char(length >> 8) + char(length & 0xFF) + xmp;
}

// A JPEG of one colour.
inline std::string SolidJpeg(int width, int height, unsigned char r, unsigned char g, unsigned char b) {
  std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
  for (size_t i = 0; i < rgb.size(); i += 3) rgb[i] = r, rgb[i + 1] = g, rgb[i + 2] = b;
  tjhandle handle = tjInitCompress();
  unsigned char* out = nullptr;
  unsigned long size = 0;
  tjCompress2(handle, rgb.data(), width, 0, height, TJPF_RGB, &out, &size, TJSAMP_444, 95, 0);
  std::string bytes(reinterpret_cast<char*>(out), size);
  tjFree(out);
  tjDestroy(handle);
  return bytes;
}

// TurboJPEG's full-size decoding, default (accurate) settings.
inline platform::gdi::Surface DecodeWhole(const std::string& jpeg) {
  tjhandle handle = tjInitDecompress();
  int width = 0, height = 0, subsampling = 0, colourspace = 0;
  auto* data = reinterpret_cast<const unsigned char*>(jpeg.data());
  tjDecompressHeader3(handle, data, jpeg.size(), &width, &height, &subsampling, &colourspace);
  platform::gdi::Surface surface(width, height);
  tjDecompress2(handle, data, jpeg.size(), reinterpret_cast<unsigned char*>(surface.Row(0)), width, 0, height,
                TJPF_BGRA, 0);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) surface.Row(y)[x] |= 0xFF000000u;
  }
  tjDestroy(handle);
  return surface;
}

}  // namespace lumen::test

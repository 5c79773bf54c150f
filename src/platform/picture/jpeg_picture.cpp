#include "platform/picture/jpeg_picture.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <jpeglib.h>
#include <vector>

#include "platform/gdi/stretch_map.h"
#include "platform/picture/exif_orientation.h"

namespace lumen::platform::picture {
namespace {

using gdi::StretchAxis;
using gdi::StretchSource;

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void OnFatalError(j_common_ptr info) {
  auto* manager = reinterpret_cast<ErrorManager*>(info->err);
  (*info->err->format_message)(info, manager->message);
  std::longjmp(manager->jump, 1);
}

void OnMessage(j_common_ptr, int) {}  // warnings (a truncated file) do not stop the decoding

// The size of the stored image and how it stands.
struct Header {
  int rawWidth = 0, rawHeight = 0;
  int orientation = 1;
  bool cmyk = false;
};

// One decompressor over the compressed bytes. Every libjpeg call goes through Run(), so
// a fatal error comes back as false and never crosses C++ frames.
class Decoder {
 public:
  explicit Decoder(const std::string& bytes) {
    info_.err = jpeg_std_error(&errors_.base);
    errors_.base.error_exit = OnFatalError;
    errors_.base.emit_message = OnMessage;
    errors_.message[0] = '\0';
    jpeg_create_decompress(&info_);
    info_.mem->max_memory_to_use = kMaxDecodedBytes;  // bounds progressive files' buffers
    jpeg_mem_src(&info_, reinterpret_cast<const unsigned char*>(bytes.data()),
                 static_cast<unsigned long>(bytes.size()));
  }
  ~Decoder() { jpeg_destroy_decompress(&info_); }
  Decoder(const Decoder&) = delete;
  Decoder& operator=(const Decoder&) = delete;

  // Runs `step` (which calls libjpeg only, and holds nothing that needs destroying).
  template <typename Step>
  bool Run(Step&& step) {
    if (setjmp(errors_.jump) != 0) return false;
    step(info_);
    return true;
  }
  const char* Error() const { return errors_.message; }

 private:
  jpeg_decompress_struct info_{};
  ErrorManager errors_{};
};

bool ReadHeader(Decoder& decoder, Header& header) {
  return decoder.Run([&](jpeg_decompress_struct& info) {
    jpeg_save_markers(&info, JPEG_APP0 + 1, 0xFFFF);
    jpeg_read_header(&info, TRUE);
    header.rawWidth = static_cast<int>(info.image_width);
    header.rawHeight = static_cast<int>(info.image_height);
    header.cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    // The first APP1 that holds Exif (an XMP APP1 may come before it), as for thumbnails.
    for (jpeg_saved_marker_ptr m = info.marker_list; m != nullptr; m = m->next) {
      if (m->marker == JPEG_APP0 + 1 && m->data_length >= 6 && std::memcmp(m->data, "Exif\0\0", 6) == 0) {
        header.orientation = ExifOrientation(m->data, m->data_length);
        break;
      }
    }
  });
}

class JpegPicture : public Picture {
 public:
  JpegPicture(std::string bytes, const Header& header)
      : Picture(SwapsAxes(header.orientation) ? header.rawHeight : header.rawWidth,
                SwapsAxes(header.orientation) ? header.rawWidth : header.rawHeight),
        bytes_(std::move(bytes)),
        header_(header) {}

  bool StretchTo(gdi::Surface& destination, int x, int y, int width, int height) const override;

 private:
  // The stored pixel an upright pixel comes from.
  void RawFromUpright(int ux, int uy, int& rx, int& ry) const {
    StoredFromUpright(header_.orientation, header_.rawWidth, header_.rawHeight, ux, uy, rx, ry);
  }

  std::string bytes_;
  Header header_;
};

uint32_t PixelFromCmyk(const JSAMPLE* p) {
  // Adobe writes CMYK inverted (255 = no ink), as nearly every CMYK JPEG is.
  uint32_t k = p[3];
  return 0xFF000000u | (p[0] * k / 255) << 16 | (p[1] * k / 255) << 8 | (p[2] * k / 255);
}

bool JpegPicture::StretchTo(gdi::Surface& destination, int x, int y, int width, int height) const {
  if (width <= 0 || height <= 0) return false;
  const int firstCol = std::max(0, -x), lastCol = std::min(width, destination.Width() - x);
  const int firstRow = std::max(0, -y), lastRow = std::min(height, destination.Height() - y);
  if (firstCol >= lastCol || firstRow >= lastRow) return false;

  // Each destination pixel (i, j) takes upright pixel (StretchSource(i), StretchSource(j)).
  // Without a swap of axes the stored row depends on j only and the stored column on i;
  // with one, the other way round. `lines` lists, per destination line (row, or column
  // when swapped), the stored row it needs; `picks` the stored column per position along it.
  const bool swapped = SwapsAxes(header_.orientation);
  std::vector<std::pair<int, int>> lines;  // {stored row, destination line}
  std::vector<int> picks;
  int rx, ry;
  for (int j = firstRow; j < lastRow; ++j) {
    RawFromUpright(0, StretchSource(j, Height(), height, StretchAxis::Rows), rx, ry);
    if (swapped) {
      picks.push_back(rx);
    } else {
      lines.push_back({ry, j});
    }
  }
  for (int i = firstCol; i < lastCol; ++i) {
    RawFromUpright(StretchSource(i, Width(), width, StretchAxis::Columns), 0, rx, ry);
    if (swapped) {
      lines.push_back({ry, i});
    } else {
      picks.push_back(rx);
    }
  }
  std::sort(lines.begin(), lines.end());

  Decoder decoder(bytes_);
  Header header;
  if (!ReadHeader(decoder, header)) return false;
  std::vector<JSAMPLE> row(static_cast<size_t>(header.rawWidth) * 4);
  size_t next = 0;
  return decoder.Run([&](jpeg_decompress_struct& info) {
    info.out_color_space = header.cmyk ? JCS_CMYK : JCS_EXT_BGRX;
    jpeg_start_decompress(&info);
    while (next < lines.size() && info.output_scanline < info.output_height) {
      // Rows no destination line takes are skipped: libjpeg-turbo still decodes their
      // blocks but leaves out their colour conversion and the copy.
      const auto wanted = static_cast<JDIMENSION>(lines[next].first);
      if (wanted > info.output_scanline) jpeg_skip_scanlines(&info, wanted - info.output_scanline);
      JSAMPROW rows[1] = {row.data()};
      int stored = static_cast<int>(info.output_scanline);
      jpeg_read_scanlines(&info, rows, 1);
      for (; next < lines.size() && lines[next].first == stored; ++next) {
        const int line = lines[next].second;
        for (size_t k = 0; k < picks.size(); ++k) {
          const JSAMPLE* p = row.data() + static_cast<size_t>(picks[k]) * 4;
          uint32_t pixel = header.cmyk ? PixelFromCmyk(p)
                                       : 0xFF000000u | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
          int i = swapped ? line : firstCol + static_cast<int>(k);
          int j = swapped ? firstRow + static_cast<int>(k) : line;
          destination.Row(y + j)[x + i] = pixel;
        }
      }
    }
    jpeg_abort_decompress(&info);
  });
}

}  // namespace

std::unique_ptr<Picture> OpenJpeg(std::string bytes, std::string& error) {
  Decoder decoder(bytes);
  Header header;
  if (!ReadHeader(decoder, header)) {
    error = std::string("not a readable JPEG: ") + decoder.Error();
    return nullptr;
  }
  uint64_t decoded = uint64_t(header.rawWidth) * uint64_t(header.rawHeight) * 4;
  if (header.rawWidth <= 0 || header.rawHeight <= 0 || decoded > kMaxDecodedBytes) {
    error = "a JPEG of " + std::to_string(header.rawWidth) + " x " + std::to_string(header.rawHeight) +
            " pixels is larger than LumenShow decodes";
    return nullptr;
  }
  return std::make_unique<JpegPicture>(std::move(bytes), header);
}

}  // namespace lumen::platform::picture

#include "platform/picture/jpeg_picture.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <jpeglib.h>
#include <jerror.h>
#include <thread>
#include <vector>

#include "platform/gdi/stretch_map.h"
#include "platform/guarded.h"
#include "platform/picture/decode_budget.h"
#include "platform/picture/colour_profile.h"
#include "platform/picture/exif_orientation.h"
#include "platform/picture/jpeg_restarts.h"

namespace lumen::platform::picture {
namespace {

using gdi::StretchAxis;
using gdi::StretchSource;

struct Compressed {
  std::string bytes;               // in memory,
  std::optional<OpenedFile> file;  // or in the file
};

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
  bool operator==(const Header&) const = default;
};

// libjpeg's source over an open file, read 64 KB at a time from where this decoder is,
// so several decoders may read one file at once.
struct FileSource {
  jpeg_source_mgr manager;  // first: libjpeg's pointer to it is a pointer to the whole
  const OpenedFile* file = nullptr;
  uint64_t offset = 0;
  JOCTET buffer[64 * 1024];
};

void StartReading(j_decompress_ptr) {}
void StopReading(j_decompress_ptr) {}

boolean FillBuffer(j_decompress_ptr info) {
  auto* source = reinterpret_cast<FileSource*>(info->src);
  int64_t n = source->file->ReadAt(source->offset, source->buffer, sizeof source->buffer);
  if (n <= 0) {
    // The end of a truncated file (or a read error): an end-of-image marker, as libjpeg's
    // own sources insert; the picture stands as far as it came.
    WARNMS(info, JWRN_JPEG_EOF);
    source->buffer[0] = 0xFF;
    source->buffer[1] = JPEG_EOI;
    n = 2;
  } else {
    source->offset += static_cast<uint64_t>(n);
  }
  source->manager.next_input_byte = source->buffer;
  source->manager.bytes_in_buffer = static_cast<size_t>(n);
  return TRUE;
}

void SkipBytes(j_decompress_ptr info, long count) {
  auto* source = reinterpret_cast<FileSource*>(info->src);
  if (count <= 0) return;
  if (static_cast<size_t>(count) <= source->manager.bytes_in_buffer) {
    source->manager.next_input_byte += count;
    source->manager.bytes_in_buffer -= static_cast<size_t>(count);
    return;
  }
  source->offset += static_cast<uint64_t>(count) - source->manager.bytes_in_buffer;
  source->manager.bytes_in_buffer = 0;
}

// One decompressor over the compressed bytes. Every libjpeg call goes through Run(), so
// a fatal error comes back as false and never crosses C++ frames.
class Decoder {
 public:
  explicit Decoder(const Compressed& compressed) {
    info_.err = jpeg_std_error(&errors_.base);
    errors_.base.error_exit = OnFatalError;
    errors_.base.emit_message = OnMessage;
    errors_.message[0] = '\0';
    jpeg_create_decompress(&info_);
    info_.mem->max_memory_to_use = kMaxDecodedBytes;  // bounds progressive files' buffers
    if (compressed.file) {
      file_.reset(new FileSource);  // the buffer left as it is: it is filled before it is read
      file_->file = &*compressed.file;
      file_->manager.next_input_byte = nullptr;
      file_->manager.bytes_in_buffer = 0;
      file_->manager.init_source = StartReading;
      file_->manager.fill_input_buffer = FillBuffer;
      file_->manager.skip_input_data = SkipBytes;
      file_->manager.resync_to_restart = jpeg_resync_to_restart;
      file_->manager.term_source = StopReading;
      info_.src = &file_->manager;
    } else {
      jpeg_mem_src(&info_, reinterpret_cast<const unsigned char*>(compressed.bytes.data()),
                   static_cast<unsigned long>(compressed.bytes.size()));
    }
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
  std::unique_ptr<FileSource> file_;
};

// The header; when asked for, the camera's thumbnail (its JPEG bytes, or nothing) and the
// colour profile (its ICC bytes from the APP2 markers, or nothing).
bool ReadHeader(Decoder& decoder, Header& header, std::string* cameraThumbnail = nullptr,
                std::string* icc = nullptr) {
  return decoder.Run([&](jpeg_decompress_struct& info) {
    jpeg_save_markers(&info, JPEG_APP0 + 1, 0xFFFF);
    if (icc != nullptr) jpeg_save_markers(&info, JPEG_APP0 + 2, 0xFFFF);
    jpeg_read_header(&info, TRUE);
    JOCTET* profile = nullptr;
    unsigned int profileLength = 0;
    if (icc != nullptr && jpeg_read_icc_profile(&info, &profile, &profileLength)) {
      icc->assign(reinterpret_cast<const char*>(profile), profileLength);
      std::free(profile);
    }
    header.rawWidth = static_cast<int>(info.image_width);
    header.rawHeight = static_cast<int>(info.image_height);
    header.cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    // The first APP1 that holds Exif (an XMP APP1 may come before it).
    for (jpeg_saved_marker_ptr m = info.marker_list; m != nullptr; m = m->next) {
      if (m->marker == JPEG_APP0 + 1 && m->data_length >= 6 && std::memcmp(m->data, "Exif\0\0", 6) == 0) {
        header.orientation = ExifOrientation(m->data, m->data_length);
        if (cameraThumbnail != nullptr) {
          const ExifRange range = ExifThumbnail(m->data, m->data_length);
          cameraThumbnail->assign(reinterpret_cast<const char*>(m->data) + range.offset, range.length);
        }
        break;
      }
    }
  });
}

class JpegPicture : public Picture {
 public:
  JpegPicture(Compressed compressed, const Header& header, std::string cameraThumbnail)
      : Picture(SwapsAxes(header.orientation) ? header.rawHeight : header.rawWidth,
                SwapsAxes(header.orientation) ? header.rawWidth : header.rawHeight),
        compressed_(std::move(compressed)),
        header_(header),
        cameraThumbnail_(std::move(cameraThumbnail)) {}

  bool StretchTo(gdi::Surface& destination, int x, int y, int width, int height, int parts) const override;
  Result<gdi::Surface> Decode(int minLongSide) const override;
  std::unique_ptr<Picture> CameraThumbnail() const override;

 private:
  // A decompressor with the header read, the same as when the picture was opened (a file
  // rewritten in place since then is a failed decoding, not a misread one).
  bool Reopen(Decoder& decoder) const {
    Header header;
    return ReadHeader(decoder, header) && header.rawWidth == header_.rawWidth &&
           header.rawHeight == header_.rawHeight && header.cmyk == header_.cmyk;
  }

  // The stored pixel an upright pixel comes from.
  void RawFromUpright(int ux, int uy, int& rx, int& ry) const {
    StoredFromUpright(header_.orientation, header_.rawWidth, header_.rawHeight, ux, uy, rx, ry);
  }

  Compressed compressed_;
  Header header_;
  std::string cameraThumbnail_;  // its JPEG bytes; empty when there is none
};

ReadBytesAt ReaderOf(const Compressed& compressed) {
  return [&compressed](uint64_t offset, void* into, size_t count) -> int64_t {
    if (compressed.file) return compressed.file->ReadAt(offset, into, count);
    if (offset >= compressed.bytes.size()) return 0;
    const size_t n = std::min<size_t>(count, compressed.bytes.size() - offset);
    std::memcpy(into, compressed.bytes.data() + offset, n);
    return static_cast<int64_t>(n);
  };
}

uint64_t SizeOf(const Compressed& compressed) { return compressed.file ? compressed.file->Size() : compressed.bytes.size(); }

uint32_t PixelFromCmyk(const JSAMPLE* p) {
  // Adobe writes CMYK inverted (255 = no ink), as nearly every CMYK JPEG is.
  uint32_t k = p[3];
  return 0xFF000000u | (p[0] * k / 255) << 16 | (p[1] * k / 255) << 8 | (p[2] * k / 255);
}

// The picture once its header is read and its size is within the limit. `orientation` 0
// keeps the file's own.
Result<std::unique_ptr<Picture>> Open(Compressed compressed, int orientation = 0) {
  Header header;
  std::string cameraThumbnail, icc;
  {
    Decoder decoder(compressed);
    // A camera's thumbnail takes its picture's profile (as the picture's wrapper gives it).
    if (!ReadHeader(decoder, header, &cameraThumbnail, orientation == 0 ? &icc : nullptr)) {
      return Fail(std::string("not a readable JPEG: ") + decoder.Error());
    }
  }
  uint64_t decoded = uint64_t(header.rawWidth) * uint64_t(header.rawHeight) * 4;
  if (header.rawWidth <= 0 || header.rawHeight <= 0 || decoded > kMaxDecodedBytes) {
    return Fail("a JPEG of " + std::to_string(header.rawWidth) + " x " + std::to_string(header.rawHeight) +
                " pixels is larger than LumenShow decodes");
  }
  if (orientation != 0) header.orientation = orientation;
  return InSrgb(std::make_unique<JpegPicture>(std::move(compressed), header, std::move(cameraThumbnail)),
                ToSrgb::FromIcc(icc));
}

std::unique_ptr<Picture> JpegPicture::CameraThumbnail() const {
  if (cameraThumbnail_.empty()) return nullptr;
  // It has no Exif block of its own: it stands as its picture does.
  auto opened = Open(Compressed{cameraThumbnail_, std::nullopt}, header_.orientation);
  return opened ? std::move(*opened) : nullptr;
}

// What libjpeg holds for a progressive file while it decodes: every coefficient of the
// image (64 16-bit values a block, each component), at any output size.
uint64_t CoefficientBytes(Decoder& decoder) {
  uint64_t bytes = 0;
  decoder.Run([&](jpeg_decompress_struct& info) {
    if (!info.progressive_mode && !info.buffered_image) return;
    for (int c = 0; c < info.num_components; ++c) {
      const jpeg_component_info& component = info.comp_info[c];
      bytes += uint64_t{component.width_in_blocks} * component.height_in_blocks * DCTSIZE2 * sizeof(JCOEF);
    }
  });
  return bytes;
}

bool JpegPicture::StretchTo(gdi::Surface& destination, int x, int y, int width, int height, int parts) const {
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

  // Without restart markers a part would first have to entropy-decode every row above its
  // own (half again the work of one thread, and slower than one thread on a busy machine),
  // so the picture is then decoded on one thread. With them, each part after the first
  // decodes only its own rows, from the interval that starts one MCU row above them: that
  // row gives the upsampled colours of its first rows what is above them, as in one pass.
  std::optional<RestartIndex> restarts;
  if (parts > 1) restarts = IndexRestarts(ReaderOf(compressed_), SizeOf(compressed_));
  if (restarts && (restarts->width != header_.rawWidth || restarts->height != header_.rawHeight)) restarts.reset();
  struct Part {
    size_t begin;
    int from;  // the MCU row its decoding starts at; 0 for the first part, read from the file
  };
  std::vector<Part> plan{{0, 0}};
  for (int p = 1; restarts && p < parts; ++p) {
    int from = static_cast<int>(int64_t(restarts->mcuRows) * p / parts) - 1;
    while (from > plan.back().from && !restarts->StartsAt(from)) --from;
    if (from <= plan.back().from) continue;
    const int firstRow = (from + 1) * restarts->mcuHeight;
    const size_t at = std::lower_bound(lines.begin(), lines.end(), std::make_pair(firstRow, INT_MIN)) - lines.begin();
    if (at > plan.back().begin && at < lines.size()) plan.push_back({at, from});
  }

  // Decodes the stored rows lines[begin, end) need, with a decompressor of its own: over
  // the file, or over MCU rows [from, to) cut out at restart markers.
  auto decodeLines = [&](size_t begin, size_t end, int from, int to) {
    Compressed band;
    int rowOffset = 0;
    if (from > 0) {
      band.bytes = restarts->Band(ReaderOf(compressed_), from, to);
      rowOffset = from * restarts->mcuHeight;
    }
    Decoder decoder(from > 0 ? band : compressed_);
    if (from > 0) {
      Header bandHeader;
      if (!ReadHeader(decoder, bandHeader) || bandHeader.rawWidth != header_.rawWidth) return false;
    } else if (!Reopen(decoder)) {
      return false;
    }
    std::optional<DecodeShare> share = DecodeShare::Take(CoefficientBytes(decoder));
    if (!share) return false;
    const Header& header = header_;
    std::vector<JSAMPLE> row(static_cast<size_t>(header.rawWidth) * 4);
    size_t next = begin;
    return decoder.Run([&](jpeg_decompress_struct& info) {
      info.out_color_space = header.cmyk ? JCS_CMYK : JCS_EXT_BGRX;
      jpeg_start_decompress(&info);
      while (next < end && info.output_scanline < info.output_height) {
        // Rows no destination line takes are skipped: libjpeg-turbo leaves out their
        // colour conversion and copy, and decodes whole skipped blocks' rows only as far
        // as the entropy decoder must.
        const auto wanted = static_cast<JDIMENSION>(lines[next].first - rowOffset);
        if (wanted > info.output_scanline) jpeg_skip_scanlines(&info, wanted - info.output_scanline);
        JSAMPROW rows[1] = {row.data()};
        int stored = static_cast<int>(info.output_scanline) + rowOffset;
        jpeg_read_scanlines(&info, rows, 1);
        for (; next < end && lines[next].first == stored; ++next) {
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
  };

  std::vector<char> decoded(plan.size(), 0);
  auto decodePart = [&](size_t p) {
    const size_t end = p + 1 < plan.size() ? plan[p + 1].begin : lines.size();
    // Down to the row below its last, whose colours its last rows' upsampling takes.
    int to = restarts ? restarts->mcuRows : 0;
    if (p + 1 < plan.size()) {
      to = plan[p + 1].from + 2;
      while (to < restarts->mcuRows && !restarts->StartsAt(to)) ++to;
    }
    decoded[p] = Guarded("decoding a JPEG", [&] { return decodeLines(plan[p].begin, end, plan[p].from, to); })
                     .value_or(false);
  };
  std::vector<std::thread> helpers;
  std::vector<size_t> here{0};  // the parts no thread could be started for are decoded here
  for (size_t p = 1; p < plan.size(); ++p) {
    if (auto helper = TryStartThread(decodePart, p)) {
      helpers.push_back(std::move(*helper));
    } else {
      here.push_back(p);
    }
  }
  for (size_t p : here) decodePart(p);
  for (std::thread& helper : helpers) helper.join();
  return std::all_of(decoded.begin(), decoded.end(), [](char ok) { return ok != 0; });
}

// The stored surface turned to stand upright.
gdi::Surface Upright(gdi::Surface stored, int orientation) {
  if (orientation <= 1 || orientation > 8) return stored;
  const int W = stored.Width(), H = stored.Height();
  gdi::Surface out(SwapsAxes(orientation) ? H : W, SwapsAxes(orientation) ? W : H);
  for (int uy = 0; uy < out.Height(); ++uy) {
    uint32_t* row = out.Row(uy);
    for (int ux = 0; ux < out.Width(); ++ux) {
      int rx, ry;
      StoredFromUpright(orientation, W, H, ux, uy, rx, ry);
      row[ux] = stored.Row(ry)[rx];
    }
  }
  return out;
}

Result<gdi::Surface> JpegPicture::Decode(int minLongSide) const {
  Decoder decoder(compressed_);
  if (!Reopen(decoder)) {
    return Fail(std::string("not a readable JPEG: ") + decoder.Error());
  }
  const Header& header = header_;
  // libjpeg-turbo scales by n/8 while it decodes: the smallest n that still reaches the size.
  const int longSide = std::max(header.rawWidth, header.rawHeight);
  int eighths = 8;
  while (minLongSide > 0 && eighths > 1 && (int64_t(longSide) * (eighths - 1) + 7) / 8 >= minLongSide) --eighths;
  JDIMENSION width = 0, height = 0;
  decoder.Run([&](jpeg_decompress_struct& info) {
    info.scale_num = static_cast<unsigned>(eighths);
    info.scale_denom = 8;
    jpeg_calc_output_dimensions(&info);
    width = info.output_width, height = info.output_height;
  });
  // At most the full size, which OpenJpeg has bounded; turned upright, it is copied once.
  const uint64_t pixelBytes = uint64_t{width} * height * 4;
  std::optional<DecodeShare> share =
      DecodeShare::Take(CoefficientBytes(decoder) + (header.orientation > 1 ? 2 : 1) * pixelBytes);
  if (!share) {
    return Fail("no room in the decode budget for it now");
  }
  gdi::Surface stored(static_cast<int>(width), static_cast<int>(height));
  std::vector<JSAMPLE> cmykRow(header.cmyk ? static_cast<size_t>(width) * 4 : 0);
  const bool decoded = decoder.Run([&](jpeg_decompress_struct& info) {
    info.scale_num = static_cast<unsigned>(eighths);
    info.scale_denom = 8;
    if (eighths < 8) {  // a preview: speed before the last bit of accuracy
      info.dct_method = JDCT_IFAST;
      info.do_fancy_upsampling = FALSE;
    }
    info.out_color_space = header.cmyk ? JCS_CMYK : JCS_EXT_BGRX;
    jpeg_start_decompress(&info);
    while (info.output_scanline < info.output_height) {
      uint32_t* out = stored.Row(static_cast<int>(info.output_scanline));
      JSAMPROW rows[1] = {header.cmyk ? cmykRow.data() : reinterpret_cast<JSAMPLE*>(out)};
      jpeg_read_scanlines(&info, rows, 1);
      for (JDIMENSION i = 0; i < width; ++i) {
        out[i] = header.cmyk ? PixelFromCmyk(&cmykRow[size_t{i} * 4]) : out[i] | 0xFF000000u;
      }
    }
    jpeg_abort_decompress(&info);
  });
  if (!decoded || width == 0 || height == 0) {
    return Fail(std::string("cannot decode the JPEG: ") + decoder.Error());
  }
  return Upright(std::move(stored), header_.orientation);
}

}  // namespace

Result<std::unique_ptr<Picture>> OpenJpeg(std::string bytes) {
  return Open(Compressed{std::move(bytes), std::nullopt});
}

Result<std::unique_ptr<Picture>> OpenJpeg(OpenedFile file) { return Open(Compressed{{}, std::move(file)}); }

}  // namespace lumen::platform::picture

#include "platform/picture/bmp_picture.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/gdi/stretch_map.h"
#include "platform/picture/decode_budget.h"

namespace lumen::platform::picture {
namespace {

using gdi::StretchAxis;
using gdi::StretchSource;

enum Compression : uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2 };

struct Source {
  std::string bytes;               // in memory,
  std::optional<OpenedFile> file;  // or in the file
  uint64_t Size() const { return file ? file->Size() : bytes.size(); }
  // Up to `count` bytes from `offset`; fewer at the end.
  size_t Read(uint64_t offset, void* into, size_t count) const {
    if (file) {
      const int64_t n = file->ReadAt(offset, into, count);
      return n > 0 ? static_cast<size_t>(n) : 0;
    }
    if (offset >= bytes.size()) return 0;
    const size_t n = std::min<uint64_t>(count, bytes.size() - offset);
    std::memcpy(into, bytes.data() + offset, n);
    return n;
  }
};

struct Layout {
  int width = 0, height = 0;  // height as stored: rows run bottom-up unless topDown
  bool topDown = false;
  int bits = 0;
  uint32_t compression = kRgb;
  uint64_t dataOffset = 0;
  std::vector<uint32_t> palette;  // 0xFFrrggbb
};

uint32_t Le32(const unsigned char* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }
uint16_t Le16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

// The header, when it is one of the kinds read here.
std::optional<Layout> ReadLayout(const Source& source) {
  unsigned char head[14 + 40];
  if (source.Read(0, head, sizeof head) != sizeof head || head[0] != 'B' || head[1] != 'M') return std::nullopt;
  const uint32_t headerSize = Le32(head + 14);
  if (headerSize != 40 && headerSize != 108 && headerSize != 124) return std::nullopt;
  Layout layout;
  const auto width = static_cast<int32_t>(Le32(head + 18)), height = static_cast<int32_t>(Le32(head + 22));
  layout.bits = Le16(head + 28);
  layout.compression = Le32(head + 30);
  const uint32_t colours = Le32(head + 46);
  layout.dataOffset = Le32(head + 10);
  if (Le16(head + 26) != 1 || width <= 0 || height == 0 || height == INT32_MIN) return std::nullopt;
  layout.width = width;
  layout.topDown = height < 0;
  layout.height = height < 0 ? -height : height;
  const bool paletted = layout.bits == 1 || layout.bits == 4 || layout.bits == 8;
  const bool kindRead = (layout.compression == kRgb && (paletted || layout.bits == 24 ||
                                                         (layout.bits == 32 && headerSize == 40))) ||
                        (layout.compression == kRle8 && layout.bits == 8 && !layout.topDown) ||
                        (layout.compression == kRle4 && layout.bits == 4 && !layout.topDown);
  if (!kindRead) return std::nullopt;
  if (paletted) {
    // A palette of every index: a picture whose indices may run past its palette is Qt's.
    const uint32_t entries = 1u << layout.bits;
    if (colours != 0 && colours != entries) return std::nullopt;
    std::vector<unsigned char> table(size_t{entries} * 4);
    if (source.Read(14 + headerSize, table.data(), table.size()) != table.size()) return std::nullopt;
    for (uint32_t i = 0; i < entries; ++i) {
      const unsigned char* q = &table[size_t{i} * 4];
      layout.palette.push_back(0xFF000000u | uint32_t(q[2]) << 16 | uint32_t(q[1]) << 8 | q[0]);
    }
  }
  return layout;
}

class BmpPicture : public Picture {
 public:
  BmpPicture(Source source, Layout layout)
      : Picture(layout.width, layout.height), source_(std::move(source)), layout_(std::move(layout)) {}

  bool StretchTo(gdi::Surface& destination, int x, int y, int width, int height, int) const override {
    if (width <= 0 || height <= 0) return false;
    const int firstCol = std::max(0, -x), lastCol = std::min(width, destination.Width() - x);
    const int firstRow = std::max(0, -y), lastRow = std::min(height, destination.Height() - y);
    if (firstCol >= lastCol || firstRow >= lastRow) return false;
    std::vector<int> picks;
    for (int i = firstCol; i < lastCol; ++i) picks.push_back(StretchSource(i, Width(), width, StretchAxis::Columns));
    std::vector<std::pair<int, int>> lines;  // {upright source row, destination row}
    for (int j = firstRow; j < lastRow; ++j) lines.push_back({StretchSource(j, Height(), height, StretchAxis::Rows), j});
    return ReadRows(lines, [&](const uint32_t* row, int line) {
      uint32_t* out = destination.Row(y + line) + x + firstCol;
      for (size_t k = 0; k < picks.size(); ++k) out[k] = row[picks[k]];
    });
  }

  Result<gdi::Surface> Decode(int minLongSide) const override {
    const int factor = minLongSide > 0 ? std::max(1, std::max(Width(), Height()) / minLongSide) : 1;
    const uint64_t outBytes = uint64_t((Width() + factor - 1) / factor) * uint64_t((Height() + factor - 1) / factor) * 4;
    std::optional<DecodeShare> share = DecodeShare::Take(outBytes);
    if (!share) {
      return Fail("no room in the decode budget for it now");
    }
    BlockReducer reducer(Width(), Height(), factor);
    std::vector<std::pair<int, int>> lines;
    for (int row = 0; row < Height(); ++row) lines.push_back({row, row});
    if (!ReadRows(lines, [&](const uint32_t* row, int line) { reducer.AddRow(line, row); })) {
      return Fail("cannot read the BMP's pixels");
    }
    return reducer.Take();
  }

 private:
  // Calls take(row, line) for each {upright row, line}, in the order the rows are stored.
  template <typename Take>
  bool ReadRows(std::vector<std::pair<int, int>> lines, Take&& take) const {
    auto stored = [&](int upright) { return layout_.topDown ? upright : layout_.height - 1 - upright; };
    std::sort(lines.begin(), lines.end(), [&](auto& a, auto& b) { return stored(a.first) < stored(b.first); });
    std::vector<uint32_t> pixels(static_cast<size_t>(layout_.width));
    if (layout_.compression != kRgb) return ReadRunLengthRows(lines, stored, pixels, take);
    const uint64_t stride = (uint64_t(layout_.width) * layout_.bits + 31) / 32 * 4;
    std::vector<unsigned char> bytes(stride);
    for (size_t next = 0; next < lines.size();) {
      const int row = lines[next].first;
      if (source_.Read(layout_.dataOffset + uint64_t(stored(row)) * stride, bytes.data(), stride) != stride) return false;
      for (int i = 0; i < layout_.width; ++i) pixels[static_cast<size_t>(i)] = Pixel(bytes.data(), i);
      for (; next < lines.size() && lines[next].first == row; ++next) take(pixels.data(), lines[next].second);
    }
    return true;
  }

  uint32_t Pixel(const unsigned char* row, int i) const {
    switch (layout_.bits) {
      case 1: return layout_.palette[(row[i / 8] >> (7 - i % 8)) & 1];
      case 4: return layout_.palette[(row[i / 2] >> (i % 2 == 0 ? 4 : 0)) & 0x0F];
      case 8: return layout_.palette[row[i]];
      case 24: return 0xFF000000u | uint32_t(row[3 * i + 2]) << 16 | uint32_t(row[3 * i + 1]) << 8 | row[3 * i];
      default: return 0xFF000000u | uint32_t(row[4 * i + 2]) << 16 | uint32_t(row[4 * i + 1]) << 8 | row[4 * i];
    }
  }

  // Run-length rows are found only by decoding from the start, bottom row first. Pixels
  // no run sets (skipped by a move or an early end of line) are palette entry 0.
  template <typename Stored, typename Take>
  bool ReadRunLengthRows(const std::vector<std::pair<int, int>>& lines, Stored&& stored, std::vector<uint32_t>& pixels,
                         Take&& take) const {
    const bool four = layout_.compression == kRle4;
    std::vector<unsigned char> indices(static_cast<size_t>(layout_.width), 0);
    size_t next = 0;
    int row = 0, column = 0;  // in stored order
    uint64_t at = layout_.dataOffset;
    unsigned char buffer[4096];
    uint64_t bufferStart = 0;
    size_t bufferLength = 0;
    auto byte = [&]() -> int {
      if (at < bufferStart || at >= bufferStart + bufferLength) {
        bufferStart = at;
        bufferLength = source_.Read(at, buffer, sizeof buffer);
        if (bufferLength == 0) return -1;
      }
      return buffer[at++ - bufferStart];
    };
    // Hands over every finished row up to (not including) `until`, each once.
    auto finishRowsBefore = [&](int until) {
      for (; row < until && row < layout_.height; ++row) {
        for (; next < lines.size() && stored(lines[next].first) == row; ++next) {
          for (int i = 0; i < layout_.width; ++i) pixels[size_t(i)] = layout_.palette[indices[size_t(i)]];
          take(pixels.data(), lines[next].second);
        }
        std::fill(indices.begin(), indices.end(), 0);
        column = 0;
        if (next == lines.size()) return;
      }
    };
    auto put = [&](int index) {
      if (column < layout_.width) indices[size_t(column)] = static_cast<unsigned char>(index);
      ++column;
    };
    while (next < lines.size()) {
      const int count = byte(), value = byte();
      if (count < 0 || value < 0) break;  // the data ends early: what is left stays entry 0
      if (count > 0) {
        for (int k = 0; k < count; ++k) put(four ? (k % 2 == 0 ? value >> 4 : value & 0x0F) : value);
      } else if (value == 0) {  // end of line
        finishRowsBefore(row + 1);
      } else if (value == 1) {  // end of picture
        break;
      } else if (value == 2) {  // move right and up
        const int dx = byte(), dy = byte();
        if (dx < 0 || dy < 0) break;
        const int keep = column + dx;
        if (dy > 0) finishRowsBefore(row + dy);
        column = keep;
      } else {  // `value` indices as they are, padded to a whole 16-bit word
        const int bytes = four ? (value + 1) / 2 : value;
        for (int k = 0; k < bytes; ++k) {
          const int b = byte();
          if (b < 0) break;
          if (!four) {
            put(b);
            continue;
          }
          put(b >> 4);
          if (2 * k + 1 < value) put(b & 0x0F);
        }
        if (bytes % 2 == 1) byte();
      }
    }
    finishRowsBefore(layout_.height);
    return true;
  }

  Source source_;
  Layout layout_;
};

Result<std::unique_ptr<Picture>> Open(Source source) {
  std::optional<Layout> layout = ReadLayout(source);
  if (!layout) {
    return Fail("not a BMP read row by row");
  }
  if (uint64_t(layout->width) * uint64_t(layout->height) * 4 > kMaxDecodedBytes) {
    return Fail("a picture of " + std::to_string(layout->width) + " x " + std::to_string(layout->height) +
                " pixels is larger than LumenShow decodes");
  }
  return std::make_unique<BmpPicture>(std::move(source), std::move(*layout));
}

}  // namespace

bool StreamsBmp(const std::string& head) { return ReadLayout(Source{head, std::nullopt}).has_value(); }

Result<std::unique_ptr<Picture>> OpenStreamedBmp(std::string bytes) {
  return Open(Source{std::move(bytes), std::nullopt});
}

Result<std::unique_ptr<Picture>> OpenStreamedBmp(OpenedFile file) { return Open(Source{{}, std::move(file)}); }

BlockReducer::BlockReducer(int width, int height, int factor)
    : width_(width), height_(height), factor_(factor),
      sums_(size_t((width + factor - 1) / factor) * 3, 0),
      out_((width + factor - 1) / factor, (height + factor - 1) / factor) {}

void BlockReducer::AddRow(int y, const uint32_t* row) {
  for (int x = 0; x < width_; ++x) {
    uint64_t* sum = &sums_[size_t(x / factor_) * 3];
    sum[0] += row[x] & 0xFF, sum[1] += (row[x] >> 8) & 0xFF, sum[2] += (row[x] >> 16) & 0xFF;
  }
  // A band's rows come one after another, up or down (a bottom-up file gives them upwards).
  const int band = y / factor_;
  const int bandRows = std::min(height_, (band + 1) * factor_) - band * factor_;
  if (++rowsInBand_ < bandRows) return;
  // The band is whole: its averages, rounded half up.
  uint32_t* out = out_.Row(band);
  for (int ox = 0; ox < out_.Width(); ++ox) {
    const uint64_t n = uint64_t(bandRows) * uint64_t(std::min(width_, (ox + 1) * factor_) - ox * factor_);
    const uint64_t* sum = &sums_[size_t(ox) * 3];
    auto channel = [&](int c) { return static_cast<uint32_t>((sum[c] + n / 2) / n); };
    out[ox] = 0xFF000000u | channel(2) << 16 | channel(1) << 8 | channel(0);
  }
  std::fill(sums_.begin(), sums_.end(), 0);
  rowsInBand_ = 0;
}

gdi::Surface BlockReducer::Take() { return std::move(out_); }

}  // namespace lumen::platform::picture

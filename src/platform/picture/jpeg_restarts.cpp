#include "platform/picture/jpeg_restarts.h"

#include <algorithm>
#include <cstring>

namespace lumen::platform::picture {
namespace {

constexpr size_t kMaxHeadBytes = 1 << 20;  // Exif, ICC profiles and tables: far less in any photo
constexpr size_t kChunk = 1 << 20;

constexpr unsigned kSof0 = 0xC0, kSof1 = 0xC1, kDri = 0xDD, kSos = 0xDA, kEoi = 0xD9;
bool IsRestart(unsigned marker) { return marker >= 0xD0 && marker <= 0xD7; }

unsigned Word(const std::string& bytes, size_t at) {
  return static_cast<unsigned char>(bytes[at]) << 8 | static_cast<unsigned char>(bytes[at + 1]);
}

}  // namespace

std::optional<RestartIndex> IndexRestarts(const ReadBytesAt& read, uint64_t fileSize) {
  RestartIndex index;
  std::string& head = index.head;
  head.resize(static_cast<size_t>(std::min<uint64_t>(fileSize, kMaxHeadBytes)));
  if (read(0, head.data(), head.size()) != static_cast<int64_t>(head.size())) return std::nullopt;
  if (head.size() < 4 || Word(head, 0) != 0xFFD8) return std::nullopt;

  // The segments up to the start of scan: the frame (sequential Huffman only) and the interval.
  size_t at = 2;
  int maxH = 0, maxV = 0, components = 0;
  while (true) {
    while (at < head.size() && static_cast<unsigned char>(head[at]) == 0xFF && at + 1 < head.size() &&
           static_cast<unsigned char>(head[at + 1]) == 0xFF) {
      ++at;  // fill bytes before a marker
    }
    if (at + 4 > head.size() || static_cast<unsigned char>(head[at]) != 0xFF) return std::nullopt;
    const unsigned marker = static_cast<unsigned char>(head[at + 1]);
    const size_t length = Word(head, at + 2);
    if (length < 2 || at + 2 + length > head.size()) return std::nullopt;
    const size_t body = at + 4;
    if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
      if (marker != kSof0 && marker != kSof1) return std::nullopt;  // progressive, lossless, arithmetic
      if (length < 8) return std::nullopt;
      index.heightAt = body + 1;
      index.height = static_cast<int>(Word(head, body + 1));
      index.width = static_cast<int>(Word(head, body + 3));
      components = static_cast<unsigned char>(head[body + 5]);
      if (components == 0 || length != 8 + 3 * size_t(components)) return std::nullopt;
      for (int c = 0; c < components; ++c) {
        const unsigned factors = static_cast<unsigned char>(head[body + 7 + 3 * c]);
        maxH = std::max(maxH, int(factors >> 4));
        maxV = std::max(maxV, int(factors & 0x0F));
      }
    } else if (marker == kDri) {
      if (length != 4) return std::nullopt;
      index.interval = Word(head, body);
    } else if (marker == kSos) {
      // One scan holding every component; a single component is coded block by block.
      if (components == 0 || static_cast<unsigned char>(head[body]) != components) return std::nullopt;
      if (components == 1) maxH = maxV = 1;
      head.resize(at + 2 + length);
      break;
    }
    at += 2 + length;
  }
  if (index.interval <= 0 || index.width <= 0 || index.height <= 0 || maxH <= 0 || maxV <= 0) return std::nullopt;
  index.mcuHeight = 8 * maxV;
  index.mcuRows = (index.height + index.mcuHeight - 1) / index.mcuHeight;
  index.mcusPerRow = (index.width + 8 * maxH - 1) / (8 * maxH);
  index.dataStart = head.size();

  // The entropy-coded bytes: every 0xFF in them is a stuffed 0xFF00, a restart marker, or
  // the marker that ends the scan.
  const int64_t intervals = (index.mcusPerRow * index.mcuRows + index.interval - 1) / index.interval;
  std::string chunk(kChunk + 1, '\0');
  uint64_t offset = index.dataStart;
  bool ended = false;
  while (!ended && offset < fileSize) {
    // One byte more than is searched: the second byte of a marker at the chunk's end.
    const int64_t got = read(offset, chunk.data(), static_cast<size_t>(std::min<uint64_t>(kChunk + 1, fileSize - offset)));
    if (got < 2) return std::nullopt;
    const size_t usable = static_cast<size_t>(got) - 1;
    for (size_t i = 0; i < usable && !ended; ++i) {
      const void* found = std::memchr(chunk.data() + i, 0xFF, usable - i);
      if (found == nullptr) break;
      i = static_cast<size_t>(static_cast<const char*>(found) - chunk.data());
      const unsigned next = static_cast<unsigned char>(chunk[i + 1]);
      if (next == 0x00 || next == 0xFF) continue;  // stuffed byte, or fill before a marker
      if (IsRestart(next)) {
        // In order, numbered 0 to 7 and round again; anything else is damage.
        if (next != 0xD0 + index.markers.size() % 8) return std::nullopt;
        index.markers.push_back(offset + i);
        ++i;
      } else {
        if (next != kEoi) return std::nullopt;  // another scan, or tables between scans
        index.dataEnd = offset + i;
        ended = true;
      }
    }
    if (!ended) offset += usable;
  }
  if (!ended || int64_t(index.markers.size()) != intervals - 1) return std::nullopt;
  return index;
}

std::string RestartIndex::Band(const ReadBytesAt& read, int from, int to) const {
  std::string band = head;
  const int rows = std::min(height, to * mcuHeight) - from * mcuHeight;
  band[heightAt] = static_cast<char>(rows >> 8);
  band[heightAt + 1] = static_cast<char>(rows & 0xFF);
  // Interval k runs from the marker ending interval k - 1 (or the scan's start) to marker k
  // (or the scan's end); the band takes intervals [first, last).
  const int64_t intervals = int64_t(markers.size()) + 1;
  const int64_t first = int64_t(from) * mcusPerRow / interval;
  const int64_t last = to >= mcuRows ? intervals : int64_t(to) * mcusPerRow / interval;
  const uint64_t start = first == 0 ? dataStart : markers[size_t(first - 1)] + 2;
  const uint64_t end = last == intervals ? dataEnd : markers[size_t(last - 1)];
  const size_t headBytes = band.size();
  band.resize(headBytes + static_cast<size_t>(end - start));
  if (read(start, band.data() + headBytes, static_cast<size_t>(end - start)) != static_cast<int64_t>(end - start)) {
    return {};
  }
  for (int64_t k = first; k + 1 < last; ++k) {
    band[headBytes + static_cast<size_t>(markers[size_t(k)] + 1 - start)] = static_cast<char>(0xD0 + (k - first) % 8);
  }
  band += "\xFF\xD9";
  return band;
}

}  // namespace lumen::platform::picture

// Where a sequential JPEG may be decoded from the middle: at its restart markers. Each
// restart interval starts its entropy coding afresh, so a band of rows that starts at one
// can be decoded by a thread of its own without decoding the rows above it — which is
// what a band that only skips to its rows must do.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace lumen::platform::picture {

// Reads up to `count` bytes at `offset` (fewer at the end); -1 on an error.
using ReadBytesAt = std::function<int64_t(uint64_t offset, void* into, size_t count)>;

struct RestartIndex {
  std::string head;            // from the file's start to the end of its start-of-scan segment
  size_t heightAt = 0;         // where in `head` the frame's 16-bit height is
  int width = 0, height = 0;   // the stored image
  int mcuHeight = 0;           // rows of one MCU row
  int mcuRows = 0;
  int64_t mcusPerRow = 0, interval = 0;  // MCUs per row, and per restart interval
  std::vector<uint64_t> markers;         // offsets of the restart markers; marker k ends interval k
  uint64_t dataStart = 0, dataEnd = 0;   // the scan's entropy-coded bytes

  // True when a restart interval starts at the first row of MCU row `row`.
  bool StartsAt(int row) const { return row >= 0 && row <= mcuRows && int64_t(row) * mcusPerRow % interval == 0; }
  // A JPEG of MCU rows [from, to) alone, both rows where intervals start (or `to` the end):
  // the head with its height changed, the intervals' bytes with their markers numbered
  // from 0 again, and an end-of-image marker.
  std::string Band(const ReadBytesAt& read, int from, int to) const;
};

// The index of a baseline or extended sequential JPEG (Huffman coded, one scan holding
// every component) with a restart interval and every marker in its place; nothing for any
// other JPEG (progressive, several scans, damaged or truncated data), which is then
// decoded from its start.
std::optional<RestartIndex> IndexRestarts(const ReadBytesAt& read, uint64_t fileSize);

}  // namespace lumen::platform::picture

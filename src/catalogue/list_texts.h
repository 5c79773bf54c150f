// The texts of the list views: counters, sizes in kilobytes, dates, preview geometry.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace lumen::catalogue {

// Format "#,###": thousands separators, and nothing at all for 0.
std::string FormatCount(int64_t n);
// "i / n" while a fill runs, "n枚" at its end ("枚" for an empty folder).
std::string CounterProgress(int64_t done, int64_t count);
std::string CounterTotal(int64_t count);

// bytes / 1024 (0 becomes 1) in format "###,###,##0": halves away from zero.
std::string SizeInKilobytes(int64_t bytes);

// The local calendar date of the file's last change as yyyy/MM/dd; a file that cannot be
// opened calls `reportError` with "Error " + path and gives the zero date's text, "0:00:00".
std::string GetFileDate(const std::string& path, const std::function<void(const std::string&)>& reportError);

// The previewed file: the folder and the name, with "/" between unless the folder ends in one.
std::string PreviewPath(const std::string& folder, const std::string& name);

// Where a picture of natural size pw x ph stands in the 208 x 208 preview frame: 208 along
// its long side (a square counts as portrait), the other side fractional; left and top
// are (208 - size) rounded half to even, then halved with the fraction dropped.
struct PreviewPlacement {
  double width, height;
  int left, top;
};
PreviewPlacement PlacePreview(double pw, double ph, double frame = 208);

}  // namespace lumen::catalogue

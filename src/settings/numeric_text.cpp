#include "settings/numeric_text.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace lumen::settings {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Length of the run of digits at the start of s.
size_t DigitRun(std::string_view s) {
  size_t n = 0;
  while (n < s.size() && IsDigit(s[n])) ++n;
  return n;
}

template <typename Int>
std::optional<Int> FitInteger(double whole) {
  if (!std::isfinite(whole) || whole < std::numeric_limits<Int>::min() ||
      whole > std::numeric_limits<Int>::max()) {
    return std::nullopt;
  }
  return static_cast<Int>(whole);
}

}  // namespace

std::optional<double> ParseNumber(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);

  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  // Check the whole shape here: from_chars alone would also take "inf", "nan" and stop
  // quietly at trailing junk.
  size_t pos = DigitRun(text);
  size_t digits = pos;
  if (pos < text.size() && text[pos] == '.') {
    size_t fraction = DigitRun(text.substr(pos + 1));
    digits += fraction;
    pos += 1 + fraction;
  }
  if (digits == 0) return std::nullopt;
  if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
    size_t expStart = pos + 1;
    if (expStart < text.size() && (text[expStart] == '+' || text[expStart] == '-')) ++expStart;
    size_t expDigits = DigitRun(text.substr(expStart));
    if (expDigits == 0) return std::nullopt;
    pos = expStart + expDigits;
  }
  if (pos != text.size()) return std::nullopt;

  double value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return negative ? -value : value;
}

std::optional<int16_t> FloorToInt16(double value) { return FitInteger<int16_t>(std::floor(value)); }

// std::nearbyint rounds in the current mode, which is round-half-to-even by default.
std::optional<int16_t> RoundToInt16(double value) { return FitInteger<int16_t>(std::nearbyint(value)); }
std::optional<int32_t> RoundToInt32(double value) { return FitInteger<int32_t>(std::nearbyint(value)); }

std::string FormatIniNumber(int64_t value) {
  return value < 0 ? std::to_string(value) : " " + std::to_string(value);
}

}  // namespace lumen::settings

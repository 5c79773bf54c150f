// Numbers as the INI file and the track box hold them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lumen::settings {

// Reads blanks, an optional sign, decimal digits with an optional decimal point, an
// optional exponent, blanks. Anything else (empty text, "fast", "0x10", "1,000", "inf")
// is not a number.
std::optional<double> ParseNumber(std::string_view text);

// Rounded toward minus infinity (2.9 -> 2, -0.5 -> -1); nothing when it does not fit.
std::optional<int16_t> FloorToInt16(double value);
// Rounded to the nearest, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
std::optional<int16_t> RoundToInt16(double value);
std::optional<int32_t> RoundToInt32(double value);

// One blank before a value that is zero or positive, "-" before a negative one
// (" 1", " 16777215", "-1").
std::string FormatIniNumber(int64_t value);

}  // namespace lumen::settings

// Code page 932 (Windows Shift_JIS) text, converted with glibc iconv.
//
// iconv's "CP932" is used rather than "SHIFT_JIS": the latter has no ～ (U+FF5E) or
// ① (U+2460), and maps 0x5C to the yen sign, while Windows files mean a backslash.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumen::platform {

// The CP932 bytes of a UTF-8 text, or nothing when the text is not valid UTF-8 or
// holds a character CP932 lacks. Never transliterates: "Café" gives nothing, not "Cafe".
std::optional<std::string> Utf8ToCp932(std::string_view utf8);

// The UTF-8 form of CP932 bytes. A byte that does not start a valid CP932 character
// becomes U+FFFD, so damaged files still read.
std::string Cp932ToUtf8(std::string_view cp932);

// True for the first byte of a two-byte CP932 character. The second byte may be any
// of 0x40..0xFC, including ASCII letters, '[', ']' and '\'.
constexpr bool IsCp932LeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

}  // namespace lumen::platform

// Texts as they are stored in LumenShow.ini: code page 932 bytes.
//
// A text that code page 932 cannot hold exactly (a folder named "Café", an emoji, file
// name bytes that are not UTF-8), or that would not read back as written (line breaks,
// trailing blanks, wrapping quotes), is stored as "utf8:" followed by the text
// with each such character, each blank and each "%" written as %XX escapes of its bytes:
// "/home/Café" is stored as "utf8:/home/Caf%C3%A9". Everything else is stored as is;
// leading blanks are not kept, as in every profile value (" 1" reads as "1").
#pragma once

#include <string>
#include <string_view>

namespace lumen::settings {

inline constexpr std::string_view kEscapedTextMarker = "utf8:";

// The CP932 bytes that store the text.
std::string EncodeIniText(std::string_view text);

// The text that stored bytes stand for; the inverse of EncodeIniText.
std::string DecodeIniText(std::string_view stored);

}  // namespace lumen::settings

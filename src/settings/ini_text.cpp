#include "settings/ini_text.h"

#include "platform/cp932.h"

namespace lumen::settings {
namespace {

using platform::Utf8ToCp932;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Length of the UTF-8 sequence a lead byte announces (1 for ASCII and stray bytes).
size_t SequenceLength(unsigned char lead) {
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  if (lead >= 0xE0) return 3;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  return 1;
}

bool NeedsEscape(std::string_view text) {
  if (text.starts_with(kEscapedTextMarker)) return true;
  // Leading blanks are trimmed on reading like any profile value's, which the numbers'
  // leading blank relies on; a trailing one would silently name another folder.
  if (!text.empty() && IsBlank(text.back())) return true;
  if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') &&
      text.back() == text.front()) {
    return true;
  }
  for (char c : text) {
    if (static_cast<unsigned char>(c) < 0x20) return true;
  }
  return !Utf8ToCp932(text).has_value();
}

void AppendEscapedBytes(std::string_view bytes, std::string& out) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (unsigned char b : bytes) {
    out += '%';
    out += kHex[b >> 4];
    out += kHex[b & 0x0F];
  }
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::string EncodeIniText(std::string_view text) {
  if (!NeedsEscape(text)) return *Utf8ToCp932(text);

  std::string escaped(kEscapedTextMarker);
  size_t i = 0;
  while (i < text.size()) {
    auto lead = static_cast<unsigned char>(text[i]);
    std::string_view unit = text.substr(i, SequenceLength(lead));
    bool plainAscii = lead > 0x20 && lead < 0x7F && lead != '%';
    if (plainAscii || (lead >= 0x80 && Utf8ToCp932(unit).has_value())) {
      escaped += unit;
      i += unit.size();
    } else {
      // Byte for byte, so even broken UTF-8 reads back exactly.
      AppendEscapedBytes(unit, escaped);
      i += unit.size();
    }
  }
  return *Utf8ToCp932(escaped);
}

std::string DecodeIniText(std::string_view stored) {
  std::string text = platform::Cp932ToUtf8(stored);
  if (!std::string_view(text).starts_with(kEscapedTextMarker)) return text;

  std::string decoded;
  for (size_t i = kEscapedTextMarker.size(); i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
        HexValue(text[i + 2]) >= 0) {
      decoded += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else {
      decoded += text[i];
    }
  }
  // No path or file name holds a NUL: "%00" would cut it short where the system reads it,
  // so such a value counts as none (and its fallback applies).
  if (decoded.find('\0') != std::string::npos) return {};
  return decoded;
}

}  // namespace lumen::settings

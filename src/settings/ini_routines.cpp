#include "settings/ini_routines.h"

#include "platform/cp932.h"
#include "settings/ini_text.h"

namespace lumen::settings {
namespace {

// The profile functions fill a 256-byte buffer, NUL included.
constexpr size_t kValueBufferSize = 256;

// Section and key names are our own fixed texts, all of them in code page 932.
std::string NameBytes(std::string_view name) {
  return platform::Utf8ToCp932(name).value_or(std::string(name));
}

}  // namespace

std::string ReadIniValue(std::string_view section, std::string_view key,
                         const std::string& fileName) {
  return DecodeIniText(platform::GetPrivateProfileString(
      NameBytes(section), NameBytes(key), "", kValueBufferSize, fileName));
}

std::string ReadIniValue(std::string_view section, std::string_view key,
                         const platform::ProfileDocument& document) {
  return DecodeIniText(platform::GetPrivateProfileString(
      NameBytes(section), NameBytes(key), "", kValueBufferSize, document));
}

void WriteIniValue(std::string_view section, std::string_view key, std::string_view value,
                   platform::ProfileDocument& document) {
  document.Set(NameBytes(section), NameBytes(key), EncodeIniText(value));
}

}  // namespace lumen::settings

// Reading and writing one INI value, in UTF-8 at this side and code page 932 on disk.
#pragma once

#include <string>
#include <string_view>

#include "platform/profile_file.h"

namespace lumen::settings {

// The key's value, or empty text when the file, the section or the key is missing.
// At most 255 bytes of the stored value are read; a longer value is cut.
std::string ReadIniValue(std::string_view section, std::string_view key,
                         const std::string& fileName);
// The same from a file read once.
std::string ReadIniValue(std::string_view section, std::string_view key,
                         const platform::ProfileDocument& document);

// Sets one key in a document held in memory, for saving several keys in one go.
void WriteIniValue(std::string_view section, std::string_view key, std::string_view value,
                   platform::ProfileDocument& document);

}  // namespace lumen::settings

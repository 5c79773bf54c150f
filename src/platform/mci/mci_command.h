// One MCI command string split into its words.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lumen::platform::mci {

struct MciCommand {
  std::string verb;               // lower case: "open", "play", "status", ...
  std::string device;             // device name, alias or (for open) file path, as written
  std::vector<std::string> args;  // the words after the device, "wait" and "notify" left out
};

// Splits at blanks; a word in double quotes may hold blanks and ends at the next quote,
// which must be followed by a blank or the end. Returns 0 or the MCI error code.
uint32_t ParseCommand(std::string_view text, MciCommand& command);

bool SameWord(std::string_view a, std::string_view b);  // ASCII case-insensitive

// A whole decimal number (digits only) that fits 31 bits, or -1.
int64_t ParseCount(const std::string& text);

}  // namespace lumen::platform::mci

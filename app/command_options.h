// The words after a subcommand's name: options with a value, and the rest.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "settings/lumen_b.h"

namespace lumen::app {

// Exit status for arguments the program cannot use; one line on stderr says why.
inline constexpr int kBadArguments = 2;

struct CommandOptions {
  std::vector<std::string> positional;
  std::map<std::string, std::string> values;  // "--ini" -> "FILE"
  std::set<std::string> flags;                // "--details"

  bool Has(const std::string& flag) const { return flags.count(flag) != 0; }

  const std::string* Value(const std::string& option) const {
    auto found = values.find(option);
    return found == values.end() ? nullptr : &found->second;
  }
};

// The saved settings, from --ini FILE when given, else from the program folder's INI.
settings::Settings LoadSettingsFor(const CommandOptions& options);

// Writes "lumenshow: <command>: <why>" to stderr and returns kBadArguments.
int BadArguments(const std::string& command, const std::string& why);

// The number an option gives, from low to high (`range` says so in words, such as "from 1
// to 4, such as 2 or 1.5"); value stays as it is when the option is absent. False, after
// the one line on stderr, when it is not such a number.
bool ReadNumberOption(const CommandOptions& options, const std::string& command, const std::string& option,
                      double low, double high, const std::string& range, double& value);

// "WIDTHxHEIGHT" (or "WIDTHXHEIGHT"), each side from 1 to maxSide; nothing otherwise.
std::optional<std::pair<int, int>> ParseSize(const std::string& text, int maxSide);

}  // namespace lumen::app

#include "app/command_options.h"

#include <cstdio>
#include <iostream>

#include "platform/program_folder.h"
#include "settings/numeric_text.h"

namespace lumen::app {

settings::Settings LoadSettingsFor(const CommandOptions& options) {
  const std::string* ini = options.Value("--ini");
  settings::Settings loaded;
  settings::LoadSettings(loaded, platform::ProgramFolder(), ini ? *ini : platform::IniFilePath());
  return loaded;
}

int BadArguments(const std::string& command, const std::string& why) {
  std::cerr << "lumenshow: " << command << ": " << why << "\n";
  return kBadArguments;
}

bool ReadNumberOption(const CommandOptions& options, const std::string& command, const std::string& option,
                      double low, double high, const std::string& range, double& value) {
  const std::string* text = options.Value(option);
  if (text == nullptr) return true;
  auto parsed = settings::ParseNumber(*text);
  if (!parsed || *parsed < low || *parsed > high) {
    BadArguments(command, option + " takes a number " + range + ", not '" + *text + "'");
    return false;
  }
  value = *parsed;
  return true;
}

std::optional<std::pair<int, int>> ParseSize(const std::string& text, int maxSide) {
  int w = 0, h = 0;
  char x = 0, extra = 0;
  if (std::sscanf(text.c_str(), "%d%c%d%c", &w, &x, &h, &extra) != 3 || (x != 'x' && x != 'X')) return std::nullopt;
  if (w < 1 || h < 1 || w > maxSide || h > maxSide) return std::nullopt;
  return std::pair{w, h};
}

}  // namespace lumen::app

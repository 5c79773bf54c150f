#include "app/command_options.h"

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

}  // namespace lumen::app

#include "app/command_options.h"

#include <algorithm>
#include <iostream>

#include "platform/program_folder.h"
#include "settings/numeric_text.h"

namespace lumen::app {

std::optional<CommandOptions> ParseCommandOptions(const std::vector<std::string>& args,
                                                  std::initializer_list<const char*> withValue,
                                                  std::string& error) {
  CommandOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& word = args[i];
    bool takesValue = std::any_of(withValue.begin(), withValue.end(),
                                  [&](const char* name) { return word == name; });
    if (takesValue) {
      if (i + 1 == args.size()) {
        error = word + " needs a value";
        return std::nullopt;
      }
      options.values[word] = args[++i];
    } else if (word.starts_with("--")) {
      error = "unknown option '" + word + "'";
      return std::nullopt;
    } else {
      options.positional.push_back(word);
    }
  }
  return options;
}

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

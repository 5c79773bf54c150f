#include "app/subcommands.h"

#include <cstdint>
#include <iostream>
#include <optional>

#include "app/show_data_for.h"
#include "platform/program_folder.h"
#include "settings/lumen_b.h"

namespace lumen::app {

int RunSettings(const std::vector<std::string>& args) {
  auto options = ParseCommandOptions(args, "settings");
  if (!options) return BadArguments("settings", options.reason());
  if (!options->positional.empty()) {
    return BadArguments("settings", "unexpected argument '" + options->positional.front() + "'");
  }
  if (options->Has("--file")) {
    const std::string* ini = options->Value("--ini");
    std::cout << (ini ? *ini : platform::IniFilePath()) << "\n";
    return 0;
  }
  std::cout << settings::DescribeSettings(LoadSettingsFor(*options));
  return 0;
}

int RunOrder(const std::vector<std::string>& args) {
  auto options = ParseCommandOptions(args, "order");
  if (!options) return BadArguments("order", options.reason());
  if (options->positional.size() != 1) {
    return BadArguments("order", UsageLine("order"));
  }
  const std::string& folder = options->positional.front();
  settings::Settings loaded = LoadSettingsFor(*options);
  auto shown = ShowDataFor(*options, folder, loaded);
  if (!shown) return BadArguments("order", shown.reason());
  const settings::ShowData& data = *shown;

  std::cout << "ImageCount=" << data.ImageCount << "\n";
  for (int32_t i = 1; i <= data.ImageCount; ++i) {
    std::cout << "ImagePaths(" << i << ")=" << data.ImagePaths[i] << "\n";
  }
  for (int32_t i = 1; i <= data.ImageCount; ++i) {
    std::cout << "SlideOrder(" << i << ")=" << data.SlideOrder[i] << "\n";
  }
  return 0;
}

}  // namespace lumen::app

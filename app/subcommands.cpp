#include "app/subcommands.h"

#include <charconv>
#include <cstdint>
#include <iostream>
#include <optional>

#include "mainwindow/picture_list.h"
#include "mainwindow/show_order.h"
#include "settings/lumen_b.h"

namespace lumen::app {
int RunSettings(const std::vector<std::string>& args) {
  std::string error;
  auto options = ParseCommandOptions(args, {"--ini"}, error);
  if (!options) return BadArguments("settings", error);
  if (!options->positional.empty()) {
    return BadArguments("settings", "unexpected argument '" + options->positional.front() + "'");
  }
  std::cout << settings::DescribeSettings(LoadSettingsFor(*options));
  return 0;
}

int RunOrder(const std::vector<std::string>& args) {
  std::string error;
  auto options = ParseCommandOptions(args, {"--ini", "--seed"}, error);
  if (!options) return BadArguments("order", error);
  if (options->positional.size() != 1) {
    return BadArguments("order", "usage: lumenshow order DIR [--ini FILE] [--seed N]");
  }
  std::optional<uint64_t> seed;
  if (const std::string* text = options->Value("--seed")) {
    uint64_t value = 0;
    auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), value);
    if (ec != std::errc() || end != text->data() + text->size()) {
      return BadArguments("order", "--seed takes a whole number from 0 to 18446744073709551615, not '" + *text + "'");
    }
    seed = value;
  }
  const std::string& folder = options->positional.front();
  auto names = mainwindow::ListPictureFiles(folder);
  if (!names) return BadArguments("order", "cannot list the folder '" + folder + "'");

  settings::Settings loaded = LoadSettingsFor(*options);
  mainwindow::ShuffleRandom random =
      seed ? mainwindow::ShuffleRandom::WithFixedSeed(*seed) : mainwindow::ShuffleRandom();
  settings::ShowData data;
  mainwindow::BuildShowData(data, folder, *names, loaded.ShowOrder, random);

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

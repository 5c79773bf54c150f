#include "app/subcommands.h"

#include <charconv>
#include <cstdint>
#include <iostream>
#include <optional>

#include "mainwindow/picture_list.h"
#include "mainwindow/show_order.h"
#include "platform/program_folder.h"
#include "settings/lumen_b.h"

namespace lumen::app {
namespace {

struct Options {
  std::vector<std::string> positional;
  std::string iniPath;
  std::optional<uint64_t> seed;
};

int BadArguments(const std::string& why) {
  std::cerr << "lumenshow: " << why << "\n";
  return kBadArguments;
}

// Reads "--ini FILE" and, when allowed, "--seed N"; everything else is positional.
std::optional<Options> ParseOptions(const std::vector<std::string>& args, bool seedAllowed,
                                    std::string& error) {
  Options options;
  options.iniPath = platform::IniFilePath();
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& word = args[i];
    bool takesValue = word == "--ini" || (seedAllowed && word == "--seed");
    if (takesValue && i + 1 == args.size()) {
      error = word + " needs a value";
      return std::nullopt;
    }
    if (word == "--ini") {
      options.iniPath = args[++i];
    } else if (seedAllowed && word == "--seed") {
      const std::string& text = args[++i];
      uint64_t seed = 0;
      auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), seed);
      if (ec != std::errc() || end != text.data() + text.size()) {
        error = "--seed takes a whole number from 0 to 18446744073709551615, not '" + text + "'";
        return std::nullopt;
      }
      options.seed = seed;
    } else if (word.starts_with("--")) {
      error = "unknown option '" + word + "'";
      return std::nullopt;
    } else {
      options.positional.push_back(word);
    }
  }
  return options;
}

settings::Settings LoadFrom(const std::string& iniPath) {
  settings::Settings loaded;
  settings::LoadSettings(loaded, platform::ProgramFolder(), iniPath);
  return loaded;
}

}  // namespace

int RunSettings(const std::vector<std::string>& args) {
  std::string error;
  auto options = ParseOptions(args, false, error);
  if (!options) return BadArguments("settings: " + error);
  if (!options->positional.empty()) {
    return BadArguments("settings: unexpected argument '" + options->positional.front() + "'");
  }
  std::cout << settings::DescribeSettings(LoadFrom(options->iniPath));
  return 0;
}

int RunOrder(const std::vector<std::string>& args) {
  std::string error;
  auto options = ParseOptions(args, true, error);
  if (!options) return BadArguments("order: " + error);
  if (options->positional.size() != 1) {
    return BadArguments("order: usage: lumenshow order DIR [--ini FILE] [--seed N]");
  }
  const std::string& folder = options->positional.front();
  auto names = mainwindow::ListPictureFiles(folder);
  if (!names) return BadArguments("order: cannot list the folder '" + folder + "'");

  settings::Settings loaded = LoadFrom(options->iniPath);
  mainwindow::ShuffleRandom random = options->seed
                                         ? mainwindow::ShuffleRandom::WithFixedSeed(*options->seed)
                                         : mainwindow::ShuffleRandom();
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

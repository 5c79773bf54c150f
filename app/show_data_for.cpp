#include "app/show_data_for.h"

#include <charconv>

#include "mainwindow/picture_list.h"
#include "mainwindow/show_order.h"

namespace lumen::app {

bool ReadSeed(const CommandOptions& options, const std::string& command, std::optional<uint64_t>& seed) {
  const std::string* text = options.Value("--seed");
  if (text == nullptr) return true;
  uint64_t value = 0;
  auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), value);
  if (ec != std::errc() || end != text->data() + text->size()) {
    BadArguments(command, "--seed takes a whole number from 0 to 18446744073709551615, not '" + *text + "'");
    return false;
  }
  seed = value;
  return true;
}

bool BuildShowDataFor(const std::string& folder, const settings::Settings& settings,
                      std::optional<uint64_t> seed, settings::ShowData& data) {
  auto names = mainwindow::ListPictureFiles(folder);
  if (!names) return false;
  mainwindow::ShuffleRandom random =
      seed ? mainwindow::ShuffleRandom::WithFixedSeed(*seed) : mainwindow::ShuffleRandom();
  mainwindow::BuildShowData(data, folder, *names, settings.ShowOrder, random);
  return true;
}

}  // namespace lumen::app

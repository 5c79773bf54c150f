#include "app/show_data_for.h"

#include <charconv>

#include "mainwindow/picture_list.h"
#include "mainwindow/show_order.h"

namespace lumen::app {

Result<settings::ShowData> ShowDataFor(const CommandOptions& options, const std::string& folder,
                                       const settings::Settings& settings) {
  mainwindow::ShuffleRandom random;
  if (const std::string* text = options.Value("--seed")) {
    uint64_t seed = 0;
    auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), seed);
    if (ec != std::errc() || end != text->data() + text->size()) {
      return Fail("--seed takes a whole number from 0 to 18446744073709551615, not '" + *text + "'");
    }
    random = mainwindow::ShuffleRandom::WithFixedSeed(seed);
  }
  auto names = mainwindow::ListPictureFiles(folder);
  if (!names) return Fail("cannot list the folder '" + folder + "'");
  settings::ShowData data;
  mainwindow::BuildShowData(data, folder, *names, settings.ShowOrder, random);
  return data;
}

}  // namespace lumen::app

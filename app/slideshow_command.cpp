// lumenshow slideshow: the show of a folder on the desktop, straight away.
#include <QApplication>
#include <QScreen>

#include "app/show_data_for.h"
#include "app/subcommands.h"
#include "music/show_music.h"
#include "platform/audio/system_multimedia.h"
#include "slideshow/show_window.h"

namespace lumen::app {

int RunSlideshow(int argc, char** argv, const std::vector<std::string>& args) {
  std::string error;
  auto options = ParseCommandOptions(args, {"--ini", "--seed"}, error);
  if (!options) return BadArguments("slideshow", error);
  if (options->positional.size() != 1) {
    return BadArguments("slideshow", "usage: lumenshow slideshow DIR [--ini FILE] [--seed N]");
  }
  std::optional<uint64_t> seed;
  if (!ReadSeed(*options, "slideshow", seed)) return kBadArguments;
  const std::string& folder = options->positional.front();
  const settings::Settings saved = LoadSettingsFor(*options);
  settings::ShowData data;
  if (!BuildShowDataFor(folder, saved, seed, data)) {
    return BadArguments("slideshow", "cannot list the folder '" + folder + "'");
  }

  QApplication application(argc, argv);
  music::Lumen_BGM bgm(platform::SystemMultimedia(), saved);
  music::ShowMusic music(bgm, saved);
  {
    slideshow::ShowWindow window(QGuiApplication::primaryScreen());
    slideshow::Lumen_S show(window, saved, data, &music);
    window.Run(show);
  }
  platform::ShutdownSystemMultimedia();
  return 0;
}

}  // namespace lumen::app

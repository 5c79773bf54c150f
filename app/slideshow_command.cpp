// lumenshow slideshow: the show of a folder on the desktop, straight away.
#include <QApplication>
#include <QCursor>
#include <QScreen>

#include "app/run_show.h"
#include "app/show_data_for.h"
#include "app/command_line.h"
#include "app/display_check.h"
#include "app/subcommands.h"
#include "platform/audio/system_multimedia.h"

namespace lumen::app {
namespace {

// Where the user is: the monitor with the pointer (X11 tells where it is; elsewhere the
// primary one).
QScreen* ScreenOfThePointer() {
  if (QGuiApplication::platformName() == "xcb") {
    if (QScreen* screen = QGuiApplication::screenAt(QCursor::pos())) return screen;
  }
  return QGuiApplication::primaryScreen();
}

}  // namespace

int RunSlideshow(int argc, char** argv, const std::vector<std::string>& args) {
  // No folder at all (the desktop entry started from a menu): the main window, to choose one.
  if (args.empty()) return RunMainWindow(argc, argv);
  auto options = ParseCommandOptions(args, "slideshow");
  if (!options) return BadArguments("slideshow", options.reason());
  if (options->positional.size() != 1) {
    return BadArguments("slideshow", UsageLine("slideshow"));
  }
  const std::string& folder = options->positional.front();
  const settings::Settings saved = LoadSettingsFor(*options);
  auto shown = ShowDataFor(*options, folder, saved);
  if (!shown) return BadArguments("slideshow", shown.reason());
  const settings::ShowData& data = *shown;

  ExpectDisplay();
  QApplication application(argc, argv);
  RunShow(ScreenOfThePointer(), saved, data);
  platform::ShutdownSystemMultimedia();
  return 0;
}

}  // namespace lumen::app

// lumenshow: the main window without arguments, otherwise a subcommand.
#include <QApplication>
#include <QLabel>
#include <iostream>
#include <string>
#include <vector>

#include "app/subcommands.h"

namespace {

int RunMainWindow(int argc, char** argv) {
  QApplication application(argc, argv);
  // Stands in for the main window until it is built.
  QLabel window(QString::fromUtf8("LumenShow — メインウィンドウはまだありません。"
                                  "設定の確認は「lumenshow settings」で行えます。"));
  window.setWindowTitle("LumenShow");
  window.setMargin(24);
  window.show();
  return application.exec();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return RunMainWindow(argc, argv);

  const std::string command = argv[1];
  const std::vector<std::string> args(argv + 2, argv + argc);
  if (command == "settings") return lumen::app::RunSettings(args);
  if (command == "order") return lumen::app::RunOrder(args);
  if (command == "bgm") return lumen::app::RunBgm(args);
  if (command == "frames") return lumen::app::RunFrames(args);
  if (command == "thumbnails") return lumen::app::RunThumbnails(args);
  if (command == "slideshow") return lumen::app::RunSlideshow(argc, argv, args);
  if (command == "gallery") return lumen::app::RunGallery(argc, argv, args);
  if (command == "browse") return lumen::app::RunBrowse(argc, argv, args);
  std::cerr << "lumenshow: unknown subcommand '" << command
            << "' (available: slideshow, browse, settings, order, bgm, frames, gallery, thumbnails; no arguments opens the main window)\n";
  return lumen::app::kBadArguments;
}

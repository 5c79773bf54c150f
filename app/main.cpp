// lumenshow: the main window without arguments, otherwise a subcommand.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "app/subcommands.h"

namespace {

int Run(int argc, char** argv) {
  if (argc < 2) return lumen::app::RunMainWindow(argc, argv);

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

}  // namespace

int main(int argc, char** argv) {
  // What the system refuses (memory, a thread, a file system call) ends a command with one
  // line and status 1, never with an abort.
  try {
    return Run(argc, argv);
  } catch (const std::exception& error) {
    std::cerr << "lumenshow: " << (argc >= 2 ? std::string(argv[1]) + ": " : "") << error.what() << "\n";
    return 1;
  }
}

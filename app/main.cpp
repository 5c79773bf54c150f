// lumenshow: the main window without arguments, otherwise a subcommand.
#include <QCoreApplication>
#include <exception>
#include <optional>
#include <iostream>
#include <string>
#include <vector>

#include "app/subcommands.h"

namespace {

int Run(int argc, char** argv) {
  using namespace lumen::app;
  if (argc < 2) return RunMainWindow(argc, argv);

  const std::string command = argv[1];
  const std::vector<std::string> args(argv + 2, argv + argc);
  if (command == "--help" || command == "-h") {
    std::cout << ProgramHelp();
    return 0;
  }
  if (command == "--version") {
    std::cout << "lumenshow " LUMENSHOW_VERSION "\n";
    return 0;
  }
  const SubcommandEntry* entry = FindSubcommand(command);
  if (entry == nullptr) {
    std::cerr << "lumenshow: unknown subcommand '" << command << "' (lumenshow --help lists them)\n";
    return kBadArguments;
  }
  // --help anywhere before a "--" that ends the options.
  for (const std::string& word : args) {
    if (word == "--") break;
    if (word == "--help" || word == "-h") {
      std::cout << SubcommandHelp(*entry);
      return 0;
    }
  }
  // The commands without a window still decode pictures through Qt's image plugins; an
  // application object loads them and takes them down before the program ends (without
  // one, the plugins' own exit handlers free each other's objects twice). The gallery
  // makes its own, for widgets.
  std::optional<QCoreApplication> application;
  if (!entry->needsDisplay && command != "gallery") application.emplace(argc, argv);
  if (command == "settings") return RunSettings(args);
  if (command == "order") return RunOrder(args);
  if (command == "bgm") return RunBgm(args);
  if (command == "frames") return RunFrames(args);
  if (command == "thumbnails") return RunThumbnails(args);
  if (command == "video") return RunVideo(args);
  if (command == "slideshow") return RunSlideshow(argc, argv, args);
  if (command == "gallery") return RunGallery(argc, argv, args);
  return RunBrowse(argc, argv, args);
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

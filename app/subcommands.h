// The command-line subcommands, and the main window. Each takes the words after its name
// and returns the exit status; those that need a display say so.
#pragma once

#include <string>
#include <vector>

#include "app/command_line.h"

namespace lumen::app {

int RunSettings(const std::vector<std::string>& args);
int RunOrder(const std::vector<std::string>& args);
int RunBgm(const std::vector<std::string>& args);
int RunFrames(const std::vector<std::string>& args);
int RunThumbnails(const std::vector<std::string>& args);
int RunVideo(const std::vector<std::string>& args);
// The main window; needs a display.
int RunMainWindow(int argc, char** argv);
// Needs a display; argc and argv go to QApplication.
int RunSlideshow(int argc, char** argv, const std::vector<std::string>& args);
// The picture list of a folder in a window of its own; needs a display.
int RunBrowse(int argc, char** argv, const std::vector<std::string>& args);
// Draws off screen; argc and argv go to QApplication.
int RunGallery(int argc, char** argv, const std::vector<std::string>& args);

}  // namespace lumen::app

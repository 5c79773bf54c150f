// What stands in for the Windows program's own folder: where LumenShow.ini lives, and the
// folder the settings fall back to for pictures and music.
//
//   LUMENSHOW_HOME an absolute path    that folder, exactly as given, for both (a file,
//     to a folder (or to none yet)     a FIFO or a relative path is ignored, with a line)
//   a LumenShow.ini beside the program that folder, for both (a portable copy; a file
//                                      brought from Windows works as it is)
//   otherwise                          $XDG_CONFIG_HOME/lumenshow/LumenShow.ini (default
//                                      ~/.config; home from HOME, else the password
//                                      database), made on the first save; the user's
//                                      pictures folder (XDG_PICTURES_DIR, else home)
#pragma once

#include <string>

namespace lumen::platform {

struct ProgramPlaces {
  std::string folder;   // the fallback picture and music folder
  std::string iniPath;  // the settings file
};

// From the environment and the files there now; the executable's folder is given.
ProgramPlaces FindProgramPlaces(const std::string& executableFolder);

// For the running program.
std::string ProgramFolder();
std::string IniFilePath();

}  // namespace lumen::platform

// The program's folder: where LumenShow.ini lives and the fallback picture and music folder.
#pragma once

#include <string>

namespace lumen::platform {

// $LUMENSHOW_HOME exactly as given (no slash added or removed) when set and not empty,
// otherwise the folder of the running executable.
std::string ProgramFolder();

// ProgramFolder() followed by "/LumenShow.ini"; the separator is always added.
std::string IniFilePath();

}  // namespace lumen::platform

#include "platform/program_folder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace lumen::platform {

std::string ProgramFolder() {
  if (const char* home = std::getenv("LUMENSHOW_HOME"); home != nullptr && *home != '\0') {
    return home;
  }
  std::error_code error;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return ".";
  return exe.parent_path().string();
}

std::string IniFilePath() { return ProgramFolder() + "/LumenShow.ini"; }

}  // namespace lumen::platform

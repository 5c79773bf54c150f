#include "platform/program_folder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace lumen::platform {
namespace {

namespace fs = std::filesystem;

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

bool IsFolder(const std::string& path) {
  std::error_code error;
  return !path.empty() && fs::is_directory(path, error);
}

// XDG_PICTURES_DIR from user-dirs.dirs, read as xdg-user-dir reads it ("$HOME/..." or an
// absolute path); home when it is not there or not a folder.
std::string PicturesFolder(const std::string& home, const std::string& configHome) {
  std::ifstream dirs(configHome + "/user-dirs.dirs");
  std::string line;
  while (std::getline(dirs, line)) {
    const std::string key = "XDG_PICTURES_DIR=\"";
    if (line.rfind(key, 0) != 0 || line.size() < key.size() + 1 || line.back() != '"') continue;
    std::string value = line.substr(key.size(), line.size() - key.size() - 1);
    if (value.rfind("$HOME", 0) == 0) value = home + value.substr(5);
    if (!value.empty() && value[0] == '/' && IsFolder(value)) return value;
  }
  return home;
}

}  // namespace

ProgramPlaces FindProgramPlaces(const std::string& executableFolder) {
  if (const std::string folder = Environment("LUMENSHOW_HOME"); !folder.empty()) {
    return {folder, folder + "/LumenShow.ini"};
  }
  std::error_code error;
  if (fs::is_regular_file(executableFolder + "/LumenShow.ini", error)) {
    return {executableFolder, executableFolder + "/LumenShow.ini"};
  }
  const std::string home = Environment("HOME").empty() ? "/" : Environment("HOME");
  std::string configHome = Environment("XDG_CONFIG_HOME");
  if (configHome.empty() || configHome[0] != '/') configHome = home + "/.config";
  return {PicturesFolder(home, configHome), configHome + "/lumenshow/LumenShow.ini"};
}

namespace {

ProgramPlaces Places() {
  std::error_code error;
  const fs::path exe = fs::read_symlink("/proc/self/exe", error);
  return FindProgramPlaces(error ? "." : exe.parent_path().string());
}

}  // namespace

std::string ProgramFolder() { return Places().folder; }
std::string IniFilePath() { return Places().iniPath; }

}  // namespace lumen::platform

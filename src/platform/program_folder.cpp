#include "platform/program_folder.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <system_error>

#include "platform/debug_log.h"
#include "platform/whole_file.h"

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
  // Read as any file the program reads: a FIFO in its place is no file, and the real one is small.
  std::istringstream dirs(ReadWholeFile(configHome + "/user-dirs.dirs", 64 * 1024).bytes);
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

// HOME, else the password database's home for the user (a service or `env -i` may leave
// HOME unset), else the root.
std::string HomeFolder() {
  if (std::string home = Environment("HOME"); !home.empty()) return home;
  const passwd* user = ::getpwuid(::getuid());
  return user != nullptr && user->pw_dir != nullptr && user->pw_dir[0] == '/' ? user->pw_dir : "/";
}

// LUMENSHOW_HOME must name a folder by an absolute path (one not made yet will be); a
// file, a FIFO or a relative path is set aside, with a line saying so.
bool UsableHome(const std::string& folder) {
  std::error_code error;
  const fs::file_status status = fs::status(folder, error);
  if (folder[0] == '/' && (status.type() == fs::file_type::directory || status.type() == fs::file_type::not_found)) {
    return true;
  }
  static const bool said = (DebugLog("LUMENSHOW_HOME '" + folder + "' is not a folder given by an absolute path; ignored"), true);
  (void)said;
  return false;
}

}  // namespace

ProgramPlaces FindProgramPlaces(const std::string& executableFolder) {
  if (const std::string folder = Environment("LUMENSHOW_HOME"); !folder.empty() && UsableHome(folder)) {
    return {folder, folder + "/LumenShow.ini"};
  }
  std::error_code error;
  if (fs::is_regular_file(executableFolder + "/LumenShow.ini", error)) {
    return {executableFolder, executableFolder + "/LumenShow.ini"};
  }
  const std::string home = HomeFolder();
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

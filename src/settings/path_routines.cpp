#include "settings/path_routines.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumen::settings {

// Blanks at the end stay: unlike a Windows one, a Linux folder's name may end in them.
std::string AddBackslash(std::string_view path) {
  std::string result(path);
  if (result.empty() || result.back() != '/') result += '/';
  return result;
}

bool FolderExists(std::string_view path) {
  DIR* dir = ::opendir(AddBackslash(path).c_str());
  if (dir == nullptr) return false;
  bool any = ::readdir(dir) != nullptr;
  ::closedir(dir);
  return any;
}

bool FileExists(std::string_view path) {
  if (!path.empty() && path.back() == '/') path.remove_suffix(1);
  int fd = ::open(std::string(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat st {};
  bool isFile = ::fstat(fd, &st) == 0 && !S_ISDIR(st.st_mode);
  ::close(fd);
  return isFile;
}

std::string ParentFolder(std::string_view path) {
  size_t slash = path.rfind('/');
  if (slash == std::string_view::npos) return {};
  if (slash == 0) return "/";
  return std::string(path.substr(0, slash));
}

}  // namespace lumen::settings

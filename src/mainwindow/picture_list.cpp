#include "mainwindow/picture_list.h"

#include <algorithm>
#include <dirent.h>
#include <string_view>
#include <sys/stat.h>

#include "platform/ascii_text.h"

namespace lumen::mainwindow {
namespace {

using platform::AsciiLower;
using platform::EndsWithNoCase;

// The one table of the names a picture file may have; the decoders tell the formats apart
// by their bytes, whatever the name says.
constexpr std::string_view kPictureEndings[] = {
    ".jpg", ".jpeg", ".jpe", ".jfif",  // JPEG
    ".bmp",                            // BMP
    ".png", ".webp", ".gif", ".tif", ".tiff",  // through Qt's readers
    ".heic", ".heif", ".avif",                 // through libheif
};

bool IsPictureName(std::string_view name) {
  if (name.starts_with('.')) return false;
  return std::any_of(std::begin(kPictureEndings), std::end(kPictureEndings),
                     [&](std::string_view ending) { return EndsWithNoCase(name, ending); });
}

}  // namespace

bool PictureNameLess(const std::string& a, const std::string& b) {
  auto folded = [](char c) { return static_cast<unsigned char>(AsciiLower(c)); };
  size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    if (folded(a[i]) != folded(b[i])) return folded(a[i]) < folded(b[i]);
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;
}

std::optional<std::vector<std::string>> ListPictureFiles(const std::string& folder) {
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return std::nullopt;
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(dir)) {
    std::string name = entry->d_name;
    if (!IsPictureName(name)) continue;
    // A regular file is one; for a link or an entry whose type the file system does not
    // say, stat follows it: a link to a picture is listed, a folder named x.jpg is not.
    struct stat st {};
    if (entry->d_type == DT_REG ||
        ((entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) &&
         ::stat((folder + "/" + name).c_str(), &st) == 0 && S_ISREG(st.st_mode))) {
      names.push_back(std::move(name));
    }
  }
  ::closedir(dir);
  std::sort(names.begin(), names.end(), PictureNameLess);
  return names;
}

}  // namespace lumen::mainwindow

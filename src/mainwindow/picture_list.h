// The folder's picture list: what the start button and both list views work from.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace lumen::mainwindow {

// The names (not paths) of the regular files directly in folder whose names end as a
// picture's do (".jpg", ".bmp", ".png", ".heic" ... in any letter case; the table is in
// picture_list.cpp), sorted by name without regard to ASCII case; names
// that differ only in case are ordered by their bytes. Hidden files (names starting
// with ".") are left out. Nothing when the folder cannot be listed.
std::optional<std::vector<std::string>> ListPictureFiles(const std::string& folder);

// The sort order of the list: true when a comes before b.
bool PictureNameLess(const std::string& a, const std::string& b);

}  // namespace lumen::mainwindow

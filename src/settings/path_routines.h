// Path helpers of the settings module. Paths join with "/" here; there are no drive letters.
#pragma once

#include <string>
#include <string_view>

namespace lumen::settings {

// Removes trailing blanks, then appends "/" unless the text already ends with one.
std::string AddBackslash(std::string_view path);

// True when the folder can be listed (any existing, readable folder: its listing holds
// at least "." and "..").
bool FolderExists(std::string_view path);

// True when the file opens for reading; one trailing "/" is removed first. A folder is
// no file.
bool FileExists(std::string_view path);

// The text before the last "/", or "/" itself for a file in the root ("/bgm.mp3" gives
// "/"), or empty text when there is no "/".
std::string ParentFolder(std::string_view path);

}  // namespace lumen::settings

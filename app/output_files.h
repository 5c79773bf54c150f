// Where the subcommands write: the output folder, made without throwing whatever the path
// (a link loop, a folder that cannot be searched, a name too long), and PNG files written
// whole or reported (a full disk is a failure, not an empty file and success).
#pragma once

#include <QImage>
#include <string>

namespace lumen::app {

// True when the folder exists or could be made.
bool MakeOutputFolder(const std::string& folder);

// 8-bit RGB, or RGBA when the image has alpha. False when the file could not be written
// whole; then it is not left behind.
bool WritePngFile(const QImage& image, const std::string& path);

}  // namespace lumen::app

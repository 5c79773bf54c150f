// JPEG pictures, decoded row by row whenever they are drawn, from memory or from the open
// file as the decoder goes (a 20 MB photo is never copied whole, and a file replaced
// meanwhile stays the one opened).
#pragma once

#include <memory>
#include <string>

#include "platform/picture/picture.h"
#include "platform/whole_file.h"

namespace lumen::platform::picture {

// Reads the header (size, orientation, the camera's thumbnail); the reason when it
// is no readable JPEG or too large to decode. Keeps the compressed bytes, or the file.
Result<std::unique_ptr<Picture>> OpenJpeg(std::string bytes);
Result<std::unique_ptr<Picture>> OpenJpeg(OpenedFile file);

}  // namespace lumen::platform::picture

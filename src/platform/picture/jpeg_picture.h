// JPEG pictures, decoded row by row whenever they are drawn.
#pragma once

#include <memory>
#include <string>

#include "platform/picture/picture.h"

namespace lumen::platform::picture {

// Reads the header (size, orientation); null and a reason when it is no readable JPEG or
// too large to decode. Keeps the compressed bytes.
std::unique_ptr<Picture> OpenJpeg(std::string bytes, std::string& error);

}  // namespace lumen::platform::picture

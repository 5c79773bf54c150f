// HEIC/HEIF and AVIF pictures through libheif (HEVC by libde265, AV1 by dav1d): the file's
// primary image, turned and mirrored as the file says. libheif gives no rows one at a
// time, so the picture is decoded whole, within the decode budget, each time it is drawn,
// as a JPEG is decoded anew; only the compressed bytes are kept between draws.
#pragma once

#include <memory>
#include <string>

#include "platform/picture/picture.h"
#include "platform/result.h"

namespace lumen::platform::picture {

// Whether the bytes start as an ISO media file that libheif takes for a HEIF or AVIF
// (its "ftyp" brand), readable or not: such a file goes to OpenHeif, which says which.
bool LooksLikeHeif(const std::string& bytes);

// Reads the file's structure and the primary image's size; the reason when it is no HEIF
// libheif can decode, or its picture is larger than LumenShow decodes. Its embedded
// thumbnail, when it has one, is its CameraThumbnail.
Result<std::unique_ptr<Picture>> OpenHeif(std::string bytes);

}  // namespace lumen::platform::picture

#include "catalogue/thumbnail_decoder.h"

#include <algorithm>
#include <cstdlib>

#include "platform/picture/picture.h"

namespace lumen::catalogue {
namespace {

using platform::picture::Picture;

// The camera's own thumbnail serves when it is at least as large as what is made from the
// picture (its long side reaches the box, or the picture's) and of the picture's shape
// within one pixel at the thumbnail's size. Cameras often put a 4:3 thumbnail with black
// bars in a 3:2 photo: that one is not taken.
bool Serves(const Picture& thumbnail, const Picture& picture, int box) {
  const int tw = thumbnail.Width(), th = thumbnail.Height();
  const int width = picture.Width(), height = picture.Height();
  if (std::max(tw, th) < std::min(box, std::max(width, height))) return false;
  return std::abs(int64_t(th) * width - int64_t(tw) * height) <= std::max(width, height);
}

std::optional<DecodedPicture> DecodeForBox(const platform::picture::LoadedPicture& loaded, int box,
                                           std::string& error) {
  if (!loaded.picture) {
    error = loaded.error;
    return std::nullopt;
  }
  const Picture& picture = *loaded.picture;
  if (box > 0) {
    if (auto thumbnail = picture.CameraThumbnail(); thumbnail && Serves(*thumbnail, picture, box)) {
      if (auto image = thumbnail->Decode(0, error)) return DecodedPicture{std::move(*image), picture.Width(), picture.Height()};
    }
  }
  auto image = picture.Decode(box, error);
  if (!image) return std::nullopt;
  error.clear();
  return DecodedPicture{std::move(*image), picture.Width(), picture.Height()};
}

}  // namespace

std::optional<DecodedPicture> DecodeBytesForBox(std::string bytes, int box, std::string& error) {
  return DecodeForBox(platform::picture::LoadPictureFromBytes(std::move(bytes)), box, error);
}

std::optional<DecodedPicture> DecodeForBox(const std::string& path, int box, std::string& error) {
  return DecodeForBox(platform::picture::LoadPicture(path), box, error);
}

}  // namespace lumen::catalogue

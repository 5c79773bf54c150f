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

Result<DecodedPicture> DecodeForBox(const Result<std::unique_ptr<Picture>>& loaded, int box) {
  if (!loaded) return loaded.failure();
  const Picture& picture = **loaded;
  if (box > 0) {
    if (auto thumbnail = picture.CameraThumbnail(); thumbnail && Serves(*thumbnail, picture, box)) {
      if (auto image = thumbnail->Decode(0))
        return DecodedPicture{std::move(*image), picture.Width(), picture.Height()};
    }
  }
  auto image = picture.Decode(box);
  if (!image) return image.failure();
  return DecodedPicture{std::move(*image), picture.Width(), picture.Height()};
}

}  // namespace

Result<DecodedPicture> DecodeBytesForBox(std::string bytes, int box) {
  return DecodeForBox(platform::picture::LoadPictureFromBytes(std::move(bytes)), box);
}

Result<DecodedPicture> DecodeForBox(const std::string& path, int box) {
  return DecodeForBox(platform::picture::LoadPicture(path), box);
}

}  // namespace lumen::catalogue

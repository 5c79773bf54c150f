#include "platform/picture/colour_profile.h"

#include <QImage>
#include <algorithm>

namespace lumen::platform::picture {
namespace {

class SrgbPicture : public Picture {
 public:
  SrgbPicture(std::unique_ptr<Picture> picture, std::shared_ptr<const ToSrgb> toSrgb)
      : Picture(picture->Width(), picture->Height()), picture_(std::move(picture)), toSrgb_(std::move(toSrgb)) {}

  bool StretchTo(gdi::Surface& destination, int x, int y, int width, int height, int parts) const override {
    if (!picture_->StretchTo(destination, x, y, width, height, parts)) return false;
    toSrgb_->Apply(destination, x, y, width, height);
    return true;
  }
  Result<gdi::Surface> Decode(int minLongSide) const override {
    auto decoded = picture_->Decode(minLongSide);
    if (decoded) toSrgb_->Apply(*decoded, 0, 0, decoded->Width(), decoded->Height());
    return decoded;
  }
  // A camera makes its thumbnail of the same pixels, in the same space.
  std::unique_ptr<Picture> CameraThumbnail() const override { return InSrgb(picture_->CameraThumbnail(), toSrgb_); }

 private:
  std::unique_ptr<Picture> picture_;
  std::shared_ptr<const ToSrgb> toSrgb_;
};

}  // namespace

std::shared_ptr<const ToSrgb> ToSrgb::From(const QColorSpace& space) {
  const QColorSpace srgb(QColorSpace::SRgb);
  if (!space.isValid() || space == srgb) return nullptr;
  return std::shared_ptr<const ToSrgb>(new ToSrgb(space.transformationToColorSpace(srgb)));
}

std::shared_ptr<const ToSrgb> ToSrgb::FromIcc(const std::string& icc) {
  if (icc.empty()) return nullptr;
  return From(QColorSpace::fromIccProfile(QByteArray::fromStdString(icc)));
}

void ToSrgb::Apply(gdi::Surface& surface, int x, int y, int width, int height) const {
  // Only what lies on the surface; Qt works on the surface's own rows, in place.
  const int left = std::max(0, x), top = std::max(0, y);
  const int right = std::min(surface.Width(), x + width), bottom = std::min(surface.Height(), y + height);
  if (right <= left || bottom <= top) return;
  QImage view(reinterpret_cast<uchar*>(surface.Row(top) + left), right - left, bottom - top,
              static_cast<qsizetype>(surface.Width()) * 4, QImage::Format_RGB32);
  view.applyColorTransform(transform_);
}

std::unique_ptr<Picture> InSrgb(std::unique_ptr<Picture> picture, std::shared_ptr<const ToSrgb> toSrgb) {
  if (picture == nullptr || toSrgb == nullptr) return picture;
  return std::make_unique<SrgbPicture>(std::move(picture), std::move(toSrgb));
}

}  // namespace lumen::platform::picture

// Pictures whose file embeds a colour profile (a phone's Display P3, a camera's Adobe RGB)
// are shown in sRGB, the screen's assumed space: their pixels are converted as they are
// drawn or decoded. The engine is Qt's QColorSpace: it reads the matrix-and-curve
// profiles cameras and phones write, with no library beside Qt. A picture without a
// profile, or with an sRGB one, or with one Qt cannot read, is drawn as its numbers say.
#pragma once

#include <QColorSpace>
#include <QColorTransform>
#include <memory>
#include <string>

#include "platform/gdi/surface.h"
#include "platform/picture/picture.h"

namespace lumen::platform::picture {

class ToSrgb {
 public:
  // Null when there is nothing to convert (see above).
  static std::shared_ptr<const ToSrgb> From(const QColorSpace& space);
  static std::shared_ptr<const ToSrgb> FromIcc(const std::string& icc);
  // The pixels of the rectangle, in place.
  void Apply(gdi::Surface& surface, int x, int y, int width, int height) const;

 private:
  explicit ToSrgb(QColorTransform transform) : transform_(std::move(transform)) {}
  QColorTransform transform_;
};

// The picture, its drawings and decodings converted by toSrgb (none: the picture itself).
std::unique_ptr<Picture> InSrgb(std::unique_ptr<Picture> picture, std::shared_ptr<const ToSrgb> toSrgb);

}  // namespace lumen::platform::picture

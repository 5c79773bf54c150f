#include "catalogue/lumen_thumb.h"

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>

#include "catalogue/resample.h"
#include "catalogue/thumbnail_cache.h"
#include "catalogue/thumbnail_decoder.h"
#include "platform/gdi/gdi.h"
#include "platform/rounding.h"

namespace lumen::catalogue {

using platform::RoundHalfEven;

FittedRect FitInBox(int pictureWidth, int pictureHeight, int width, int height) {
  const double ri = static_cast<double>(pictureWidth) / pictureHeight;
  const double rb = static_cast<double>(width) / height;
  int dw, dh;
  if (rb < ri) {
    dw = width;
    dh = RoundHalfEven(width / ri);
  } else {
    dw = RoundHalfEven(height * ri);
    dh = height;
  }
  return {RoundHalfEven((width - dw) / 2.0), RoundHalfEven((height - dh) / 2.0), dw, dh};
}

Canvas CreateCanvas(int width, int height, COLORREF background) {
  return Canvas{Surface(std::max(0, width), std::max(0, height), background)};
}

void DrawImageFitted(const Surface& image, int pictureWidth, int pictureHeight, Canvas& canvas, int width,
                     int height, bool keepAspect) {
  if (image.Empty() || width <= 0 || height <= 0 || pictureWidth <= 0 || pictureHeight <= 0) return;
  const FittedRect at = keepAspect ? FitInBox(pictureWidth, pictureHeight, width, height) : FittedRect{0, 0, width, height};
  if (at.width <= 0 || at.height <= 0) return;
  const Surface scaled = Resample(image, at.width, at.height);
  platform::gdi::BitBlt(canvas.bitmap, at.x, at.y, at.width, at.height, scaled, 0, 0);
}

Surface ReleaseCanvas(Canvas canvas) { return std::move(canvas.bitmap); }

PictureObject BitmapToPicture(Surface bitmap) { return std::make_shared<const Surface>(std::move(bitmap)); }

namespace {

// The 128-pixel thumbnail of the file: from the cache, or made and stored there.
std::optional<CachedThumbnail> ThroughCache(const std::string& path, ThumbnailCache& cache) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  const std::string absolute = std::filesystem::absolute(path).lexically_normal().string();
  if (auto hit = cache.Lookup(absolute, st.st_mtime, st.st_size)) {
    if (hit->width <= 0 || hit->height <= 0) hit->width = hit->image.Width(), hit->height = hit->image.Height();
    return hit;
  }
  if (cache.HasFailure(absolute, st.st_mtime, st.st_size)) return std::nullopt;
  auto decoded = DecodeForBox(path, kNormalThumbnailSize);
  if (!decoded) {
    cache.StoreFailure(absolute, st.st_mtime, st.st_size);
    return std::nullopt;
  }
  CachedThumbnail made;
  made.width = decoded->width;
  made.height = decoded->height;
  const int longSide = std::max(decoded->width, decoded->height);
  if (longSide <= kNormalThumbnailSize) {
    made.image = std::move(decoded->image);  // a small picture is its own thumbnail
  } else {
    const int w = std::max(1, RoundHalfEven(double(decoded->width) * kNormalThumbnailSize / longSide));
    const int h = std::max(1, RoundHalfEven(double(decoded->height) * kNormalThumbnailSize / longSide));
    made.image = Resample(decoded->image, w, h);
  }
  cache.Store(absolute, st.st_mtime, st.st_size, made);
  return made;
}

}  // namespace

Result<PictureObject> LoadPictureScaled(const std::string& path, int& width, int& height, COLORREF background,
                                        bool keepAspect, ThumbnailCache* cache) {
  auto fail = [&] { return Fail("Error loading picture " + path, kLoadErrorNumber); };
  const bool ownSize = width == -1 || height == -1;
  const bool cached = !ownSize && cache != nullptr && width > 0 && height > 0 &&
                      width <= kNormalThumbnailSize && height <= kNormalThumbnailSize;
  Surface image;
  int pictureWidth = 0, pictureHeight = 0;
  if (cached) {
    auto thumbnail = ThroughCache(path, *cache);
    if (!thumbnail) return fail();
    image = std::move(thumbnail->image);
    pictureWidth = thumbnail->width;
    pictureHeight = thumbnail->height;
  } else {
    auto decoded = DecodeForBox(path, ownSize ? 0 : std::max(width, height));
    if (!decoded) return fail();
    image = std::move(decoded->image);
    pictureWidth = decoded->width;
    pictureHeight = decoded->height;
  }
  if (ownSize) {
    width = pictureWidth;
    height = pictureHeight;
  }
  Canvas canvas = CreateCanvas(width, height, background);
  DrawImageFitted(image, pictureWidth, pictureHeight, canvas, width, height, keepAspect);
  return BitmapToPicture(ReleaseCanvas(std::move(canvas)));
}

}  // namespace lumen::catalogue

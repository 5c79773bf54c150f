#include "catalogue/thumbnail_decoder.h"

#include <algorithm>
#include <cstdlib>
#include <span>
#include <turbojpeg.h>

#include "platform/picture/exif_orientation.h"
#include "platform/picture/picture.h"
#include "platform/whole_file.h"

namespace lumen::catalogue {
namespace {

using platform::gdi::Surface;

// A reduced decode may take at most this much memory.
constexpr uint64_t kDecodeBudget = 256ull << 20;

// The surface turned upright (see platform/picture/exif_orientation.h).
Surface Upright(Surface stored, int orientation) {
  if (orientation <= 1 || orientation > 8) return stored;
  const int W = stored.Width(), H = stored.Height();
  const bool swap = platform::picture::SwapsAxes(orientation);
  Surface out(swap ? H : W, swap ? W : H);
  for (int uy = 0; uy < out.Height(); ++uy) {
    uint32_t* row = out.Row(uy);
    for (int ux = 0; ux < out.Width(); ++ux) {
      int rx = ux, ry = uy;
      platform::picture::StoredFromUpright(orientation, W, H, ux, uy, rx, ry);
      row[ux] = stored.Row(ry)[rx];
    }
  }
  return out;
}

// The camera's own thumbnail, upright, when it serves for a box: at least as large as
// what is made from the picture (its long side reaches the box, or the picture's), and of
// the picture's shape within one pixel at the thumbnail's size. Cameras often put a 4:3
// thumbnail with black bars in a 3:2 photo: that one is not taken.
int Orientation(const std::string& bytes) {
  return platform::picture::JpegOrientation(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

std::optional<Surface> EmbeddedThumbnailFor(tjhandle handle, const std::string& bytes, int box, int width,
                                            int height, int orientation) {
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto embedded = platform::picture::JpegEmbeddedThumbnail(data, bytes.size());
  if (embedded.Empty()) return std::nullopt;
  const unsigned char* thumb = data + embedded.offset;
  const auto size = static_cast<unsigned long>(embedded.length);
  int tw = 0, th = 0, subsampling = 0, colourspace = 0;
  if (tjDecompressHeader3(handle, thumb, size, &tw, &th, &subsampling, &colourspace) != 0 || tw <= 0 || th <= 0) {
    return std::nullopt;
  }
  if (std::max(tw, th) < std::min(box, std::max(width, height))) return std::nullopt;
  // Stored sizes on both sides: the orientation turns them alike.
  if (std::abs(int64_t(th) * width - int64_t(tw) * height) > std::max(width, height)) return std::nullopt;
  Surface stored(tw, th);
  if (tjDecompress2(handle, thumb, size, reinterpret_cast<unsigned char*>(stored.Row(0)), tw, 0, th, TJPF_BGRX, 0) != 0) {
    return std::nullopt;
  }
  for (int y = 0; y < th; ++y) {
    for (uint32_t& p : std::span<uint32_t>(stored.Row(y), static_cast<size_t>(tw))) p |= 0xFF000000u;
  }
  return Upright(std::move(stored), orientation);
}

std::optional<DecodedPicture> DecodeJpeg(const std::string& bytes, int box, std::string& error) {
  tjhandle handle = tjInitDecompress();
  if (handle == nullptr) {
    error = "cannot start the JPEG decoder";
    return std::nullopt;
  }
  auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto size = static_cast<unsigned long>(bytes.size());
  int width = 0, height = 0, subsampling = 0, colourspace = 0;
  const int orientation = Orientation(bytes);
  const bool swap = platform::picture::SwapsAxes(orientation);
  std::optional<DecodedPicture> result;
  if (tjDecompressHeader3(handle, data, size, &width, &height, &subsampling, &colourspace) != 0 || width <= 0 ||
      height <= 0) {
    error = std::string("not a readable JPEG: ") + tjGetErrorStr2(handle);
  } else if (auto embedded = box > 0 ? EmbeddedThumbnailFor(handle, bytes, box, width, height, orientation)
                                     : std::nullopt) {
    result = DecodedPicture{std::move(*embedded), swap ? height : width, swap ? width : height};
  } else {
    // The smallest scale (at most 1) whose long side still has twice the box.
    int count = 0;
    tjscalingfactor* factors = tjGetScalingFactors(&count);
    tjscalingfactor chosen{1, 1};
    const int longSide = std::max(width, height);
    for (int i = 0; box > 0 && i < count; ++i) {
      const tjscalingfactor f = factors[i];
      if (f.num > f.denom || TJSCALED(longSide, f) < 2 * box) continue;
      if (TJSCALED(longSide, f) < TJSCALED(longSide, chosen)) chosen = f;
    }
    const int w = TJSCALED(width, chosen), h = TJSCALED(height, chosen);
    if (uint64_t(w) * uint64_t(h) * 4 > kDecodeBudget) {
      error = "a JPEG of " + std::to_string(width) + " x " + std::to_string(height) + " pixels is too large";
    } else {
      Surface stored(w, h);
      // Quality beyond a thumbnail's needs buys nothing here: the fast IDCT and upsampling.
      int rc = tjDecompress2(handle, data, size, reinterpret_cast<unsigned char*>(stored.Row(0)), w, 0, h, TJPF_BGRX,
                             TJFLAG_FASTDCT | TJFLAG_FASTUPSAMPLE);
      // A warning (a truncated file, for instance) still gives a picture, as viewers show it.
      if (rc != 0 && tjGetErrorCode(handle) == TJERR_FATAL) {
        error = std::string("cannot decode the JPEG: ") + tjGetErrorStr2(handle);
      } else {
        for (int y = 0; y < h; ++y) {
          for (uint32_t& p : std::span<uint32_t>(stored.Row(y), static_cast<size_t>(w))) p |= 0xFF000000u;
        }
        result = DecodedPicture{Upright(std::move(stored), orientation), swap ? height : width, swap ? width : height};
      }
    }
  }
  tjDestroy(handle);
  return result;
}

// What TurboJPEG refuses but the show draws — CMYK and YCCK JPEGs, a stray byte before a
// marker — goes through the show's own decoder, upright, at twice the box (or whole).
std::optional<DecodedPicture> DecodeAsTheShowDoes(const std::string& bytes, int box, std::string& error) {
  auto loaded = platform::picture::LoadPictureFromBytes(bytes);
  if (!loaded.picture) return std::nullopt;
  const platform::picture::Picture& picture = *loaded.picture;
  const int longSide = std::max(picture.Width(), picture.Height());
  const double scale = box > 0 ? std::min(1.0, 2.0 * box / longSide) : 1.0;
  const int w = std::max(1, static_cast<int>(picture.Width() * scale));
  const int h = std::max(1, static_cast<int>(picture.Height() * scale));
  Surface image(w, h);
  if (!picture.StretchTo(image, 0, 0, w, h)) return std::nullopt;
  error.clear();
  return DecodedPicture{std::move(image), picture.Width(), picture.Height()};
}

}  // namespace

std::optional<DecodedPicture> DecodeBytesForBox(const std::string& bytes, int box, std::string& error) {
  if (platform::picture::LooksLikeJpeg(bytes)) {
    auto decoded = DecodeJpeg(bytes, box, error);
    return decoded ? decoded : DecodeAsTheShowDoes(bytes, box, error);
  }
  auto surface = platform::picture::DecodeOtherFormat(bytes, error);
  if (!surface) return std::nullopt;
  const int w = surface->Width(), h = surface->Height();
  return DecodedPicture{std::move(*surface), w, h};
}

std::optional<DecodedPicture> DecodeForBox(const std::string& path, int box, std::string& error) {
  platform::FileContents file = platform::ReadWholeFile(path, platform::picture::kMaxDecodedBytes);
  if (file.status != platform::FileContents::Status::Read) {
    error = file.status == platform::FileContents::Status::TooLarge ? "too large to be a picture" : "cannot read the file";
    return std::nullopt;
  }
  return DecodeBytesForBox(file.bytes, box, error);
}

}  // namespace lumen::catalogue

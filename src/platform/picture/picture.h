// LoadPicture: a picture file decoded at its natural size, upright.
//
// JPEG goes through libjpeg-turbo with its default (accurate) decoding and the EXIF
// orientation applied; a JPEG is decoded anew, row by row, each time it is drawn, and
// only the rows and columns a stretched copy takes are kept, so a 24-megapixel photo
// never occupies 96 MB. The common BMPs are read a row at a time in the same way
// (bmp_picture.h); other formats (the rarer BMPs, and whatever else QImageReader reads)
// are decoded whole.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/gdi/surface.h"
#include "platform/result.h"

namespace lumen::platform::picture {

// A picture whose decoded size would exceed this is refused before anything is allocated
// for it (a decompression bomb): more than 134,217,728 pixels (16,384 x 8,192). No file
// larger than this is read as a picture either.
inline constexpr uint64_t kMaxDecodedBytes = 512ull << 20;

class Picture {
 public:
  virtual ~Picture() = default;
  int Width() const { return width_; }   // upright
  int Height() const { return height_; }
  // Draws the whole picture onto the destination rectangle exactly as StretchBlt from a
  // surface holding it would (COLORONCOLOR, clipped). False when decoding fails; pixels
  // may then have been written. A JPEG with restart markers may be decoded in up to
  // `parts` bands at once, on as many threads, for someone waiting on it: the same pixels,
  // sooner, for the same work. Any other picture is decoded on the calling thread.
  virtual bool StretchTo(gdi::Surface& destination, int x, int y, int width, int height, int parts = 1) const = 0;
  // The whole picture, upright, for a preview of at least minLongSide pixels on its long
  // side (0: full size). A JPEG is reduced while it is decoded (in the DCT domain, to the
  // smallest eighth that still reaches minLongSide, with the fast IDCT); other formats by
  // the largest whole factor that still reaches it, each pixel its block's average.
  // The reason when decoding fails.
  virtual Result<gdi::Surface> Decode(int minLongSide) const = 0;
  // The small copy a camera stores in a JPEG's Exif block, standing as the picture
  // stands; null when there is none.
  virtual std::unique_ptr<Picture> CameraThumbnail() const { return nullptr; }

 protected:
  Picture(int width, int height) : width_(width), height_(height) {}

 private:
  int width_;
  int height_;
};

// Thread-safe: pictures may be loaded and drawn on any thread. When the file cannot be
// loaded, the reason (for the debug log) starts with its path.
Result<std::unique_ptr<Picture>> LoadPicture(const std::string& path);
// The same from the file's bytes (the reason without a path).
Result<std::unique_ptr<Picture>> LoadPictureFromBytes(std::string bytes);

// True when the bytes start as a JPEG file does.
bool LooksLikeJpeg(const std::string& bytes);
// True when the bytes start as a PNG file does and one of its chunks claims more bytes
// than the file holds. libpng sets aside what a chunk's length says before it finds the
// file shorter (a 240-byte file could make it take gigabytes), so such a file is refused
// before Qt's PNG reader sees it.
bool PngChunksRunPastTheEnd(const std::string& bytes);

}  // namespace lumen::platform::picture

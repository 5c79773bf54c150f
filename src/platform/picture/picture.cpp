#include "platform/gdi/qt_image.h"
#include "platform/picture/picture.h"

#include <QImage>
#include <algorithm>
#include <QBuffer>
#include <QImageReader>

#include "platform/gdi/gdi.h"
#include "platform/picture/bmp_picture.h"
#include "platform/picture/colour_profile.h"
#include "platform/picture/decode_budget.h"
#include "platform/picture/heif_picture.h"
#include "platform/picture/jpeg_picture.h"
#include "platform/whole_file.h"

namespace lumen::platform::picture {
namespace {

class DecodedPicture : public Picture {
 public:
  DecodedPicture(gdi::Surface surface, DecodeShare share)
      : Picture(surface.Width(), surface.Height()), surface_(std::move(surface)), share_(std::move(share)) {}
  bool StretchTo(gdi::Surface& destination, int x, int y, int width, int height, int) const override {
    return gdi::StretchBlt(destination, x, y, width, height, surface_, 0, 0, Width(), Height());
  }
  // For a preview, reduced by the largest whole factor that keeps the long side at least
  // minLongSide, each pixel the average of its block: a thumbnail never copies it whole.
  Result<gdi::Surface> Decode(int minLongSide) const override {
    const int factor = minLongSide > 0 ? std::max(1, std::max(Width(), Height()) / minLongSide) : 1;
    if (factor == 1) return surface_;
    BlockReducer reducer(Width(), Height(), factor);
    for (int y = 0; y < Height(); ++y) reducer.AddRow(y, surface_.Row(y));
    return reducer.Take();
  }

 private:
  gdi::Surface surface_;
  DecodeShare share_;  // the decode budget its pixels take, given back with them
};

}  // namespace

bool PngChunksRunPastTheEnd(const std::string& bytes) {
  static constexpr char kSignature[] = "\x89PNG\r\n\x1a\n";
  if (bytes.compare(0, 8, kSignature, 8) != 0) return false;
  size_t at = 8;
  while (at < bytes.size()) {
    if (bytes.size() - at < 12) return true;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + at);
    const uint64_t length = uint64_t(p[0]) << 24 | uint64_t(p[1]) << 16 | uint64_t(p[2]) << 8 | p[3];
    if (length > bytes.size() - at - 12) return true;
    if (bytes.compare(at + 4, 4, "IEND") == 0) return false;
    at += 12 + length;
  }
  return false;
}

namespace {

// Formats other than JPEG (BMP in all its variants, and whatever else QImageReader reads),
// decoded whole from the file's bytes, within the decode budget.
Result<std::unique_ptr<Picture>> DecodeOtherFormat(const std::string& bytes) {
  if (PngChunksRunPastTheEnd(bytes)) {
    return Fail("a damaged PNG: a part of it runs past the end of the file");
  }
  QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  reader.setAutoTransform(true);  // a TIFF or WebP turned as its orientation says, as a JPEG is
  // Judged by the header, before the pixels are allocated.
  const QSize size = reader.size();
  const uint64_t pixelBytes = size.isValid() ? uint64_t(size.width()) * uint64_t(size.height()) * 4 : 0;
  if (pixelBytes > kMaxDecodedBytes) {
    return Fail("a picture of " + std::to_string(size.width()) + " x " + std::to_string(size.height()) +
                " pixels is larger than LumenShow decodes");
  }
  // Qt's image and the copy it becomes stand side by side for a moment. A header without a
  // size takes the most Qt may allocate.
  auto share = DecodeShare::Take(2 * (pixelBytes > 0 ? pixelBytes : kMaxDecodedBytes));
  if (!share) {
    return Fail("no room in the decode budget for it now");
  }
  reader.setAllocationLimit(static_cast<int>(kMaxDecodedBytes >> 20));
  QImage image = reader.read();
  if (image.isNull()) {
    return Fail(reader.errorString().toStdString());
  }
  // In sRGB when the file's profile says otherwise (a PNG's iCCP, a WebP's or TIFF's ICC).
  if (ToSrgb::From(image.colorSpace()) != nullptr) image.convertToColorSpace(QColorSpace::SRgb);
  gdi::Surface surface = gdi::FromQImage(image);
  image = QImage();
  share->ShrinkTo(uint64_t(surface.Width()) * uint64_t(surface.Height()) * 4);
  return std::make_unique<DecodedPicture>(std::move(surface), std::move(*share));
}

}  // namespace

bool LooksLikeJpeg(const std::string& bytes) {
  return bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
         static_cast<unsigned char>(bytes[1]) == 0xD8 && static_cast<unsigned char>(bytes[2]) == 0xFF;
}

Result<std::unique_ptr<Picture>> LoadPictureFromBytes(std::string bytes) {
  if (LooksLikeJpeg(bytes)) return OpenJpeg(std::move(bytes));
  if (StreamsBmp(bytes.substr(0, kBmpHeadBytes))) return OpenStreamedBmp(std::move(bytes));
  if (LooksLikeHeif(bytes)) return OpenHeif(std::move(bytes));
  return DecodeOtherFormat(bytes);
}

Result<std::unique_ptr<Picture>> LoadPicture(const std::string& path) {
  // No picture LoadPicture decodes needs a file larger than its decoded limit.
  OpenedFile file(path, kMaxDecodedBytes);
  if (file.Status() != FileContents::Status::Read) {
    return Fail(path +
                (file.Status() == FileContents::Status::TooLarge ? ": too large to be a picture" : ": cannot be read"));
  }
  // By content, not by name: a ".jpg" holding a BMP still loads. A JPEG, and a BMP of the
  // common kinds, is read from the file as it is drawn; anything else whole.
  std::string start(kBmpHeadBytes, '\0');
  start.resize(static_cast<size_t>(std::max<int64_t>(0, file.ReadAt(0, start.data(), start.size()))));
  Result<std::unique_ptr<Picture>> result = Fail("cannot read the file");
  if (LooksLikeJpeg(start)) {
    result = OpenJpeg(std::move(file));
  } else if (StreamsBmp(start)) {
    result = OpenStreamedBmp(std::move(file));
  } else if (FileContents contents = file.ReadAll(kMaxDecodedBytes); contents.status == FileContents::Status::Read) {
    result = LoadPictureFromBytes(std::move(contents.bytes));
  }
  // Every reason names the file first, so that a caller can say what it was doing with it.
  if (!result) return Fail(path + ": " + result.reason());
  return result;
}

}  // namespace lumen::platform::picture

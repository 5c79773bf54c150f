// The formats beyond JPEG and BMP, each made by its own writer from one picture: drawn as
// that picture's PNG holds it (within what the codec loses), turned as the file says, and
// refused by its header when it claims more pixels than LumenShow decodes.
#include <QColorSpace>
#include <QImage>
#include <array>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>

#include "platform/gdi/gdi.h"
#include "platform/picture/picture.h"
#include "support/heif_fixtures.h"
#include "support/temp_folder.h"

namespace lumen::platform::picture {
namespace {

using gdi::Surface;

// 96 x 64 in four quarters of middling colours, so that no codec clips them.
const QRgb kQuarters[] = {qRgb(200, 40, 40), qRgb(40, 160, 60), qRgb(50, 70, 200), qRgb(230, 230, 230)};

QImage Quarters() {
  QImage image(96, 64, QImage::Format_RGB32);
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 96; ++x) image.setPixel(x, y, kQuarters[(y >= 32) * 2 + (x >= 48)]);
  }
  return image;
}

// The largest difference of a channel between the picture's colour at the middle of each
// quarter (a, its upright size width x height) and what the reference holds there.
int Farthest(const Picture& picture, const std::function<QPoint(int, int)>& toUpright) {
  Surface drawn(picture.Width(), picture.Height());
  if (!picture.StretchTo(drawn, 0, 0, picture.Width(), picture.Height())) return 256;
  int farthest = 0;
  for (int quarter = 0; quarter < 4; ++quarter) {
    const QPoint at = toUpright(24 + 48 * (quarter % 2), 16 + 32 * (quarter / 2));
    const uint32_t c = drawn.GetPixel(at.x(), at.y());  // COLORREF: red lowest
    const QRgb want = kQuarters[quarter];
    for (auto [got, expected] : {std::pair{int(c & 0xFF), qRed(want)}, std::pair{int(c >> 8 & 0xFF), qGreen(want)},
                                 std::pair{int(c >> 16 & 0xFF), qBlue(want)}}) {
      farthest = std::max(farthest, std::abs(got - expected));
    }
  }
  return farthest;
}

const auto kAsStored = [](int x, int y) { return QPoint(x, y); };

std::string Write(const test::TempFolder& folder, const char* format) {
  const std::string png = folder / "quarters.png";
  Quarters().save(QString::fromStdString(png), "PNG");
  const std::string name = folder / ("quarters." + std::string(format));
  if (std::string(format) == "heic" || std::string(format) == "avif") {
    return test::EncodeHeif(png, std::string(format) == "avif", 32);
  }
  if (std::string(format) == "gif") {  // Qt reads GIF but does not write it
    if (std::system(("convert '" + png + "' '" + name + "'").c_str()) != 0) return {};
  } else {
    Quarters().save(QString::fromStdString(name), format, 100);
  }
  return test::ReadBytes(name);
}

TEST(PictureFormats, EachDrawsWhatItsPngHoldsWithinWhatItsCodecLoses) {
  test::TempFolder folder;
  const std::pair<const char*, int> formats[] = {{"png", 0}, {"webp", 0}, {"gif", 0}, {"tiff", 0},
                                                 {"heic", 6}, {"avif", 6}};
  for (const auto& [format, tolerance] : formats) {
    SCOPED_TRACE(format);
    const std::string bytes = Write(folder, format);
    ASSERT_FALSE(bytes.empty()) << "no writer for it";
    auto loaded = LoadPictureFromBytes(bytes);
    ASSERT_TRUE(loaded) << loaded.reason();
    EXPECT_EQ(std::make_pair((*loaded)->Width(), (*loaded)->Height()), std::make_pair(96, 64));
    EXPECT_LE(Farthest(**loaded, kAsStored), tolerance);
    auto preview = (*loaded)->Decode(32);
    ASSERT_TRUE(preview) << preview.reason();
    EXPECT_EQ(std::make_pair(preview->Width(), preview->Height()), std::make_pair(32, 22)) << "a third of each side";
  }
}

TEST(PictureFormats, AHeifsOwnThumbnailStandsForItAndATurnedOneStandsUpright) {
  test::TempFolder folder;
  const std::string heic = Write(folder, "heic");
  auto loaded = LoadPictureFromBytes(heic);
  ASSERT_TRUE(loaded) << loaded.reason();
  auto thumbnail = (*loaded)->CameraThumbnail();
  ASSERT_NE(thumbnail, nullptr);
  EXPECT_EQ(std::make_pair(thumbnail->Width(), thumbnail->Height()), std::make_pair(32, 20)) << "heif-enc keeps sides even";

  // A quarter turn anticlockwise: the top right quarter comes to the top left.
  auto turned = LoadPictureFromBytes(test::WithRotation(heic, 1));
  ASSERT_TRUE(turned) << turned.reason();
  ASSERT_EQ(std::make_pair((*turned)->Width(), (*turned)->Height()), std::make_pair(64, 96));
  EXPECT_LE(Farthest(**turned, [](int x, int y) { return QPoint(y, 95 - x); }), 6);
}

uint32_t Crc32(const std::string& bytes) {  // PNG's chunk check (ISO 3309)
  uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char byte : bytes) {
    crc ^= byte;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

// Each format's file with its header changed to claim far more pixels than LumenShow
// decodes (16,000 x 16,000 or more, the limit being 16,384 x 8,192): refused before the
// pixels are allocated, whatever the rest of the file holds.
TEST(PictureFormats, EachRefusesAHeaderThatClaimsTooManyPixels) {
  using test::heif_boxes::Put;
  test::TempFolder folder;
  std::string png = Write(folder, "png");
  Put(png, 16, 4, 16000), Put(png, 20, 4, 16000);  // IHDR's width and height, then its check
  Put(png, 29, 4, Crc32(png.substr(12, 17)));
  std::string webp = Write(folder, "webp");  // lossless: 14 bits each of width - 1 and height - 1, LE
  ASSERT_EQ(webp.compare(12, 4, "VP8L"), 0);
  webp[21] = webp[22] = webp[23] = char(0xFF), webp[24] = char((webp[24] & 0xF0) | 0x0F);  // 16384 x 16384
  std::string gif = Write(folder, "gif");
  // The screen's size, then the first image's (after the colour table and any extensions).
  size_t image = 13 + ((gif[10] & 0x80) ? 3u << (1 + (gif[10] & 7)) : 0);
  while (gif[image] == 0x21) {
    for (image += 2; gif[image] != 0; image += 1 + uint8_t(gif[image])) {
    }
    ++image;
  }
  ASSERT_EQ(gif[image], 0x2C);
  for (size_t at : {size_t(6), image + 5}) gif.replace(at, 4, 4, char(0xFF));  // 65535 x 65535
  std::string tiff = Write(folder, "tiff");
  const auto field = [&](size_t at) { return uint32_t(uint8_t(tiff[at])) | uint32_t(uint8_t(tiff[at + 1])) << 8; };
  const size_t ifd = field(4) | field(6) << 16;
  for (size_t entry = ifd + 2; entry < ifd + 2 + 12 * field(ifd); entry += 12) {
    if (field(entry) == 256 || field(entry) == 257) tiff[entry + 8] = char(0x80), tiff[entry + 9] = char(0x3E);  // 16000
  }
  const std::string heic = test::WithSize(Write(folder, "heic"), 16000, 16000);
  const std::string avif = test::WithSize(Write(folder, "avif"), 16000, 16000);
  for (const auto& [format, bytes] : std::initializer_list<std::pair<const char*, std::string>>{
           {"png", png}, {"webp", webp}, {"gif", gif}, {"tiff", tiff}, {"heic", heic}, {"avif", avif}}) {
    auto loaded = LoadPictureFromBytes(bytes);
    EXPECT_FALSE(loaded) << format;
    EXPECT_NE(loaded.reason().find("larger than LumenShow decodes"), std::string::npos) << format << ": " << loaded.reason();
  }
}

// sRGB's values of a colour given in a wide space, worked out from the spaces' published
// matrices (D65 both, no colour engine): decoded to linear light, to XYZ, to linear sRGB,
// encoded with sRGB's curve.
using Rgb = std::array<int, 3>;
using Matrix = std::array<std::array<double, 3>, 3>;
Rgb SrgbOf(const Rgb& colour, const Matrix& toXyz, double (*decode)(double)) {
  static constexpr Matrix kXyzToSrgb = {{{3.2404542, -1.5371385, -0.4985314},
                                         {-0.9692660, 1.8760108, 0.0415560},
                                         {0.0556434, -0.2040259, 1.0572252}}};
  double linear[3], xyz[3] = {};
  for (int i = 0; i < 3; ++i) linear[i] = decode(colour[size_t(i)] / 255.0);
  for (int i = 0; i < 3; ++i) {
    for (int k = 0; k < 3; ++k) xyz[i] += toXyz[size_t(i)][size_t(k)] * linear[k];
  }
  Rgb out{};
  for (int i = 0; i < 3; ++i) {
    double l = 0;
    for (int k = 0; k < 3; ++k) l += kXyzToSrgb[size_t(i)][size_t(k)] * xyz[k];
    l = std::clamp(l, 0.0, 1.0);
    out[size_t(i)] = int(std::lround(255 * (l <= 0.0031308 ? 12.92 * l : 1.055 * std::pow(l, 1 / 2.4) - 0.055)));
  }
  return out;
}
double SrgbCurve(double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); }
double AdobeCurve(double v) { return std::pow(v, 563.0 / 256); }
constexpr Matrix kDisplayP3 = {{{0.4865709486, 0.2656676932, 0.1982172852},
                                {0.2289745641, 0.6917385218, 0.0792869141},
                                {0.0, 0.0451133819, 1.0439443689}}};
constexpr Matrix kAdobeRgb = {{{0.5766690429, 0.1855582379, 0.1882286462},
                               {0.2973449753, 0.6273635663, 0.0752914585},
                               {0.0270313614, 0.0706888525, 0.9913375368}}};

// Three stripes of middling colours, tagged with a wide colour space: a phone's Display P3
// as a JPEG (Qt writes the profile into APP2) and as a lossless HEIC (heif-enc carries the
// PNG's profile into 'colr'), a camera's Adobe RGB (colord's profile) as a PNG's iCCP. On
// the page they are sRGB's values for those colours, not the file's numbers.
TEST(PictureFormats, WideGamutPicturesAreDrawnInSrgb) {
  test::TempFolder folder;
  const Rgb stripes[] = {{180, 90, 60}, {70, 150, 90}, {80, 90, 170}};
  QImage image(96, 32, QImage::Format_RGB32);
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 96; ++x) {
      const Rgb& c = stripes[x / 32];
      image.setPixel(x, y, qRgb(c[0], c[1], c[2]));
    }
  }
  const std::string adobeIcc = test::ReadBytes("/usr/share/color/icc/colord/AdobeRGB1998.icc");
  ASSERT_FALSE(adobeIcc.empty()) << "colord-data holds the Adobe RGB profile";
  struct Case {
    const char* name;
    std::string bytes;
    const Matrix& toXyz;
    double (*decode)(double);
  };
  image.setColorSpace(QColorSpace(QColorSpace::DisplayP3));
  image.save(QString::fromStdString(folder / "p3.jpg"), "JPEG", 100);
  image.save(QString::fromStdString(folder / "p3.png"), "PNG");
  image.setColorSpace(QColorSpace::fromIccProfile(QByteArray::fromStdString(adobeIcc)));
  image.save(QString::fromStdString(folder / "adobe.png"), "PNG");
  const Case cases[] = {
      {"Display P3 JPEG", test::ReadBytes(folder / "p3.jpg"), kDisplayP3, SrgbCurve},
      {"Display P3 HEIC",
       test::EncodeHeif(folder / "p3.png", false, 0, "-L -p chroma=444 --matrix_coefficients=0"), kDisplayP3,
       SrgbCurve},
      {"Adobe RGB PNG", test::ReadBytes(folder / "adobe.png"), kAdobeRgb, AdobeCurve},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto loaded = LoadPictureFromBytes(c.bytes);
    ASSERT_TRUE(loaded) << loaded.reason();
    Surface drawn(96, 32);
    ASSERT_TRUE((*loaded)->StretchTo(drawn, 0, 0, 96, 32));
    auto preview = (*loaded)->Decode(0);
    ASSERT_TRUE(preview);
    for (int stripe = 0; stripe < 3; ++stripe) {
      const Rgb want = SrgbOf(stripes[stripe], c.toXyz, c.decode);
      for (const Surface* surface : {&drawn, &*preview}) {
        const uint32_t got = surface->GetPixel(16 + 32 * stripe, 16);  // COLORREF
        const Rgb have = {int(got & 0xFF), int(got >> 8 & 0xFF), int(got >> 16 & 0xFF)};
        for (int i = 0; i < 3; ++i) {
          EXPECT_NEAR(have[size_t(i)], want[size_t(i)], 2) << "stripe " << stripe << ", channel " << i;
        }
      }
    }
  }
}

}  // namespace
}  // namespace lumen::platform::picture

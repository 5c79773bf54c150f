#include "catalogue/lumen_thumb.h"

#include <QImage>
#include <gtest/gtest.h>
#include <utime.h>

#include "catalogue/list_texts.h"
#include "catalogue/resample.h"
#include "catalogue/thumbnail_batch.h"
#include "catalogue/thumbnail_cache.h"
#include "catalogue/thumbnail_decoder.h"
#include "support/heif_fixtures.h"
#include "support/jpeg_fixtures.h"
#include "support/picture_files.h"
#include "support/temp_folder.h"

namespace lumen::catalogue {

void PrintTo(const FittedRect& r, std::ostream* out) {
  *out << "{" << r.x << ", " << r.y << ", " << r.width << ", " << r.height << "}";
}

namespace {

void SolidBmp(const std::string& path, int w, int h, QRgb colour) { ASSERT_TRUE(test::WriteSolidBmp(path, w, h, colour)); }

void SetMTime(const std::string& path, time_t when) {
  utimbuf times{when, when};
  ::utime(path.c_str(), &times);
}

TEST(FitInBox, WorkedExamples) {
  EXPECT_EQ(FitInBox(800, 600, 40, 40), (FittedRect{0, 5, 40, 30}));
  EXPECT_EQ(FitInBox(600, 800, 40, 40), (FittedRect{5, 0, 30, 40}));
  EXPECT_EQ(FitInBox(700, 400, 40, 40), (FittedRect{0, 8, 40, 23})) << "22.857 -> 23, 8.5 -> 8";
  EXPECT_EQ(FitInBox(640, 640, 40, 40), (FittedRect{0, 0, 40, 40}));
  EXPECT_EQ(FitInBox(1000, 100, 40, 40), (FittedRect{0, 18, 40, 4}));
}

TEST(LoadPictureScaled, FitsStretchesOrKeepsTheOwnSize) {
  test::TempFolder folder;
  SolidBmp(folder / "red.bmp", 800, 600, qRgb(255, 0, 0));
  int w = 40, h = 40;
  auto fitted = LoadPictureScaled(folder / "red.bmp", w, h, 0xFFFFFF, true);
  ASSERT_TRUE(fitted);
  EXPECT_EQ((*fitted)->GetPixel(20, 4), 0xFFFFFFu) << "margin above";
  EXPECT_EQ((*fitted)->GetPixel(20, 5), 0x0000FFu);
  EXPECT_EQ((*fitted)->GetPixel(20, 34), 0x0000FFu);
  EXPECT_EQ((*fitted)->GetPixel(20, 35), 0xFFFFFFu) << "margin below";

  auto stretched = LoadPictureScaled(folder / "red.bmp", w, h, 0xFFFFFF, false);
  EXPECT_EQ((*stretched)->GetPixel(20, 0), 0x0000FFu);

  w = -1, h = 40;
  auto own = LoadPictureScaled(folder / "red.bmp", w, h, 0xFFFFFF, true);
  EXPECT_EQ(w, 800);
  EXPECT_EQ(h, 600);
  EXPECT_EQ((*own)->Width(), 800);

  test::WriteBytes(folder / "empty.jpg", "");
  w = h = 40;
  auto failed = LoadPictureScaled(folder / "empty.jpg", w, h, 0xFFFFFF, true);
  ASSERT_FALSE(failed);
  EXPECT_EQ(failed.failure().code, 999);
  EXPECT_EQ(failed.reason(), "Error loading picture " + folder / "empty.jpg");
}

TEST(Resample, KeepsFlatColoursAndAveragesDetail) {
  platform::gdi::Surface flat(97, 61, 0x00336699);
  platform::gdi::Surface small = Resample(flat, 13, 7);
  for (int y = 0; y < 7; ++y) {
    for (int x = 0; x < 13; ++x) ASSERT_EQ(small.GetPixel(x, y), 0x00336699u);
  }
  platform::gdi::Surface stripes(64, 64);  // one-pixel black and white columns
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) stripes.SetPixel(x, y, x % 2 ? 0xFFFFFF : 0x000000);
  }
  platform::gdi::Surface grey = Resample(stripes, 8, 8);
  const int level = grey.GetPixel(4, 4) & 0xFF;
  EXPECT_NEAR(level, 128, 8) << "shrinking averages every source column, not a few samples";

  // Three columns into two: each takes one whole column and half the middle one, over 1.5.
  platform::gdi::Surface three(3, 2);
  for (int y = 0; y < 2; ++y) three.SetPixel(0, y, 0), three.SetPixel(1, y, 0x5A5A5A), three.SetPixel(2, y, 0xF0F0F0);
  platform::gdi::Surface two = Resample(three, 2, 2);
  EXPECT_EQ(two.GetPixel(0, 1), 0x1E1E1Eu);  // (0 + 90 / 2) / 1.5 = 30
  EXPECT_EQ(two.GetPixel(1, 1), 0xBEBEBEu);  // (90 / 2 + 240) / 1.5 = 190
}

TEST(DecodeForBox, ScalesJpegsInTheDctDomainAndTurnsThemUpright) {
  test::TempFolder folder;
  const std::string jpeg = test::MakeJpeg(1600, 1200);
  auto decoded = DecodeBytesForBox(jpeg, 128);
  ASSERT_TRUE(decoded) << decoded.reason();
  EXPECT_EQ(decoded->image.Width(), 200) << "1/8 already reaches 128";
  EXPECT_EQ(decoded->width, 1600);
  EXPECT_EQ(DecodeBytesForBox(test::MakeJpeg(640, 480), 128)->image.Width(), 160) << "2/8: 80 is too small";
  auto turned = DecodeBytesForBox(test::WithOrientation(jpeg, 6), 128);
  ASSERT_TRUE(turned);
  EXPECT_EQ(turned->width, 1200);
  EXPECT_EQ(turned->image.Width(), 150);
  auto full = DecodeBytesForBox(jpeg, 0);
  EXPECT_EQ(full->image.Width(), 1600);
}

TEST(DecodeForBox, TakesTheCamerasThumbnailWhenItIsLargeEnoughAndOfTheSameShape) {
  // The picture red, its embedded thumbnails green: the colour says which was used.
  const std::string photo = test::SolidJpeg(1600, 1200, 255, 0, 0);
  const std::string green160x120 = test::SolidJpeg(160, 120, 0, 255, 0);
  auto decode = [](const std::string& bytes, int box = 128) {
    auto decoded = DecodeBytesForBox(bytes, box);
    EXPECT_TRUE(decoded) << decoded.reason();
    return decoded ? std::move(*decoded) : DecodedPicture{};
  };
  // Which of the two it is (JPEG rounds the colours by a step or two).
  auto colour = [](const DecodedPicture& d) {
    const COLORREF c = d.image.Empty() ? 0 : d.image.GetPixel(d.image.Width() / 2, 0);
    return (c & 0xFF) > 200 ? 'r' : ((c >> 8) & 0xFF) > 200 ? 'g' : '?';
  };
  const char red = 'r', green = 'g';

  const DecodedPicture taken = decode(test::WithExifThumbnail(photo, green160x120));
  EXPECT_EQ(colour(taken), green) << "160 x 120 for a 4:3 photo";
  EXPECT_EQ(std::make_pair(taken.image.Width(), taken.width), std::make_pair(160, 1600)) << "its own size kept";
  EXPECT_EQ(colour(decode(test::WithExifThumbnail(photo, test::SolidJpeg(160, 107, 0, 255, 0)))), red)
      << "another shape (a 3:2 thumbnail)";
  const std::string small = test::WithExifThumbnail(photo, test::SolidJpeg(120, 90, 0, 255, 0));
  EXPECT_EQ(colour(decode(small)), red) << "smaller than the 128-pixel entry";
  EXPECT_EQ(colour(decode(small, 40)), green) << "enough for a 40 x 40 item";
  EXPECT_EQ(colour(decode(test::WithExifThumbnail(photo, green160x120, 1, test::XmpSegment()))), green)
      << "found behind an XMP segment";
  const DecodedPicture turned = decode(test::WithExifThumbnail(photo, green160x120, 6));
  EXPECT_EQ(std::make_tuple(turned.image.Width(), turned.image.Height(), turned.width, turned.height),
            std::make_tuple(120, 160, 1200, 1600))
      << "turned with the picture";

  // A HEIC's own thumbnail, which heif-enc makes of the same picture: told apart by its size.
  test::TempFolder folder;
  QImage big(512, 384, QImage::Format_RGB32);
  big.fill(qRgb(255, 0, 0));
  big.save(QString::fromStdString(folder / "big.png"), "PNG");
  EXPECT_EQ(decode(test::EncodeHeif(folder / "big.png", false, 256)).image.Width(), 256) << "its 256 x 192 thumbnail";
  EXPECT_EQ(decode(test::EncodeHeif(folder / "big.png", false)).image.Width(), 128) << "none: the picture, reduced";
}

TEST(DecodeForBox, TakesWhatTheShowDraws) {
  // A CMYK JPEG (TurboJPEG writes YCCK from CMYK pixels) and one with a stray byte before a
  // marker (libjpeg only warns): the show draws both, and so must the list.
  std::vector<unsigned char> cmyk(320 * 240 * 4, 40);
  tjhandle handle = tjInitCompress();
  unsigned char* out = nullptr;
  unsigned long size = 0;
  ASSERT_EQ(tjCompress2(handle, cmyk.data(), 320, 0, 240, TJPF_CMYK, &out, &size, TJSAMP_444, 90, 0), 0);
  const std::string cmykJpeg(reinterpret_cast<char*>(out), size);
  tjFree(out);
  tjDestroy(handle);
  const std::string plain = test::MakeJpeg(320, 240);
  const size_t scan = plain.find("\xFF\xDA");
  const std::string stray = plain.substr(0, scan) + std::string(1, '\0') + plain.substr(scan);
  for (const std::string* bytes : {&cmykJpeg, &stray}) {
    auto decoded = DecodeBytesForBox(*bytes, 128);
    ASSERT_TRUE(decoded) << decoded.reason();
    EXPECT_EQ(std::make_tuple(decoded->width, decoded->height, decoded->image.Width()), std::make_tuple(320, 240, 160));
  }
}

TEST(ThumbnailCache, FreedesktopNamesHitsStaleEntriesAndFailures) {
  EXPECT_EQ(ThumbnailCache::Uri("/home/jens/photos/me.png"), "file:///home/jens/photos/me.png");
  EXPECT_EQ(ThumbnailCache::FileName("/home/jens/photos/me.png"), "c6ee772d9e49320e97ec29a7eb5b1697.png");
  EXPECT_EQ(ThumbnailCache::Uri("/tmp/a b/é#1.jpg"), "file:///tmp/a%20b/%C3%A9%231.jpg");

  test::TempFolder folder, cacheRoot;
  ThumbnailCache cache(cacheRoot.path());
  const std::string photo = folder / "p.bmp";
  SolidBmp(photo, 300, 200, qRgb(255, 0, 0));
  SetMTime(photo, 1000000000);
  auto colourOf = [&] {
    int w = 40, h = 40;
    auto picture = LoadPictureScaled(photo, w, h, 0xFFFFFF, true, &cache);
    return picture ? (*picture)->GetPixel(20, 20) : 0xDEADu;
  };
  EXPECT_EQ(colourOf(), 0x0000FFu);
  EXPECT_TRUE(QImage(QString::fromStdString(cacheRoot / "normal/" + ThumbnailCache::FileName(photo))).width() == 128);

  SolidBmp(photo, 300, 200, qRgb(0, 255, 0));
  SetMTime(photo, 1000000000);
  EXPECT_EQ(colourOf(), 0x0000FFu) << "same modification time and size: the cached thumbnail";
  SolidBmp(photo, 302, 200, qRgb(0, 255, 0));
  SetMTime(photo, 1000000000);
  EXPECT_EQ(colourOf(), 0x00FF00u) << "same time, another size: another picture";
  SolidBmp(photo, 302, 200, qRgb(0, 0, 255));
  SetMTime(photo, 1000000001);
  EXPECT_EQ(colourOf(), 0xFF0000u) << "a stale thumbnail is made anew";

  test::WriteBytes(photo, "broken");
  SetMTime(photo, 1000000002);
  EXPECT_EQ(colourOf(), 0xDEADu);
  EXPECT_TRUE(cache.HasFailure(photo, 1000000002, 6));
  test::WriteBytes(photo, "BROKEN");
  SetMTime(photo, 1000000002);
  EXPECT_EQ(colourOf(), 0xDEADu) << "the failure is remembered for that version";
  SolidBmp(photo, 300, 200, qRgb(255, 0, 0));
  SetMTime(photo, 1000000002);
  EXPECT_EQ(colourOf(), 0x0000FFu) << "a good picture in its place is tried again";

  // Another program's entry: a palette with see-through blue, no Thumb::Size. Read through
  // the general reader and shown on white: 127 of red and green, 255 of blue.
  QImage other(64, 48, QImage::Format_Indexed8);
  other.setColorTable({qRgba(0, 0, 255, 128)});
  other.fill(0);
  other.setText("Thumb::URI", QString::fromStdString(ThumbnailCache::Uri(photo)));
  other.setText("Thumb::MTime", "1000000003");
  SetMTime(photo, 1000000003);
  ASSERT_TRUE(other.save(QString::fromStdString(cacheRoot / "normal/" + ThumbnailCache::FileName(photo))));
  EXPECT_EQ(colourOf(), 0xFF7F7Fu);
}

TEST(ThumbnailBatch, HandsOutInOrderAndCanBeAbandoned) {
  test::TempFolder folder;
  std::vector<std::string> paths;
  for (int i = 0; i < 30; ++i) {
    paths.push_back(folder / ("p" + std::to_string(i) + ".bmp"));
    SolidBmp(paths.back(), 50 + i, 40, qRgb(i * 8, 0, 0));
  }
  test::WriteBytes(paths[7], "broken");
  {
    ThumbnailBatch batch(paths, 40, 0xFFFFFF, nullptr, 4);
    ThumbnailBatch::Made r;
    for (size_t i = 0; i < paths.size(); ++i) {
      ASSERT_TRUE(batch.TakeNext(r, std::chrono::seconds(30)));
      EXPECT_EQ(r.index, i);
      EXPECT_EQ(r.icon.isNull(), i == 7);
    }
    EXPECT_FALSE(batch.TakeNext(r, std::chrono::milliseconds(1)));
  }
  ThumbnailBatch abandoned(paths, 40, 0xFFFFFF, nullptr, 2);  // destroyed at once: must not hang
}

TEST(ListTexts, CountersSizesDatesAndThePreview) {
  EXPECT_EQ(FormatCount(0), "");
  EXPECT_EQ(FormatCount(1234), "1,234");
  EXPECT_EQ(CounterProgress(1, 1234), "1 / 1,234");
  EXPECT_EQ(CounterTotal(1234), "1,234枚");
  EXPECT_EQ(CounterTotal(0), "枚");
  EXPECT_EQ(SizeInKilobytes(0), "1");
  EXPECT_EQ(SizeInKilobytes(100), "0");
  EXPECT_EQ(SizeInKilobytes(1536), "2");
  EXPECT_EQ(SizeInKilobytes(1 << 20), "1,024");
  EXPECT_EQ(SizeInKilobytes(2560), "3") << "2.5: halves away from zero";

  EXPECT_EQ(PreviewPath("/", "a.jpg"), "/a.jpg");
  EXPECT_EQ(PreviewPath("/photos", "a.jpg"), "/photos/a.jpg");
  auto p = PlacePreview(800, 600);
  EXPECT_EQ(std::make_tuple(p.width, p.height, p.left, p.top), std::make_tuple(208.0, 156.0, 0, 26));
  p = PlacePreview(600, 800);
  EXPECT_EQ(std::make_tuple(p.width, p.height, p.left, p.top), std::make_tuple(156.0, 208.0, 26, 0));
  p = PlacePreview(1000, 700);
  EXPECT_DOUBLE_EQ(p.height, 145.6);
  EXPECT_EQ(p.top, 31) << "62.4 rounds to 62, halved";
  p = PlacePreview(500, 500);
  EXPECT_EQ(std::make_tuple(p.width, p.height, p.left, p.top), std::make_tuple(208.0, 208.0, 0, 0));

  test::TempFolder folder;
  test::WriteBytes(folder / "f", "x");
  std::tm noon{};
  noon.tm_year = 2024 - 1900, noon.tm_mon = 1, noon.tm_mday = 9, noon.tm_hour = 12, noon.tm_isdst = -1;
  SetMTime(folder / "f", std::mktime(&noon));
  std::string reported;
  EXPECT_EQ(GetFileDate(folder / "f", [&](const std::string& t) { reported = t; }), "2024/02/09");
  EXPECT_EQ(GetFileDate(folder / "gone", [&](const std::string& t) { reported = t; }), "0:00:00");
  EXPECT_EQ(reported, "Error " + folder / "gone");
}

}  // namespace
}  // namespace lumen::catalogue

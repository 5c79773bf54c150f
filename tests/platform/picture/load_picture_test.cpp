#include "platform/picture/picture.h"

#include <QImage>
#include <QTransform>
#include <cstring>
#include <filesystem>
#include <random>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>

#include "platform/gdi/gdi.h"
#include "platform/gdi/qt_image.h"
#include "platform/picture/bmp_picture.h"
#include "platform/picture/decode_budget.h"
#include "platform/picture/exif_orientation.h"
#include "platform/picture/jpeg_restarts.h"
#include "support/jpeg_fixtures.h"
#include "support/picture_files.h"
#include "support/temp_folder.h"

namespace lumen::platform::picture {
namespace {

using gdi::Surface;

// The upright form of a decoded picture, turned by Qt (independently of our mapping).
Surface Upright(const Surface& stored, int orientation) {
  QImage image(reinterpret_cast<const uchar*>(stored.Row(0)), stored.Width(), stored.Height(),
               QImage::Format_RGB32);
  QTransform turn;
  bool mirror = orientation == 2 || orientation == 4 || orientation == 5 || orientation == 7;
  if (orientation == 3 || orientation == 4) turn.rotate(180);
  if (orientation == 5 || orientation == 6) turn.rotate(90);
  if (orientation == 7 || orientation == 8) turn.rotate(270);
  QImage upright = image.transformed(turn);
  if (mirror) upright = upright.mirrored(true, false);
  Surface result(upright.width(), upright.height());
  for (int y = 0; y < upright.height(); ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(upright.constScanLine(y));
    std::copy(row, row + upright.width(), result.Row(y));
  }
  return result;
}

void ExpectSame(const Surface& actual, const Surface& expected) {
  ASSERT_EQ(actual.Width(), expected.Width());
  ASSERT_EQ(actual.Height(), expected.Height());
  for (int y = 0; y < actual.Height(); ++y) {
    for (int x = 0; x < actual.Width(); ++x) {
      ASSERT_EQ(actual.Row(y)[x], expected.Row(y)[x]) << std::hex << "at " << std::dec << x << "," << y;
    }
  }
}

TEST(LoadPicture, JpegDrawsAsAStretchedCopyOfItsFullDecodingInEveryOrientation) {
  test::TempFolder folder;
  const std::string plain = test::MakeJpeg(97, 61);
  const Surface stored = test::DecodeWhole(plain);
  struct Box {
    int x, y, w, h;
  };
  const Box boxes[] = {{0, 0, 40, 30}, {-7, 5, 150, 90}, {3, -20, 61, 97}, {0, 0, 1, 1}};
  for (int orientation = 1; orientation <= 8; ++orientation) {
    SCOPED_TRACE("orientation " + std::to_string(orientation));
    const std::string path = folder / ("o" + std::to_string(orientation) + ".jpg");
    test::WriteBytes(path, test::WithOrientation(plain, orientation, orientation % 2 == 0));
    auto loaded = LoadPicture(path);
    ASSERT_TRUE(loaded) << loaded.reason();
    const Surface upright = Upright(stored, orientation);
    EXPECT_EQ((*loaded)->Width(), upright.Width());
    EXPECT_EQ((*loaded)->Height(), upright.Height());
    for (const Box& b : boxes) {
      Surface expected(80, 50, 0x00ABCDEF);
      gdi::StretchBlt(expected, b.x, b.y, b.w, b.h, upright, 0, 0, upright.Width(), upright.Height());
      for (int parts : {1, 2, 3}) {  // decoded in parts at once: the same pixels
        SCOPED_TRACE("in parts: " + std::to_string(parts));
        Surface actual(80, 50, 0x00ABCDEF);
        ASSERT_TRUE((*loaded)->StretchTo(actual, b.x, b.y, b.w, b.h, parts));
        ExpectSame(actual, expected);
      }
    }
    auto whole = (*loaded)->Decode(0);
    ASSERT_TRUE(whole) << whole.reason();
    ExpectSame(*whole, upright);
  }
}

TEST(LoadPicture, JpegsWithRestartMarkersDecodeInBandsAsInOnePass) {
  // Bands start at restart markers; their first and last rows are where a mistake in the
  // upsampled colours or the cut would show. Sizes with part MCUs at both edges.
  struct Case {
    int h, v, restartMcus;
  };
  const Case cases[] = {{2, 2, 13}, {2, 2, 26}, {2, 1, 5}, {1, 1, 17}, {0, 0, 7}, {2, 2, 1000}};
  test::TempFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.h << "x" << c.v << ", restart every " << c.restartMcus << " MCUs");
    const std::string jpeg = test::JpegWithRestarts(test::DetailedRgb(203, 157), 203, 157, c.restartMcus, c.h, c.v);
    const std::string path = folder / "restarts.jpg";
    for (int orientation : {1, 6}) {
      test::WriteBytes(path, test::WithOrientation(jpeg, orientation));
      auto loaded = LoadPicture(path);
      ASSERT_TRUE(loaded) << loaded.reason();
      const Surface upright = Upright(test::DecodeWhole(jpeg), orientation);
      for (const auto& [w, h] : {std::pair{upright.Width(), upright.Height()}, std::pair{91, 70}}) {
        Surface expected(upright.Width(), upright.Height(), 0x00ABCDEF);
        gdi::StretchBlt(expected, 0, 0, w, h, upright, 0, 0, upright.Width(), upright.Height());
        for (int parts : {2, 3, 4}) {
          SCOPED_TRACE(::testing::Message() << "orientation " << orientation << ", " << w << "x" << h << ", parts " << parts);
          Surface actual(upright.Width(), upright.Height(), 0x00ABCDEF);
          ASSERT_TRUE((*loaded)->StretchTo(actual, 0, 0, w, h, parts));
          ExpectSame(actual, expected);
        }
      }
    }
  }
}

ReadBytesAt ReaderOf(const std::string& bytes) {
  return [&bytes](uint64_t offset, void* into, size_t count) -> int64_t {
    const size_t n = offset >= bytes.size() ? 0 : std::min(count, bytes.size() - size_t(offset));
    std::memcpy(into, bytes.data() + offset, n);
    return int64_t(n);
  };
}

TEST(JpegRestarts, BandsCutAtTheMarkersAreJpegsOfTheirRowsAndOnlyIntactScansAreIndexed) {
  const std::string jpeg = test::JpegWithRestarts(test::DetailedRgb(64, 80), 64, 80, 4);  // one MCU row of 16
  const auto index = IndexRestarts(ReaderOf(jpeg), jpeg.size());
  ASSERT_TRUE(index.has_value());
  EXPECT_EQ(index->mcuRows, 5);
  EXPECT_EQ(index->markers.size(), 4u);
  // MCU rows 1 to 3 alone: TurboJPEG decodes them to the whole picture's rows 16 to 63,
  // except where the upsampled colours look past the band (its first and last rows).
  const Surface whole = test::DecodeWhole(jpeg);
  const Surface band = test::DecodeWhole(index->Band(ReaderOf(jpeg), 1, 4));
  ASSERT_EQ(band.Height(), 48);
  for (int y = 1; y < 47; ++y) {
    for (int x = 0; x < 64; ++x) ASSERT_EQ(band.Row(y)[x], whole.Row(16 + y)[x]) << x << "," << y;
  }
  EXPECT_EQ(test::DecodeWhole(index->Band(ReaderOf(jpeg), 4, 5)).Height(), 16) << "the last band, to the end";

  std::string missing = jpeg;
  missing.erase(index->markers[1], 2);
  std::string swapped = jpeg;
  std::swap(swapped[index->markers[0] + 1], swapped[index->markers[1] + 1]);
  const std::string others[] = {jpeg.substr(0, jpeg.size() - 2), missing, swapped, test::MakeJpeg(64, 80),
                                test::MakeJpeg(64, 80, TJSAMP_420, 90, TJFLAG_PROGRESSIVE)};
  for (const std::string& other : others) EXPECT_FALSE(IndexRestarts(ReaderOf(other), other.size()));
}

// BMP variants written byte by byte: 2 x 2 pixels, red green / blue white (top row first).
std::string Bmp(int headerSize, int bits, int compression, bool topDown, const std::string& palette,
                const std::string& pixels) {
  using test::Le;
  if (headerSize != 12) return test::BmpFile(2, topDown ? -2 : 2, bits, compression, palette, pixels);
  const std::string info = Le(12, 4) + Le(2, 2) + Le(2, 2) + Le(1, 2) + Le(bits, 2);  // OS/2 BITMAPCOREHEADER
  const uint32_t offset = uint32_t(14 + info.size() + palette.size());
  return "BM" + Le(offset + uint32_t(pixels.size()), 4) + Le(0, 4) + Le(offset, 4) + info + palette + pixels;
}

TEST(LoadPicture, ReadsTheCommonBmpVariants) {
  test::TempFolder folder;
  const std::string bgr = std::string("\xFF\0\0", 3) + std::string("\xFF\xFF\xFF", 3);  // blue, white
  const std::string rg = std::string("\0\0\xFF", 3) + std::string("\0\xFF\0", 3);       // red, green
  const std::string pad(2, '\0');
  // Palette (B, G, R, 0): 0 red, 1 green, 2 blue, 3 white.
  const std::string palette = std::string("\0\0\xFF\0\0\xFF\0\0\xFF\0\0\0\xFF\xFF\xFF\0", 16);
  const std::pair<const char*, std::string> files[] = {
      {"24-bit bottom-up", Bmp(40, 24, 0, false, "", bgr + pad + rg + pad)},
      {"24-bit top-down", Bmp(40, 24, 0, true, "", rg + pad + bgr + pad)},
      {"OS/2 24-bit", Bmp(12, 24, 0, false, "", bgr + pad + rg + pad)},
      {"8-bit palette", Bmp(40, 8, 0, false, palette, std::string("\2\3\0\0\0\1\0\0", 8))},
      {"8-bit RLE", Bmp(40, 8, 1, false, palette, std::string("\1\2\1\3\0\0\1\0\1\1\0\1", 12))},
      {"4-bit palette", Bmp(40, 4, 0, false, palette, std::string("\x23\0\0\0\x01\0\0\0", 8))},
  };
  for (const auto& [name, bytes] : files) {
    SCOPED_TRACE(name);
    test::WriteBytes(folder / "p.bmp", bytes);
    auto loaded = LoadPicture(folder / "p.bmp");
    ASSERT_TRUE(loaded) << loaded.reason();
    Surface s(2, 2);
    (*loaded)->StretchTo(s, 0, 0, 2, 2);
    EXPECT_EQ(s.GetPixel(0, 0), 0x0000FFu);  // COLORREF red
    EXPECT_EQ(s.GetPixel(1, 0), 0x00FF00u);
    EXPECT_EQ(s.GetPixel(0, 1), 0xFF0000u);
    EXPECT_EQ(s.GetPixel(1, 1), 0xFFFFFFu);
  }
}

// BMPs of the common kinds are read a row at a time by LumenShow itself: pixel for pixel
// what Qt's whole decoding gives, for random pictures of every such kind (run-length ones
// with runs and literal stretches), drawn 1:1, shrunk and enlarged, and reduced for a preview.
TEST(LoadPicture, BmpsReadRowByRowMatchQtsWholeDecoding) {
  std::mt19937 random(20261207);
  auto any = [&](int below) { return static_cast<int>(random() % uint32_t(below)); };
  using test::Le;
  int compared = 0;
  for (int round = 0; round < 400; ++round) {
    const int kinds[][2] = {{1, 0}, {4, 0}, {8, 0}, {24, 0}, {32, 0}, {8, 1}, {4, 2}};
    const auto [bits, compression] = kinds[round % 7];
    const int width = 1 + any(37), height = 1 + any(23);
    const bool topDown = compression == 0 && any(2) == 1;
    std::string palette;
    if (bits <= 8) {
      for (int i = 0; i < (1 << bits); ++i) palette += Le(random() & 0xFFFFFF, 4);
    }
    std::string pixels;
    if (compression == 0) {
      const int stride = (width * bits + 31) / 32 * 4;
      for (int i = 0; i < stride * height; ++i) pixels += char(any(256));
    } else {
      // As encoders write them: each line filled by runs and literal stretches, then its
      // end. (Pixels a stream skips are left unset by Qt, whatever its memory held; here
      // they are palette entry 0, checked below.)
      for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width;) {
          const int left = width - x;
          if (left >= 3 && any(2) == 0) {
            const int count = 3 + any(left - 2);
            pixels += std::string(1, '\0') + char(count);
            const int bytes = bits == 4 ? (count + 1) / 2 : count;
            for (int k = 0; k < bytes + bytes % 2; ++k) pixels += char(any(256));
            x += count;
          } else {
            const int count = 1 + any(left);
            pixels += char(count) + std::string(1, char(any(256)));
            x += count;
          }
        }
        if (y + 1 < height) pixels += std::string("\0\0", 2);
      }
      pixels += std::string("\0\1", 2);
    }
    const std::string bytes = test::BmpFile(width, topDown ? -height : height, bits, compression, palette, pixels);
    SCOPED_TRACE(testing::Message() << "round " << round << ": " << bits << "-bit, compression " << compression << ", "
                                    << width << " x " << height);
    ASSERT_TRUE(StreamsBmp(bytes.substr(0, kBmpHeadBytes)));
    const QImage qt = QImage::fromData(reinterpret_cast<const uchar*>(bytes.data()), int(bytes.size()), "BMP");
    if (qt.isNull()) continue;  // Qt refuses it: nothing to compare with
    const Surface whole = gdi::FromQImage(qt);
    auto loaded = LoadPictureFromBytes(bytes);
    ASSERT_TRUE(loaded) << loaded.reason();
    for (const auto& [w, h] : {std::pair{width, height}, std::pair{(width + 2) / 3, (height + 1) / 2},
                              std::pair{2 * width + 1, height + height / 2 + 1}}) {
      Surface ours(w, h), theirs(w, h);
      (*loaded)->StretchTo(ours, 0, 0, w, h);
      gdi::StretchBlt(theirs, 0, 0, w, h, whole, 0, 0, width, height);
      ASSERT_EQ(ours.Pixels(), theirs.Pixels()) << w << " x " << h;
    }
    // A preview a third of the size: each pixel its 3 x 3 block's average (what there is of
    // it at the edges), rounded half up.
    const auto preview = (*loaded)->Decode(std::max(1, std::max(width, height) / 3));
    const int factor = std::max(width, height) / std::max(1, std::max(width, height) / 3);
    ASSERT_TRUE(preview) << preview.reason();
    ASSERT_EQ(preview->Width(), (width + factor - 1) / factor);
    for (int py = 0; py < preview->Height(); ++py) {
      for (int px = 0; px < preview->Width(); ++px) {
        uint32_t expected = 0xFF000000u;
        for (int shift : {0, 8, 16}) {
          int sum = 0, n = 0;
          for (int yy = py * factor; yy < std::min(height, (py + 1) * factor); ++yy) {
            for (int xx = px * factor; xx < std::min(width, (px + 1) * factor); ++xx, ++n) {
              sum += (whole.Row(yy)[xx] >> shift) & 0xFF;
            }
          }
          expected |= uint32_t((sum + n / 2) / n) << shift;
        }
        ASSERT_EQ(preview->Row(py)[px], expected) << px << ", " << py;
      }
    }
    ++compared;
  }
  EXPECT_EQ(compared, 400) << "Qt decodes every one of them";

  // Pixels a run-length stream skips (a move, a line ended early) are palette entry 0.
  std::string palette = Le(0xFF0000, 4) + std::string(4 * 4, '\0') + Le(0x00FF00, 4);  // 0 red, 5 green
  palette.resize(256 * 4, '\0');
  auto skipping = LoadPictureFromBytes(test::BmpFile(2, 2, 8, 1, palette, std::string("\1\5\0\0\0\2\1\0\1\5\0\1", 12)));
  ASSERT_TRUE(skipping) << skipping.reason();
  Surface drawn(2, 2);
  (*skipping)->StretchTo(drawn, 0, 0, 2, 2);
  EXPECT_EQ(drawn.Pixels(), (std::vector<uint32_t>{0xFFFF0000u, 0xFF00FF00u, 0xFF00FF00u, 0xFFFF0000u}));
}

TEST(LoadPicture, RefusesWhatItCannotOrShouldNotDecode) {
  test::TempFolder folder;
  std::string bomb = test::MakeJpeg(16, 16);
  size_t sof = bomb.find("\xFF\xC0");
  ASSERT_NE(sof, std::string::npos);
  bomb[sof + 5] = char(30000 >> 8), bomb[sof + 6] = char(30000 & 0xFF);  // height
  bomb[sof + 7] = char(30000 >> 8), bomb[sof + 8] = char(30000 & 0xFF);  // width
  test::WriteBytes(folder / "bomb.jpg", bomb);
  // Progressive: libjpeg would keep the whole image's coefficients, gigabytes for this one.
  std::string progressive = test::MakeJpeg(16, 16, TJSAMP_420, 90, TJFLAG_PROGRESSIVE);
  const size_t sof2 = progressive.find("\xFF\xC2");
  ASSERT_NE(sof2, std::string::npos);
  progressive.replace(sof2 + 5, 4, std::string("\x75\x30\xFF\xDC", 4));  // 30000 x 65500
  test::WriteBytes(folder / "progressive-bomb.jpg", progressive);
  test::WriteBytes(folder / "text.jpg", "\xFF\xD8\xFF not really");
  test::WriteBytes(folder / "text.bmp", "hello");
  // 600 MiB (sparse: it takes no disk): refused before a byte of it is read.
  test::WriteBytes(folder / "big.jpg", test::MakeJpeg(16, 16));
  std::filesystem::resize_file(folder / "big.jpg", 600ull << 20);
  // A BMP whose header claims 12000 x 12000 pixels: judged by the header, not allocated.
  QImage small(2, 2, QImage::Format_RGB32);
  small.save(QString::fromStdString(folder / "bomb.bmp"), "BMP");
  std::string bmp = test::ReadBytes(folder / "bomb.bmp");
  for (int at : {18, 22}) bmp.replace(at, 4, std::string("\xE0\x2E\0\0", 4));
  test::WriteBytes(folder / "bomb.bmp", bmp);
  // A PNG whose image data claims a gigabyte: libpng would set it aside before reading.
  small.save(QString::fromStdString(folder / "long.png"), "PNG");
  std::string png = test::ReadBytes(folder / "long.png");
  png.replace(png.find("IDAT") - 4, 4, std::string("\x3F\xFF\xFF\xFF", 4));
  test::WriteBytes(folder / "long.png", png);
  ASSERT_EQ(::mkfifo((folder / "fifo.jpg").c_str(), 0600), 0);  // must not hang
  for (const char* name : {"bomb.jpg", "progressive-bomb.jpg", "bomb.bmp", "long.png", "fifo.jpg", "text.jpg", "text.bmp", "missing.jpg", "big.jpg"}) {
    auto loaded = LoadPicture(folder / name);
    EXPECT_FALSE(loaded) << name;
    EXPECT_FALSE(loaded.reason().empty()) << name;
  }
  EXPECT_EQ(LoadPicture(folder / "big.jpg").reason(), folder / "big.jpg" + ": too large to be a picture");
  EXPECT_EQ(LoadPicture(folder / "progressive-bomb.jpg").reason(),
            folder / "progressive-bomb.jpg" + ": a JPEG of 65500 x 30000 pixels is larger than LumenShow decodes");
  EXPECT_EQ(LoadPicture(folder / "bomb.bmp").reason(),
            folder / "bomb.bmp" + ": a picture of 12000 x 12000 pixels is larger than LumenShow decodes");
  EXPECT_EQ(LoadPicture(folder / "long.png").reason(),
            folder / "long.png" + ": a damaged PNG: a part of it runs past the end of the file");
}

TEST(LoadPicture, AFileChangedAfterOpeningIsDrawnAsItWasOrNotAtAll) {
  test::TempFolder folder;
  const std::string large = test::MakeJpeg(64, 48), small = test::MakeJpeg(32, 24);
  // Replaced by a rename, as editors and sync tools do: what was opened is drawn.
  test::WriteBytes(folder / "a.jpg", large);
  auto replaced = LoadPicture(folder / "a.jpg");
  ASSERT_TRUE(replaced) << replaced.reason();
  test::WriteBytes(folder / "new.jpg", small);
  std::filesystem::rename(folder / "new.jpg", folder / "a.jpg");
  Surface drawn(64, 48);
  ASSERT_TRUE((*replaced)->StretchTo(drawn, 0, 0, 64, 48));
  ExpectSame(drawn, test::DecodeWhole(large));
  // Rewritten in place with a smaller picture: a failed drawing, never a misread one.
  test::WriteBytes(folder / "b.jpg", large);
  auto rewritten = LoadPicture(folder / "b.jpg");
  ASSERT_TRUE(rewritten) << rewritten.reason();
  test::WriteBytes(folder / "b.jpg", small);
  EXPECT_FALSE((*rewritten)->StretchTo(drawn, 0, 0, 64, 48));
  EXPECT_FALSE((*rewritten)->Decode(0));
}

TEST(ExifOrientation, ReadsBothByteOrdersAndIgnoresJunk) {
  for (bool bigEndian : {false, true}) {
    std::string jpeg = test::WithOrientation("\xFF\xD8", 6, bigEndian);
    auto* app1 = reinterpret_cast<const uint8_t*>(jpeg.data() + 6);
    EXPECT_EQ(ExifOrientation(app1, jpeg.size() - 6), 6);
  }
  const uint8_t junk[] = "Exif\0\0II\x2A\0\xFF\xFF\xFF\x7F";
  EXPECT_EQ(ExifOrientation(junk, sizeof junk - 1), 1);
  EXPECT_EQ(ExifOrientation(junk, 3), 1);

  // Behind an XMP segment the Exif block still counts, for the show as for thumbnails.
  std::string turned = test::WithOrientation(test::MakeJpeg(64, 48), 6);
  turned.insert(2, test::XmpSegment());
  auto loaded = LoadPictureFromBytes(turned);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(std::make_pair((*loaded)->Width(), (*loaded)->Height()), std::make_pair(48, 64));
}

// The decode budget is the whole process's: shares add up to 1 GiB, a share waits for
// others to give theirs back, one larger than the whole never fits, and a picture holds
// its share as long as its pixels live.
TEST(DecodeBudget, SharesAddUpToOneGibibyteAndWaitForEachOther) {
  using namespace std::chrono_literals;
  const uint64_t mib = 1 << 20;
  std::optional<DecodeShare> first = DecodeShare::Take(600 * mib, 0ms);
  ASSERT_TRUE(first);
  EXPECT_FALSE(DecodeShare::Take(600 * mib, 20ms)) << "1200 MiB would be more than the budget";
  EXPECT_FALSE(DecodeShare::Take(kDecodeBudgetBytes + 1, 10s)) << "never fits: refused at once";
  std::optional<DecodeShare> second;
  std::thread waiting([&] { second = DecodeShare::Take(600 * mib, 10s); });
  std::this_thread::sleep_for(50ms);
  first->ShrinkTo(400 * mib);
  waiting.join();
  ASSERT_TRUE(second) << "400 + 600 MiB fit";
  EXPECT_EQ(DecodeShare::Held(), 1000 * mib);
  first.reset();
  second.reset();
  EXPECT_EQ(DecodeShare::Held(), 0u);

  test::TempFolder folder;
  QImage image(200, 100, QImage::Format_RGB32);
  image.fill(Qt::red);
  ASSERT_TRUE(image.save(QString::fromStdString(folder / "a.png"), "PNG"));
  ASSERT_TRUE(image.save(QString::fromStdString(folder / "a.bmp"), "BMP"));
  {
    auto decoded = LoadPicture(folder / "a.png");
    auto streamed = LoadPicture(folder / "a.bmp");
    ASSERT_TRUE(decoded && streamed);
    EXPECT_EQ(DecodeShare::Held(), 200u * 100 * 4) << "Qt's PNG: its pixels, once Qt's copy is gone; the BMP none";
    auto preview = (*streamed)->Decode(50);
    ASSERT_TRUE(preview);
    EXPECT_EQ(std::make_pair(preview->Width(), preview->Height()), std::make_pair(50, 25)) << "reduced by 4";
    EXPECT_EQ(preview->Row(10)[10], 0xFFFF0000u);
  }
  EXPECT_EQ(DecodeShare::Held(), 0u);
}

}  // namespace
}  // namespace lumen::platform::picture

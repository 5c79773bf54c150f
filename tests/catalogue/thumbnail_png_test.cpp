#include "catalogue/thumbnail_png.h"

#include <QBuffer>
#include <QImage>
#include <gtest/gtest.h>

namespace lumen::catalogue {
namespace {

// Colours that change in every byte from pixel to pixel and row to row, so each filter
// type has work to do.
QImage Pattern(int width, int height, bool alpha) {
  QImage image(width, height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      image.setPixel(x, y, qRgba((x * 37 + y * 11) & 0xFF, (x * x + y * 3) & 0xFF, (255 - x * 5 + y * y) & 0xFF,
                                 alpha ? (x * 29 + y * 7) & 0xFF : 0xFF));
    }
  }
  return image;
}

std::string Encode(const QImage& image, bool alpha, const PngTexts& texts = {}) {
  return EncodePng(reinterpret_cast<const uint32_t*>(image.constBits()), image.width(), image.height(),
                   static_cast<size_t>(image.bytesPerLine()) / 4, alpha, texts);
}

// A PNG put together here from its parts: the chunks' CRCs computed bit by bit, the image
// data compressed by zlib (qCompress puts four bytes of length before zlib's stream).
std::string Chunk(const std::string& type, const std::string& data) {
  auto bigEndian = [](uint32_t v) { return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; };
  uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char b : type + data) {
    crc ^= b;
    for (int k = 0; k < 8; ++k) crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
  }
  return bigEndian(uint32_t(data.size())) + type + data + bigEndian(~crc);
}
// split: the image data in two chunks, as encoders write larger images.
std::string HandMadePng(uint32_t width, uint32_t height, const std::string& filteredRows, bool split = false) {
  const std::string packed = qCompress(QByteArray::fromStdString(filteredRows)).mid(4).toStdString();
  const std::string data = split ? Chunk("IDAT", packed.substr(0, 5)) + Chunk("IDAT", packed.substr(5))
                                 : Chunk("IDAT", packed);
  const std::string header = Chunk("IHDR", std::string{char(width >> 24), char(width >> 16), char(width >> 8), char(width),
                                                       char(height >> 24), char(height >> 16), char(height >> 8),
                                                       char(height), 8, 2, 0, 0, 0});
  return std::string("\x89PNG\r\n\x1a\n", 8) + header + data + Chunk("IEND", "");
}

QImage QtDecoded(const std::string& bytes) {
  return QImage::fromData(reinterpret_cast<const uchar*>(bytes.data()), static_cast<int>(bytes.size()), "PNG");
}

TEST(ThumbnailPng, WhatWeWriteQtReadsPixelForPixelAndWhatQtWritesWeRead) {
  for (const bool alpha : {false, true}) {
    SCOPED_TRACE(alpha ? "RGBA" : "RGB");
    const QImage image = Pattern(37, 23, alpha);
    const std::string bytes = Encode(image, alpha, {{"Thumb::URI", "file:///a%20b.jpg"}, {"Thumb::MTime", "1000000000"}});
    // A bare PNG ends in IEND with its fixed CRC AE 42 60 82.
    EXPECT_EQ(bytes.substr(bytes.size() - 12), std::string("\0\0\0\0IEND\xAE\x42\x60\x82", 12));
    const QImage read = QtDecoded(bytes);
    ASSERT_FALSE(read.isNull());
    EXPECT_EQ(read.convertToFormat(image.format()), image);
    EXPECT_EQ(read.text("Thumb::URI"), "file:///a%20b.jpg");
    EXPECT_EQ(read.text("Thumb::MTime"), "1000000000");

    // libpng chooses a filter per row (all five kinds on this pattern) and compresses with zlib.
    QByteArray qtBytes;
    QBuffer buffer(&qtBytes);
    buffer.open(QIODevice::WriteOnly);
    QImage withText = image;
    withText.setText("Software", "someone else");
    withText.setText("Thumb::URI", "file:///" + QString(60, 'x'));  // over 40 characters: zTXt
    ASSERT_TRUE(withText.save(&buffer, "PNG", 0));
    auto ours = DecodePlainPng(std::string_view(qtBytes.constData(), static_cast<size_t>(qtBytes.size())), 128);
    ASSERT_TRUE(ours.has_value());
    EXPECT_EQ(ours->alpha, alpha);
    ASSERT_NE(ours->Text("Software"), nullptr);
    EXPECT_EQ(*ours->Text("Software"), "someone else");
    ASSERT_NE(ours->Text("Thumb::URI"), nullptr);
    EXPECT_EQ(*ours->Text("Thumb::URI"), "file:///" + std::string(60, 'x'));
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) ASSERT_EQ(ours->image.Row(y)[x], image.pixel(x, y)) << x << "," << y;
    }
  }
}

TEST(ThumbnailPng, EachRowFilterUndoneAsWorkedOutByHand) {
  // Two RGB pixels a row, one row per filter kind: none, left, up, average, Paeth.
  const std::string rows = std::string{0, 10, 20, 30, 40, 50, 60} + std::string{1, 1, 2, 3, 4, 5, 6} +
                           std::string{2, 1, 1, 1, 1, 1, 1} + std::string{3, 0, 0, 0, 0, 0, 0} +
                           std::string{4, 0, 0, 0, char(250), 0, 0};
  const auto read = DecodePlainPng(HandMadePng(2, 5, rows), 5);
  ASSERT_TRUE(read.has_value());
  const uint32_t expected[5][2] = {
      {0xFF0A141E, 0xFF28323C},  // as they stand
      {0xFF010203, 0xFF050709},  // each byte plus the one on its left
      {0xFF020304, 0xFF06080A},  // plus the one above
      {0xFF010102, 0xFF030406},  // plus the floor of (left + above) / 2: (0+2)/2, (1+6)/2 ...
      {0xFF010102, 0xFFFD0406},  // Paeth picks "above" for all of these: 250 + 3 wraps to 253
  };
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 2; ++x) EXPECT_EQ(read->image.Row(y)[x], expected[y][x]) << x << "," << y;
  }
  const auto split = DecodePlainPng(HandMadePng(2, 5, rows, true), 5);
  ASSERT_TRUE(split.has_value());
  EXPECT_EQ(split->image.Pixels(), read->image.Pixels()) << "the image data in two chunks";
  EXPECT_FALSE(DecodePlainPng(HandMadePng(2, 5, rows.substr(0, 34)), 5)) << "a row short";
  EXPECT_FALSE(DecodePlainPng(HandMadePng(2, 5, rows + std::string{0}), 5)) << "a byte more";
  std::string unknownFilter = rows;
  unknownFilter[7] = 5;
  EXPECT_FALSE(DecodePlainPng(HandMadePng(2, 5, unknownFilter), 5));
  // Two thousand million pixels a side: refused from IHDR, nothing inflated or allocated.
  EXPECT_FALSE(DecodePlainPng(HandMadePng(0x7FFFFFFF, 0x7FFFFFFF, rows), 1 << 30));
}

TEST(ThumbnailPng, RefusesWhatItDoesNotReadBeforeInflatingIt) {
  const QImage image = Pattern(16, 9, false);
  const std::string good = Encode(image, false);
  ASSERT_TRUE(DecodePlainPng(good, 16).has_value());
  EXPECT_FALSE(DecodePlainPng(good, 15).has_value()) << "wider than allowed";
  EXPECT_FALSE(DecodePlainPng(good.substr(0, good.size() - 13), 128).has_value()) << "no IEND";
  std::string flipped = good;
  flipped[flipped.size() - 20] ^= 1;  // inside the IDAT
  EXPECT_FALSE(DecodePlainPng(flipped, 128).has_value()) << "a damaged chunk";
  for (const auto format : {QImage::Format_Indexed8, QImage::Format_Grayscale8, QImage::Format_RGBX64}) {
    QByteArray other;
    QBuffer buffer(&other);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(image.convertToFormat(format).save(&buffer, "PNG"));
    EXPECT_FALSE(DecodePlainPng(std::string_view(other.constData(), static_cast<size_t>(other.size())), 128))
        << "left to a general reader: format " << format;
  }
}

}  // namespace
}  // namespace lumen::catalogue

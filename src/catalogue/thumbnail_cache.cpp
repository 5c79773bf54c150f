#include "catalogue/thumbnail_cache.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <cstdlib>
#include <cstring>

#include "catalogue/thumbnail_png.h"
#include "platform/picture/picture.h"
#include "platform/whole_file.h"

namespace lumen::catalogue {
namespace {

bool KeptInUri(unsigned char c) {
  // Unreserved characters, sub-delimiters, ":", "@" and "/" stay as they are.
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
         std::string_view("-._~!$&'()*+,;=:@/").find(static_cast<char>(c)) != std::string_view::npos;
}

// Far more than a 128-pixel PNG takes; anything larger is no entry of ours to read.
constexpr uint64_t kMaxEntryBytes = 4 << 20;

QString Path(const std::string& root, const char* folder, const std::string& name) {
  return QString::fromStdString(root + "/" + folder + "/" + name);
}

// Private to the user (0600 in a 0700 folder), as the standard asks; the folder is made
// when the first write finds it missing. Not synced: a lost entry is made again.
bool WriteEntry(const std::string& bytes, const QString& path) {
  const std::string file = path.toStdString();
  if (platform::PublishFile(file, bytes, 0600)) return true;
  const QString folder = QFileInfo(path).path();
  if (!QDir().mkpath(folder)) return false;
  QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  return platform::PublishFile(file, bytes, 0600);
}

// Nothing when there is no such entry (the usual case for a new folder). Our own entries,
// and most of other programs', are read directly; the rest through Qt's PNG reader, whose
// size is checked before it decodes.
std::optional<PngPicture> ReadEntry(const QString& path) {
  platform::FileContents file = platform::ReadWholeFile(path.toStdString(), kMaxEntryBytes);
  if (file.status != platform::FileContents::Status::Read) return std::nullopt;
  if (auto plain = DecodePlainPng(file.bytes, kNormalThumbnailSize)) return plain;
  if (platform::picture::PngChunksRunPastTheEnd(file.bytes)) return std::nullopt;
  QByteArray bytes = QByteArray::fromRawData(file.bytes.data(), static_cast<qsizetype>(file.bytes.size()));
  QBuffer buffer(&bytes);
  QImageReader reader(&buffer, "PNG");
  const QSize size = reader.size();
  if (!size.isValid() || size.width() > kNormalThumbnailSize || size.height() > kNormalThumbnailSize) return std::nullopt;
  QImage image;
  if (!reader.read(&image)) return std::nullopt;
  PngPicture picture;
  picture.alpha = image.hasAlphaChannel();
  image = image.convertToFormat(QImage::Format_ARGB32);
  picture.image = platform::gdi::Surface(image.width(), image.height());
  for (int y = 0; y < image.height(); ++y) {
    std::memcpy(picture.image.Row(y), image.constScanLine(y), static_cast<size_t>(image.width()) * 4);
  }
  // QImageReader::text() splits keys at their first ':', so the keys are read from the image.
  for (const QString& key : image.textKeys()) picture.texts.emplace_back(key.toStdString(), image.text(key).toStdString());
  return picture;
}

PngTexts EntryTexts(const std::string& absolutePath, int64_t mtime, int64_t size) {
  return {{"Thumb::URI", ThumbnailCache::Uri(absolutePath)},
          {"Thumb::MTime", std::to_string(mtime)},
          {"Thumb::Size", std::to_string(size)}};
}

}  // namespace

ThumbnailCache ThumbnailCache::ForUser() {
  if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache != nullptr && *cache == '/') {
    return ThumbnailCache(std::string(cache) + "/thumbnails");
  }
  const char* home = std::getenv("HOME");
  return ThumbnailCache(std::string(home ? home : "/tmp") + "/.cache/thumbnails");
}

std::string ThumbnailCache::Uri(const std::string& absolutePath) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string uri = "file://";
  for (unsigned char c : absolutePath) {
    if (KeptInUri(c)) {
      uri += static_cast<char>(c);
    } else {
      uri += '%';
      uri += kHex[c >> 4];
      uri += kHex[c & 0xF];
    }
  }
  return uri;
}

std::string ThumbnailCache::FileName(const std::string& absolutePath) {
  const std::string uri = Uri(absolutePath);
  return QCryptographicHash::hash(QByteArray(uri.data(), static_cast<qsizetype>(uri.size())), QCryptographicHash::Md5)
             .toHex()
             .toStdString() +
         ".png";
}

namespace {

// The entry of this file as it was when the entry was made: the URI, the same modification
// time and, where the entry records one (other programs may not), the same size; a picture
// replaced by another within the same second differs in size.
bool Describes(const PngPicture& entry, const std::string& absolutePath, int64_t mtime, int64_t size) {
  const std::string* uri = entry.Text("Thumb::URI");
  const std::string* recordedTime = entry.Text("Thumb::MTime");
  if (uri == nullptr || *uri != ThumbnailCache::Uri(absolutePath)) return false;
  if (recordedTime == nullptr || std::strtoll(recordedTime->c_str(), nullptr, 10) != mtime) return false;
  const std::string* recordedSize = entry.Text("Thumb::Size");
  return recordedSize == nullptr || recordedSize->empty() || std::strtoll(recordedSize->c_str(), nullptr, 10) == size;
}

int TextNumber(const PngPicture& entry, std::string_view key) {
  const std::string* text = entry.Text(key);
  return text == nullptr ? 0 : std::atoi(text->c_str());
}

}  // namespace

std::optional<CachedThumbnail> ThumbnailCache::Lookup(const std::string& absolutePath, int64_t mtime,
                                                      int64_t size) const {
  std::optional<PngPicture> entry = ReadEntry(Path(root_, "normal", FileName(absolutePath)));
  if (!entry || !Describes(*entry, absolutePath, mtime, size)) return std::nullopt;
  CachedThumbnail cached;
  cached.width = TextNumber(*entry, "Thumb::Image::Width");
  cached.height = TextNumber(*entry, "Thumb::Image::Height");
  cached.image = std::move(entry->image);
  if (!entry->alpha) return cached;  // ours, and most others: nothing to blend
  // Thumbnails may carry alpha; the list shows them on white, as the original would be.
  for (int y = 0; y < cached.image.Height(); ++y) {
    uint32_t* row = cached.image.Row(y);
    for (int x = 0; x < cached.image.Width(); ++x) {
      const uint32_t p = row[x], a = p >> 24;
      auto blend = [&](int shift) { return (((p >> shift) & 0xFF) * a + 255 * (255 - a) + 127) / 255 << shift; };
      row[x] = 0xFF000000u | blend(16) | blend(8) | blend(0);
    }
  }
  return cached;
}

bool ThumbnailCache::HasFailure(const std::string& absolutePath, int64_t mtime, int64_t size) const {
  std::optional<PngPicture> mark = ReadEntry(Path(root_, "fail/lumenshow", FileName(absolutePath)));
  return mark && Describes(*mark, absolutePath, mtime, size);
}

void ThumbnailCache::Store(const std::string& absolutePath, int64_t mtime, int64_t size,
                           const CachedThumbnail& thumbnail) const {
  if (thumbnail.image.Empty()) return;
  PngTexts texts = EntryTexts(absolutePath, mtime, size);
  texts.emplace_back("Thumb::Image::Width", std::to_string(thumbnail.width));
  texts.emplace_back("Thumb::Image::Height", std::to_string(thumbnail.height));
  texts.emplace_back("Software", "LumenShow");
  WriteEntry(EncodePng(thumbnail.image, false, texts), Path(root_, "normal", FileName(absolutePath)));
}

void ThumbnailCache::StoreFailure(const std::string& absolutePath, int64_t mtime, int64_t size) const {
  const uint32_t seeThrough = 0;  // one pixel, as other programs' marks are
  PngTexts texts = EntryTexts(absolutePath, mtime, size);
  texts.emplace_back("Software", "LumenShow");
  WriteEntry(EncodePng(&seeThrough, 1, 1, 1, true, texts), Path(root_, "fail/lumenshow", FileName(absolutePath)));
}

}  // namespace lumen::catalogue

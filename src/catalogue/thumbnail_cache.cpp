#include "catalogue/thumbnail_cache.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QImage>
#include <QFileInfo>
#include <cstdlib>

#include "platform/gdi/qt_image.h"
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
bool WritePng(const QImage& image, const QString& path) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  // Quality 80 is zlib level 1: most of the size saving for a fraction of the time.
  if (!image.save(&buffer, "PNG", 80)) return false;
  const std::string file = path.toStdString();
  const std::string_view data(bytes.constData(), static_cast<size_t>(bytes.size()));
  if (platform::PublishFile(file, data, 0600)) return true;
  const QString folder = QFileInfo(path).path();
  if (!QDir().mkpath(folder)) return false;
  QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  return platform::PublishFile(file, data, 0600);
}

// Null when there is no such entry (the usual case for a new folder: no decoder is set up
// for it). QImageReader::text() splits keys at their first ':', so the keys are read from
// the decoded image.
QImage ReadPng(const QString& path) {
  platform::FileContents file = platform::ReadWholeFile(path.toStdString(), kMaxEntryBytes);
  if (file.status != platform::FileContents::Status::Read) return {};
  return QImage::fromData(reinterpret_cast<const uchar*>(file.bytes.data()), static_cast<int>(file.bytes.size()), "PNG");
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

// The file as it was when the entry was made: the same modification time and, where the
// entry records one (other programs may not), the same size; a picture replaced by
// another within the same second differs in size.
bool SameFile(const QImage& entry, int64_t mtime, int64_t size) {
  if (entry.text("Thumb::MTime").toLongLong() != mtime) return false;
  const QString recorded = entry.text("Thumb::Size");
  return recorded.isEmpty() || recorded.toLongLong() == size;
}

}  // namespace

std::optional<CachedThumbnail> ThumbnailCache::Lookup(const std::string& absolutePath, int64_t mtime,
                                                      int64_t size) const {
  QImage image = ReadPng(Path(root_, "normal", FileName(absolutePath)));
  if (image.text("Thumb::URI").toStdString() != Uri(absolutePath)) return std::nullopt;
  if (!SameFile(image, mtime, size)) return std::nullopt;  // stale
  if (image.width() > kNormalThumbnailSize || image.height() > kNormalThumbnailSize) {
    return std::nullopt;
  }
  // Thumbnails may carry alpha; the list shows them on white, as the original would be.
  const int width = image.text("Thumb::Image::Width").toInt(), height = image.text("Thumb::Image::Height").toInt();
  CachedThumbnail cached;
  cached.width = width;
  cached.height = height;
  if (!image.hasAlphaChannel()) {  // ours, and most others: nothing to blend
    cached.image = platform::gdi::FromQImage(image);
    return cached;
  }
  image = image.convertToFormat(QImage::Format_ARGB32);
  cached.image = platform::gdi::Surface(image.width(), image.height());
  for (int y = 0; y < image.height(); ++y) {
    const auto* from = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
    uint32_t* to = cached.image.Row(y);
    for (int x = 0; x < image.width(); ++x) {
      const uint32_t p = from[x], a = p >> 24;
      auto blend = [&](int shift) { return (((p >> shift) & 0xFF) * a + 255 * (255 - a) + 127) / 255 << shift; };
      to[x] = 0xFF000000u | blend(16) | blend(8) | blend(0);
    }
  }
  return cached;
}

bool ThumbnailCache::HasFailure(const std::string& absolutePath, int64_t mtime, int64_t size) const {
  QImage mark = ReadPng(Path(root_, "fail/lumenshow", FileName(absolutePath)));
  return mark.text("Thumb::URI").toStdString() == Uri(absolutePath) && SameFile(mark, mtime, size);
}

void ThumbnailCache::Store(const std::string& absolutePath, int64_t mtime, int64_t size,
                           const CachedThumbnail& thumbnail) const {
  const auto& s = thumbnail.image;
  if (s.Empty()) return;
  QImage image = platform::gdi::ToQImage(s);
  image.setText("Thumb::URI", QString::fromStdString(Uri(absolutePath)));
  image.setText("Thumb::MTime", QString::number(mtime));
  image.setText("Thumb::Size", QString::number(size));
  image.setText("Thumb::Image::Width", QString::number(thumbnail.width));
  image.setText("Thumb::Image::Height", QString::number(thumbnail.height));
  image.setText("Software", "LumenShow");
  WritePng(image, Path(root_, "normal", FileName(absolutePath)));
}

void ThumbnailCache::StoreFailure(const std::string& absolutePath, int64_t mtime, int64_t size) const {
  QImage mark(1, 1, QImage::Format_ARGB32);
  mark.fill(Qt::transparent);
  mark.setText("Thumb::URI", QString::fromStdString(Uri(absolutePath)));
  mark.setText("Thumb::MTime", QString::number(mtime));
  mark.setText("Thumb::Size", QString::number(size));
  mark.setText("Software", "LumenShow");
  WritePng(mark, Path(root_, "fail/lumenshow", FileName(absolutePath)));
}

}  // namespace lumen::catalogue

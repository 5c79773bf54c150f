// The shared thumbnail cache of the freedesktop.org Thumbnail Managing Standard, read and
// written as file managers do: $XDG_CACHE_HOME/thumbnails (~/.cache/thumbnails), "normal"
// PNGs of at most 128 x 128 named by the MD5 of the file's URI, valid while their
// Thumb::MTime and Thumb::Size are the file's; failures recorded under fail/lumenshow/.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/gdi/surface.h"

namespace lumen::catalogue {

inline constexpr int kNormalThumbnailSize = 128;

struct CachedThumbnail {
  platform::gdi::Surface image;  // at most 128 x 128, upright
  int width = 0, height = 0;     // the picture's own size (Thumb::Image::Width/Height), when known
};

class ThumbnailCache {
 public:
  // root: the "thumbnails" folder.
  explicit ThumbnailCache(std::string root) : root_(std::move(root)) {}
  // $XDG_CACHE_HOME/thumbnails, or $HOME/.cache/thumbnails.
  static ThumbnailCache ForUser();

  // file:// URI of an absolute path, escaped as GLib escapes it.
  static std::string Uri(const std::string& absolutePath);
  static std::string FileName(const std::string& absolutePath);  // MD5 hex of the URI + ".png"

  // The thumbnail of the file as it is now (same modification time and size), if any.
  std::optional<CachedThumbnail> Lookup(const std::string& absolutePath, int64_t mtime, int64_t size) const;
  bool HasFailure(const std::string& absolutePath, int64_t mtime, int64_t size) const;
  // Written atomically (a temporary file renamed into place), private to the user.
  void Store(const std::string& absolutePath, int64_t mtime, int64_t size, const CachedThumbnail& thumbnail) const;
  void StoreFailure(const std::string& absolutePath, int64_t mtime, int64_t size) const;

  const std::string& Root() const { return root_; }

 private:
  std::string root_;
};

}  // namespace lumen::catalogue

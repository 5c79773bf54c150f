// The thumbnails of a list fill, made on a small pool of worker threads and handed out
// strictly in list order. Destroying the batch abandons it: the workers stop after the
// file each is on.
#pragma once

#include <QImage>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "catalogue/lumen_thumb.h"
#include "catalogue/thumbnail_cache.h"

namespace lumen::catalogue {

class ThumbnailBatch {
 public:
  struct Made {
    size_t index = 0;
    QImage icon;  // made on the worker, so the window's thread only places it; null: not decodable
  };

  // workers 0: as many as the machine has cores.
  ThumbnailBatch(std::vector<std::string> paths, int box, COLORREF background, ThumbnailCache* cache,
                 unsigned workers = 0);
  ~ThumbnailBatch();
  ThumbnailBatch(const ThumbnailBatch&) = delete;
  ThumbnailBatch& operator=(const ThumbnailBatch&) = delete;

  size_t Count() const { return paths_.size(); }
  bool Finished() const { return next_ >= paths_.size(); }
  // The next thumbnail in order, waiting up to `timeout` for it; false when it is not
  // ready by then or every one has been taken.
  bool TakeNext(Made& out, std::chrono::milliseconds timeout);

 private:
  void Work();
  QImage Make(size_t index) const;  // the thumbnail; null when it fails

  const std::vector<std::string> paths_;
  const int box_;
  const COLORREF background_;
  ThumbnailCache* cache_;

  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<QImage> icons_;
  std::vector<char> done_;
  size_t next_ = 0;                 // the next result to hand out
  std::atomic<size_t> claimed_{0};  // the next file a worker takes
  std::atomic<bool> abandoned_{false};
  std::vector<std::thread> workers_;
};

}  // namespace lumen::catalogue

#include "catalogue/thumbnail_batch.h"

#include "platform/gdi/qt_image.h"
#include "platform/guarded.h"

namespace lumen::catalogue {
namespace {

// Workers run at most this far ahead of the list, so a huge folder does not pile up.
constexpr size_t kReadAhead = 256;

}  // namespace

ThumbnailBatch::ThumbnailBatch(std::vector<std::string> paths, int box, COLORREF background, ThumbnailCache* cache,
                               unsigned workers)
    : paths_(std::move(paths)),
      box_(box),
      background_(background),
      cache_(cache),
      icons_(paths_.size()),
      done_(paths_.size(), 0) {
  if (workers == 0) workers = std::max(1u, std::thread::hardware_concurrency());
  workers = std::min<unsigned>(workers, static_cast<unsigned>(std::max<size_t>(1, paths_.size())));
  for (unsigned i = 0; i < workers && !paths_.empty(); ++i) {
    auto worker = platform::TryStartThread(&ThumbnailBatch::Work, this);
    if (!worker) break;  // fewer workers; with none, TakeNext makes each one itself
    workers_.push_back(std::move(*worker));
  }
}

ThumbnailBatch::~ThumbnailBatch() {
  abandoned_ = true;
  changed_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

void ThumbnailBatch::Work() {
  while (!abandoned_) {
    const size_t index = claimed_.fetch_add(1);
    if (index >= paths_.size()) return;
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [&] { return abandoned_ || index < next_ + kReadAhead; });
      if (abandoned_) return;
    }
    QImage icon = Make(index);
    {
      std::lock_guard lock(mutex_);
      icons_[index] = std::move(icon);
      done_[index] = 1;
    }
    changed_.notify_all();
  }
}

QImage ThumbnailBatch::Make(size_t index) const {
  int width = box_, height = box_;
  return platform::Guarded("thumbnail of " + paths_[index],
                           [&] {
                             const auto picture =
                                 LoadPictureScaled(paths_[index], width, height, background_, true, cache_);
                             return picture ? platform::gdi::ToQImage(**picture) : QImage();
                           })
      .value_or(QImage());
}

bool ThumbnailBatch::TakeNext(Made& out, std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  if (next_ >= paths_.size()) return false;
  if (workers_.empty()) {
    out.index = next_;
    out.icon = Make(next_++);
    return true;
  }
  if (!changed_.wait_for(lock, timeout, [&] { return done_[next_] != 0; })) return false;
  out.index = next_;
  out.icon = std::move(icons_[next_]);
  ++next_;
  lock.unlock();
  changed_.notify_all();  // a worker waiting on the read-ahead limit may go on
  return true;
}

}  // namespace lumen::catalogue

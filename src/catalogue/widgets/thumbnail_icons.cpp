#include "catalogue/widgets/thumbnail_icons.h"

#include <QMetaObject>

#include "platform/guarded.h"

namespace lumen::catalogue {

ThumbnailIcons::ThumbnailIcons(QObject* parent, size_t budget)
    : QObject(parent), budget_(std::max<size_t>(budget, 1)), blank_(40, 40, QImage::Format_RGB32) {
  blank_.fill(Qt::white);
  // Without a thread of its own the icons stay blank: the list still works.
  if (auto thread = platform::TryStartThread(&ThumbnailIcons::Load, this)) loaderThread_ = std::move(*thread);
}

ThumbnailIcons::~ThumbnailIcons() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wanted_.notify_all();
  if (loaderThread_.joinable()) loaderThread_.join();
}

void ThumbnailIcons::Reset(std::vector<std::string> paths, Loader loader) {
  {
    std::lock_guard lock(mutex_);
    queue_.clear();
    loader_ = std::move(loader);
    ++generation_;
  }
  slots_.assign(paths.size(), Slot{});
  paths_ = std::move(paths);
  lru_.clear();
}

void ThumbnailIcons::Keep(int row) {
  Slot& slot = slots_[static_cast<size_t>(row)];
  if (slot.kept) lru_.erase(slot.recent);
  lru_.push_front(row);
  slot.recent = lru_.begin();
  slot.kept = true;
  while (lru_.size() > budget_) {
    Slot& oldest = slots_[static_cast<size_t>(lru_.back())];
    oldest.image = QImage();
    oldest.kept = false;
    lru_.pop_back();
  }
}

void ThumbnailIcons::Put(int row, QImage icon) {
  if (row < 0 || static_cast<size_t>(row) >= slots_.size()) return;
  Slot& slot = slots_[static_cast<size_t>(row)];
  slot.filled = true;
  slot.loading = false;
  slot.blank = icon.isNull();
  if (slot.blank) return;
  slot.image = std::move(icon);
  Keep(row);
}

const QImage* ThumbnailIcons::Get(int row) {
  if (row < 0 || static_cast<size_t>(row) >= slots_.size()) return nullptr;
  Slot& slot = slots_[static_cast<size_t>(row)];
  if (slot.blank) return &blank_;
  if (slot.kept) {
    Keep(row);
    return &slot.image;
  }
  if (slot.filled && !slot.loading) {
    slot.loading = true;
    {
      std::lock_guard lock(mutex_);
      queue_.emplace_front(row, paths_[static_cast<size_t>(row)]);  // the latest wish first
    }
    wanted_.notify_one();
  }
  return nullptr;
}

void ThumbnailIcons::Load() {
  std::unique_lock lock(mutex_);
  while (true) {
    wanted_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
    if (stopping_) return;
    // Named copies, not structured bindings: lambdas below capture them (clang 14 cannot).
    const int row = queue_.front().first;
    const std::string path = queue_.front().second;
    queue_.pop_front();
    const unsigned generation = generation_;
    const Loader loader = loader_;
    lock.unlock();
    QImage icon = loader ? platform::Guarded("thumbnail of " + path, [&] { return loader(path); }).value_or(QImage())
                         : QImage();
    // Back on the window's thread; an icon of an earlier fill is dropped there.
    QMetaObject::invokeMethod(
        this,
        [this, row, generation, icon = std::move(icon)]() mutable {
          {
            std::lock_guard guard(mutex_);
            if (generation != generation_) return;
          }
          if (icon.isNull()) icon = blank_;
          Put(row, std::move(icon));
          if (IconReturned) IconReturned();
        },
        Qt::QueuedConnection);
    lock.lock();
  }
}

}  // namespace lumen::catalogue

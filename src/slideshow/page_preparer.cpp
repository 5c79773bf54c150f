#include "slideshow/page_preparer.h"

#include <algorithm>

#include "platform/guarded.h"

namespace lumen::slideshow {

PagePreparer::PagePreparer(const PageBox& page, int workers, int partsWhenWaiting)
    : page_(page),
      partsWhenWaiting_(partsWhenWaiting > 0 ? partsWhenWaiting
                                             : static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 4u))) {
  for (int i = 0; i < workers; ++i) {
    auto worker = platform::TryStartThread(&PagePreparer::Work, this);
    if (!worker) break;  // fewer ahead; with none, Get fits each picture itself
    workers_.push_back(std::move(*worker));
  }
}

PagePreparer::~PagePreparer() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

std::shared_ptr<const FittedPicture> PagePreparer::Get(const std::string& path) {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return working_.count(path) == 0; });
  auto found = entries_.find(path);
  if (found != entries_.end() && found->second.ready) return found->second.fitted;
  queue_.erase(std::remove(queue_.begin(), queue_.end(), path), queue_.end());
  lock.unlock();
  // The turn waits for it: every core decodes a band where the file allows (the workers,
  // if any, are idle or busy with pictures the turn does not need).
  auto fitted = Fit(path, partsWhenWaiting_);
  lock.lock();
  entries_[path] = Entry{true, fitted};
  return fitted;
}

void PagePreparer::Prepare(const std::vector<std::string>& paths) {
  {
    std::lock_guard lock(mutex_);
    for (auto it = entries_.begin(); it != entries_.end();) {
      bool keep = std::find(paths.begin(), paths.end(), it->first) != paths.end();
      it = keep ? std::next(it) : entries_.erase(it);
    }
    queue_.clear();
    if (workers_.empty()) return;
    for (const std::string& path : paths) {
      if (!path.empty() && entries_.count(path) == 0 && working_.count(path) == 0 &&
          std::find(queue_.begin(), queue_.end(), path) == queue_.end()) {
        queue_.push_back(path);
      }
    }
  }
  changed_.notify_all();
}

void PagePreparer::WaitUntilIdle() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return queue_.empty() && working_.empty(); });
}

std::shared_ptr<const FittedPicture> PagePreparer::Fit(const std::string& path, int parts) const {
  return platform::Guarded("cannot show " + path, [&] { return RenderFitted(path, page_, parts); }).value_or(nullptr);
}

void PagePreparer::Work() {
  std::unique_lock lock(mutex_);
  while (true) {
    changed_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
    if (stopping_) return;
    const std::string path = queue_.front();
    queue_.pop_front();
    working_.insert(path);
    lock.unlock();
    auto fitted = Fit(path, 1);
    lock.lock();
    entries_[path] = Entry{true, fitted};
    working_.erase(path);
    changed_.notify_all();
  }
}

}  // namespace lumen::slideshow

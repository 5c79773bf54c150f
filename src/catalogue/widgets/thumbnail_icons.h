// The thumbnails of the thumbnail view, kept within a budget: a folder of 100,000 pictures
// would otherwise hold 100,000 icons. The least recently drawn ones are dropped and read
// back when the view needs them again — from the thumbnail cache, on a thread of their own,
// so scrolling never waits.
#pragma once

#include <QImage>
#include <QObject>
#include <condition_variable>
#include <deque>
#include <functional>
#include <list>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace lumen::catalogue {

class ThumbnailIcons : public QObject {
 public:
  // Makes a picture's icon again (on the loader's thread); a null image when it cannot.
  using Loader = std::function<QImage(const std::string& path)>;

  explicit ThumbnailIcons(QObject* parent, size_t budget = 4096);
  ~ThumbnailIcons() override;

  // A new fill of these paths (row i is paths[i]); the icons of the last one are gone.
  void Reset(std::vector<std::string> paths, Loader loader);
  // The fill's icon of a row; a null image marks a picture that cannot be decoded (shown
  // blank, never read back).
  void Put(int row, QImage icon);
  // The icon to draw; null while it is being read back (or before the fill reached it).
  const QImage* Get(int row);
  size_t Kept() const { return lru_.size(); }

  std::function<void()> IconReturned;  // a dropped icon is back: the view repaints

 private:
  struct Slot {
    QImage image;
    bool filled = false, blank = false, loading = false, kept = false;
    std::list<int>::iterator recent;
  };
  void Keep(int row);
  void Load();

  const size_t budget_;
  std::vector<std::string> paths_;
  std::vector<Slot> slots_;
  std::list<int> lru_;  // kept rows, most recently drawn first
  QImage blank_;

  std::mutex mutex_;
  std::condition_variable wanted_;
  std::deque<std::pair<int, std::string>> queue_;
  Loader loader_;
  unsigned generation_ = 0;  // which fill the queue belongs to
  bool stopping_ = false;
  std::thread loaderThread_;
};

}  // namespace lumen::catalogue

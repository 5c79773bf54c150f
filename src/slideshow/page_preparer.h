// Fitted pictures, prepared ahead on a thread of their own: while a page stands, the
// pictures a turn either way would need are loaded and fitted, so that the turn's first
// frame follows the key at once. What a turn shows does not depend on it: a picture not
// prepared yet is fitted on the spot, and a failed load is remembered as one.
#pragma once

#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "slideshow/fit_picture.h"

namespace lumen::slideshow {

class PagePreparer {
 public:
  // background false: nothing is prepared ahead (Prepare only records what to keep).
  PagePreparer(const PageBox& page, bool background);
  ~PagePreparer();
  PagePreparer(const PagePreparer&) = delete;
  PagePreparer& operator=(const PagePreparer&) = delete;

  // The fitted picture, null when it cannot be loaded. Waits for one being prepared.
  std::shared_ptr<const FittedPicture> Get(const std::string& path);
  // Keeps these (in this order of urgency) and forgets all others.
  void Prepare(const std::vector<std::string>& paths);
  // Returns when nothing is left to prepare.
  void WaitUntilIdle();

 private:
  struct Entry {
    bool ready = false;
    std::shared_ptr<const FittedPicture> fitted;
  };
  void Work();

  const PageBox page_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::map<std::string, Entry> entries_;
  std::deque<std::string> queue_;
  std::string working_;  // the path the worker is fitting, or empty
  bool stopping_ = false;
  std::thread worker_;
};

}  // namespace lumen::slideshow

// Fitted pictures, prepared ahead on threads of their own: while a page stands, the
// pictures the next turns would need are loaded and fitted, so that a turn's first frame
// follows the key at once. What a turn shows does not depend on it: a picture not
// prepared yet is fitted on the spot, and a failed load is remembered as one.
#pragma once

#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "slideshow/fit_picture.h"

namespace lumen::slideshow {

class PagePreparer {
 public:
  // workers 0: nothing is prepared ahead (Prepare only records what to keep).
  // partsWhenWaiting: how many threads decode a picture Get waits for; 0: one per core,
  // at most four.
  PagePreparer(const PageBox& page, int workers, int partsWhenWaiting = 0);
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
  // The fitted picture; null when it cannot be loaded (or the system refused memory).
  std::shared_ptr<const FittedPicture> Fit(const std::string& path, int parts) const;

  const PageBox page_;
  const int partsWhenWaiting_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::map<std::string, Entry> entries_;
  std::deque<std::string> queue_;
  std::set<std::string> working_;  // the paths the workers are fitting
  bool stopping_ = false;
  std::vector<std::thread> workers_;
};

}  // namespace lumen::slideshow

#include "mainwindow/show_order.h"

#include <algorithm>
#include <cmath>

namespace lumen::mainwindow {

namespace {

// The pictures not drawn yet, counted in a Fenwick tree, so that the r-th of them is found
// in O(log n) steps instead of a walk over all n: the same picture, far sooner.
class UnusedPictures {
 public:
  explicit UnusedPictures(int32_t count) : tree_(static_cast<size_t>(count) + 1, 0), count_(count) {
    for (int32_t i = 1; i <= count; ++i) {
      tree_[i] += 1;
      const int32_t parent = i + (i & -i);
      if (parent <= count) tree_[parent] += tree_[i];
    }
    while (top_ * 2 <= count_) top_ *= 2;
  }

  // The r-th unused picture (1 <= r <= the number unused), marked used.
  int32_t TakeNth(int32_t r) {
    int32_t at = 0;
    for (int32_t step = top_; step > 0; step /= 2) {
      if (at + step <= count_ && tree_[at + step] < r) {
        at += step;
        r -= tree_[at];
      }
    }
    const int32_t picture = at + 1;
    for (int32_t i = picture; i <= count_; i += i & -i) --tree_[i];
    return picture;
  }

 private:
  std::vector<int32_t> tree_;
  int32_t count_;
  int32_t top_ = 1;
};

}  // namespace

void Syori_SEQ(settings::ShowData& data, settings::Order showOrder, ShuffleRandom& random) {
  const int32_t count = data.ImageCount;
  if (showOrder == settings::Order::Sequential) {
    for (int32_t i = 1; i <= count; ++i) data.SlideOrder[i] = i;
    return;
  }
  UnusedPictures unused(count);
  int32_t k = 0;
  for (int32_t n = count; n > 0; --n) {
    random.Reseed();
    // u < 1, but u * n can still round up to n in double; keep r within 1..n.
    const int32_t r = std::min(static_cast<int32_t>(std::floor(random.Uniform() * n)) + 1, n);
    data.SlideOrder[++k] = unused.TakeNth(r);
  }
}

void BuildShowData(settings::ShowData& data, const std::string& imageFolder, const std::vector<std::string>& fileList,
                   settings::Order showOrder, ShuffleRandom& random) {
  data.ImageCount = static_cast<int32_t>(fileList.size());
  data.ImagePaths.assign(fileList.size() + 1, std::string());
  for (size_t p = 0; p < fileList.size(); ++p) {
    data.ImagePaths[p + 1] = imageFolder + "/" + fileList[p];
  }
  data.SlideOrder.assign(fileList.size() + 1, 0);
  Syori_SEQ(data, showOrder, random);
}

}  // namespace lumen::mainwindow

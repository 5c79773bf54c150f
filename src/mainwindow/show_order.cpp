#include "mainwindow/show_order.h"

#include <algorithm>
#include <cmath>

namespace lumen::mainwindow {

void Syori_SEQ(settings::ShowData& data, int16_t showOrder, ShuffleRandom& random) {
  const int32_t count = data.ImageCount;
  if (showOrder == 0) {
    for (int32_t i = 1; i <= count; ++i) data.SlideOrder[i] = i;
    return;
  }
  std::vector<char> used(static_cast<size_t>(count) + 1, 0);
  int32_t k = 0;
  for (int32_t n = count; n > 0; --n) {
    random.Reseed();
    // u < 1, but u * n can still round up to n in double; keep r within 1..n.
    int32_t r = std::min(static_cast<int32_t>(std::floor(random.Uniform() * n)) + 1, n);
    for (int32_t j = 1; j <= count; ++j) {
      if (used[j] == 0 && --r == 0) {
        used[j] = 1;
        data.SlideOrder[++k] = j;
        break;
      }
    }
  }
}

void BuildShowData(settings::ShowData& data, const std::string& imageFolder,
                   const std::vector<std::string>& fileList, int16_t showOrder,
                   ShuffleRandom& random) {
  data.ImageCount = static_cast<int32_t>(fileList.size());
  data.ImagePaths.assign(fileList.size() + 1, std::string());
  for (size_t p = 0; p < fileList.size(); ++p) {
    data.ImagePaths[p + 1] = imageFolder + "/" + fileList[p];
  }
  data.SlideOrder.assign(fileList.size() + 1, 0);
  Syori_SEQ(data, showOrder, random);
}

}  // namespace lumen::mainwindow

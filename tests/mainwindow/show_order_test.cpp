#include "mainwindow/show_order.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <set>

#include "mainwindow/picture_list.h"
#include "support/temp_folder.h"

namespace lumen::mainwindow {
namespace {

using settings::ShowData;

ShowData Build(const std::string& folder, const std::vector<std::string>& names, int16_t order,
               ShuffleRandom& random) {
  ShowData data;
  BuildShowData(data, folder, names, static_cast<settings::Order>(order), random);
  return data;
}

TEST(PictureList, TakesThePicturesOfTheOneFolderSortedWithoutRegardToCase) {
  test::TempFolder folder;
  for (const char* name : {"b.JPG", "a.jpg", "c.bmp", "photo.png", "photo.gif", "A.jpg", "d.jpeg", "e.Bmp",
                           ".hidden.jpg", "_first.jpg", "f.JPE", "g.jfif", "h.webp", "i.tif", "j.TIFF", "k.HEIC",
                           "l.heif", "m.Avif", "notes.txt", "clip.mp4", "photo.jpeg.txt", "jpg", "raw.cr2"}) {
    test::WriteBytes(folder / name, "x");
  }
  std::filesystem::create_directory(folder / "x.jpg");
  std::filesystem::create_directory(folder / "sub");
  test::WriteBytes(folder / "sub/z.jpg", "x");

  // Letters compare as lower case, so "_" (0x5F) comes before them; A.jpg and a.jpg tie
  // and go by their bytes.
  EXPECT_EQ(ListPictureFiles(folder.path()),
            (std::vector<std::string>{"_first.jpg", "A.jpg", "a.jpg", "b.JPG", "c.bmp", "d.jpeg", "e.Bmp", "f.JPE",
                                      "g.jfif", "h.webp", "i.tif", "j.TIFF", "k.HEIC", "l.heif", "m.Avif", "photo.gif",
                                      "photo.png"}));
  EXPECT_EQ(ListPictureFiles(folder / "sub"), std::vector<std::string>{"z.jpg"});
  EXPECT_EQ(ListPictureFiles(folder / "none"), std::nullopt);
}

TEST(ShowStart, SequentialOrderAndPathsWithTheSeparatorAlwaysAdded) {
  ShuffleRandom random;
  ShowData data = Build("/pics", {"a.jpg", "b.JPG", "c.bmp"}, 0, random);
  EXPECT_EQ(data.ImageCount, 3);
  EXPECT_EQ(data.ImagePaths, (std::vector<std::string>{"", "/pics/a.jpg", "/pics/b.JPG", "/pics/c.bmp"}));
  EXPECT_EQ(data.SlideOrder, (std::vector<int32_t>{0, 1, 2, 3}));

  // A folder text that already ends in "/" (the root) still gets one.
  EXPECT_EQ(Build("/", {"a.jpg"}, 0, random).ImagePaths[1], "//a.jpg");
  for (int16_t order : {0, 1}) {
    EXPECT_EQ(Build("/p", {"a.jpg"}, order, random).SlideOrder, (std::vector<int32_t>{0, 1}));
    ShowData empty = Build("/p", {}, order, random);
    EXPECT_EQ(empty.ImageCount, 0);
    EXPECT_EQ(empty.ImagePaths.size(), 1u);
    EXPECT_EQ(empty.SlideOrder, std::vector<int32_t>{0});
  }
}

TEST(ShowStart, ShuffledOrderIsAUniformPermutationAtEveryStart) {
  ShuffleRandom random;
  for (size_t n : {2, 25, 1000}) {
    std::vector<std::string> names(n, "p.jpg");
    for (int start = 0; start < 20; ++start) {
      std::vector<int32_t> order = Build("/p", names, 1, random).SlideOrder;
      std::sort(order.begin() + 1, order.end());
      for (size_t i = 0; i <= n; ++i) ASSERT_EQ(order[i], static_cast<int32_t>(i)) << "n " << n;
    }
  }
  // All six orders of three pictures come about equally often: 1000 each, 150 is 5 sigma.
  std::map<std::vector<int32_t>, int> counts;
  for (int i = 0; i < 6000; ++i) ++counts[Build("/p", {"a", "b", "c"}, 1, random).SlideOrder];
  EXPECT_EQ(counts.size(), 6u);
  for (const auto& [order, count] : counts) EXPECT_NEAR(count, 1000, 150);
}

TEST(ShowStart, TheShuffledOrderOfASeedNeverChanges) {
  // Recorded from the first implementation (the linear walk): FNV-1a over the order, and
  // entries 1, 2, 3, n - 1 and n.
  struct Recorded {
    int n;
    uint64_t seed, hash;
    std::array<int32_t, 5> some;
  };
  const Recorded recorded[] = {
      {1000, 1ULL, 0x2e86aad2f594e7f7ULL, {35, 915, 876, 568, 422}},
      {1000, 12345ULL, 0xc69754ca6f493a6bULL, {478, 78, 171, 500, 540}},
      {1000, 18446744073709551615ULL, 0x15956284672214cbULL, {180, 647, 985, 746, 46}},
      {3000, 1ULL, 0x4c8f2e5e6110ce27ULL, {103, 2743, 2630, 1079, 1235}},
      {3000, 12345ULL, 0x50e304fa0f522853ULL, {1434, 235, 509, 1423, 2462}},
      {3000, 18446744073709551615ULL, 0x2f9118e84c796fbdULL, {538, 1939, 2954, 1739, 2800}},
  };
  for (const Recorded& r : recorded) {
    SCOPED_TRACE("n " + std::to_string(r.n) + ", seed " + std::to_string(r.seed));
    ShuffleRandom random = ShuffleRandom::WithFixedSeed(r.seed);
    const std::vector<int32_t> order = Build("/p", std::vector<std::string>(r.n, "p.jpg"), 1, random).SlideOrder;
    uint64_t hash = 1469598103934665603ULL;
    for (int i = 1; i <= r.n; ++i) hash = (hash ^ static_cast<uint32_t>(order[i])) * 1099511628211ULL;
    EXPECT_EQ(hash, r.hash);
    EXPECT_EQ((std::array<int32_t, 5>{order[1], order[2], order[3], order[r.n - 1], order[r.n]}), r.some);
  }
}

TEST(ShuffleRandom, DrawsDifferWhileTheClockStandsStillAndAFixedSeedRepeats) {
  ShuffleRandom frozen([] { return uint64_t{42}; });
  std::set<double> draws;
  for (int i = 0; i < 100; ++i) {
    frozen.Reseed();
    draws.insert(frozen.Uniform());
  }
  EXPECT_EQ(draws.size(), 100u);

  std::vector<std::string> names(10, "p.jpg");
  auto seeded = [&](uint64_t seed) {
    ShuffleRandom random = ShuffleRandom::WithFixedSeed(seed);
    return Build("/p", names, 1, random).SlideOrder;
  };
  EXPECT_EQ(seeded(7), seeded(7));
  EXPECT_NE(seeded(7), seeded(8));
}

}  // namespace
}  // namespace lumen::mainwindow

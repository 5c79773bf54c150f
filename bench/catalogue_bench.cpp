// The main window's lists over a folder of 100,000 pictures (hard links of one small
// JPEG, made once under /tmp/lumenshow-100k): the details fill, the thumbnail fill from a
// warm cache (made by a first fill into /tmp/lumenshow-100k-cache), the time to the first
// screen of thumbnails, the warm fill against reading every cache entry file, and the
// peak memory. Run: build/bench/catalogue_bench [COUNT]
#include <QApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sys/resource.h>
#include <thread>

#include "catalogue/widgets/catalogue_views.h"
#include "mainwindow/picture_list.h"
#include "photos.h"
#include "platform/whole_file.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
  const std::string folder = "/tmp/lumenshow-100k";
  std::filesystem::create_directories(folder);
  const std::string first = folder + "/IMG_000001.jpg";
  if (!std::filesystem::exists(first)) {
    std::vector<unsigned char> rgb(64 * 48 * 3, 128);
    lumen::bench::WriteJpeg(first, rgb, 64, 48, 80);
  }
  // Hard links share one inode, and a file system allows only so many per inode.
  std::string source = first;
  for (int i = 2; i <= count; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "/IMG_%06d.jpg", i);
    if (std::filesystem::exists(folder + name)) continue;
    std::error_code error;
    std::filesystem::create_hard_link(source, folder + name, error);
    if (error) {
      std::filesystem::copy_file(first, folder + name);
      source = folder + name;
    }
  }

  QElapsedTimer clock;
  clock.start();
  const auto names = lumen::mainwindow::ListPictureFiles(folder);
  const double listed = clock.nsecsElapsed() / 1e9;
  QWidget window;
  window.resize(630, 561);
  lumen::catalogue::CatalogueViews views(&window);
  window.show();
  views.SetFolder(folder, *names);
  QSignalSpy finished(&views, &lumen::catalogue::CatalogueViews::FillFinished);
  clock.restart();
  views.ListView2_Set();
  if (views.Filling()) finished.wait(600000);
  const double details = clock.nsecsElapsed() / 1e9;

  // The thumbnails: once to fill the cache, then from it.
  lumen::catalogue::ThumbnailCache cache("/tmp/lumenshow-100k-cache");
  views.SetThumbnailCache(&cache);
  double firstScreen = 0, thumbnails = 0;
  for (int round = 0; round < 2; ++round) {
    clock.restart();
    views.ListView1_Set();
    while (views.Filling()) {
      if (firstScreen == 0 && round == 1 && views.ListView1()->count() >= 15) firstScreen = clock.nsecsElapsed() / 1e9;
      QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    thumbnails = clock.nsecsElapsed() / 1e9;
    std::printf("thumbnail fill %s: %.3f s\n", round == 0 ? "(filling the cache)" : "from the cache", thumbnails);
  }
  // The warm fill's floor: every entry file read once, on as many threads as the fill has.
  std::vector<std::string> entries;
  for (const std::string& name : *names) {
    entries.push_back(cache.Root() + "/normal/" +
                      lumen::catalogue::ThumbnailCache::FileName(std::filesystem::absolute(folder + "/" + name).string()));
  }
  clock.restart();
  std::atomic<size_t> next{0}, bytes{0};
  std::vector<std::thread> readers;
  for (unsigned t = 0; t < std::max(1u, std::thread::hardware_concurrency()); ++t) {
    readers.emplace_back([&] {
      for (size_t i = next++; i < entries.size(); i = next++) bytes += lumen::platform::ReadWholeFile(entries[i]).bytes.size();
    });
  }
  for (std::thread& reader : readers) reader.join();
  const double floor = clock.nsecsElapsed() / 1e9;
  // The same read as a shell does it, file by file in cat processes: the floor as first measured.
  clock.restart();
  const std::string shell = "find '" + cache.Root() + "/normal' -name '*.png' -print0 | xargs -0 cat > /dev/null";
  const bool catRan = std::system(shell.c_str()) == 0;
  const double catFloor = clock.nsecsElapsed() / 1e9;
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("first screen of thumbnails from the cache: %.3f s (target < 0.5 s); whole fill %.3f s (target < 20 s)\n",
              firstScreen, thumbnails);
  std::printf("reading every entry file (%zu bytes): %.3f s; the warm fill is %.2f times that (target <= 2)\n",
              bytes.load(), floor, thumbnails / floor);
  if (catRan) std::printf("  through find | xargs cat: %.3f s; the warm fill is %.2f times that\n", catFloor, thumbnails / catFloor);
  std::printf("%zu pictures: listed in %.3f s, details fill of %d rows %.3f s (target < 2 s), peak memory %.0f MB (target < 250 MB)\n",
              names->size(), listed, views.ListView2()->topLevelItemCount(), details, usage.ru_maxrss / 1024.0);
  return 0;
}

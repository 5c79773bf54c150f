// lumenshow thumbnails: the 40 x 40 thumbnails the list would hold, as PNG files, made by
// the same code and through the same shared cache as the list.
#include <QImage>
#include <QString>
#include <cstdio>
#include <iostream>

#include "app/output_files.h"
#include "app/command_line.h"
#include "app/subcommands.h"
#include "catalogue/list_texts.h"
#include "catalogue/thumbnail_batch.h"
#include "mainwindow/picture_list.h"

namespace lumen::app {

int RunThumbnails(const std::vector<std::string>& args) {
  auto options = ParseCommandOptions(args, "thumbnails");
  if (!options) return BadArguments("thumbnails", options.reason());
  if (options->positional.size() != 1 || options->Value("--out") == nullptr) {
    return BadArguments("thumbnails", UsageLine("thumbnails"));
  }
  const std::string& folder = options->positional.front();
  const std::string out = *options->Value("--out");
  auto names = mainwindow::ListPictureFiles(folder);
  if (!names) return BadArguments("thumbnails", "cannot list the folder '" + folder + "'");
  if (!MakeOutputFolder(out)) return BadArguments("thumbnails", "cannot create '" + out + "'");

  std::vector<std::string> paths;
  for (const std::string& name : *names) paths.push_back(folder + "/" + name);
  catalogue::ThumbnailCache cache = catalogue::ThumbnailCache::ForUser();
  catalogue::ThumbnailBatch batch(paths, 40, 0xFFFFFF, &cache);
  const QImage blank = [] {
    QImage image(40, 40, QImage::Format_RGB32);
    image.fill(Qt::white);  // the placeholder of a file that cannot be decoded
    return image;
  }();
  catalogue::ThumbnailBatch::Made result;
  bool written = true;
  while (batch.TakeNext(result, std::chrono::hours(1))) {
    const QImage& image = result.icon.isNull() ? blank : result.icon;
    char name[32];
    std::snprintf(name, sizeof name, "/%05zu.png", result.index + 1);
    written = WritePngFile(image, out + name) && written;
    std::cout << catalogue::CounterProgress(static_cast<int64_t>(result.index) + 1, static_cast<int64_t>(paths.size()))
              << "\n";
  }
  std::cout << catalogue::CounterTotal(static_cast<int64_t>(paths.size())) << std::endl;
  if (!written) {
    std::cerr << "lumenshow: thumbnails: cannot write to '" << out << "'\n";
    return 1;
  }
  return 0;
}

}  // namespace lumen::app

// lumenshow browse: the picture list of a folder with its preview, in a small window of
// its own.
#include <QApplication>
#include <QVBoxLayout>

#include "app/command_line.h"
#include "app/display_check.h"
#include "app/subcommands.h"
#include "catalogue/widgets/catalogue_views.h"
#include "mainwindow/picture_list.h"

namespace lumen::app {

int RunBrowse(int argc, char** argv, const std::vector<std::string>& args) {
  auto options = ParseCommandOptions(args, "browse");
  if (!options) return BadArguments("browse", options.reason());
  if (options->positional.size() != 1) return BadArguments("browse", UsageLine("browse"));
  const std::string& folder = options->positional.front();
  auto names = mainwindow::ListPictureFiles(folder);
  if (!names) return BadArguments("browse", "cannot list the folder '" + folder + "'");

  ExpectDisplay();
  QApplication application(argc, argv);
  catalogue::ThumbnailCache cache = catalogue::ThumbnailCache::ForUser();
  QWidget window;
  window.setWindowTitle("LumenShow");
  window.resize(520, 640);
  auto* views = new catalogue::CatalogueViews(&window);
  auto* layout = new QVBoxLayout(&window);
  for (QWidget* part : {static_cast<QWidget*>(views->ListView1()), static_cast<QWidget*>(views->ListView2()),
                        static_cast<QWidget*>(views->lbl_Cnt()), views->Pic_Base()}) {
    layout->addWidget(part);
  }
  views->SetThumbnailCache(&cache);
  views->SetFolder(folder, *names);
  window.show();
  if (options->Has("--details")) {
    views->ListView1()->hide();
    views->ListView2()->show();
    views->ListView2_Set();
  } else {
    views->ListView1_Set();
  }
  return application.exec();
}

}  // namespace lumen::app

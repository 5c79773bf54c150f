// lumenshow without arguments: the main window.
#include <QApplication>
#include <QDir>
#include <QFileInfo>

#include "app/display_check.h"
#include "app/polite_end.h"
#include "app/run_show.h"
#include "app/subcommands.h"
#include "catalogue/thumbnail_cache.h"
#include "mainwindow/widgets/lumen_m.h"
#include "platform/audio/system_multimedia.h"
#include "platform/desktop/japanese_ui.h"
#include "platform/desktop/qt_system_dialogs.h"
#include "platform/desktop/title_bars.h"
#include "platform/program_folder.h"
#include "video/widgets/export_dialog.h"

namespace lumen::app {
namespace {

// The user guide beside the program (a build) or in the shared documents (an install).
std::string GuideAddress() {
  const QDir programDir(QCoreApplication::applicationDirPath());
  for (const char* place : {"doc/user-guide.html", "../share/doc/lumenshow/user-guide.html"}) {
    const QFileInfo guide(programDir.filePath(place));
    if (guide.isFile()) return guide.canonicalFilePath().toStdString();
  }
  return programDir.filePath("doc/user-guide.html").toStdString();
}

}  // namespace

int RunMainWindow(int argc, char** argv) {
  ExpectDisplay();
  QApplication application(argc, argv);
  platform::InstallJapaneseFontSubstitutes();
  platform::InstallQtJapaneseTranslations(application);
  catalogue::ThumbnailCache cache = catalogue::ThumbnailCache::ForUser();
  platform::QtSystemDialogs dialogs;
  int status = 0;
  {
    mainwindow::Lumen_M window(
        {.settings = &settings::AppSettings(),
         .showData = &settings::AppShowData(),
         .programFolder = platform::ProgramFolder(),
         .iniPath = platform::IniFilePath(),
         .dialogs = &dialogs,
         .openShow = RunShow,
         .exportVideo = [&dialogs](QWidget* owner, const settings::Settings& settings,
                                   const settings::ShowData& show) { video::ExportShowVideo(owner, dialogs, settings, show); },
         .guideAddress = GuideAddress(),
         .thumbnailCache = &cache,
         .ownCaption = !platform::DesktopDrawsTitleBars()});
    window.Form_Load();
    window.show();
    window.activateWindow();  // active from the start, with or without a window manager
    // Asked to end (a logout, `kill`, Ctrl+C, a closed terminal): saved as 終了 saves, whatever
    // dialog or show is open at that moment.
    PoliteEnd politeEnd([&window] {
      window.close();
      QCoreApplication::exit(0);
    });
    status = application.exec();
  }
  platform::ShutdownSystemMultimedia();
  return status;
}

}  // namespace lumen::app

#include "app/video_export.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QProgressDialog>
#include <QStandardPaths>
#include <atomic>
#include <thread>

#include "video/export_video.h"

namespace lumen::app {
namespace {

constexpr const char* kTitle = "動画に書き出す";

// Where the save dialog opens: the videos folder, else the home folder, and the picture
// folder's name.
std::string ProposedPath(const std::string& pictureFolder) {
  QString videos = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
  if (!QDir(videos).exists()) videos = QDir::homePath();
  const QString name = QFileInfo(QString::fromStdString(pictureFolder)).fileName();
  return (videos + "/" + (name.isEmpty() ? "show" : name) + ".mp4").toStdString();
}

}  // namespace

void ExportShowVideo(QWidget* window, platform::SystemDialogs& dialogs, const settings::Settings& settings,
                     const settings::ShowData& show) {
  if (show.ImageCount <= 0) {
    dialogs.ShowMessage(window, platform::MessageKind::Information, kTitle, "このフォルダには写真がありません。");
    return;
  }
  std::optional<std::string> chosen =
      dialogs.GetSaveFileName(window, {.title = kTitle,
                                       .filters = {"MP4 (*.mp4)", "Matroska (*.mkv)", "WebM (*.webm)"},
                                       .initialPath = ProposedPath(settings.ImageFolder)});
  if (!chosen) return;
  std::string path = *chosen;
  if (!video::ContainerFor(path)) path += ".mp4";
  video::VideoFormat format;
  format.container = *video::ContainerFor(path);

  QProgressDialog progress("動画を書き出しています…", "キャンセル", 0, show.ImageCount, window);
  progress.setWindowTitle(kTitle);
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(0);
  progress.setAutoClose(false);
  progress.setValue(0);
  std::atomic<bool> cancelled{false};
  QObject::connect(&progress, &QProgressDialog::canceled, [&] { cancelled = true; });

  // On a thread of its own, so that the window stays live; what it reports goes to the
  // dialog through the window's event loop.
  QEventLoop loop;
  Result<video::ExportedVideo> exported = Fail("not begun");
  const settings::Settings options = settings;  // the thread's own: the window's may change
  std::atomic<bool> finished{false};
  std::thread worker([&] {
    exported = video::ExportVideo(options, show, 1, format, path, [&](int done, int) {
      QMetaObject::invokeMethod(
          &progress, [&progress, done] { progress.setValue(done); }, Qt::QueuedConnection);
      return !cancelled;
    });
    finished = true;
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  loop.exec();
  // The loop also ends when the program is asked to end (a logout): the export then stops
  // as キャンセル stops it, and removes its file.
  if (!finished) cancelled = true;
  worker.join();
  progress.close();
  if (!exported) {
    dialogs.ShowMessage(window, platform::MessageKind::Warning, kTitle,
                        "動画を書き出せませんでした。\n" + exported.reason());
  }
}

}  // namespace lumen::app

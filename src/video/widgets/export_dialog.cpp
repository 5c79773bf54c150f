#include "video/widgets/export_dialog.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QProgressDialog>
#include <QPushButton>
#include <QStandardPaths>
#include <atomic>
#include <thread>

#include "video/export_video.h"

namespace lumen::video {
namespace {

constexpr const char* kTitle = "動画に書き出す";

// Where the save dialog opens: the videos folder, else the home folder, and the picture
// folder's name.
std::string ProposedPath(const std::string& pictureFolder) {
  QString videos = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
  if (videos.isEmpty() || !QDir(videos).exists()) videos = QDir::homePath();
  const QString name = QFileInfo(QString::fromStdString(pictureFolder)).fileName();
  return (videos + "/" + (name.isEmpty() ? "show" : name) + ".mp4").toStdString();
}

}  // namespace

void ExportShowVideo(QWidget* window, platform::SystemDialogs& dialogs, const settings::Settings& settings,
                     const settings::ShowData& show, VideoFormat format) {
  auto say = [&](platform::MessageKind kind, const std::string& text, const std::string& offer = {}) {
    return dialogs.ShowMessage(window, {.kind = kind, .title = kTitle, .text = text, .offer = offer});
  };
  if (show.ImageCount <= 0) {
    say(platform::MessageKind::Information, "このフォルダには写真がありません。");
    return;
  }
  std::optional<std::string> chosen =
      dialogs.GetSaveFileName(window, {.title = kTitle,
                                       .filters = {"MP4 (*.mp4)", "Matroska (*.mkv)", "WebM (*.webm)"},
                                       .initialPath = ProposedPath(settings.ImageFolder)});
  if (!chosen) return;
  std::string path = *chosen;
  if (!ContainerFor(path)) path += ".mp4";
  format.container = *ContainerFor(path);

  QProgressDialog progress("動画を書き出しています…", "キャンセル", 0, show.ImageCount, window);
  progress.setWindowTitle(kTitle);
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(0);
  progress.setAutoClose(false);
  progress.setValue(0);
  std::atomic<bool> cancelled{false};
  // Qt would hide the dialog at once; it stays until the export has stopped and removed its
  // file, so that nothing of it is left once the dialog has gone.
  // (Qt connects the two by name, so only a disconnection by name undoes it.)
  QObject::disconnect(&progress, SIGNAL(canceled()), &progress, SLOT(cancel()));
  QObject::connect(&progress, &QProgressDialog::canceled, &progress, [&] {
    cancelled = true;
    progress.setLabelText("書き出しを中止しています…");
    if (auto* button = progress.findChild<QPushButton*>()) button->setEnabled(false);
  });

  // On a thread of its own, so that the window stays live; what it reports goes to the
  // dialog through the window's event loop.
  QEventLoop loop;
  Result<ExportedVideo> exported = Fail("not begun");
  const settings::Settings options = settings;  // the thread's own: the window's may change
  std::atomic<bool> finished{false};
  std::thread worker([&] {
    exported = ExportVideo(options, show, 1, format, path, [&](int done, int) {
      QMetaObject::invokeMethod(&progress, [&progress, done] { progress.setValue(done); }, Qt::QueuedConnection);
      return !cancelled;
    });
    finished = true;
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  loop.exec();
  // The loop also ends when the program is asked to end (a logout): the export then stops
  // as キャンセル stops it, removes its file, and the program goes on ending, unasked.
  const bool programEnds = !finished;
  if (programEnds) cancelled = true;
  worker.join();
  progress.close();
  if (programEnds) return;
  if (!exported) {
    say(platform::MessageKind::Warning, "動画を書き出せませんでした。\n" + exported.reason());
  } else if (exported->stopped) {
    say(platform::MessageKind::Information, "書き出しを中止しました。動画のファイルは作られていません。");
  } else if (say(platform::MessageKind::Information, "動画を書き出しました。\n" + path, "フォルダを開く")) {
    const std::string folder = QFileInfo(QString::fromStdString(path)).absolutePath().toStdString();
    if (!dialogs.ShellOpen(window, folder)) {
      say(platform::MessageKind::Warning, "フォルダを開けませんでした。開くプログラムが見つかりません。\n" + folder);
    }
  }
}

}  // namespace lumen::video

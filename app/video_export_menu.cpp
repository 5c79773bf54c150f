#include "app/video_export_menu.h"

#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QProgressDialog>
#include <QStandardPaths>
#include <atomic>
#include <thread>

#include "mainwindow/picture_list.h"
#include "mainwindow/show_order.h"
#include "mainwindow/shuffle_random.h"
#include "video/export_video.h"

namespace lumen::app {
namespace {

constexpr const char* kTitle = "動画に書き出す";

// The window is active again when its dialogs have gone, as on Windows, also where no
// window manager would make it so (its controls answer an active window's clicks).
struct ReactivateWhenDone {
  QWidget* window;
  ~ReactivateWhenDone() { window->activateWindow(); }
};

void Export(QWidget* window, const settings::Settings& settings) {
  ReactivateWhenDone reactivate{window};
  const std::string folder = settings.ImageFolder;
  auto names = mainwindow::ListPictureFiles(folder);
  if (!names || names->empty()) {
    QMessageBox::information(window, kTitle, "このフォルダには写真がありません。");
    return;
  }
  settings::ShowData data;
  mainwindow::ShuffleRandom random;
  mainwindow::BuildShowData(data, folder, *names, settings.ShowOrder, random);

  QString videos = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
  if (!QDir(videos).exists()) videos = QDir::homePath();
  const QString name = QFileInfo(QString::fromStdString(folder)).fileName();
  QString path = QFileDialog::getSaveFileName(window, kTitle, videos + "/" + (name.isEmpty() ? "show" : name) + ".mp4",
                                              "MP4 (*.mp4);;Matroska (*.mkv);;WebM (*.webm)", nullptr,
                                              QFileDialog::DontUseNativeDialog);
  if (path.isEmpty()) return;
  if (!video::ContainerFor(path.toStdString())) path += ".mp4";
  video::VideoFormat format;
  format.container = *video::ContainerFor(path.toStdString());

  QProgressDialog progress("動画を書き出しています…", "キャンセル", 0, data.ImageCount, window);
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
  video::ExportOutcome outcome;
  const settings::Settings options = settings;
  std::atomic<bool> finished{false};
  std::thread worker([&] {
    outcome = video::ExportVideo(options, data, 1, format, path.toStdString(), [&](int done, int) {
      QMetaObject::invokeMethod(&progress, [&progress, done] { progress.setValue(done); }, Qt::QueuedConnection);
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
  if (outcome.result == video::VideoResult::Failed) {
    QMessageBox::warning(window, kTitle,
                         "動画を書き出せませんでした。\n" + QString::fromStdString(outcome.error));
  }
}

}  // namespace

void OfferVideoExport(QWidget& startButton, const settings::Settings& settings) {
  startButton.setContextMenuPolicy(Qt::CustomContextMenu);
  QObject::connect(&startButton, &QWidget::customContextMenuRequested, &startButton,
                   [&startButton, &settings](const QPoint& at) {
                     QMenu menu(&startButton);
                     QAction* exportVideo = menu.addAction("動画に書き出す…");
                     if (menu.exec(startButton.mapToGlobal(at)) != exportVideo) return;
                     // After the right button's press has ended: dialogs opened inside its
                     // handler would leave the button holding the mouse.
                     QWidget* window = startButton.window();
                     QMetaObject::invokeMethod(
                         window, [window, &settings] { Export(window, settings); }, Qt::QueuedConnection);
                   });
}

}  // namespace lumen::app

// Qt's dialogs as the main window asks for them: titles, filters, first selections, results.
#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

#include "mainwindow/lumen_color.h"
#include "mainwindow/lumen_folder.h"
#include "platform/desktop/qt_system_dialogs.h"
#include "support/temp_folder.h"

namespace lumen::platform {
namespace {

// Once the dialog is up, `act` inspects it and closes it.
template <typename Dialog>
void WhenOpen(std::function<void(Dialog*)> act) {
  auto* poll = new QTimer;
  QObject::connect(poll, &QTimer::timeout, [poll, act] {
    auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr || !dialog->isVisible()) return;
    poll->deleteLater();
    poll->stop();
    act(dialog);
  });
  poll->start(10);
}

// The names the file view offers for choosing, once the folder has been read.
std::vector<std::string> Offered(QFileDialog* dialog) {
  auto* view = dialog->findChild<QListView*>("listView");
  std::vector<std::string> names;
  EXPECT_TRUE(QTest::qWaitFor([&] { return view->model()->rowCount(view->rootIndex()) > 0; }, 5000));
  QTest::qWait(100);
  for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row) {
    const QModelIndex index = view->model()->index(row, 0, view->rootIndex());
    if (index.flags() & Qt::ItemIsEnabled) names.push_back(index.data().toString().toStdString());
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(QtDialogs, FolderDialogOpensAtTheFolderAndAcceptsItAsItIs) {
  test::TempFolder home;
  std::filesystem::create_directory(home / "写真");
  QtSystemDialogs dialogs;
  WhenOpen<QFileDialog>([](QFileDialog* dialog) {
    EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("フォルダを選択してください"));
    EXPECT_EQ(dialog->fileMode(), QFileDialog::Directory);
    EXPECT_TRUE(dialog->testOption(QFileDialog::ShowDirsOnly));
    static_cast<QDialog*>(dialog)->accept();  // the "Choose" button
  });
  EXPECT_EQ(mainwindow::BrowseFolder(dialogs, nullptr, home / "写真"), home / "写真");
  WhenOpen<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
  EXPECT_EQ(mainwindow::BrowseFolder(dialogs, nullptr, home.path()), "") << "cancelled";
}

TEST(QtDialogs, MusicDialogOffersMp3AndWavInAnyCaseAndTakesANewName) {
  test::TempFolder music;
  for (const char* name : {"a.mp3", "B.MP3", "c.Wav", "d.txt", "e.mp3.bak"}) test::WriteBytes(music / name, "x");
  QtSystemDialogs dialogs;
  WhenOpen<QFileDialog>([](QFileDialog* dialog) {
    EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("ﾌｧｲﾙを開く"));
    EXPECT_EQ(dialog->findChild<QComboBox*>("fileTypeCombo")->currentText(), QString::fromUtf8("BGMﾌｧｲﾙ (MP3 WAV)"));
    EXPECT_EQ(Offered(dialog), (std::vector<std::string>{"B.MP3", "a.mp3", "c.Wav"}));
    dialog->findChild<QLineEdit*>("fileNameEdit")->setText("new song.mp3");
    static_cast<QDialog*>(dialog)->accept();
  });
  auto chosen = dialogs.GetOpenFileName(nullptr, {.title = "ﾌｧｲﾙを開く",
                                                  .filterName = "BGMﾌｧｲﾙ (MP3 WAV)",
                                                  .patterns = {"*.MP3", "*.WAV"},
                                                  .initialFolder = music.path()});
  EXPECT_EQ(chosen, music / "new song.mp3");
}

TEST(QtDialogs, ColourDialogStartsFromTheColourWithWhiteCustomColoursEveryTime) {
  QtSystemDialogs dialogs;
  for (int opening = 0; opening < 2; ++opening) {
    WhenOpen<QColorDialog>([](QColorDialog* dialog) {
      EXPECT_EQ(dialog->currentColor(), QColor(0x56, 0x34, 0x12));
      for (int i = 0; i < 16; ++i) EXPECT_EQ(QColorDialog::customColor(i), QColor(Qt::white)) << i;
      QColorDialog::setCustomColor(3, Qt::red);  // defined by the user; forgotten next time
      dialog->setCurrentColor(QColor(1, 2, 3));
      dialog->accept();
    });
    EXPECT_EQ(mainwindow::ShowColorDialog(dialogs, nullptr, 0x123456), 0x030201);
  }
  WhenOpen<QColorDialog>([](QColorDialog* dialog) { dialog->reject(); });
  EXPECT_EQ(mainwindow::ShowColorDialog(dialogs, nullptr, 0x123456), -1);
}

}  // namespace
}  // namespace lumen::platform

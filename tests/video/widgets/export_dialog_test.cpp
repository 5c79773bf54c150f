// The main window's video export offscreen, with scripted dialogs: where the save dialog
// opens, and what the user is told when the export is written, stopped or fails.
#include "video/widgets/export_dialog.h"

#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <gtest/gtest.h>

#include "support/picture_files.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"

namespace lumen::video {
namespace {

class ExportDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    qputenv("HOME", QByteArray::fromStdString(home.path()));
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(home / ".config"));
    std::filesystem::create_directory(pictures / "Holiday");
    show.ImageCount = 3;
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp"}) {
      ASSERT_TRUE(test::WriteSolidBmp(pictures / ("Holiday/" + std::string(name)), 90, 60, qRgb(0, 0, 255)));
      show.ImagePaths.push_back(pictures / ("Holiday/" + std::string(name)));
      show.SlideOrder.push_back(int32_t(show.SlideOrder.size()));
    }
    settings.ImageFolder = pictures / "Holiday";
    settings.TurnSpeed = 100;
  }
  void Export() { ExportShowVideo(&window, dialogs, settings, show, {.width = 160, .height = 90, .fps = 10}); }
  std::vector<std::string> Files() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(out.path())) names.push_back(entry.path().filename());
    return names;
  }

  test::TempFolder home, pictures, out;
  QWidget window;
  test::ScriptedDialogs dialogs;
  settings::Settings settings;
  settings::ShowData show;
};

TEST_F(ExportDialogTest, AWrittenVideoIsNamedAndItsFolderOpenedOnRequest) {
  dialogs.savedFiles = {out / "show"};
  dialogs.takeOffers = true;
  Export();
  ASSERT_EQ(dialogs.saveRequests.size(), 1u);
  EXPECT_EQ(dialogs.saveRequests[0].initialPath, home / "Holiday.mp4") << "no videos folder: the home folder";
  EXPECT_EQ(Files(), std::vector<std::string>{"show.mp4"}) << "a name without an ending is an MP4";
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, "動画を書き出しました。\n" + out / "show.mp4");
  EXPECT_EQ(dialogs.messages[0].offer, "フォルダを開く");
  EXPECT_EQ(dialogs.opened, std::vector<std::string>{out.path()});

  std::filesystem::create_directory(home / "Videos");
  dialogs.savedFiles = {out / "again.webm"};
  dialogs.openerWorks = false;  // no file manager
  Export();
  EXPECT_EQ(dialogs.saveRequests[1].initialPath, home / "Videos/Holiday.mp4");
  ASSERT_EQ(dialogs.messages.size(), 3u);
  EXPECT_EQ(dialogs.messages[2].text, "フォルダを開けませんでした。開くプログラムが見つかりません。\n" + out.path());
}

TEST_F(ExportDialogTest, StoppedOrFailedItSaysSoAndLeavesNoFile) {
  // キャンセル as soon as the progress shows: the dialog stays until the export has stopped,
  // and from the moment it has gone no file of the export is left.
  bool cancelled = false, hiddenWithAFile = false;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    auto* progress = window.findChild<QProgressDialog*>();
    if (progress == nullptr) return;
    if (!cancelled && progress->isVisible()) {
      cancelled = true;
      progress->findChild<QPushButton*>()->click();  // キャンセル
    }
    if (cancelled) hiddenWithAFile = hiddenWithAFile || (!progress->isVisible() && !Files().empty());
  });
  watch.start(5);
  show.ImageCount = 3 * 50;  // long enough to be stopped halfway
  for (int i = 4; i <= show.ImageCount; ++i) {
    show.ImagePaths.push_back(show.ImagePaths[1]);
    show.SlideOrder.push_back(i);
  }
  dialogs.savedFiles = {out / "stopped.mkv"};
  Export();
  watch.stop();
  EXPECT_TRUE(cancelled);
  EXPECT_FALSE(hiddenWithAFile) << "the progress dialog went while the export's .part was there";
  EXPECT_TRUE(Files().empty());
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, "書き出しを中止しました。動画のファイルは作られていません。");

  dialogs.savedFiles = {out / "no such folder/show.mp4"};
  Export();
  ASSERT_EQ(dialogs.messages.size(), 2u);
  EXPECT_EQ(dialogs.messages[1].kind, platform::MessageKind::Warning);
  EXPECT_EQ(dialogs.messages[1].text.rfind("動画を書き出せませんでした。\ncannot write '" + out / "no such folder/show.mp4", 0), 0u)
      << dialogs.messages[1].text;

  show = {};
  Export();
  EXPECT_EQ(dialogs.messages.back().text, "このフォルダには写真がありません。");
  EXPECT_EQ(dialogs.saveRequests.size(), 2u) << "no save dialog for an empty folder";
}

}  // namespace
}  // namespace lumen::video

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

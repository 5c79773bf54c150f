// The whole program as a newcomer meets it, on a private X server driven with xdotool:
// first start, a folder chosen through the real dialog, the thumbnails, a show, the end,
// and a second start with the options as they were left.
#include <QImage>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>

#include "platform/cp932.h"
#include "support/picture_files.h"
#include "support/temp_folder.h"
#include "support/x11_session.h"

namespace lumen {
namespace {

using namespace std::chrono_literals;

const long kColours[] = {0xFF0000, 0x00FF00, 0x0000FF};

// The window's client area on the 1280 x 720 screen: centred, a third of the free height
// (630 x 561 plus the 30 pixels a caption adds) from the top.
constexpr int kLeft = (1280 - 630) / 2, kTop = (720 - 591) / 3;

class X11MainWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(x.Ready()) << "Xvfb is needed for the end-to-end tests";
    for (int i = 0; i < 3; ++i) {
      ASSERT_TRUE(test::WriteSolidBmp(pictures / ("p" + std::to_string(i) + ".bmp"), 900, 600,
                                      static_cast<QRgb>(kColours[i])));
    }
  }
  void Start() {
    program = test::Spawn({LUMENSHOW_BIN},
                          {"DISPLAY=" + x.Display(), "LUMENSHOW_HOME=" + home.path(), "SDL_AUDIODRIVER=dummy",
                           "XDG_CACHE_HOME=" + home.path() + "/cache", "ASAN_OPTIONS=detect_leaks=0"});
    ASSERT_TRUE(x.WaitForWindow("^LumenShow$", 20s)) << "no main window";
    ASSERT_TRUE(x.WaitForPixel(kLeft + 2, kTop + 200, 0xE0E0E0, 10s)) << "the panel where it belongs";
  }
  // A click at a point of the main window's client area, the pointer coming from elsewhere.
  void ClickAt(int x0, int y0) {
    const std::string at = std::to_string(kLeft + x0) + " " + std::to_string(kTop + y0);
    ASSERT_EQ(x.Run("xdotool mousemove 0 0 sleep 0.1 mousemove " + at + " sleep 0.2 click 1"), 0);
  }
  long PixelAt(int x0, int y0) { return x.Pixel(kLeft + x0, kTop + y0); }
  bool WaitGone(const std::string& name, std::chrono::milliseconds within) {
    return x.WaitForWindow(name, within, false);
  }
  int KeysTo(const std::string& name, const std::string& keys) { return x.KeysTo(name, keys); }
  test::X11Session x;
  test::TempFolder home, pictures;
  pid_t program = -1;
};

// The settings file as the program writes it: the thirteen keys in their order, in code
// page 932, numbers after a blank.
std::string Ini(const std::vector<std::string>& values) {
  const char* keys[] = {"表示区分", "BGM区分", "BGMﾘﾋﾟｰﾄ", "BGMﾌｧｲﾙ", "画像ﾌｫﾙﾀﾞ", "画像転換処理方法", "右左区分",
                        "画像表示順", "めくる速さ", "背景区分", "背景色", "インターバル", "余白の色"};
  std::string text = "[Section]\r\n";
  for (size_t i = 0; i < values.size(); ++i) {
    const bool path = i == 3 || i == 4;
    text += *platform::Utf8ToCp932(keys[i]) + "=" + (path ? "" : " ") + values[i] + "\r\n";
  }
  return text;
}

constexpr long kBlue = 0x1E67D6, kFace = 0xF8F8F8;  // the option marks' blue and face

TEST_F(X11MainWindow, FromFirstStartToASecondStartWithTheSameOptions) {
  Start();
  ClickAt(42, 60);    // "縮小版"
  ClickAt(246, 456);  // "色指定　⇒" (its mark)
  ClickAt(272, 362);  // the speed bar's left arrow: 99

  const std::string folderDialog = "フォルダを選択してください";
  ClickAt(66, 28);  // "ﾌｫﾙﾀﾞの選択"
  ASSERT_TRUE(x.WaitForWindow(folderDialog, 20s));
  ASSERT_EQ(KeysTo(folderDialog, "key Escape"), 0);
  ASSERT_TRUE(WaitGone(folderDialog, 10s));
  // Clicked again where the pointer rests: no move comes first, and the click still counts.
  ASSERT_EQ(x.Run("xdotool sleep 0.6 click 1"), 0);  // later than a double click
  ASSERT_TRUE(x.WaitForWindow(folderDialog, 20s)) << "the second click on the resting pointer was lost";
  ASSERT_EQ(KeysTo(folderDialog, "type --delay 20 \"" + pictures.path() + "\""), 0);
  // The first Return may only close the name completer's list.
  for (int i = 0; i < 3 && !WaitGone(folderDialog, 2s); ++i) x.Run("xdotool key Return");
  ASSERT_TRUE(WaitGone(folderDialog, 1s)) << "the folder dialog did not take the folder";

  // The thumbnails: each picture's colour fills most of its 40 x 40 box.
  bool listed = false;
  for (int tries = 0; tries < 100 && !listed; ++tries) {
    const auto shot = x.Capture();
    listed = true;
    for (long colour : kColours) listed = listed && shot.Count(kLeft + 12, kTop + 72, 377, 256, colour) >= 40 * 20;
    if (!listed) std::this_thread::sleep_for(100ms);
  }
  ASSERT_TRUE(listed) << "the thumbnail view shows the three pictures";
  if (const char* keep = std::getenv("LUMEN_SCREENSHOTS")) {
    x.Run("sh -c 'xwd -root -silent > " + std::string(keep) + "/main-window.xwd'");
  }

  ClickAt(424, 528);  // "ｽﾗｲﾄﾞｼｮｰのｽﾀｰﾄ"
  // A right-turn show starts at the last picture; Right turns on to the first.
  ASSERT_TRUE(x.WaitForPixel(640, 360, kColours[2], 10s)) << "the show's first page";
  EXPECT_EQ(x.Pixel(5, 5), 0x000000) << "the background colour: black";
  ASSERT_EQ(KeysTo("^LumenShow$", "key --delay 30 Right"), 0);
  EXPECT_TRUE(x.WaitForPixel(640, 360, kColours[0], 10s)) << "the turned page";
  ASSERT_EQ(KeysTo("^LumenShow$", "key Escape"), 0);
  ASSERT_TRUE(x.WaitForPixel(kLeft + 2, kTop + 200, 0xE0E0E0, 10s)) << "back to the main window";

  ClickAt(556, 528);  // "終了"
  ASSERT_EQ(test::WaitExit(program, 20s), 0);
  EXPECT_EQ(test::ReadBytes(home / "LumenShow.ini"),
            Ini({"0", "0", "0", "", pictures.path(), "0", "0", "0", "99", "1", "0", "1", "16777215"}));

  ASSERT_NO_FATAL_FAILURE(Start());
  EXPECT_EQ(PixelAt(245, 455), kBlue) << "\"色指定　⇒\" still chosen";
  EXPECT_EQ(PixelAt(245, 431), kFace) << "\"透明\" clear";
  EXPECT_EQ(PixelAt(228 + 96 + 16, 404 + 36 + 14), 0x000000) << "the background colour button, shown";
  ClickAt(556, 528);
  EXPECT_EQ(test::WaitExit(program, 20s), 0);
}

TEST_F(X11MainWindow, TheStartButtonsMenuWritesTheShowAsAVideo) {
  Start();
  const std::string folderDialog = "フォルダを選択してください";
  ClickAt(66, 28);  // "ﾌｫﾙﾀﾞの選択"
  ASSERT_TRUE(x.WaitForWindow(folderDialog, 20s));
  ASSERT_EQ(KeysTo(folderDialog, "type --delay 20 \"" + pictures.path() + "\""), 0);
  for (int i = 0; i < 3 && !WaitGone(folderDialog, 2s); ++i) x.Run("xdotool key Return");
  ASSERT_TRUE(WaitGone(folderDialog, 1s));

  // A right-click on "ｽﾗｲﾄﾞｼｮｰのｽﾀｰﾄ": its one entry, "動画に書き出す…", then the save dialog.
  const std::string at = std::to_string(kLeft + 424) + " " + std::to_string(kTop + 528);
  ASSERT_EQ(x.Run("xdotool mousemove " + at + " sleep 0.2 click 3 sleep 0.5 key Down Return"), 0);
  ASSERT_TRUE(x.WaitForWindow("動画に書き出す", 20s)) << "no save dialog";
  const std::string video = home / "show.mp4";
  ASSERT_EQ(KeysTo("動画に書き出す", "key ctrl+a type --delay 20 \"" + video + "\""), 0);
  ASSERT_EQ(x.Run("xdotool key Return"), 0);
  for (int i = 0; i < 600 && !std::filesystem::exists(video); ++i) std::this_thread::sleep_for(100ms);
  ASSERT_TRUE(std::filesystem::exists(video)) << "no video after a minute";
  // Three pictures at the default interval of 1 s: 1 + 60 + 3 x (10 + 60) frames at 60 a second.
  EXPECT_EQ(x.Run("test \"$(ffprobe -v error -count_frames -show_entries stream=codec_name,width,height,nb_read_frames "
                  "-of csv=p=0 '" + video + "')\" = h264,1920,1080,271"),
            0);
  // Then the message that names the file (with "フォルダを開く"), closed with Esc.
  std::this_thread::sleep_for(2s);
  ASSERT_EQ(KeysTo("動画に書き出す", "key Escape"), 0);
  ASSERT_TRUE(WaitGone("動画に書き出す", 20s)) << "the progress dialog or the message stays";

  // Asked to end (a logout) in the middle of a second export: it stops at once, its file
  // is gone, and the program ends.
  ASSERT_EQ(x.Run("xdotool mousemove " + at + " sleep 0.2 click 3 sleep 0.5 key Down Return"), 0);
  ASSERT_TRUE(x.WaitForWindow("動画に書き出す", 20s));
  const std::string second = home / "second.mp4";
  ASSERT_EQ(KeysTo("動画に書き出す", "key ctrl+a type --delay 20 \"" + second + "\""), 0);
  ASSERT_EQ(x.Run("xdotool key Return sleep 1"), 0);
  ::kill(program, SIGTERM);
  EXPECT_EQ(test::WaitExit(program, 5s), 0);
  EXPECT_FALSE(std::filesystem::exists(second));
  for (const auto& entry : std::filesystem::directory_iterator(home.path())) {
    EXPECT_NE(entry.path().extension(), ".part") << "the stopped export's file is gone";
  }
}

// Asked to end by a signal (a logout's SIGTERM, a closed terminal's SIGHUP), even with a
// dialog open, the window saves what was set, as 終了 does, and ends.
TEST_F(X11MainWindow, ASignalToEndSavesTheOptionsFirst) {
  for (int signal : {SIGTERM, SIGHUP}) {
    SCOPED_TRACE(signal);
    std::filesystem::remove(home / "LumenShow.ini");
    ASSERT_NO_FATAL_FAILURE(Start());
    ClickAt(42, 60);    // "縮小版"
    ClickAt(272, 362);  // the speed bar's left arrow: 99
    if (signal == SIGHUP) {
      ClickAt(66, 28);  // "ﾌｫﾙﾀﾞの選択", left open
      ASSERT_TRUE(x.WaitForWindow("フォルダを選択してください", 20s));
    }
    std::this_thread::sleep_for(300ms);
    ::kill(program, signal);
    ASSERT_EQ(test::WaitExit(program, 10s), 0);
    EXPECT_EQ(test::ReadBytes(home / "LumenShow.ini"),
              Ini({"0", "0", "0", "", home.path(), "0", "0", "0", "99", "0", "0", "1", "16777215"}));
  }
}

// Every option of the main window set, and a show run, with the keyboard alone.
TEST_F(X11MainWindow, EveryOptionAndAShowWithTheKeyboardAlone) {
  Start();
  // Keys to the main window, a little apart as a person types them; to a dialog once it is
  // there and has settled.
  // Focusing a window that has just been handed back can fail on a busy machine; the keys
  // are sent only once it has the focus, so they are tried again.
  auto send = [&](const std::string& window, const std::string& k) {
    int status = KeysTo(window, k);
    for (int retry = 0; status != 0 && retry < 3; ++retry) {
      std::this_thread::sleep_for(500ms);
      status = KeysTo(window, k);
    }
    return status;
  };
  std::string mainWindow = "^LumenShow$";  // until a preview puts the picture's path in the title
  auto keys = [&](const std::string& k) { ASSERT_EQ(send(mainWindow, "key --delay 80 " + k), 0) << k; };
  auto in = [&](const std::string& title, const std::string& k) {
    ASSERT_TRUE(x.WaitForWindow(title, 20s)) << title;
    ASSERT_EQ(send(title, "sleep 0.5 " + k), 0) << k;
  };
  auto closed = [&](const std::string& title) {
    // The first Return may only close a name completer's list.
    for (int i = 0; i < 3 && !WaitGone(title, 2s); ++i) KeysTo(title, "key Return");
    ASSERT_TRUE(WaitGone(title, 1s)) << title << " stays open";
  };
  const std::string folders = "フォルダを選択してください", colours = "色の設定", files = "ﾌｧｲﾙを開く";
  auto typed = [](const std::string& text) { return "type --delay 20 \"" + text + "\""; };

  keys("space");  // the first stop, "ﾌｫﾙﾀﾞの選択"
  in(folders, typed(pictures.path()));
  closed(folders);
  keys("Tab Left");         // 縮小版
  auto blackInList = [&] { return x.Capture().Count(kLeft + 12, kTop + 72, 377, 256, 0x000000); };
  for (int i = 0; i < 100 && x.Capture().Count(kLeft + 12, kTop + 72, 377, 256, kColours[2]) < 40 * 20; ++i) {
    std::this_thread::sleep_for(100ms);
  }
  const int unfocused = blackInList();
  keys("Tab");              // the list: its first picture has the focus, none is chosen yet
  // A busy machine (the sanitizer build) may take a moment to repaint the list.
  for (int i = 0; i < 50 && blackInList() < unfocused + 20; ++i) std::this_thread::sleep_for(100ms);
  EXPECT_GE(blackInList(), unfocused + 20) << "the dotted cue round the first picture's name";
  keys("Right");            // the second picture, previewed and named as a click would
  mainWindow = "p1\\.bmp$";
  ASSERT_TRUE(x.WaitForWindow(mainWindow, 10s)) << "the title names the picture";
  EXPECT_TRUE(x.WaitForPixel(kLeft + 504, kTop + 176, kColours[1], 5s)) << "the preview shows it";
  keys("Tab Right");        // ｼｬﾌﾙ
  keys("Tab Left Left");    // めくる速さ 98
  keys("Tab space");        // 余白の色: the colour's text field is three stops back from the first
  in(colours, "key --delay 80 shift+Tab shift+Tab shift+Tab ctrl+a " + typed("#00ff00"));
  closed(colours);
  keys("Tab End Prior");    // インターバル 9
  keys("Tab Down Tab space");  // MP3、WAV, then ﾌｧｲﾙの選択
  in(files, typed(home / "bgm.mp3"));
  closed(files);
  keys("shift+Tab Down Tab 5");  // round to 音楽CD, then track 5 in its box
  keys("Tab Down Tab space");    // 色指定　⇒, then the colour button
  in(colours, "key --delay 80 shift+Tab shift+Tab shift+Tab ctrl+a " + typed("#0000ff"));
  closed(colours);
  keys("Tab Down Tab Up");  // 自動　⇒, then round to 左めくり
  keys("Tab Tab Return");   // past the guide link to "ｽﾗｲﾄﾞｼｮｰのｽﾀｰﾄ"
  // A left-turn show starts at its first page; Right turns to another (the order is shuffled).
  ASSERT_TRUE(x.WaitForWindow("^LumenShow$", 10s));
  bool shown = false;
  for (int i = 0; i < 100 && !shown; ++i, std::this_thread::sleep_for(100ms)) {
    const long centre = x.Pixel(640, 360);
    shown = centre == kColours[0] || centre == kColours[1] || centre == kColours[2];
  }
  ASSERT_TRUE(shown) << "the show's first page";
  EXPECT_EQ(x.Pixel(640, 5), 0x0000FF) << "above the page: the background colour chosen in the dialog";
  ASSERT_EQ(KeysTo("^LumenShow$", "key --delay 30 Right sleep 1 key Escape"), 0);
  ASSERT_TRUE(x.WaitForPixel(kLeft + 2, kTop + 200, 0xE0E0E0, 10s)) << "back to the main window";
  ASSERT_EQ(KeysTo(mainWindow, "key --delay 80 Tab Return"), 0);  // from the start button to "終了"
  ASSERT_EQ(test::WaitExit(program, 20s), 0);

  EXPECT_EQ(test::ReadBytes(home / "LumenShow.ini"), Ini({"0", "1", "5", home / "bgm.mp3", pictures.path(), "1", "1",
                                                          "1", "98", "1", "16711680", "9", "65280"}));
}

}  // namespace
}  // namespace lumen

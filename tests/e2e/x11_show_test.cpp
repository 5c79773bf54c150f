// lumenshow slideshow on a real X server (Xvfb), driven with xdotool as a user would.
#include <QImage>
#include <gtest/gtest.h>

#include "platform/cp932.h"
#include "support/temp_folder.h"
#include "support/x11_session.h"

namespace lumen {
namespace {

using namespace std::chrono_literals;

// Solid pictures, one colour each, named so that they sort in this order.
const long kColours[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF};

class X11Show : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(x.Ready()) << "Xvfb is needed for the end-to-end tests";
    for (int i = 0; i < 5; ++i) {
      QImage image(900, 600, QImage::Format_RGB32);
      image.fill(QColor::fromRgb(static_cast<QRgb>(kColours[i])));
      ASSERT_TRUE(image.save(QString::fromStdString(pictures / ("p" + std::to_string(i) + ".bmp")), "BMP"));
    }
  }
  void WriteIni(const std::string& body) {
    test::WriteBytes(home / "LumenShow.ini", *platform::Utf8ToCp932("[Section]\r\n" + body));
  }
  void Start() {
    show = test::Spawn({LUMENSHOW_BIN, "slideshow", pictures.path()},
                       {"DISPLAY=" + x.Display(), "LUMENSHOW_HOME=" + home.path(), "SDL_AUDIODRIVER=dummy",
                        // Qt and the X libraries keep some memory until exit; not ours to find.
                        "ASAN_OPTIONS=detect_leaks=0"});
    ASSERT_EQ(x.Run("timeout 20 xdotool search --sync --name '^LumenShow$'"), 0) << "no show window";
  }
  // The xdotool keys go to the show window.
  void Keys(const std::string& keys) {
    ASSERT_EQ(x.Run("sh -c 'xdotool windowfocus --sync $(xdotool search --name \"^LumenShow$\" | head -1) && "
                    "xdotool key --delay 30 " + keys + "'"), 0);
  }

  test::X11Session x;
  test::TempFolder home, pictures;
  pid_t show = -1;
};

// The page stands in the middle of the 1280 x 720 screen.
constexpr int kMiddleX = 640, kMiddleY = 360;

TEST_F(X11Show, RightTurnsThePageAndEscEndsTheShow) {
  WriteIni("右左区分=1\r\n");  // a left-turn show starts at the first picture
  Start();
  ASSERT_TRUE(x.WaitForPixel(kMiddleX, kMiddleY, kColours[0], 10s));
  Keys("Right");
  EXPECT_TRUE(x.WaitForPixel(kMiddleX, kMiddleY, kColours[1], 10s)) << "the turned page";
  Keys("Escape");
  EXPECT_EQ(test::WaitExit(show, 10s), 0);
}

TEST_F(X11Show, KeysReleasedDuringATurnActAfterItInOrder) {
  WriteIni("右左区分=1\r\nめくる速さ=20\r\n");  // 45 frames: a turn lasts most of a second
  Start();
  ASSERT_TRUE(x.WaitForPixel(kMiddleX, kMiddleY, kColours[0], 10s));
  // Pictures 1, 2, 1, 2, 3 in turn: the last one shows only once all five have acted.
  Keys("Right Right Left Right Right");
  EXPECT_TRUE(x.WaitForPixel(kMiddleX, kMiddleY, kColours[3], 20s));
  std::this_thread::sleep_for(1500ms);
  EXPECT_EQ(x.Pixel(kMiddleX, kMiddleY), kColours[3]) << "no turn more, none less";
  Keys("Escape");
  EXPECT_EQ(test::WaitExit(show, 10s), 0);
}

TEST_F(X11Show, EscDuringTheAutomaticWaitEndsTheShowWhenTheWaitEnds) {
  WriteIni("右左区分=1\r\n画像転換処理方法=1\r\nインターバル=4\r\n");
  Start();
  // The first automatic turn comes after a second; then the show waits four.
  ASSERT_TRUE(x.WaitForPixel(kMiddleX, kMiddleY, kColours[1], 10s));
  auto escAt = std::chrono::steady_clock::now();
  Keys("Escape");
  EXPECT_EQ(test::WaitExit(show, 2000ms), -1) << "closed during the wait";
  EXPECT_EQ(test::WaitExit(show, 10s), 0);
  EXPECT_GE(std::chrono::steady_clock::now() - escAt, 2500ms);
}

}  // namespace
}  // namespace lumen

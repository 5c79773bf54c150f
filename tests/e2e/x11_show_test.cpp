// lumenshow slideshow on a real X server (Xvfb), driven with xdotool as a user would.
#include <QImage>
#include <csignal>
#include <sstream>
#include <gtest/gtest.h>

#include "platform/cp932.h"
#include "support/audio_fixtures.h"
#include "support/picture_files.h"
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
      ASSERT_TRUE(test::WriteSolidBmp(pictures / ("p" + std::to_string(i) + ".bmp"), 900, 600,
                                      static_cast<QRgb>(kColours[i])));
    }
  }
  void WriteIni(const std::string& body) {
    test::WriteBytes(home / "LumenShow.ini", *platform::Utf8ToCp932("[Section]\r\n" + body));
  }
  void Start() {
    const int trace = ::open((home / "trace").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    show = test::Spawn({LUMENSHOW_BIN, "slideshow", pictures.path()},
                       {"DISPLAY=" + x.Display(), "LUMENSHOW_HOME=" + home.path(), "SDL_AUDIODRIVER=dummy",
                        "LUMENSHOW_TRACE=1",
                        // Qt and the X libraries keep some memory until exit; not ours to find.
                        "ASAN_OPTIONS=detect_leaks=0"},
                       -1, trace);
    ::close(trace);
    ASSERT_TRUE(x.WaitForWindow("^LumenShow$", 20s)) << "no show window";
  }
  // What the show did: per key or automatic turn, "key CODE" or "tick 3" and the position.
  std::vector<std::string> Trace() {
    std::vector<std::string> lines;
    std::istringstream log(test::ReadBytes(home / "trace"));
    const std::string tag = "lumenshow: show: ";
    for (std::string line; std::getline(log, line);) {
      if (line.rfind(tag, 0) == 0) lines.push_back(line.substr(tag.size()));
    }
    return lines;
  }
  void Keys(const std::string& keys) { ASSERT_EQ(x.KeysTo("^LumenShow$", "key --delay 30 " + keys), 0); }

  test::X11Session x;
  test::TempFolder home, pictures;
  pid_t show = -1;
};

// The page stands in the middle of the 1280 x 720 screen.
constexpr int kMiddleX = 640, kMiddleY = 360;

TEST_F(X11Show, KeysReleasedDuringATurnActAfterItInOrder) {
  WriteIni("右左区分=1\r\nめくる速さ=20\r\n");  // 45 frames: a turn lasts most of a second
  Start();
  ASSERT_TRUE(x.WaitForPixel(kMiddleX, kMiddleY, kColours[0], 10s)) << "a left-turn show starts at the first";
  // Only in this order do the turns reach 1, 2, 1 and then end the show, the last key unused.
  Keys("Right Right Left Escape Right");
  EXPECT_EQ(test::WaitExit(show, 20s), 0);
  EXPECT_EQ(Trace(), (std::vector<std::string>{"key 39, position 2", "key 39, position 3", "key 37, position 2",
                                               "key 27, position 2, ended"}));
}

TEST_F(X11Show, EscDuringTheAutomaticWaitEndsTheShowAtOnce) {
  WriteIni("右左区分=1\r\n画像転換処理方法=1\r\nインターバル=10\r\n");
  Start();
  // The first automatic turn comes after a second; then the show waits ten.
  ASSERT_TRUE(x.WaitForPixel(kMiddleX, kMiddleY, kColours[1], 10s));
  Keys("Escape");
  EXPECT_EQ(test::WaitExit(show, 5s), 0) << "the show ends without waiting out the ten seconds";
  EXPECT_EQ(Trace(), std::vector<std::string>{"tick 3, position 2, ended"}) << "one turn, none after the Esc";
}

TEST_F(X11Show, KeysAlreadyReleasedActBeforeATickThatFellDue) {
  // A turn lasts most of a second and a tick comes every second: the tick that falls due
  // during the first key's turn waits for the second key, released before it.
  WriteIni("右左区分=1\r\n画像転換処理方法=1\r\nインターバル=0\r\nめくる速さ=20\r\n");
  Start();
  for (int i = 0; i < 500 && Trace().empty(); ++i) std::this_thread::sleep_for(10ms);
  ASSERT_EQ(Trace(), std::vector<std::string>{"tick 3, position 2"});
  Keys("Left Left");
  for (int i = 0; i < 500 && Trace().size() < 4; ++i) std::this_thread::sleep_for(10ms);
  Keys("Escape");
  EXPECT_EQ(test::WaitExit(show, 10s), 0);
  auto trace = Trace();
  trace.resize(4);
  EXPECT_EQ(trace, (std::vector<std::string>{"tick 3, position 2", "key 37, position 1", "key 37, position 5",
                                             "tick 3, position 1"}));
}

TEST_F(X11Show, AShowWithMusicEndsOnATerminateSignal) {
  test::WriteWav(home / "tone.wav", test::Tone(440, 1));
  WriteIni("BGM区分=2\r\nBGMﾌｧｲﾙ=" + home / "tone.wav" + "\r\n");
  Start();
  std::this_thread::sleep_for(1s);  // the music has started, and SDL's audio with it
  ::kill(show, SIGTERM);
  const int status = test::WaitExit(show, 5s);
  EXPECT_EQ(status, -2) << "ended by the signal, as a program that does not catch it";
  if (status == -1) ::kill(show, SIGKILL);
}

}  // namespace
}  // namespace lumen

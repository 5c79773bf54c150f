// The show on a screen scaled by 2, pixel for pixel, and on Wayland (weston without a
// display), run for real. The desktops people use are tried in tests/desktops/.
#include <QImage>
#include <gtest/gtest.h>

#include "platform/cp932.h"
#include "support/picture_files.h"
#include "support/temp_folder.h"
#include "support/x11_session.h"

namespace lumen {
namespace {

using namespace std::chrono_literals;

class Desktops : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::WriteSolidBmp(pictures / "p.bmp", 640, 480, qRgb(0, 0, 255)));
  }
  void WriteIni(const std::string& body) {
    test::WriteBytes(home / "LumenShow.ini", *platform::Utf8ToCp932("[Section]\r\n" + body));
  }
  // The show of the one picture on the session's display; waits for its window.
  void StartShow(test::X11Session& x, const std::vector<std::string>& extraEnvironment = {}) {
    std::vector<std::string> environment = {"DISPLAY=" + x.Display(), "LUMENSHOW_HOME=" + home.path(),
                                            "SDL_AUDIODRIVER=dummy", "ASAN_OPTIONS=detect_leaks=0"};
    environment.insert(environment.end(), extraEnvironment.begin(), extraEnvironment.end());
    show = test::Spawn({LUMENSHOW_BIN, "slideshow", pictures.path()}, environment);
    ASSERT_TRUE(x.WaitForWindow("^LumenShow$", 20s)) << "no show window";
  }
  // A private X server for the test; it outlives the show.
  test::X11Session& Session(const std::string& screen = "1280x720") {
    session = std::make_unique<test::X11Session>(screen);
    return *session;
  }
  void TearDown() override {
    if (show > 0 && test::WaitExit(show, 0ms) == -1) {
      ::kill(show, SIGTERM);
      test::WaitExit(show, 5s);
    }
    session.reset();
  }

  test::TempFolder home, pictures;
  std::unique_ptr<test::X11Session> session;
  pid_t show = -1;
};

TEST_F(Desktops, OnAScreenScaledByTwoThePageIsTwiceAsLarge) {
  test::X11Session& x = Session("3840x2160");
  ASSERT_TRUE(x.Ready());
  WriteIni("余白の色=16777215\r\n");
  StartShow(x, {"QT_SCALE_FACTOR=2"});
  // The 1800 x 1200 page stands in the middle of the screen from (1020, 480); the 640 x 480
  // picture is drawn 1280 x 960 in its middle, white margins round it.
  ASSERT_TRUE(x.WaitForPixel(1920, 1080, 0x0000FF, 10s));
  const auto shot = x.Capture();
  EXPECT_EQ(shot.At(1020, 480), 0xFFFFFF) << "the page's corner";
  EXPECT_EQ(shot.At(1019, 480), 0x000000) << "left of the page: the background";
  EXPECT_EQ(shot.At(1020 + 1799, 480 + 1199), 0xFFFFFF);
  EXPECT_EQ(shot.At(1020 + 260, 480 + 120), 0x0000FF) << "the picture, doubled with the page";
  EXPECT_EQ(shot.At(1020 + 259, 480 + 120), 0xFFFFFF);
}

TEST_F(Desktops, OnWaylandTheShowCoversItsScreen) {
  // A client cannot place a window on Wayland: the show asks for full screen and draws
  // its own window in the middle of a buffer of the screen's size.
  test::TempFolder runtime;
  ::chmod(runtime.path().c_str(), 0700);
  const std::string socket = "lumenshow-test";
  const int quiet = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
  pid_t weston = test::Spawn({"weston", "--backend=headless-backend.so", "--width=1280", "--height=720",
                              "--socket=" + socket, "--idle-time=0"},
                             {"XDG_RUNTIME_DIR=" + runtime.path()}, quiet, quiet);
  ::close(quiet);
  const std::string log = runtime / "client.log";
  const int logFd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
  for (int i = 0; i < 100 && !std::filesystem::exists(runtime / socket); ++i) std::this_thread::sleep_for(100ms);
  show = test::Spawn({LUMENSHOW_BIN, "slideshow", pictures.path()},
                     {"XDG_RUNTIME_DIR=" + runtime.path(), "WAYLAND_DISPLAY=" + socket, "QT_QPA_PLATFORM=wayland",
                      "WAYLAND_DEBUG=client", "LUMENSHOW_HOME=" + home.path(), "SDL_AUDIODRIVER=dummy",
                      "ASAN_OPTIONS=detect_leaks=0"},
                     -1, logFd);
  ::close(logFd);
  // The protocol log: the full-screen request, then a buffer of the whole screen.
  std::string text;
  for (int i = 0; i < 200 && text.find("create_buffer(new id wl_buffer") == std::string::npos; ++i) {
    std::this_thread::sleep_for(100ms);
    text = test::ReadBytes(log);
  }
  ::kill(weston, SIGTERM);
  test::WaitExit(weston, 5s);
  EXPECT_NE(text.find(".set_fullscreen("), std::string::npos) << text.substr(0, 2000);
  EXPECT_NE(text.find(", 1280, 720, 5120, "), std::string::npos) << "a 1280 x 720 buffer";
}

}  // namespace
}  // namespace lumen

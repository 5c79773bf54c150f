// The subcommands, run as a user runs them: the real program, its output and exit status.
#include <QImage>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include "platform/cp932.h"
#include "support/audio_fixtures.h"
#include "support/heif_fixtures.h"
#include "support/picture_files.h"
#include "support/temp_folder.h"

namespace lumen {
namespace {

struct RunResult {
  int status = -1;
  std::string out;
};

// Runs lumenshow with the given arguments (already quoted for the shell) and
// LUMENSHOW_HOME set to home; stderr is dropped unless asked for.
// Runs a shell command; its stdout and exit status.
RunResult Shell(const std::string& command) {
  RunResult run;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  std::array<char, 4096> buffer{};
  size_t n;
  while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) run.out.append(buffer.data(), n);
  int status = ::pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

RunResult Lumenshow(const std::string& home, const std::string& args, bool withStderr = false,
                    const std::string& environment = "") {
  return Shell(environment + " LUMENSHOW_HOME='" + home + "' '" LUMENSHOW_BIN "' " + args +
               (withStderr ? " 2>&1" : " 2>/dev/null"));
}

TEST(Cli, SettingsPrintsTheValuesAsLoaded) {
  test::TempFolder home;
  test::WriteBytes(home / "other.ini", *platform::Utf8ToCp932("[Section]\r\nめくる速さ=fast\r\n"
                                                              "余白の色=2.5\r\nBGMﾌｧｲﾙ=/gone.mp3\r\n"));
  RunResult run = Lumenshow(home.path(), "settings --ini '" + home / "other.ini" + "'");
  EXPECT_EQ(run.status, 0);
  const std::string& h = home.path();
  EXPECT_EQ(run.out, "ViewKind=1\nImageFolder=" + h +
                         "\nAdvanceMode=0\nTurnDirection=0\nShowOrder=0\nTurnSpeed=0\n"
                         "BackgroundKind=0\nBackgroundColor=0\nAutoInterval=1\nMarginColor=2\n"
                         "BgmKind=0\nBgmRepeat=0\nBgmFile=\nBgmFolder=" + h + "\n");

}

TEST(Cli, TheSettingsLiveInTheHomeFolderTheProgramsFolderOrTheUsersConfiguration) {
  test::TempFolder user;
  std::filesystem::create_directories(user / "Bilder");
  std::filesystem::create_directories(user / ".config");
  test::WriteBytes(user / ".config/user-dirs.dirs", "# written by xdg-user-dirs-update\nXDG_PICTURES_DIR=\"$HOME/Bilder\"\n");
  // A copy of the program, so that what lies beside it is the test's to choose.
  std::filesystem::create_directories(user / "bin");
  std::filesystem::copy_file(LUMENSHOW_BIN, user / "bin/lumenshow");
  auto run = [&](const std::string& args, const std::string& environment) {
    return Shell("env -u XDG_CONFIG_HOME HOME='" + user.path() + "' " + environment + " '" + user / "bin/lumenshow" +
                 "' " + args + " 2>/dev/null")
        .out;
  };
  // An empty LUMENSHOW_HOME counts as unset: the user's configuration, and pictures folder.
  EXPECT_EQ(run("settings --file", "LUMENSHOW_HOME="), user / ".config/lumenshow/LumenShow.ini\n");
  EXPECT_NE(run("settings", "").find("\nImageFolder=" + user / "Bilder" + "\n"), std::string::npos);
  EXPECT_EQ(run("settings --file", "XDG_CONFIG_HOME='" + user / "conf" + "'"), user / "conf/lumenshow/LumenShow.ini\n");
  EXPECT_EQ(run("settings --file", "LUMENSHOW_HOME='" + user / "home" + "'"), user / "home/LumenShow.ini\n");
  // A LumenShow.ini beside the program: a portable copy, which keeps its settings there.
  test::WriteBytes(user / "bin/LumenShow.ini", "[Section]\r\n");
  EXPECT_EQ(run("settings --file", ""), user / "bin/LumenShow.ini\n");
  EXPECT_NE(run("settings", "").find("\nImageFolder=" + user / "bin" + "\n"), std::string::npos);
}

TEST(Cli, OrderPrintsTheShowDataTheStartButtonBuilds) {
  test::TempFolder home;
  test::TempFolder pictures;
  for (const char* name : {"b.JPG", "a.jpg", "c.bmp", "notes.txt"}) test::WriteBytes(pictures / name, "x");
  const std::string& p = pictures.path();
  RunResult run = Lumenshow(home.path(), "order '" + p + "'");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "ImageCount=3\nImagePaths(1)=" + p + "/a.jpg\nImagePaths(2)=" + p +
                         "/b.JPG\nImagePaths(3)=" + p + "/c.bmp\nSlideOrder(1)=1\nSlideOrder(2)=2\n"
                         "SlideOrder(3)=3\n");

  test::WriteBytes(home / "LumenShow.ini", "[Section]\r\n\x89\xE6\x91\x9C\x95\x5C\x8E\xA6\x8F\x87=1\r\n");
  RunResult first = Lumenshow(home.path(), "order '" + p + "' --seed 12345");
  EXPECT_EQ(first.status, 0);
  EXPECT_EQ(first.out, Lumenshow(home.path(), "order '" + p + "' --seed 12345").out);
  EXPECT_NE(first.out.find("ImageCount=3\n"), std::string::npos);
}

TEST(Cli, BadArgumentsGiveOneLineAndStatus2) {
  test::TempFolder home;
  for (const char* args : {"nonsense", "settings extra", "settings --ini", "order", "order --seed x /",
                           "order / --seed -1", "order /no/such/folder", "order / /", "settings --bogus",
                           "slideshow /no/such/folder", "frames /tmp", "frames /tmp --out /tmp/x --keys LRX",
                           "frames /tmp --out /tmp/x --screen 12x", "frames /tmp --out /tmp/x --scale 0",
                           "bgm --seconds -1", "bgm extra", "video /tmp --out x.avi", "video /tmp --out x.mp4 --size 641x360",
                           "video /tmp --out x.mp4 --fps 0", "video /tmp --out x.mp4 --fps 241"}) {
    SCOPED_TRACE(args);
    RunResult run = Lumenshow(home.path(), args, true);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1) << run.out;
  }
  // A window without a display: one line that says which subcommands work, not Qt's abort.
  // The display named is one no server holds now (neither its lock nor its socket exists).
  int unused = 300;
  while (std::filesystem::exists("/tmp/.X" + std::to_string(unused) + "-lock") ||
         std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(unused))) {
    ++unused;
  }
  const std::string noServer = "DISPLAY=:" + std::to_string(unused) + " QT_QPA_PLATFORM=";
  for (const std::string& display : {std::string("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM"), noServer}) {
    RunResult run = Lumenshow(home.path(), "browse /tmp", true, display);
    EXPECT_EQ(run.status, 2) << display;
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1) << run.out;
    EXPECT_NE(run.out.find("these work: settings, order, bgm, frames, video, thumbnails, gallery"), std::string::npos);
  }
}

TEST(Cli, HelpAndVersion) {
  RunResult help = Lumenshow("", "--help");
  EXPECT_EQ(help.status, 0);
  for (const char* name : {"slideshow", "browse", "settings", "order", "bgm", "frames", "thumbnails", "gallery"}) {
    EXPECT_NE(help.out.find(std::string("\n  ") + name + " "), std::string::npos) << name;
  }
  RunResult frames = Lumenshow("", "frames /tmp --help");
  EXPECT_EQ(frames.status, 0);
  EXPECT_EQ(frames.out.rfind("usage: lumenshow frames DIR --out OUTDIR [options]\n", 0), 0u) << frames.out;
  EXPECT_NE(frames.out.find("  --keys KEYS "), std::string::npos);
  EXPECT_EQ(Lumenshow("", "--version").out.rfind("lumenshow ", 0), 0u);
}

TEST(Cli, FramesWritesEveryPresentedFrameAsRgba) {
  test::TempFolder home, pictures, out;
  for (const char* name : {"a.bmp", "b.bmp"}) {
    ASSERT_TRUE(test::WriteSolidBmp(pictures / name, 640, 480, qRgb(255, 0, 0)));
  }
  RunResult run = Lumenshow(home.path(), "frames '" + pictures.path() + "' --out '" + out.path() +
                                             "' --screen 1200x800 --keys RERR");
  EXPECT_EQ(run.status, 0);
  // The opening page, then a turn at TurnSpeed 100: 9 frames and the final one; E ends it.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out.path()), std::filesystem::directory_iterator()), 11);
  QImage first(QString::fromStdString(out / "frame-00000.png"));
  EXPECT_EQ(first.size(), QSize(1200, 800)) << "the normal state: 1.5 x the screen height";
  EXPECT_EQ(qAlpha(first.pixel(0, 0)), 0) << "the transparent background";
  EXPECT_EQ(first.pixel(150 + 450, 100 + 300), qRgb(255, 0, 0));
  EXPECT_EQ(qAlpha(first.pixel(150 + 5, 100 + 5)), 255) << "white margins are not the key";
  EXPECT_TRUE(QImage(QString::fromStdString(out / "frame-00010.png")).size() == QSize(1200, 800));

  run = Lumenshow(home.path(), "frames '" + pictures.path() + "' --out '" + out.path() +
                                   "' --screen 1000x800 --maximized --keys E");
  EXPECT_EQ(QImage(QString::fromStdString(out / "frame-00000.png")).size(), QSize(1000, 800));
}

TEST(Cli, AFolderOfFortyThousandPicturesShowsItsLastOneAndWraps) {
  // 39,999 hard links to a red picture, then the 40,000th in name order, blue.
  test::TempFolder home, pictures, out;
  QImage image(90, 60, QImage::Format_RGB32);
  image.fill(Qt::red);
  ASSERT_TRUE(image.save(QString::fromStdString(pictures / "a00001.bmp"), "BMP"));
  for (int i = 2; i < 40000; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "a%05d.bmp", i);
    std::filesystem::create_hard_link(pictures / "a00001.bmp", pictures / name);
  }
  image.fill(Qt::blue);
  ASSERT_TRUE(image.save(QString::fromStdString(pictures / "z.bmp"), "BMP"));
  // A right-turn show starts at the last picture; R wraps to the first, L back to the last.
  RunResult run = Lumenshow(home.path(), "frames '" + pictures.path() + "' --out '" + out.path() +
                                             "' --screen 960x640 --keys RL");
  ASSERT_EQ(run.status, 0);
  auto middle = [&](int frame) {
    char name[32];
    std::snprintf(name, sizeof name, "/frame-%05d.png", frame);
    return QImage(QString::fromStdString(out.path() + name)).pixel(480, 320);
  };
  EXPECT_EQ(middle(0), qRgb(0, 0, 255)) << "the 40,000th picture";
  EXPECT_EQ(middle(10), qRgb(255, 0, 0)) << "R: the first";
  EXPECT_EQ(middle(20), qRgb(0, 0, 255)) << "L: the last again";
}

TEST(Cli, AnOutputThatCannotBeWrittenIsReportedNotACrash) {
  test::TempFolder home, pictures, out;
  QImage image(64, 48, QImage::Format_RGB32);  // noise: its thumbnail's PNG is some kilobytes
  for (int y = 0; y < 48; ++y) {
    for (int x = 0; x < 64; ++x) image.setPixel(x, y, qRgb((x * 97 + y * 31) % 256, (x * y * 7) % 256, (x ^ y) * 4));
  }
  ASSERT_TRUE(image.save(QString::fromStdString(pictures / "a.bmp"), "BMP"));
  std::filesystem::create_symlink(out / "b", out / "a");  // a link loop
  std::filesystem::create_symlink(out / "a", out / "b");
  for (const char* command : {"frames", "thumbnails"}) {
    RunResult run = Lumenshow(home.path(), std::string(command) + " '" + pictures.path() + "' --out '" + out / "a/x" + "'",
                              true, "XDG_CACHE_HOME='" + home / "cache" + "'");
    EXPECT_EQ(run.status, 2) << command << ": " << run.out;
  }
  // Files may grow to 512 bytes only: the disk is full for every picture written, and
  // what could not be written whole is not left behind.
  for (const char* command : {"frames", "thumbnails"}) {
    const std::string folder = out / command;
    RunResult full = Lumenshow(home.path(), std::string(command) + " '" + pictures.path() + "' --out '" + folder + "'",
                               true, "trap '' XFSZ; ulimit -f 1; XDG_CACHE_HOME='" + home / "cache" + "'");
    EXPECT_EQ(full.status, 1) << command << ": " << full.out;
    EXPECT_NE(full.out.find("cannot write"), std::string::npos) << full.out;
    EXPECT_TRUE(std::filesystem::is_empty(folder)) << command;
  }
}

TEST(Cli, ThumbnailsWritesTheListsThumbnailsInOrderThroughTheSharedCache) {
  test::TempFolder home, pictures, out, cache;
  QImage wide(800, 600, QImage::Format_RGB32);
  wide.fill(Qt::blue);
  ASSERT_TRUE(wide.save(QString::fromStdString(pictures / "a.bmp"), "BMP"));
  test::WriteBytes(pictures / "b.jpg", "broken");
  RunResult run = Lumenshow(home.path(), "thumbnails '" + pictures.path() + "' --out '" + out.path() + "'",
                            false, "XDG_CACHE_HOME='" + cache.path() + "'");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "1 / 2\n2 / 2\n2枚\n");
  QImage first(QString::fromStdString(out / "00001.png"));
  EXPECT_EQ(first.size(), QSize(40, 40));
  EXPECT_EQ(first.pixel(20, 2), qRgb(255, 255, 255)) << "fitted 40 x 30 on white";
  EXPECT_EQ(first.pixel(20, 20), qRgb(0, 0, 255));
  EXPECT_EQ(QImage(QString::fromStdString(out / "00002.png")).pixel(20, 20), qRgb(255, 255, 255))
      << "a blank placeholder for the broken file";
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(cache / "thumbnails/normal"),
                          std::filesystem::directory_iterator()), 1);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(cache / "thumbnails/fail/lumenshow"),
                          std::filesystem::directory_iterator()), 1);
}

// A folder of every format a phone or a camera writes: each listed in name order, in its
// thumbnail and on its page, in its own colour (within what its codec loses).
TEST(Cli, AFolderOfEveryFormatShowsEachPicture) {
  test::TempFolder home, pictures, out;
  const std::pair<const char*, QRgb> files[] = {
      {"a.JPG", qRgb(200, 40, 40)},   {"b.jpeg", qRgb(40, 160, 60)}, {"c.png", qRgb(50, 70, 200)},
      {"d.webp", qRgb(200, 200, 40)}, {"e.tiff", qRgb(40, 180, 180)}, {"f.gif", qRgb(180, 40, 180)},
      {"g.heic", qRgb(230, 120, 30)}, {"h.AVIF", qRgb(90, 90, 90)},   {"i.bmp", qRgb(20, 20, 120)}};
  for (const auto& [name, colour] : files) {
    const std::string path = pictures / name, extension = std::filesystem::path(name).extension().string();
    QImage image(300, 200, QImage::Format_RGB32);
    image.fill(colour);
    if (extension == ".gif" || extension == ".heic" || extension == ".AVIF") {
      ASSERT_TRUE(image.save(QString::fromStdString(out / "source.png"), "PNG"));
      if (extension == ".gif") {
        ASSERT_EQ(Shell("convert '" + out / "source.png" + "' '" + path + "'").status, 0);
      } else {
        test::WriteBytes(path, test::EncodeHeif(out / "source.png", extension == ".AVIF"));
      }
    } else {
      ASSERT_TRUE(image.save(QString::fromStdString(path), nullptr, 95)) << name;
    }
  }
  EXPECT_NE(Lumenshow(home.path(), "order '" + pictures.path() + "'").out.find("ImageCount=9\n"), std::string::npos);
  auto near = [](QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) <= 12 && std::abs(qGreen(a) - qGreen(b)) <= 12 &&
           std::abs(qBlue(a) - qBlue(b)) <= 12;
  };
  ASSERT_EQ(Lumenshow(home.path(), "thumbnails '" + pictures.path() + "' --out '" + out / "thumbnails" + "'", false,
                      "XDG_CACHE_HOME='" + out / "cache" + "'")
                .status,
            0);
  // A right-turn show opens at the last picture; each R turns to the next, in 10 presents.
  ASSERT_EQ(Lumenshow(home.path(), "frames '" + pictures.path() + "' --out '" + out / "frames" +
                                       "' --screen 960x640 --keys RRRRRRRR")
                .status,
            0);
  for (int i = 0; i < 9; ++i) {
    SCOPED_TRACE(files[i].first);
    char thumbnail[32], frame[32];
    std::snprintf(thumbnail, sizeof thumbnail, "/%05d.png", i + 1);
    std::snprintf(frame, sizeof frame, "/frame-%05d.png", i == 8 ? 0 : 10 * (i + 1));
    EXPECT_TRUE(near(QImage(QString::fromStdString(out / "thumbnails" + thumbnail)).pixel(20, 20), files[i].second));
    EXPECT_TRUE(near(QImage(QString::fromStdString(out / "frames" + frame)).pixel(480, 320), files[i].second));
  }
}

// A FIFO (which never answers a reader) in the place of each file the program reads:
// every subcommand that reads it answers within seconds, as if the file were not there.
TEST(Cli, AFifoInAnyFilesPlaceNeverHangsASubcommand) {
  test::TempFolder home, pictures, out, cache, config;
  ASSERT_TRUE(test::WriteSolidBmp(pictures / "a.bmp", 64, 48, qRgb(0, 0, 255)));
  auto fifo = [](const std::string& path) {
    std::filesystem::remove(path);
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0) << path;
  };
  fifo(pictures / "b.jpg");
  for (const char* name : {"m.wav", "m.mp3", "d.cue", "disc.bin", "user-dirs.dirs"}) fifo(home / name);
  test::WriteBytes(home / "bin.cue", "FILE \"disc.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n");
  std::filesystem::create_directories(config.path());
  std::filesystem::rename(home / "user-dirs.dirs", config / "user-dirs.dirs");
  // A thumbnail cache entry made, then put in a FIFO's place.
  const std::string withCache = "XDG_CACHE_HOME='" + cache.path() + "'";
  ASSERT_EQ(Lumenshow(home.path(), "thumbnails '" + pictures.path() + "' --out '" + out / "first" + "'", false, withCache).status, 0);
  for (const auto& entry : std::filesystem::directory_iterator(cache / "thumbnails/normal")) fifo(entry.path());

  const std::string frames = "frames '" + pictures.path() + "' --out '" + out / "frames" + "' --screen 320x200";
  const std::string video = "video '" + pictures.path() + "' --out '" + out / "v.mkv" + "' --size 160x90 --fps 5";
  const std::string bgm = "bgm --seconds 1";
  const std::pair<std::string, std::string> runs[] = {
      // the settings: pictures, music, disc image
      {"BGM区分=2\r\nBGMﾌｧｲﾙ=" + home / "m.wav", bgm},
      {"BGM区分=2\r\nBGMﾌｧｲﾙ=" + home / "m.mp3", bgm},
      {"BGM区分=2\r\nBGMﾌｧｲﾙ=" + home / "m.wav", video},
      {"BGM区分=2\r\nBGMﾌｧｲﾙ=" + home / "m.mp3", video},
      {"BGM区分=1", "CDROM=d.cue " + bgm},
      {"BGM区分=1", "CDROM=d.cue " + video},
      {"BGM区分=1", "CDROM=bin.cue " + bgm},
      {"", frames},
      {"", "order '" + pictures.path() + "'"},
      {"", "thumbnails '" + pictures.path() + "' --out '" + out / "again" + "'"},
      {"", "settings"},
  };
  for (const auto& [ini, command] : runs) {
    SCOPED_TRACE(command);
    test::WriteBytes(home / "LumenShow.ini", *platform::Utf8ToCp932("[Section]\r\n" + ini + "\r\n"));
    std::string args = command, environment = withCache + " XDG_CONFIG_HOME='" + config.path() + "' SDL_AUDIODRIVER=dummy";
    if (args.rfind("CDROM=", 0) == 0) {
      environment += " LUMENSHOW_CDROM='" + home / args.substr(6, args.find(' ') - 6) + "'";
      args = args.substr(args.find(' ') + 1);
    }
    const auto start = std::chrono::steady_clock::now();
    const RunResult run = Lumenshow(home.path(), args, false, "timeout 30 env " + environment);
    EXPECT_EQ(run.status, 0) << "124: it hung";
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));
  }
  fifo(home / "LumenShow.ini");
  EXPECT_EQ(Lumenshow(home.path(), "settings", false, "timeout 30 env").status, 0) << "a FIFO for the settings: defaults";
}

// A 1,080-byte BMP that decodes to the largest picture allowed (16,384 x 8,192 of one
// run-length colour): its thumbnail, and a show of six such pictures, in little memory.
TEST(Cli, PicturesAtThePixelLimitCostLittleMemory) {
  test::TempFolder home, pictures, out;
  const std::string bomb = test::BmpFile(16384, 8192, 8, 1, std::string(1024, '\x40'), std::string("\0\1", 2));
  ASSERT_EQ(bomb.size(), 1080u);
  for (int i = 0; i < 6; ++i) test::WriteBytes(pictures / ("p" + std::to_string(i) + ".bmp"), bomb);
  EXPECT_EQ(Lumenshow(home.path(), "thumbnails '" + pictures.path() + "' --out '" + out / "thumbnails" + "'", false,
                      "XDG_CACHE_HOME='" + out / "cache" + "'").status, 0);
  EXPECT_EQ(Lumenshow(home.path(), "frames '" + pictures.path() + "' --out '" + out / "frames" + "' --screen 320x200")
                .status, 0);
  rusage children{};
  ::getrusage(RUSAGE_CHILDREN, &children);
  EXPECT_LT(children.ru_maxrss, 400 * 1024) << "kB; whole, one of them was 512 MiB";
  EXPECT_EQ(QImage(QString::fromStdString(out / "thumbnails/00001.png")).pixel(20, 20), qRgb(64, 64, 64));
}

TEST(Cli, GalleryDrawsTheControlsWithoutADisplay) {
  test::TempFolder home, out;
  RunResult run = Lumenshow(home.path(), "gallery --out '" + out.path() + "'");
  EXPECT_EQ(run.status, 0);
  for (int state = 0; state <= 4; ++state) {
    QImage button(QString::fromStdString(out / ("button-" + std::to_string(state) + ".png")));
    EXPECT_EQ(button.size(), QSize(109, 33)) << state;
    EXPECT_EQ(qAlpha(button.pixel(0, 0)), 0) << "outside the rounded region";
  }
  QImage normal(QString::fromStdString(out / "button-1.png"));
  EXPECT_EQ(normal.pixel(3, 0), qRgb(0x00, 0x3C, 0x74)) << "the edge, COLORREF 0x743C00";
  EXPECT_EQ(normal.pixel(10, 1), qRgb(255, 255, 255));
  for (const char* style : {"classic", "flat"}) {
    for (const char* state : {"normal", "hovered", "pressed", "disabled"}) {
      QImage bar(QString::fromStdString(out / (std::string("scrollbar-") + style + "-" + state + ".png")));
      EXPECT_EQ(bar.size(), QSize(81, 17)) << style << " " << state;
    }
  }
}

TEST(Cli, VideoIsTheAutomaticShowFrameForFrame) {
  test::TempFolder home, pictures, out;
  const QRgb colours[] = {qRgb(255, 0, 0), qRgb(0, 160, 0), qRgb(0, 0, 255), qRgb(255, 255, 0)};
  for (int i = 0; i < 4; ++i) {
    ASSERT_TRUE(test::WriteSolidBmp(pictures / (std::string(1, char('a' + i)) + ".bmp"), 640, 480, colours[i]));
  }
  // Saved as a show by hand: the video turns by itself all the same, every 2 seconds.
  test::WriteBytes(home / "LumenShow.ini", *platform::Utf8ToCp932("[Section]\r\nインターバル=2\r\n"));
  RunResult run = Lumenshow(home.path(), "video '" + pictures.path() + "' --out '" + out / "show.mp4" +
                                             "' --size 640x360 --fps 30");
  ASSERT_EQ(run.status, 0) << run.out;
  auto probe = [&](const std::string& args) { return Shell("ffprobe -v error " + args + " '" + out / "show.mp4" + "'").out; };
  EXPECT_EQ(probe("-show_entries stream=codec_name,width,height,r_frame_rate -of csv=p=0"), "h264,640,360,30/1\n");
  // The opening page for a frame, a second until the timer's first tick, then four turns of
  // 10 presents (TurnSpeed 100) each followed by its 2-second wait: one video frame a present.
  EXPECT_EQ(probe("-count_frames -show_entries stream=nb_read_frames -of csv=p=0"),
            std::to_string(1 + 30 + 4 * (10 + 60)) + "\n");

  // Its first and last frames are the page the show starts on, as `frames` draws it, with
  // the see-through background black.
  ASSERT_EQ(Lumenshow(home.path(), "frames '" + pictures.path() + "' --out '" + out / "frames" +
                                       "' --screen 640x360 --maximized --keys E").status, 0);
  const std::string video = " -i '" + out / "show.mp4" + "' ";
  for (const std::string& which : {video + "-frames:v 1", " -sseof -0.2" + video + "-update 1"}) {
    const std::string png = out / "video-frame.png";
    std::filesystem::remove(png);
    Shell("ffmpeg -v error" + which + " '" + png + "'");
    QImage video(QString::fromStdString(png)), page(QString::fromStdString(out / "frames/frame-00000.png"));
    ASSERT_EQ(video.size(), page.size()) << which;
    double squares = 0;
    for (int y = 0; y < page.height(); ++y) {
      for (int x = 0; x < page.width(); ++x) {
        const QRgb p = page.pixel(x, y), v = video.pixel(x, y);
        const int alpha = qAlpha(p);  // see-through: black
        for (auto [a, b] : {std::pair{qRed(p) * alpha / 255, qRed(v)}, std::pair{qGreen(p) * alpha / 255, qGreen(v)},
                            std::pair{qBlue(p) * alpha / 255, qBlue(v)}}) {
          squares += double(a - b) * (a - b);
        }
      }
    }
    const double psnr = 10 * std::log10(255.0 * 255.0 / (squares / (3.0 * page.width() * page.height())));
    EXPECT_GE(psnr, 35) << which;
  }
}

// An export writes one file of its own beside the video, renames it when whole and removes
// it when stopped; whatever else is there, a .part left by an earlier run among them, is
// never written, followed, renamed or removed.
TEST(Cli, VideoTouchesNothingButItsOwnTemporaryFile) {
  test::TempFolder home, pictures, out;
  for (const char* name : {"a.bmp", "b.bmp"}) ASSERT_TRUE(test::WriteSolidBmp(pictures / name, 64, 48, qRgb(0, 0, 255)));
  test::WriteBytes(out / "victim", "precious");
  std::filesystem::create_symlink(out / "victim", out / "link.mp4.part");
  test::WriteBytes(out / "file.mp4.part", "an earlier run's");
  std::filesystem::create_directory(out / "folder.mp4.part");
  auto listing = [&] {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(out.path())) names.insert(entry.path().filename());
    return names;
  };
  const auto video = [&](const std::string& name, const std::string& rounds = "1") {
    return "LUMENSHOW_HOME='" + home.path() + "' '" LUMENSHOW_BIN "' video '" + pictures.path() + "' --out '" +
           out / name + "' --size 320x180 --fps 10 --rounds " + rounds + " 2>/dev/null";
  };
  for (const char* name : {"link.mp4", "file.mp4", "folder.mp4"}) EXPECT_EQ(Shell(video(name)).status, 0) << name;
  EXPECT_EQ(test::ReadBytes(out / "victim"), "precious");
  EXPECT_EQ(test::ReadBytes(out / "file.mp4.part"), "an earlier run's");
  EXPECT_TRUE(std::filesystem::is_symlink(out / "link.mp4.part"));
  EXPECT_TRUE(std::filesystem::is_directory(out / "folder.mp4.part"));
  const std::set<std::string> before = listing();
  EXPECT_EQ(before, (std::set<std::string>{"victim", "link.mp4", "link.mp4.part", "file.mp4", "file.mp4.part",
                                            "folder.mp4", "folder.mp4.part"}));

  // Stopped halfway through a long export by Ctrl+C, `kill` or a closed terminal: status
  // 130, and nothing left of it.
  for (const char* signal : {"INT", "TERM", "HUP"}) {
    RunResult run = Shell(video("long.mkv", "1000") + " & sleep 1; kill -" + signal + " $!; wait $!");
    EXPECT_EQ(run.status, 130) << signal;
    EXPECT_EQ(listing(), before) << signal;
  }
  // At the largest size a frame keeps the encoder busy for seconds: the stop still comes
  // within a second.
  RunResult run = Shell("LUMENSHOW_HOME='" + home.path() + "' '" LUMENSHOW_BIN "' video '" + pictures.path() +
                        "' --out '" + out / "huge.mp4" + "' --size 8192x8192 2>/dev/null & sleep 3; kill -INT $!; "
                        "start=$(date +%s%N); wait $!; status=$?; echo $(( ($(date +%s%N) - start) / 1000000 )); "
                        "exit $status");
  EXPECT_EQ(run.status, 130);
  EXPECT_LT(std::stoi(run.out), 1500) << "milliseconds from Ctrl+C to the end";
  EXPECT_EQ(listing(), before);
  run = Shell("LUMENSHOW_HOME='" + home.path() + "' '" LUMENSHOW_BIN "' video '" + pictures.path() + "' --out '" +
              out / "x.mp4" + "' --size 16384x16384 2>&1");
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.out.find("up to 8192x8192"), std::string::npos) << run.out;
}

TEST(Cli, VideoCarriesTheShowsMusicFadedOutAtTheEnd) {
  test::TempFolder home, pictures, out;
  for (const char* name : {"a.bmp", "b.bmp"}) ASSERT_TRUE(test::WriteSolidBmp(pictures / name, 64, 48, qRgb(0, 0, 255)));
  test::WriteWav(home / "loop.wav", test::Tone(660, 1.0));
  std::vector<int16_t> disc = test::Tone(440, 1.0);
  test::Append(disc, test::Tone(880, 3.0));
  test::WriteRawLE(home / "disc.bin", disc);
  test::WriteBytes(home / "disc.cue", "FILE \"disc.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
                                      "  TRACK 02 AUDIO\n    INDEX 01 00:01:00\n");
  // The tones heard, a tenth of a second at a time, in a video of two pictures: 1 + 30 +
  // 2 x (10 + 30) frames at 30 a second, 3.7 s.
  auto tones = [&](const std::string& ini, const std::string& environment) {
    test::WriteBytes(home / "LumenShow.ini", *platform::Utf8ToCp932("[Section]\r\n" + ini));
    const std::string video = out / "music.mkv", raw = out / "music.raw";
    std::filesystem::remove(video);
    std::filesystem::remove(raw);
    EXPECT_EQ(Shell(environment + " LUMENSHOW_HOME='" + home.path() + "' '" LUMENSHOW_BIN "' video '" + pictures.path() +
                    "' --out '" + video + "' --size 320x180 --fps 30 >/dev/null 2>&1").status, 0);
    Shell("ffmpeg -v error -i '" + video + "' -f s16le -ac 2 -ar 44100 '" + raw + "'");
    return test::ToneRuns(test::ReadRawLE(raw), 0.1, {440, 660, 880});
  };
  using Runs = std::vector<std::pair<int, int>>;
  // A WAV file loops to the end, where it fades out over the last second.
  const Runs wav = tones("BGM区分=2\r\nBGMﾌｧｲﾙ=" + home / "loop.wav" + "\r\n", "");
  ASSERT_GE(wav.size(), 2u) << test::Describe(wav);
  EXPECT_TRUE(wav.front().first == 660 && wav.front().second >= 34) << test::Describe(wav);
  EXPECT_EQ(wav.back().first, 0) << test::Describe(wav);
  // An MP3 plays to its end and starts again at the next poll the show lets through (the
  // polls wait while a turn's interval runs, as on the desktop): heard, silent, heard.
  ASSERT_EQ(Shell("lame --quiet '" + home / "loop.wav" + "' '" + home / "tone.mp3" + "'").status, 0);
  const Runs mp3 = tones("BGM区分=2\r\nBGMﾌｧｲﾙ=" + home / "tone.mp3" + "\r\n", "");
  ASSERT_GE(mp3.size(), 3u) << test::Describe(mp3);
  EXPECT_TRUE(mp3[0].first == 660 && mp3[0].second >= 9 && mp3[1].first == 0 && mp3[2].first == 660)
      << test::Describe(mp3);
  // The whole disc from its first track, started by the CD's first poll (0.2 s): 440 Hz
  // for a second, then the second track.
  const Runs cd = tones("BGM区分=1\r\n", "LUMENSHOW_CDROM='" + home / "disc.cue" + "'");
  EXPECT_EQ(Runs(cd.begin(), cd.begin() + std::min<size_t>(2, cd.size())), (Runs{{0, 2}, {440, 10}})) << test::Describe(cd);
  EXPECT_TRUE(cd.size() >= 3 && cd[2].first == 880 && cd[2].second >= 20) << test::Describe(cd);
  // No music: no audio stream.
  test::WriteBytes(home / "LumenShow.ini", "[Section]\r\n");
  ASSERT_EQ(Lumenshow(home.path(), "video '" + pictures.path() + "' --out '" + out / "silent.mp4" + "' --size 320x180").status, 0);
  EXPECT_EQ(Shell("ffprobe -v error -show_entries stream=codec_type -of csv=p=0 '" + out / "silent.mp4" + "'").out, "video\n");
}

}  // namespace
}  // namespace lumen

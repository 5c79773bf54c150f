#include "settings/lumen_b.h"

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include "platform/cp932.h"
#include "settings/ini_routines.h"
#include "settings/path_routines.h"
#include "support/child_process.h"
#include "support/temp_folder.h"

namespace lumen::settings {

void PrintTo(const Settings& s, std::ostream* out) { *out << "\n" << DescribeSettings(s); }

namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;

std::string Fixture(const std::string& name) { return ReadBytes(std::string(LUMEN_TEST_DATA) + "/" + name); }

// Hex of up to 16 bytes from offset, for failures in code page 932 text.
std::string HexAt(const std::string& bytes, size_t offset) {
  std::string hex;
  char cell[4];
  for (size_t i = offset; i < bytes.size() && i < offset + 16; ++i) {
    std::snprintf(cell, sizeof cell, "%02X ", static_cast<unsigned char>(bytes[i]));
    hex += cell;
  }
  return hex;
}

// Golden comparison that names the first differing byte.
void ExpectSameBytes(const std::string& actual, const std::string& expected) {
  auto [a, e] = std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end());
  if (a == actual.end() && e == expected.end()) return;
  size_t offset = static_cast<size_t>(a - actual.begin());
  ADD_FAILURE() << "bytes differ first at offset " << offset << " (sizes " << actual.size()
                << " and " << expected.size() << ")\n  actual:   " << HexAt(actual, offset)
                << "\n  expected: " << HexAt(expected, offset);
}

// An INI holding the given UTF-8 lines in code page 932.
void WriteIni(const std::string& path, const std::string& utf8Body) {
  WriteBytes(path, *platform::Utf8ToCp932("[Section]\r\n" + utf8Body));
}

Settings Defaults(const std::string& programFolder) {
  return {.ViewKind = settings::View::Details,
          .ImageFolder = programFolder,
          .TurnSpeed = 100,
          .AutoInterval = 1,
          .MarginColor = 0xFFFFFF,
          .BgmFile = "",
          .BgmFolder = programFolder};
}

TEST(LoadSettings, WithoutAnIniEveryDefaultApplies) {
  TempFolder home;
  Settings loaded;
  LoadSettings(loaded, home.path(), home / "LumenShow.ini");
  EXPECT_EQ(loaded, Defaults(home.path()));
}

TEST(LoadSettings, AFileWrittenOnWindowsLoadsAndKeepsItsForeignLinesWhenSaved) {
  TempFolder home;
  const std::string ini = home / "LumenShow.ini";
  WriteBytes(ini, Fixture("windows_written.ini"));
  Settings loaded;
  LoadSettings(loaded, home.path(), ini);
  // ViewKind from [section], not [Other]; TurnSpeed from the first of two lines; 2.9 floored.
  const Settings expected{.ViewKind = settings::View::Thumbnails,
                          .ImageFolder = "/usr",
                          .AdvanceMode = settings::Advance::Automatic,
                          .TurnDirection = settings::Turn::Left,
                          .ShowOrder = settings::Order::Shuffled,
                          .TurnSpeed = 75,
                          .BackgroundKind = settings::Background::Colour,
                          .BackgroundColor = 255,
                          .AutoInterval = 2,
                          .MarginColor = 0xFFFFFF,
                          .BgmKind = settings::Music::AudioCd,
                          .BgmRepeat = 3,
                          .BgmFile = "/etc/passwd",
                          .BgmFolder = "/etc"};
  EXPECT_EQ(loaded, expected);

  EXPECT_TRUE(SaveSettings(loaded, "3", ini));
  ExpectSameBytes(ReadBytes(ini), Fixture("windows_written.saved.ini"));
}

TEST(SaveSettings, AFirstSaveWritesEveryKeyInOrder) {
  TempFolder home;
  Settings s{.ViewKind = settings::View::Thumbnails,
             .ImageFolder = "/写真/～2024",
             .AdvanceMode = settings::Advance::Automatic,
             .TurnDirection = settings::Turn::Left,
             .ShowOrder = settings::Order::Shuffled,
             .TurnSpeed = 50,
             .BackgroundKind = settings::Background::Colour,
             .BackgroundColor = -1,
             .AutoInterval = 10,
             .MarginColor = 0xFFFFFF,
             .BgmKind = settings::Music::File,
             .BgmRepeat = 0,
             .BgmFile = "/音楽/ﾃｽﾄ①.mp3",
             .BgmFolder = "/never/written"};
  EXPECT_TRUE(SaveSettings(s, " 12 ", home / "LumenShow.ini"));
  EXPECT_EQ(s.BgmRepeat, 12);
  ExpectSameBytes(ReadBytes(home / "LumenShow.ini"), Fixture("first_save.ini"));
  // The settings' own folder (~/.config/lumenshow) is made by the first save.
  EXPECT_TRUE(SaveSettings(s, " 12 ", home / ".config/lumenshow/LumenShow.ini"));
  ExpectSameBytes(ReadBytes(home / ".config/lumenshow/LumenShow.ini"), Fixture("first_save.ini"));
}

TEST(SaveSettings, ReadsBackTheSameValuesEvenForPathsCodePage932CannotHold) {
  TempFolder home;
  const std::string photos = home / "Café 📷";
  const std::string music = home / "曲 ①～/Ünïcode.mp3";
  fs::create_directories(photos);
  fs::create_directories(ParentFolder(music));
  WriteBytes(music, "x");

  Settings saved = Defaults(home.path());
  saved.ImageFolder = photos;
  saved.BgmFile = music;
  saved.BgmFolder = ParentFolder(music);
  saved.BgmKind = settings::Music::File;
  saved.TurnSpeed = -32768;
  saved.MarginColor = 0x123456;
  ASSERT_TRUE(SaveSettings(saved, "7", home / "LumenShow.ini"));
  EXPECT_EQ(saved.BgmRepeat, 7);
  EXPECT_NE(ReadBytes(home / "LumenShow.ini").find("utf8:"), std::string::npos);

  Settings loaded;
  LoadSettings(loaded, home.path(), home / "LumenShow.ini");
  EXPECT_EQ(loaded, saved);
}

TEST(LoadSettings, EdgeCases) {
  TempFolder home;
  const std::string ini = home / "LumenShow.ini";
  const std::string song = home / "music/song.mp3";
  fs::create_directory(home / "music");
  WriteBytes(song, "x");
  // Each line, alone in the file, against the defaults changed as given.
  const std::pair<std::string, std::function<void(Settings&)>> cases[] = {
      {"インターバル=2.9", [](Settings& s) { s.AutoInterval = 2; }},
      {"表示区分=-0.5", [](Settings& s) { s.ViewKind = static_cast<settings::View>(-1); }},
      {"余白の色=2.5\r\n背景色=3.5", [](Settings& s) { s.MarginColor = 2, s.BackgroundColor = 4; }},
      {"めくる速さ=fast", [](Settings& s) { s.TurnSpeed = 0; }},
      {"めくる速さ=", [](Settings&) {}},
      {"めくる速さ=32768\r\n余白の色=4294967296", [](Settings& s) { s.TurnSpeed = 0, s.MarginColor = 0; }},
      {"めくる速さ=-32769", [](Settings& s) { s.TurnSpeed = 0; }},
      {"BGM区分=2\r\nBGMﾌｧｲﾙ=", [](Settings&) {}},
      {"BGM区分=2\r\nBGMﾌｧｲﾙ=/no/such.mp3", [](Settings&) {}},
      {"BGM区分=1\r\nBGMﾌｧｲﾙ=/no/such.mp3", [](Settings& s) { s.BgmKind = settings::Music::AudioCd; }},
      {"BGM区分=2\r\nBGMﾌｧｲﾙ=" + song,
       [&](Settings& s) { s.BgmKind = settings::Music::File, s.BgmFile = song, s.BgmFolder = home / "music"; }},
      {"画像ﾌｫﾙﾀﾞ=" + home / "deleted", [](Settings&) {}},
      {"画像ﾌｫﾙﾀﾞ=" + home / std::string(300, 'x'), [](Settings&) {}},
  };
  for (const auto& [body, change] : cases) {
    SCOPED_TRACE(body);
    WriteIni(ini, body + "\r\n");
    Settings loaded;
    LoadSettings(loaded, home.path(), ini);
    Settings expected = Defaults(home.path());
    change(expected);
    EXPECT_EQ(loaded, expected);
  }
  WriteIni(ini, "BGMﾌｧｲﾙ=" + std::string(300, 'y') + "\r\n");
  EXPECT_EQ(ReadIniValue("Section", "bgmﾌｧｲﾙ", ini), std::string(255, 'y'));
}

TEST(SaveSettings, TakesTheTrackFromTheTrackBox) {
  TempFolder home;
  const std::pair<const char*, int16_t> cases[] = {
      {"", 0}, {"12", 12}, {"abc", 0}, {"2.5", 2}, {"3.5", 4}, {"99999", 5}};
  for (const auto& [text, track] : cases) {
    SCOPED_TRACE(text);
    Settings s;
    s.BgmRepeat = 5;
    SaveSettings(s, text, home / "LumenShow.ini");
    EXPECT_EQ(s.BgmRepeat, track);
    const std::string line = "BGM\xD8\xCB\xDF\xB0\xC4= " + std::to_string(track) + "\r\n";
    EXPECT_NE(ReadBytes(home / "LumenShow.ini").find(line), std::string::npos);
  }
}

// The file holds these bytes, whole, and no temporary file is left beside it.
void ExpectOldIniStands(const TempFolder& home, const std::string& oldBytes) {
  ExpectSameBytes(ReadBytes(home / "LumenShow.ini"), oldBytes);
  EXPECT_EQ(std::distance(fs::directory_iterator(home.path()), fs::directory_iterator()), 1);
}

TEST(SaveSettings, AnInterruptedWriteLeavesTheOldIniWhole) {
  TempFolder home;
  WriteBytes(home / "LumenShow.ini", Fixture("windows_written.ini"));
  Settings s = Defaults(home.path());
  // Files may grow to 100 bytes only: the write stops halfway, as on a full disk.
  int status = test::RunInChild([&] {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{100, 100};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 3;
    return SaveSettings(s, "", home / "LumenShow.ini") ? 1 : 0;
  });
  EXPECT_EQ(status, 0) << "the save should report failure to its caller, and not crash";
  ExpectOldIniStands(home, Fixture("windows_written.ini"));
}

TEST(SaveSettings, AReadOnlyFolderWithAWritableIniStillSaves) {
  // A shared install: the folder is the administrator's, the file the user's.
  TempFolder home, writable;
  WriteBytes(home / "LumenShow.ini", Fixture("windows_written.ini"));
  ::chmod((home / "LumenShow.ini").c_str(), 0666);
  ::chmod(home.path().c_str(), 0555);
  Settings s = Defaults(home.path());
  s.TurnSpeed = 77;
  int status = test::RunInChild([&] {
    // Root writes anywhere: drop to "nobody" so the folder's rights apply.
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) return 77;
    return SaveSettings(s, "", home / "LumenShow.ini") ? 0 : 1;
  });
  ::chmod(home.path().c_str(), 0755);
  if (status == 77) GTEST_SKIP() << "cannot switch to an unprivileged user here";
  EXPECT_EQ(status, 0) << "the options are saved, not lost";
  // The same bytes a save into a writable folder gives, and nothing left beside them.
  WriteBytes(writable / "LumenShow.ini", Fixture("windows_written.ini"));
  ASSERT_TRUE(SaveSettings(s, "", writable / "LumenShow.ini"));
  ExpectOldIniStands(home, ReadBytes(writable / "LumenShow.ini"));
}

}  // namespace
}  // namespace lumen::settings

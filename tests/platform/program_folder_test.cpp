// Where the settings live when the environment is odd: LUMENSHOW_HOME that is not an
// absolute folder, HOME unset.
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/program_folder.h"
#include "support/temp_folder.h"

namespace lumen::platform {
namespace {

TEST(ProgramPlaces, OnlyAnAbsoluteFolderServesAsTheProgramsHomeAndHomeFallsBackToThePasswordDatabase) {
  test::TempFolder folder;
  test::WriteBytes(folder / "file", "x");
  ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0600), 0);
  ::setenv("HOME", folder.path().c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
  for (const std::string& bad : {folder / "file", folder / "fifo", std::string("relative/folder")}) {
    ::setenv("LUMENSHOW_HOME", bad.c_str(), 1);
    EXPECT_EQ(FindProgramPlaces("/nonexistent").iniPath, folder / "config/lumenshow/LumenShow.ini") << bad;
  }
  for (const std::string& good : {folder.path(), folder / "not/made/yet"}) {
    ::setenv("LUMENSHOW_HOME", good.c_str(), 1);
    EXPECT_EQ(FindProgramPlaces("/nonexistent").iniPath, good + "/LumenShow.ini");
  }

  ::unsetenv("LUMENSHOW_HOME");
  ::unsetenv("HOME");
  ::unsetenv("XDG_CONFIG_HOME");
  const std::string home = ::getpwuid(::getuid())->pw_dir;
  EXPECT_EQ(FindProgramPlaces("/nonexistent").iniPath, home + "/.config/lumenshow/LumenShow.ini") << "not /.config";
}

}  // namespace
}  // namespace lumen::platform

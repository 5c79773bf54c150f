#include "settings/path_routines.h"

#include <filesystem>
#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace lumen::settings {
namespace {

TEST(PathRoutines, ParentFolderWithoutDriveLetters) {
  EXPECT_EQ(ParentFolder("/Music/bgm.mp3"), "/Music");
  EXPECT_EQ(ParentFolder("/bgm.mp3"), "/");
  EXPECT_EQ(ParentFolder("bgm.mp3"), "");
  EXPECT_EQ(ParentFolder("/a/b/"), "/a/b");
}

TEST(PathRoutines, FolderAndFileExistence) {
  test::TempFolder folder;
  test::WriteBytes(folder / "song.mp3", "x");
  std::filesystem::create_directory(folder / "empty");
  std::filesystem::create_directory(folder / "holiday ");

  EXPECT_TRUE(FolderExists(folder / "empty"));  // an empty folder still lists "." and ".."
  EXPECT_TRUE(FolderExists(folder / "holiday ")) << "a Linux folder may end in a blank";
  EXPECT_FALSE(FolderExists(folder / "holiday"));
  EXPECT_FALSE(FolderExists(folder / "gone"));
  EXPECT_FALSE(FolderExists(folder / "song.mp3"));

  EXPECT_TRUE(FileExists(folder / "song.mp3/"));
  EXPECT_FALSE(FileExists(folder / "gone.mp3"));
  EXPECT_FALSE(FileExists(folder / "empty"));
}

}  // namespace
}  // namespace lumen::settings

#include "platform/whole_file.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/temp_folder.h"

namespace lumen::platform {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;

size_t EntriesIn(const std::string& folder) {
  return static_cast<size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

TEST(ReplaceFileAtomically, ReplacesWholeKeepsModeFollowsLinksLeavesNoTemporaryFile) {
  TempFolder folder;
  const std::string file = folder / "a.ini";
  WriteBytes(file, "old contents that are longer");
  ::chmod(file.c_str(), 0640);
  ASSERT_TRUE(ReplaceFileAtomically(file, "new"));
  EXPECT_EQ(ReadBytes(file), "new");
  struct stat st {};
  ASSERT_EQ(::stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);

  const std::string link = folder / "link.ini";
  fs::create_symlink(file, link);
  ASSERT_TRUE(ReplaceFileAtomically(link, "through the link"));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadBytes(file), "through the link");
  EXPECT_EQ(EntriesIn(folder.path()), 2u);
}

TEST(ReplaceFileAtomically, FailsCleanlyWhereItCannotWrite) {
  TempFolder folder;
  EXPECT_FALSE(ReplaceFileAtomically(folder / "no/such/a.ini", "x"));
  WriteBytes(folder / "plain", "x");
  EXPECT_FALSE(ReplaceFileAtomically(folder / "plain/a.ini", "x"));  // a file, not a folder
  EXPECT_EQ(EntriesIn(folder.path()), 1u);
  // A folder where the file should be is unreadable, not missing: nothing may replace it.
  EXPECT_EQ(ReadWholeFile(folder.path()).status, FileContents::Status::Unreadable);
  // A FIFO with no writer: unreadable at once, where a plain open would wait for ever.
  ASSERT_EQ(::mkfifo((folder / "LumenShow.ini").c_str(), 0600), 0);
  EXPECT_EQ(ReadWholeFile(folder / "LumenShow.ini").status, FileContents::Status::Unreadable);
  EXPECT_EQ(ReadWholeFile(folder / "none").status, FileContents::Status::Missing);
}

}  // namespace
}  // namespace lumen::platform

// The disc images libcdio reads for us: track table and samples.
#include "platform/audio/cd_disc.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include "support/audio_fixtures.h"
#include "support/temp_folder.h"

namespace lumen::platform::audio {
namespace {

TEST(CdDisc, ReadsTheTracksOfACueImageAndItsLittleEndianSamples) {
  test::TempFolder folder;
  std::vector<int16_t> bin = test::Tone(440, 1.0);  // 75 sectors each
  test::Append(bin, test::Tone(660, 1.0));
  test::Append(bin, test::Tone(880, 1.0));
  test::WriteRawLE(folder / "disc.bin", bin);
  // Track 2 has a pregap (INDEX 00) of 10 frames: it plays as the end of track 1.
  test::WriteBytes(folder / "disc.cue",
                   "FILE \"disc.bin\" BINARY\n"
                   "  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
                   "  TRACK 02 AUDIO\n    INDEX 00 00:00:65\n    INDEX 01 00:01:00\n"
                   "  TRACK 03 AUDIO\n    INDEX 01 00:02:00\n");
  ::setenv("LUMENSHOW_CDROM", (folder / "disc.cue").c_str(), 1);
  auto disc = CdDisc::OpenDefault();
  ::unsetenv("LUMENSHOW_CDROM");
  ASSERT_NE(disc, nullptr);
  ASSERT_EQ(disc->Media(), mci::CdMedia::Ready);
  EXPECT_EQ(disc->Tracks(), (std::vector<mci::CdTrack>{{1, 0, 75, true}, {2, 75, 150, true}, {3, 150, 225, true}}));

  std::vector<int16_t> samples(2 * kSamplesPerSector);
  ASSERT_TRUE(disc->Read(149, 2, samples.data()));
  EXPECT_TRUE(std::equal(samples.begin(), samples.end(), bin.begin() + 149 * kSamplesPerSector));

  test::WriteBytes(folder / "broken.cue", "FILE \"none.bin\" BINARY\n  TRACK 01 AUDIO\n");
  ::setenv("LUMENSHOW_CDROM", (folder / "broken.cue").c_str(), 1);
  auto broken = CdDisc::OpenDefault();
  ::unsetenv("LUMENSHOW_CDROM");
  ASSERT_NE(broken, nullptr);  // the "drive" is there, the disc is not
  EXPECT_EQ(broken->Media(), mci::CdMedia::NoDisc);

  // A FILE line and no track; a FIFO in the image's place (it must not hang).
  test::WriteBytes(folder / "empty.cue", "FILE \"disc.bin\" BINARY\n");
  ASSERT_EQ(::mkfifo((folder / "fifo.cue").c_str(), 0600), 0);
  for (const char* name : {"empty.cue", "fifo.cue"}) {
    ::setenv("LUMENSHOW_CDROM", (folder / name).c_str(), 1);
    auto none = CdDisc::OpenDefault();
    ::unsetenv("LUMENSHOW_CDROM");
    ASSERT_NE(none, nullptr);
    EXPECT_EQ(none->Media(), mci::CdMedia::NoDisc) << name;
  }

  // Rewritten within the same second as its last reading, at the same size: a new disc.
  test::WriteRawLE(folder / "same.bin", bin);  // libcdio takes the cue's own name for its bin
  const std::string good = "FILE \"disc.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n";
  test::WriteBytes(folder / "same.cue", std::string(good.size(), 'x'));
  struct stat before {};
  ::stat((folder / "same.cue").c_str(), &before);
  ::setenv("LUMENSHOW_CDROM", (folder / "same.cue").c_str(), 1);
  auto rewritten = CdDisc::OpenDefault();
  ::unsetenv("LUMENSHOW_CDROM");
  EXPECT_EQ(rewritten->Media(), mci::CdMedia::NoDisc);
  test::WriteBytes(folder / "same.cue", good);
  const timespec times[2] = {before.st_atim, {before.st_mtim.tv_sec, (before.st_mtim.tv_nsec + 1) % 1'000'000'000}};
  ASSERT_EQ(::utimensat(AT_FDCWD, (folder / "same.cue").c_str(), times, 0), 0);
  EXPECT_EQ(rewritten->Media(), mci::CdMedia::Ready);
}

}  // namespace
}  // namespace lumen::platform::audio

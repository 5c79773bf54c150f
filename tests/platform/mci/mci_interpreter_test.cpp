#include "platform/mci/mci_interpreter.h"

#include <gtest/gtest.h>

#include "platform/mci/fake_drivers.h"
#include "platform/mci/multimedia.h"

namespace lumen::platform::mci {
namespace {

class MciInterpreterTest : public ::testing::Test {
 protected:
  // "code answer", so one comparison shows both.
  std::string Send(const std::string& command) {
    std::string answer;
    uint32_t code = mci.Send(command, answer);
    return std::to_string(code) + (answer.empty() ? "" : " " + answer);
  }
  void OpenDisc(std::vector<CdTrack> tracks) {
    drivers.disc.tracks = std::move(tracks);
    ASSERT_EQ(Send("open cdaudio"), "0");
  }

  test::FakeDrivers drivers;
  MciInterpreter mci{drivers};
};

// Three audio tracks of 1, 2 and 3 seconds after a 2-second data track.
const std::vector<CdTrack> kMixedDisc = {
    {1, 0, 150, false}, {2, 150, 225, true}, {3, 225, 375, true}, {4, 375, 600, true}};

TEST_F(MciInterpreterTest, BadCommandsAnswerWithErrorCodes) {
  const std::pair<const char*, const char*> cases[] = {
      {"", "267"},
      {"   ", "267"},
      {"play", "269"},
      {"bogus MP3Play", "261"},
      {"play NoSuchAlias", "263"},
      {"open \"/music/a.mp3", "294"},
      {"open \"/music/a\".mp3\" type MPEGVideo Alias X", "305"},
      {"open /music/a.ogg", "263"},
      {"open /music/a.mp3 type sequencer", "306"},
      {"open /music/missing.mp3 type MPEGVideo", "275"},
      {"open /music/a.mp3 type MPEGVideo Alias", "269"},
      {"open /music/a.mp3 type MPEGVideo Alias A extra", "259"},
      {"close NoSuchAlias", "263"},
  };
  for (const auto& [command, expected] : cases) {
    SCOPED_TRACE(command);
    EXPECT_EQ(Send(command), expected);
  }
  drivers.hasDrive = false;
  EXPECT_EQ(Send("open cdaudio"), "306");
  EXPECT_EQ(Send("status cdaudio current track"), "263");
}

TEST_F(MciInterpreterTest, MpegDevicePlaysStopsAndNoticesItsEnd) {
  ASSERT_EQ(Send("open \"/music/My Song.mp3\" type MPEGVideo Alias MP3Play"), "0");
  EXPECT_EQ(Send("open \"/music/b.mp3\" type MPEGVideo Alias mp3play"), "289");
  EXPECT_EQ(Send("status MP3Play mode"), "0 stopped");
  EXPECT_EQ(Send("status MP3Play length"), "0 5000");
  EXPECT_EQ(Send("PLAY mp3play"), "0");
  EXPECT_EQ(Send("status MP3Play mode"), "0 playing");

  drivers.music.position = 2.5;
  EXPECT_EQ(Send("pause MP3Play"), "0");
  EXPECT_EQ(Send("status MP3Play mode"), "0 paused");
  EXPECT_EQ(Send("resume MP3Play"), "0");
  EXPECT_EQ(Send("stop MP3Play"), "0");
  EXPECT_EQ(Send("status MP3Play position"), "0 2500");
  EXPECT_EQ(Send("play MP3Play"), "0");  // goes on where it stopped
  EXPECT_EQ(drivers.music.lastPlayFrom, 2.5);

  drivers.music.sounding = false;  // the file played to its end
  EXPECT_EQ(Send("status MP3Play mode"), "0 stopped");
  EXPECT_EQ(Send("status MP3Play position"), "0 5000");
  EXPECT_EQ(Send("play MP3Play from 0 wait"), "0");
  EXPECT_EQ(drivers.music.lastPlayFrom, 0);
  EXPECT_EQ(Send("play MP3Play from 6000"), "282");
  EXPECT_EQ(Send("play MP3Play from soon"), "270");
  EXPECT_EQ(Send("status MP3Play"), "273");
  EXPECT_EQ(Send("close MP3Play"), "0");
  EXPECT_TRUE(drivers.music.halted);
  EXPECT_EQ(Send("status MP3Play mode"), "263");
}

TEST_F(MciInterpreterTest, CdPositionsInEachTimeFormat) {
  OpenDisc(kMixedDisc);
  EXPECT_EQ(Send("status cdaudio time format"), "0 msf");
  EXPECT_EQ(Send("status cdaudio position track 3"), "0 00:05:00");  // 225 + 150 lead-in
  EXPECT_EQ(Send("set cdaudio time format milliseconds"), "0");
  EXPECT_EQ(Send("status cdaudio position track 3"), "0 3000");
  EXPECT_EQ(Send("set cdaudio time format frames"), "293");
  EXPECT_EQ(Send("set cdaudio time format tmsf"), "0");
  EXPECT_EQ(Send("status cdaudio position track 3"), "0 03:00:00:00");
  EXPECT_EQ(Send("status cdaudio position track 9"), "282");
  EXPECT_EQ(Send("status cdaudio length track 4"), "0 00:03:00");
  EXPECT_EQ(Send("status cdaudio number of tracks"), "0 4");

  EXPECT_EQ(Send("play cdaudio from 03:00:01:05"), "0");
  EXPECT_EQ(drivers.disc.playFrom, 225 + 75 + 5);
  EXPECT_EQ(drivers.disc.playTo, 600);
  EXPECT_EQ(Send("play cdaudio from 3 to 4"), "0");
  EXPECT_EQ(drivers.disc.playFrom, 225);
  EXPECT_EQ(drivers.disc.playTo, 375);
  EXPECT_EQ(Send("play cdaudio from 03:00:60:00"), "282");
  EXPECT_EQ(Send("play cdaudio from 9"), "282");
  EXPECT_EQ(Send("play cdaudio from x"), "270");
}

TEST_F(MciInterpreterTest, CdCurrentTrackFollowsThePlayAndTheDiscStartsAgainAfterItsEnd) {
  OpenDisc(kMixedDisc);
  Send("set cdaudio time format tmsf");
  EXPECT_EQ(Send("status cdaudio mode"), "0 stopped");
  EXPECT_EQ(Send("status cdaudio current track"), "0 2");  // the first audio track
  EXPECT_EQ(Send("play cdaudio"), "0");
  EXPECT_EQ(drivers.disc.playFrom, 150);
  EXPECT_EQ(Send("status cdaudio mode"), "0 playing");
  drivers.disc.sector = 224;
  EXPECT_EQ(Send("status cdaudio current track"), "0 2");
  drivers.disc.sector = 225;
  EXPECT_EQ(Send("status cdaudio current track"), "0 3");
  EXPECT_EQ(Send("status cdaudio position"), "0 03:00:00:00");

  drivers.disc.sounding = false;  // the last sector has been heard
  EXPECT_EQ(Send("status cdaudio mode"), "0 stopped");
  EXPECT_EQ(Send("status cdaudio current track"), "0 2");
  EXPECT_EQ(Send("play cdaudio from 1"), "0");  // a data track: the music starts after it
  EXPECT_EQ(drivers.disc.playFrom, 150);
  EXPECT_EQ(Send("stop cdaudio"), "0");
  EXPECT_EQ(Send("status cdaudio mode"), "0 stopped");
}

TEST_F(MciInterpreterTest, CdWithoutAUsableDisc) {
  OpenDisc({});
  for (auto media : {CdMedia::NoDisc, CdMedia::TrayOpen, CdMedia::Ready}) {
    drivers.disc.media = media;
    SCOPED_TRACE(static_cast<int>(media));
    EXPECT_EQ(Send("status cdaudio current track"), "276");
    EXPECT_EQ(Send("status cdaudio number of tracks"), "276");
    EXPECT_EQ(Send("play cdaudio"), "276");
    EXPECT_EQ(Send("status cdaudio mode"), media == CdMedia::TrayOpen ? "0 open" : "0 not ready");
  }
  drivers.disc.tracks = {{1, 0, 1000, false}};  // a data disc: nothing to play
  EXPECT_EQ(Send("status cdaudio current track"), "276");
  EXPECT_EQ(Send("open cdaudio"), "265");
}

TEST(CutToBuffer, KeepsLengthMinusOneBytesAndWholeCharacters) {
  EXPECT_EQ(CutToBuffer("playing", 30), "playing");
  EXPECT_EQ(CutToBuffer("playing", 8), "playing");
  EXPECT_EQ(CutToBuffer("playing", 7), "playin");
  EXPECT_EQ(CutToBuffer("playing", 0), "");
  EXPECT_EQ(CutToBuffer("aデ", 4), "a");  // デ is three bytes: it does not fit in 3
}

}  // namespace
}  // namespace lumen::platform::mci

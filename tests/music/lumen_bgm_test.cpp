#include "music/lumen_bgm.h"

#include <gtest/gtest.h>

#include "music/recording_multimedia.h"
#include "music/show_music.h"

namespace lumen::music {
namespace {

using Calls = std::vector<std::string>;

class LumenBgmTest : public ::testing::Test {
 protected:
  // The calls made by `action` alone.
  template <typename Action>
  Calls CallsOf(Action action) {
    mm.calls.clear();
    action();
    return mm.calls;
  }

  test::RecordingMultimedia mm;
  settings::Settings settings;
  Lumen_BGM bgm{mm, settings};
  ShowMusic show{bgm, settings};
};

const std::string kCdStatus[] = {"mci status cdaudio current track [512]",
                                 "mci status cdaudio number of tracks [512]",
                                 "mci status cdaudio mode [255]"};

TEST_F(LumenBgmTest, StartAndExitForEachKindOfMusic) {
  settings.BgmKind = settings::Music::File;
  settings.BgmFile = "/m/song.Mp3";
  EXPECT_EQ(CallsOf([&] { show.Start(); }),
            (Calls{"mci open \"/m/song.Mp3\" type MPEGVideo Alias MP3Play [0]", "mci play MP3Play [0]"}));
  EXPECT_TRUE(show.Mp3TimerEnabled());
  EXPECT_FALSE(show.CdTimerEnabled());
  EXPECT_EQ(CallsOf([&] { show.Exit(); }), (Calls{"mci stop MP3Play [0]", "mci close MP3Play [0]"}));
  EXPECT_FALSE(show.Mp3TimerEnabled());

  settings.BgmFile = "/m/loop.wav";
  EXPECT_EQ(CallsOf([&] { show.Start(); }), (Calls{"waveOutGetNumDevs", "PlaySound /m/loop.wav 9"}));
  EXPECT_FALSE(show.Mp3TimerEnabled());
  EXPECT_EQ(CallsOf([&] { show.Exit(); }), Calls{"PlaySound NULL 0"});
  mm.outputs = 0;
  EXPECT_EQ(CallsOf([&] { show.Start(); }), Calls{"waveOutGetNumDevs"});

  for (const char* other : {"/m/song.ogg", "/m/song.mp4", "wa", ""}) {
    settings.BgmFile = other;
    EXPECT_EQ(CallsOf([&] { show.Start(); show.Exit(); }), Calls{}) << other;
    EXPECT_FALSE(show.Mp3TimerEnabled());
  }

  settings.BgmKind = settings::Music::AudioCd;
  EXPECT_EQ(CallsOf([&] { show.Start(); }),
            (Calls{"mci open cdaudio [0]", "mci set cdaudio time format tmsf [0]"}));
  EXPECT_TRUE(show.CdTimerEnabled());
  EXPECT_EQ(CallsOf([&] { show.Exit(); }), (Calls{"mci stop cdaudio [0]", "mci close cdaudio [0]"}));

  settings.BgmKind = settings::Music::None;
  EXPECT_EQ(CallsOf([&] { show.Start(); show.Exit(); }), Calls{});
}

TEST_F(LumenBgmTest, Mp3OpenFailureSkipsThePlayAndThePollRestartsWhatStopped) {
  settings.BgmFile = "/m/gone.mp3";
  mm.replies["open \"/m/gone.mp3\" type MPEGVideo Alias MP3Play"] = {275, ""};
  EXPECT_EQ(CallsOf([&] { bgm.StartMp3(); }), Calls{"mci open \"/m/gone.mp3\" type MPEGVideo Alias MP3Play [0]"});

  mm.replies["status MP3Play mode"] = {0, "playing"};
  EXPECT_EQ(CallsOf([&] { bgm.PollMp3(); }), Calls{"mci status MP3Play mode [30]"});
  mm.replies["status MP3Play mode"] = {0, "stopped"};
  EXPECT_EQ(CallsOf([&] { bgm.PollMp3(); }),
            (Calls{"mci status MP3Play mode [30]", "mci stop MP3Play [0]", "mci play MP3Play from 0 [0]"}));
  mm.replies["status MP3Play mode"] = {0, "playingXYZ"};  // only the first 7 characters count
  EXPECT_TRUE(bgm.IsMp3Playing());
}

TEST_F(LumenBgmTest, AFileNameWithAQuoteIsNeverOpened) {
  // Sent as is, this name would open /m/other.mp3 under the alias.
  settings.BgmFile = "/m/other.mp3\" type MPEGVideo Alias MP3Play \"x.mp3";
  EXPECT_EQ(CallsOf([&] { bgm.StartMp3(); }), Calls{});
}

TEST_F(LumenBgmTest, CdPollRepeatsTheChosenTrack) {
  settings.BgmRepeat = 3;
  mm.replies["status cdaudio current track"] = {0, "4"};
  mm.replies["status cdaudio mode"] = {0, "playing"};
  mm.replies["status cdaudio position track 3"] = {0, "03:00:00:00"};
  Calls redirect(std::begin(kCdStatus), std::end(kCdStatus));
  redirect.push_back("mci status cdaudio position track 3 [512]");
  redirect.push_back("mci play cdaudio from 03:00:00:00 [512]");
  EXPECT_EQ(CallsOf([&] { bgm.PollCd(); }), redirect);
  EXPECT_TRUE(bgm.CdPollActive);

  mm.replies["status cdaudio current track"] = {0, "3"};
  EXPECT_EQ(CallsOf([&] { bgm.PollCd(); }), Calls(std::begin(kCdStatus), std::end(kCdStatus)));
  mm.replies["status cdaudio mode"] = {0, "stopped"};
  EXPECT_EQ(CallsOf([&] { bgm.PollCd(); }), redirect);

  // A track beyond the last: the play is built from the error answer and fails; the
  // poll goes on and tries again next time.
  settings.BgmRepeat = 9;
  mm.replies["status cdaudio position track 9"] = {282, ""};
  Calls calls = CallsOf([&] { bgm.PollCd(); });
  EXPECT_EQ(calls.back(), "mci play cdaudio from Error:282 [512]");
  EXPECT_TRUE(bgm.CdPollActive);
}

TEST_F(LumenBgmTest, CdPollWithoutATrackRestartsTheDiscWhenItStops) {
  mm.replies["status cdaudio current track"] = {0, "2"};
  mm.replies["status cdaudio mode"] = {0, "playing"};
  EXPECT_EQ(CallsOf([&] { bgm.PollCd(); }), Calls(std::begin(kCdStatus), std::end(kCdStatus)));
  mm.replies["status cdaudio mode"] = {0, "stopped"};
  Calls restart(std::begin(kCdStatus), std::end(kCdStatus));
  restart.push_back("mci play cdaudio [512]");
  EXPECT_EQ(CallsOf([&] { bgm.PollCd(); }), restart);
  mm.replies["status cdaudio mode"] = {0, "Stopped"};  // the comparison is exact
  EXPECT_EQ(CallsOf([&] { bgm.PollCd(); }).size(), 3u);
}

TEST_F(LumenBgmTest, CdPollGivesUpOnAnErrorAndTheExitThenLeavesTheDevice) {
  settings.BgmKind = settings::Music::AudioCd;
  show.Start();
  mm.replies["status cdaudio current track"] = {276, ""};
  EXPECT_EQ(CallsOf([&] { show.CdTimerTick(); }), Calls{kCdStatus[0]});
  EXPECT_FALSE(show.CdTimerEnabled());
  EXPECT_EQ(CallsOf([&] { show.CdTimerTick(); show.Exit(); }), Calls{});

  mm.replies["status cdaudio current track"] = {0, "1"};
  mm.replies["status cdaudio number of tracks"] = {263, ""};
  bgm.PollCd();
  EXPECT_FALSE(bgm.CdPollActive);

  settings.BgmRepeat = 2;  // a track answer that is not a number ends the polling too
  mm.replies["status cdaudio number of tracks"] = {0, "3"};
  mm.replies["status cdaudio current track"] = {0, "one"};
  EXPECT_EQ(CallsOf([&] { bgm.PollCd(); }).size(), 3u);
  EXPECT_FALSE(bgm.CdPollActive);
}

TEST_F(LumenBgmTest, SendMciAnswers) {
  std::string answer;
  EXPECT_EQ(bgm.SendMci("", answer), -1);
  EXPECT_EQ(answer, "コマンド文字列が指定されていません");
  EXPECT_EQ(bgm.QueryMci(""), "Error:-1");
  EXPECT_TRUE(mm.calls.empty());

  mm.replies["status x mode"] = {263, "ignored"};
  EXPECT_EQ(bgm.SendMci("status x mode", answer), 263);
  EXPECT_EQ(answer, "error text 263");
  mm.errorTexts = false;
  bgm.SendMci("status x mode", answer);
  EXPECT_EQ(answer, "Error (文字列が取れません)");
  EXPECT_EQ(bgm.QueryMci("status x mode"), "Error:263");

  mm.calls.clear();
  bgm.PlayMci("cdaudio", "", "04:00:00:00");
  bgm.PlayMci("cdaudio", "01", "02");
  EXPECT_EQ(mm.calls, (Calls{"mci play cdaudio to 04:00:00:00 [512]", "mci play cdaudio from 01 to 02 [512]"}));
}

}  // namespace
}  // namespace lumen::music

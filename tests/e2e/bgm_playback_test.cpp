// lumenshow bgm, run for real with SDL's disk audio driver: what the output file holds is
// what a listener would have heard.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include "platform/cp932.h"
#include "support/audio_fixtures.h"
#include "support/temp_folder.h"

namespace lumen {
namespace {

using Runs = std::vector<std::pair<int, int>>;

class BgmPlayback : public ::testing::Test {
 protected:
  void WriteIni(const std::string& body) {
    test::WriteBytes(home / "LumenShow.ini", *platform::Utf8ToCp932("[Section]\r\n" + body));
  }
  // Runs the subcommand; returns its exit status. stdout goes to out, stderr to log.
  // env: variables, and optionally a command that runs the program ("timeout ...").
  int Run(double seconds, const std::string& env = "") {
    std::string command = "LUMENSHOW_HOME='" + home.path() + "' SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE='" +
                          home / "out.raw" + "' " + env + " '" LUMENSHOW_BIN "' bgm --seconds " +
                          std::to_string(seconds) + " >'" + home / "stdout" + "' 2>'" + home / "stderr" + "'";
    int status = std::system(command.c_str());
    out = test::ReadBytes(home / "stdout");
    log = test::ReadBytes(home / "stderr");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  Runs Heard(double window, const std::vector<int>& frequencies) {
    return test::ToneRuns(test::ReadRawLE(home / "out.raw"), window, frequencies);
  }
  bool Printed(const std::string& lines) { return out.find(lines) != std::string::npos; }

  test::TempFolder home;
  std::string out, log;
};

// The runs of one frequency, in order, and the silences between them.
std::vector<int> RunsOf(const Runs& runs, int frequency) {
  std::vector<int> lengths;
  for (auto [f, n] : runs) if (f == frequency) lengths.push_back(n);
  return lengths;
}

TEST_F(BgmPlayback, AnMp3ThatEndsIsStartedAgainWithinASecond) {
  test::WriteWav(home / "tone.wav", test::Tone(440, 0.6));
  ASSERT_EQ(std::system(("lame --quiet '" + home / "tone.wav" + "' '" + home / "tone.mp3" + "'").c_str()), 0)
      << "the lame encoder is needed to make the test's MP3";
  WriteIni("BGM区分=2\r\nBGMﾌｧｲﾙ=" + home / "tone.mp3" + "\r\n");
  ASSERT_EQ(Run(3.3), 0) << log;
  EXPECT_TRUE(Printed("> open \"" + home / "tone.mp3" + "\" type MPEGVideo Alias MP3Play\n< 0\n"
                      "> play MP3Play\n< 0\n> status MP3Play mode\n< 0 stopped\n"
                      "> stop MP3Play\n< 0\n> play MP3Play from 0\n< 0\n")) << out;
  EXPECT_TRUE(Printed("> stop MP3Play\n< 0\n> close MP3Play\n< 0\n")) << out;

  Runs runs = Heard(0.05, {440});
  SCOPED_TRACE(test::Describe(runs));
  EXPECT_GE(RunsOf(runs, 440).size(), 3u);
  for (size_t i = 1; i + 1 < runs.size(); ++i) {
    if (runs[i].first == 0) {
      EXPECT_LE(runs[i].second, 22) << "a gap longer than 1.1 s";
    }
  }
}

TEST_F(BgmPlayback, AWavLoopsWithoutGaps) {
  test::WriteWav(home / "loop.WAV", test::Tone(660, 0.3));
  WriteIni("BGM区分=2\r\nBGMﾌｧｲﾙ=" + home / "loop.WAV" + "\r\n");
  ASSERT_EQ(Run(1.6), 0) << log;
  EXPECT_TRUE(Printed("> waveOutGetNumDevs\n< 1\n> PlaySound \"" + home / "loop.WAV" + "\" 9\n< 1\n")) << out;
  EXPECT_TRUE(Printed("> PlaySound NULL 0\n< 1\n")) << out;
  Runs runs = Heard(0.05, {660});
  SCOPED_TRACE(test::Describe(runs));
  ASSERT_EQ(RunsOf(runs, 660).size(), 1u);  // one unbroken run over several loops
  EXPECT_GE(RunsOf(runs, 660)[0], 24);
}

// A long WAV (20 MiB of 8-bit 8 kHz mono, 44 minutes) is played from the file as it goes:
// what the program holds does not grow with the file (whole, converted, it was 1.1 GB).
TEST_F(BgmPlayback, ALongWavPlaysFromTheFileInLittleMemory) {
  const uint32_t samples = 20 * 1024 * 1024;
  std::string wav = "RIFF" + std::string(4, '\0') + "WAVEfmt " + std::string("\x10\0\0\0\x01\0\x01\0", 8) +
                    std::string("\x40\x1f\0\0\x40\x1f\0\0\x01\0\x08\0", 12) + "data";
  for (int shift : {0, 8, 16, 24}) wav += static_cast<char>((samples >> shift) & 0xFF);
  for (uint32_t i = 0; i < samples; ++i) {
    wav += static_cast<char>(128 + std::lround(100 * std::sin(2 * M_PI * 440 * i / 8000.0)));
  }
  test::WriteBytes(home / "long.wav", wav);
  WriteIni("BGM区分=2\r\nBGMﾌｧｲﾙ=" + home / "long.wav" + "\r\n");
  ASSERT_EQ(Run(1.5), 0) << log;
  rusage children{};
  ::getrusage(RUSAGE_CHILDREN, &children);
  EXPECT_LT(children.ru_maxrss, 300 * 1024) << "kB at most, for any child of this test so far";
  const Runs runs = Heard(0.05, {440});
  EXPECT_GE(RunsOf(runs, 440).empty() ? 0 : RunsOf(runs, 440)[0], 20) << test::Describe(runs);
}

// Tracks of 440, 660 and 880 Hz; track 2 is 83 sectors, so its end falls between polls.
void WriteDisc(const test::TempFolder& home) {
  std::vector<int16_t> bin = test::Tone(440, 1.0);
  test::Append(bin, test::Tone(660, 83.0 / 75));
  test::Append(bin, test::Tone(880, 1.0));
  test::WriteRawLE(home / "disc.bin", bin);
  test::WriteBytes(home / "disc.cue",
                   "FILE \"disc.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
                   "  TRACK 02 AUDIO\n    INDEX 01 00:01:00\n  TRACK 03 AUDIO\n    INDEX 01 00:02:08\n");
}

TEST_F(BgmPlayback, ADiscImageRepeatsTheChosenTrack) {
  WriteDisc(home);
  WriteIni("BGM区分=1\r\nBGMﾘﾋﾟｰﾄ=2\r\n");
  ASSERT_EQ(Run(3.4, "LUMENSHOW_CDROM='" + home / "disc.cue" + "'"), 0) << log;
  EXPECT_TRUE(Printed("> open cdaudio\n< 0\n> set cdaudio time format tmsf\n< 0\n"
                      "> status cdaudio current track\n< 0 1\n> status cdaudio number of tracks\n< 0 3\n"
                      "> status cdaudio mode\n< 0 stopped\n> status cdaudio position track 2\n< 0 02:00:00:00\n"
                      "> play cdaudio from 02:00:00:00\n< 0\n")) << out;
  EXPECT_TRUE(Printed("> status cdaudio current track\n< 0 3\n")) << out;
  EXPECT_TRUE(Printed("> stop cdaudio\n< 0\n> close cdaudio\n< 0\n")) << out;

  Runs runs = Heard(0.02, {440, 660, 880});
  SCOPED_TRACE(test::Describe(runs));
  EXPECT_TRUE(RunsOf(runs, 440).empty());
  // Track 2, then the start of track 3, then track 2 again.
  std::vector<int> order;
  for (auto [f, n] : runs) if (f != 0 && (order.empty() || order.back() != f)) order.push_back(f);
  ASSERT_GE(order.size(), 3u);
  EXPECT_EQ(std::vector<int>(order.begin(), order.begin() + 3), (std::vector<int>{660, 880, 660}));
}

TEST_F(BgmPlayback, TheWholeDiscStartsAgainAfterItsEnd) {
  WriteDisc(home);
  WriteIni("BGM区分=1\r\n");
  ASSERT_EQ(Run(4.0, "LUMENSHOW_CDROM='" + home / "disc.cue" + "'"), 0) << log;
  EXPECT_TRUE(Printed("> status cdaudio mode\n< 0 stopped\n> play cdaudio\n< 0\n")) << out;
  Runs runs = Heard(0.05, {440, 660, 880});
  SCOPED_TRACE(test::Describe(runs));
  std::vector<int> order;
  for (auto [f, n] : runs) if (f != 0 && (order.empty() || order.back() != f)) order.push_back(f);
  EXPECT_EQ(order, (std::vector<int>{440, 660, 880, 440}));
}

TEST_F(BgmPlayback, FailuresLeaveTheShowSilentButRunning) {
  test::WriteBytes(home / "notes.mp3", "this is not music");
  WriteIni("BGM区分=2\r\nBGMﾌｧｲﾙ=" + home / "notes.mp3" + "\r\n");
  EXPECT_EQ(Run(1.2), 0);
  EXPECT_TRUE(Printed(" type MPEGVideo Alias MP3Play\n< 296 ")) << out;
  EXPECT_TRUE(Printed("> play MP3Play from 0\n< 263 ")) << out;
  EXPECT_NE(log.find("cannot decode"), std::string::npos) << log;

  test::WriteWav(home / "tone.wav", test::Tone(440, 0.5));
  WriteIni("BGM区分=2\r\nBGMﾌｧｲﾙ=" + home / "tone.wav" + "\r\n");
  EXPECT_EQ(Run(0.5, "SDL_AUDIODRIVER=no-such-driver"), 0);
  EXPECT_TRUE(Printed("> waveOutGetNumDevs\n< 0\n")) << out;
  EXPECT_EQ(out.find("> PlaySound \""), std::string::npos) << out;
  EXPECT_NE(log.find("no audio output"), std::string::npos) << "a WAV says why as an MP3 does: " << log;

  // A file that is gone, or of another kind: the log names it and says why nothing plays.
  WriteIni("BGM区分=2\r\nBGMﾌｧｲﾙ=" + home / "gone.mp3" + "\r\n");
  EXPECT_EQ(Run(0.2), 0);
  EXPECT_TRUE(Printed("BgmKind=0 ")) << out;
  EXPECT_NE(log.find("'" + home / "gone.mp3" + "' does not exist"), std::string::npos) << log;
  test::WriteBytes(home / "song.ogg", "x");
  WriteIni("BGM区分=2\r\nBGMﾌｧｲﾙ=" + home / "song.ogg" + "\r\n");
  EXPECT_EQ(Run(0.2), 0);
  EXPECT_NE(log.find("'" + home / "song.ogg" + "' is neither MP3 nor WAV"), std::string::npos) << log;

  WriteIni("BGM区分=1\r\n");
  EXPECT_EQ(Run(0.5, "LUMENSHOW_CDROM='" + home / "none.cue" + "'"), 0);
  EXPECT_TRUE(Printed("> status cdaudio current track\n< 276 ")) << out;
  EXPECT_EQ(out.find("> status cdaudio number of tracks"), std::string::npos) << "the poll gives up";
  EXPECT_EQ(out.find("> stop cdaudio"), std::string::npos) << "no stop after the poll gave up";

  WriteDisc(home);
  WriteIni("BGM区分=1\r\nBGMﾘﾋﾟｰﾄ=9\r\n");
  EXPECT_EQ(Run(0.5, "LUMENSHOW_CDROM='" + home / "disc.cue" + "'"), 0);
  EXPECT_TRUE(Printed("> status cdaudio position track 9\n< 282 ")) << out;
  EXPECT_TRUE(Printed("> play cdaudio from Error:282\n< 270 ")) << out;
}

TEST_F(BgmPlayback, WithoutAnAudioOutputTheLogSaysWhy) {
  test::WriteWav(home / "tone.wav", test::Tone(440, 0.5));
  ASSERT_EQ(std::system(("lame --quiet '" + home / "tone.wav" + "' '" + home / "tone.mp3" + "'").c_str()), 0);
  WriteIni("BGM区分=2\r\nBGMﾌｧｲﾙ=" + home / "tone.mp3" + "\r\n");
  EXPECT_EQ(Run(0.3, "SDL_AUDIODRIVER=no-such-driver"), 0);
  EXPECT_TRUE(Printed("MP3Play\n< 262 ")) << out;
  EXPECT_NE(log.find("no audio output"), std::string::npos) << log;

  // Ctrl+C ends it early, through the same stop as a show's end.
  EXPECT_EQ(Run(30, "timeout --preserve-status -s INT 0.8"), 0);
  EXPECT_TRUE(Printed("> play MP3Play\n< 0\n> stop MP3Play\n< 0\n> close MP3Play\n< 0\n")) << out;

  // A sound server that takes the connection and never answers: the open is given up after
  // 3 s, and those 3 s are part of the 4 asked for, not added to them.
  const std::string runtime = home / "run";
  std::filesystem::create_directories(runtime + "/pulse");
  const std::string mute = "python3 -c 'import socket,time\ns=socket.socket(socket.AF_UNIX)\ns.bind(\"" + runtime +
                           "/pulse/native\")\ns.listen(8)\nc=[s.accept() for _ in range(8)]\ntime.sleep(60)' & sleep 0.3";
  ASSERT_EQ(std::system(mute.c_str()), 0);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Run(4, "XDG_RUNTIME_DIR='" + runtime + "' SDL_AUDIODRIVER=pulseaudio"), 0);
  const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::system(("pkill -f '" + runtime + "/pulse/native'").c_str());
  EXPECT_NE(log.find("did not answer within 3000 ms"), std::string::npos) << log;
  EXPECT_LT(took, 5) << "asked for 4 s";
}

// How loud the last millisecond before the recording falls silent is, against the
// loudest sample: a cut leaves it near 1, a 10 ms fade at about a tenth.
double LastMillisecondBeforeSilence(const std::vector<int16_t>& stereo) {
  size_t end = stereo.size();
  while (end > 0 && std::abs(stereo[end - 1]) <= 8) --end;
  if (end < 2 * 44) return 0;
  int loudest = 1, last = 0;
  for (size_t i = 0; i < end; ++i) loudest = std::max(loudest, std::abs(int{stereo[i]}));
  for (size_t i = end - 2 * 44; i < end; ++i) last = std::max(last, std::abs(int{stereo[i]}));
  return static_cast<double>(last) / loudest;
}

// The sound servers people run, on a null sink whose monitor is recorded: the music before
// the server is killed as by a crash, after a new server is there, and its stop; the
// mixer's names on the way.
struct SoundStack {
  const char* name;
  const char* start;      // shell commands that start the server's processes, each adding its
                          // PID to $servers, and wait until it answers
  const char* sdlDriver;  // SDL_AUDIODRIVER, or empty for our own choice
  const char* driverSaid; // the driver the messages name
  std::vector<const char*> music;
};

void PrintTo(const SoundStack& stack, std::ostream* out) { *out << stack.name << " " << stack.sdlDriver; }

class SoundServer : public BgmPlayback, public ::testing::WithParamInterface<SoundStack> {};

TEST_P(SoundServer, MusicComesBackAfterARestartStopsWithoutAClickAndTheMixerNamesIt) {
  const SoundStack& stack = GetParam();
  if (std::system((std::string("command -v parec >/dev/null && command -v ") + stack.name + " >/dev/null").c_str()) != 0) {
    GTEST_SKIP() << "needs " << stack.name << " and pulseaudio-utils";
  }
  test::WriteWav(home / "tone.wav", test::Tone(660, 12));
  ASSERT_EQ(std::system(("lame --quiet '" + home / "tone.wav" + "' '" + home / "tone.mp3" + "'").c_str()), 0);
  test::WriteBytes(home / "server.pa",
                   "load-module module-null-sink sink_name=bgm\nload-module module-native-protocol-unix\n"
                   "set-default-sink bgm\n");
  // A PipeWire sink that outlives the server's restarts, named as PulseAudio's.
  std::filesystem::create_directories(home / "config/pipewire/pipewire.conf.d");
  test::WriteBytes(home / "config/pipewire/pipewire.conf.d/null.conf", R"(context.objects = [
  { factory = adapter
    args = { factory.name = support.null-audio-sink node.name = "bgm" media.class = "Audio/Sink"
             object.linger = true audio.position = [ FL FR ] audio.rate = 44100 } }
]
)");
  for (const char* music : stack.music) {
    SCOPED_TRACE(music);
    WriteIni("BGM区分=2\r\nBGMﾌｧｲﾙ=" + home / music + "\r\n");
    // The timeline: the server, the music, 2 s recorded, the server killed, 2 s without
    // it, a new server, 3 s for the music to find it (the most it may take), then recorded until it has stopped.
    const std::string script = std::string(R"(
      set -u
      export XDG_RUNTIME_DIR="$H/run" HOME="$H" XDG_CONFIG_HOME="$H/config" XDG_STATE_HOME="$H/state"
      mkdir -p -m 700 "$XDG_RUNTIME_DIR"
      record="parec --latency-msec=50 -d bgm.monitor --format=s16le --rate=44100 --channels=2 --raw"
      server() { servers=; )") + stack.start + R"(; }
      crash() { kill -KILL $servers; wait $servers 2>/dev/null; true; }
      server
      export SDL_AUDIODRIVER=)" + stack.sdlDriver + R"(; [ -n "$SDL_AUDIODRIVER" ] || unset SDL_AUDIODRIVER
      # libpulse leaks a little when its server dies under it: not ours to find.
      ASAN_OPTIONS=detect_leaks=0 LUMENSHOW_HOME="$H" "$BIN" bgm --seconds 10 >"$H/stdout" 2>"$H/stderr" & music=$!
      sleep 1.5
      pactl list sink-inputs >"$H/inputs"
      timeout 2 $record >"$H/before.raw"
      crash; sleep 2
      server; sleep 3
      $record >"$H/after.raw" & recording=$!
      wait $music; echo $? >"$H/status"
      sleep 0.5; kill $recording
      crash)";
    // A session bus of its own: WirePlumber needs one.
    ASSERT_EQ(std::system(("H='" + home.path() + "' BIN='" LUMENSHOW_BIN "' dbus-run-session -- bash -c '" + script +
                           "'").c_str()),
              0);
    EXPECT_EQ(test::ReadBytes(home / "status"), "0\n") << test::ReadBytes(home / "stderr");
    const std::string inputs = test::ReadBytes(home / "inputs");
    for (const char* property : {"application.name = \"LumenShow\"", "media.name = \"BGM\"",
                                 "application.icon_name = \"lumenshow\""}) {
      EXPECT_NE(inputs.find(property), std::string::npos) << property << " in\n" << inputs;
    }
    for (const char* recording : {"before.raw", "after.raw"}) {
      const Runs runs = test::ToneRuns(test::ReadRawLE(home / recording), 0.05, {660});
      const std::vector<int> heard = RunsOf(runs, 660);
      EXPECT_GE(heard.empty() ? 0 : *std::max_element(heard.begin(), heard.end()), 20)
          << recording << ": a second of the tone at least; " << test::Describe(runs);
    }
    EXPECT_LT(LastMillisecondBeforeSilence(test::ReadRawLE(home / "after.raw")), 0.2) << "a click at the stop";
    const std::string said = test::ReadBytes(home / "stderr");
    EXPECT_NE(said.find(std::string("the sound output (") + stack.driverSaid + ") went away"), std::string::npos)
        << said;
    EXPECT_NE(said.find(std::string("sound output back (") + stack.driverSaid + ")"), std::string::npos) << said;
  }
}

constexpr const char* kPipeWire =
    "pipewire >>$H/server.log 2>&1 & servers=$!; sleep 0.3; wireplumber >>$H/server.log 2>&1 & servers=\"$servers $!\"; "
    "pipewire-pulse >>$H/server.log 2>&1 & servers=\"$servers $!\"; "
    "for i in $(seq 150); do pactl info 2>/dev/null | grep -q \"Default Sink: bgm\" && break; sleep 0.1; done";

INSTANTIATE_TEST_SUITE_P(
    Stacks, SoundServer,
    ::testing::Values(
        SoundStack{"pulseaudio",
                   "pulseaudio -n -F $H/server.pa --exit-idle-time=-1 --daemonize=no >>$H/server.log 2>&1 & "
                   "servers=$!; for i in $(seq 150); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done",
                   "", "pulseaudio", {"tone.wav", "tone.mp3"}},
        SoundStack{"pipewire", kPipeWire, "", "pulseaudio", {"tone.wav"}},
        SoundStack{"pipewire", kPipeWire, "pipewire", "pipewire", {"tone.mp3"}}),
    [](const auto& info) {
      return std::string(info.param.name == std::string("pulseaudio") ? "PulseAudio"
                         : *info.param.sdlDriver != 0                 ? "PipeWiresOwnDriver"
                                                                      : "PipeWireThroughItsPulseServer");
    });

}  // namespace
}  // namespace lumen

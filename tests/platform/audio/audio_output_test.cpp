// The output's choice of driver, its deadline on an open that never returns, and its
// recovery when the sound server goes and comes back, over a fake sound system.
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>

#include "platform/audio/audio_output.h"

namespace lumen::platform::audio {
namespace {

using namespace std::chrono_literals;

class FakeDevices : public AudioDevices {
 public:
  std::vector<std::string> Drivers() override { return {"pipewire", "alsa", "pulseaudio", "jack", "disk", "dummy"}; }
  std::string Requested() override { return requested; }
  Result<void> Open(const std::string& driver, const MixCallback& callback) override {
    std::unique_lock lock(mutex);
    tried.push_back(driver);
    changed.wait(lock, [&] { return driver != hanging; });
    if (answering.count(driver) == 0) return Fail(driver + ": no server");
    mix = callback;
    open = driver;
    lost = false;
    return {};
  }
  bool Lost() override { return lost; }
  bool Sounding() override { return sounding; }
  void Close() override {
    std::lock_guard lock(mutex);
    open.clear();
  }
  void Release() {
    std::lock_guard lock(mutex);
    hanging.clear();
    changed.notify_all();
  }
  std::vector<std::string> Tried() {
    std::lock_guard lock(mutex);
    return std::exchange(tried, {});
  }

  std::string requested;
  std::set<std::string> answering{"dummy"};
  std::string hanging;  // its open waits until Release()
  std::atomic<bool> lost{false}, sounding{false};
  std::string open;
  MixCallback mix;

 private:
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<std::string> tried;
};

// A source that counts what it is asked for.
struct CountingSource : PcmSource {
  void MixInto(int16_t* stereo, size_t frames) override {
    for (size_t i = 0; i < 2 * frames; ++i) stereo[i] = static_cast<int16_t>(stereo[i] + 1000);
    mixed += frames;
  }
  void Skip(size_t frames) override { skipped.push_back(frames); }
  size_t mixed = 0;
  std::vector<size_t> skipped;
};

class AudioOutputTest : public ::testing::Test {
 protected:
  AudioOutput& Output(AudioOutput::Timing timing = {.openDeadline = 300ms, .retryEvery = 0ms, .lookEvery = 10ms}) {
    output = std::make_unique<AudioOutput>(devices, timing, [this](const std::string& line) { said.push_back(line); });
    return *output;
  }
  void TearDown() override {
    devices.Release();                        // a hung open ends, so its thread is gone
    std::this_thread::sleep_for(50ms);
    output.reset();
  }

  FakeDevices devices;
  std::vector<std::string> said;
  std::unique_ptr<AudioOutput> output;
};

TEST_F(AudioOutputTest, SoundServersFirstThenTheRestThenTheStandbyUnlessTheUserNamesADriver) {
  AudioOutput& out = Output();
  ASSERT_TRUE(out.Open()) << "no server yet: the music goes on, unheard";
  EXPECT_FALSE(out.Audible());
  EXPECT_EQ(devices.Tried(), (std::vector<std::string>{"pulseaudio", "pipewire", "alsa", "jack", "dummy"}));
  ASSERT_EQ(said.size(), 1u);
  EXPECT_NE(said[0].find("no audio output (pulseaudio: no server; pipewire: no server"), std::string::npos) << said[0];
  EXPECT_TRUE(out.Open());
  EXPECT_EQ(devices.Tried().size(), 0u) << "opened once";

  devices.requested = "ALSA,nonesuch";
  devices.answering.insert("alsa");
  AudioOutput& asked = Output();
  EXPECT_TRUE(asked.Open() && asked.Audible());
  EXPECT_EQ(devices.Tried(), (std::vector<std::string>{"alsa"})) << "as SDL names it";

  devices.requested = "nonesuch";
  said.clear();
  EXPECT_FALSE(Output().Open()) << "no such driver: no output at all";
  EXPECT_EQ(devices.Tried().size(), 0u);
  ASSERT_EQ(said.size(), 1u);
  EXPECT_NE(said[0].find("'nonesuch'"), std::string::npos) << said[0];
}

TEST_F(AudioOutputTest, AnOpenThatNeverReturnsIsGivenUpAtTheDeadlineAndAdoptedIfItAnswersLater) {
  devices.hanging = "pulseaudio";
  devices.answering.insert("pulseaudio");
  AudioOutput& out = Output();
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(out.Open());
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited, 300ms);
  EXPECT_LT(waited, 2s) << "the caller is not held by the hung open";
  ASSERT_EQ(said.size(), 1u);
  EXPECT_NE(said[0].find("did not answer within 300 ms"), std::string::npos) << said[0];
  EXPECT_FALSE(out.Open()) << "not tried again while SDL is held";
  out.Supervise();
  EXPECT_EQ(devices.Tried(), (std::vector<std::string>{"pulseaudio"}));

  devices.Release();
  for (int i = 0; i < 100 && !out.IsOpen(); ++i) std::this_thread::sleep_for(10ms);
  EXPECT_TRUE(out.Audible()) << "the late answer is the output";
}

TEST_F(AudioOutputTest, ALostServerIsReplacedByTheStandbyAndTheSoundGoesOnWhereItWouldBeWhenItIsBack) {
  devices.answering.insert("pulseaudio");
  AudioOutput& out = Output();
  ASSERT_TRUE(out.Open() && out.Audible());
  devices.Tried();
  CountingSource source;
  out.Attach(&source);
  std::vector<int16_t> block(2 * 512);
  devices.mix(block.data(), 512);
  EXPECT_EQ(block[2 * 441], 1000);

  devices.answering.erase("pulseaudio");
  out.Supervise();
  EXPECT_TRUE(out.Audible()) << "nothing is lost yet";
  devices.lost = true;
  std::this_thread::sleep_for(20ms);
  out.Supervise();
  EXPECT_TRUE(out.IsOpen() && !out.Audible());
  EXPECT_EQ(devices.open, "dummy");
  EXPECT_EQ(devices.Tried(), (std::vector<std::string>{"pulseaudio", "pipewire", "dummy"}))
      << "the servers first, the lost driver among them";
  ASSERT_EQ(said.size(), 1u) << "one line while there is no output";
  EXPECT_NE(said[0].find("(pulseaudio) went away"), std::string::npos) << said[0];
  ASSERT_EQ(source.skipped.size(), 1u);
  EXPECT_LT(source.skipped[0], size_t{44100}) << "the switch took well under a second";
  devices.mix(block.data(), 64);
  EXPECT_EQ(source.mixed, 576u) << "the standby keeps the sources going";

  out.Supervise();  // still no server: the standby stays, nothing more is said
  EXPECT_EQ(devices.open, "dummy");
  EXPECT_EQ(said.size(), 1u);
  devices.answering.insert("pulseaudio");
  std::this_thread::sleep_for(30ms);
  out.Supervise();
  EXPECT_TRUE(out.Audible());
  EXPECT_EQ(devices.open, "pulseaudio");
  ASSERT_EQ(said.size(), 2u);
  EXPECT_EQ(said[1], "sound output back (pulseaudio)");
  ASSERT_EQ(source.skipped.size(), 3u);
  out.Detach(&source);
}

// The output runs 441 frames behind what it is given: those are what fades at a stop.
TEST_F(AudioOutputTest, AStopFadesWhatWasAboutToBeHeardOverTenMillisecondsAndNeverWaits) {
  devices.answering.insert("pulseaudio");
  AudioOutput& out = Output();
  ASSERT_TRUE(out.Open());
  CountingSource source;
  out.Attach(&source);
  auto mixed = [&](size_t frames) {
    std::vector<int16_t> block(2 * frames, 0);
    devices.mix(block.data(), frames);
    return block;
  };
  std::vector<int16_t> first = mixed(512);
  EXPECT_EQ(std::vector<int16_t>({first[0], first[881], first[882], first[1023]}),
            std::vector<int16_t>({0, 0, 1000, 1000}));

  // A stop with no block mixed while it was under way (the usual case: the source goes
  // between two blocks), then one with a block mixed in the middle of it. Either way the
  // held frames fall from 1000 x (1 - k / 441), rounded: 998 at k = 1, 501 at k = 220
  // (1000 x 221 / 441 = 501.1), 2 at k = 440; then nothing, both channels alike.
  const std::vector<int16_t> ramp = {1000, 998, 501, 501, 2, 0, 0};
  for (bool blockDuringStop : {false, true}) {
    SCOPED_TRACE(blockDuringStop);
    out.Attach(&source);
    mixed(512);
    std::vector<int16_t> block;
    {
      auto stop = out.FadeOut();
      if (blockDuringStop) block = mixed(512);
      out.Detach(&source);
    }
    if (!blockDuringStop) block = mixed(512);
    EXPECT_EQ(std::vector<int16_t>({block[0], block[2], block[440], block[441], block[880], block[882], block[1023]}),
              ramp);
    EXPECT_EQ(std::count(block.begin() + 882, block.end(), 0), 1024 - 882);
    const std::vector<int16_t> after = mixed(512);
    EXPECT_EQ(std::count(after.begin(), after.end(), 0), 1024) << "what the stop cut is never heard";
  }
}

TEST_F(AudioOutputTest, AnIdleOutputIsClosedAndOneThatStopsAskingForSoundHasLostItsServer) {
  devices.answering.insert("pulseaudio");
  AudioOutput& out = Output({.openDeadline = 300ms, .retryEvery = 0ms, .lookEvery = 10ms, .stallLimit = 100ms,
                             .idleClose = 50ms});
  ASSERT_TRUE(out.Open());
  CountingSource source;
  out.Attach(&source);
  devices.sounding = true;
  std::vector<int16_t> block(2 * 64);
  for (int i = 0; i < 8; ++i) {
    devices.mix(block.data(), 64);
    std::this_thread::sleep_for(10ms);
    out.Supervise();
    if (i == 3) out.Detach(&source);
  }
  EXPECT_EQ(devices.open, "pulseaudio") << "its own music still plays";
  devices.sounding = false;
  for (int i = 0; i < 8; ++i) {
    devices.mix(block.data(), 64);
    std::this_thread::sleep_for(10ms);
    out.Supervise();
  }
  EXPECT_FALSE(out.IsOpen());
  EXPECT_EQ(devices.open, "") << "nothing plays: no stream is left open";
  EXPECT_TRUE(said.empty());

  ASSERT_TRUE(out.Open() && out.Audible()) << "opened again when sound starts";
  out.Attach(&source);
  std::this_thread::sleep_for(150ms);
  out.Supervise();
  ASSERT_EQ(said.size(), 2u) << "no sound asked for in 150 ms";
  EXPECT_NE(said[0].find("(pulseaudio) went away"), std::string::npos) << said[0];
  EXPECT_EQ(said[1], "sound output back (pulseaudio)") << "its server answers again";
  out.Detach(&source);
}

}  // namespace
}  // namespace lumen::platform::audio

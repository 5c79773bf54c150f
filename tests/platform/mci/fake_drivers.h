// Drivers with no sound: a music file of a set length and a disc of set tracks, whose
// play position the test moves by hand.
#pragma once

#include <memory>

#include "platform/mci/mci_drivers.h"
#include "platform/mci/mci_errors.h"

namespace lumen::platform::mci::test {

struct FakeMusicState {
  double length = 5.0;
  double position = 0;
  bool sounding = false;
  bool paused = false;
  double lastPlayFrom = -1;
  bool halted = false;
};

class FakeMusicTrack : public MusicTrack {
 public:
  explicit FakeMusicTrack(FakeMusicState& state) : s_(state) {}
  bool Play(double from) override {
    s_.lastPlayFrom = s_.position = from;
    s_.sounding = true;
    s_.paused = false;
    return true;
  }
  void Halt() override { s_.sounding = false, s_.halted = true; }
  void Pause() override { s_.paused = true; }
  void Resume() override { s_.paused = false; }
  bool IsSounding() override { return s_.sounding; }
  double PositionSeconds() override { return s_.position; }
  double LengthSeconds() override { return s_.length; }

 private:
  FakeMusicState& s_;
};

struct FakeDiscState {
  CdMedia media = CdMedia::Ready;
  std::vector<CdTrack> tracks;
  bool sounding = false;
  int32_t sector = 0;  // the sector "being heard"
  int32_t playFrom = -1, playTo = -1;
};

class FakeCdDrive : public CdDrive {
 public:
  explicit FakeCdDrive(FakeDiscState& state) : s_(state) {}
  CdMedia Media() override { return s_.media; }
  const std::vector<CdTrack>& Tracks() override { return s_.tracks; }
  bool Play(int32_t from, int32_t to) override {
    s_.playFrom = s_.sector = from;
    s_.playTo = to;
    s_.sounding = true;
    return true;
  }
  void Stop() override { s_.sounding = false; }
  void Pause() override {}
  void Resume() override {}
  bool IsSounding() override { return s_.sounding; }
  int32_t SoundingSector() override { return s_.sector; }

 private:
  FakeDiscState& s_;
};

class FakeDrivers : public MciDrivers {
 public:
  std::unique_ptr<MusicTrack> OpenMusic(const std::string& path, uint32_t& error) override {
    if (path.find("missing") != std::string::npos) return error = MCIERR_FILE_NOT_FOUND, nullptr;
    return std::make_unique<FakeMusicTrack>(music);
  }
  std::unique_ptr<CdDrive> OpenCdDrive(uint32_t& error) override {
    if (!hasDrive) return error = MCIERR_DEVICE_NOT_INSTALLED, nullptr;
    return std::make_unique<FakeCdDrive>(disc);
  }
  FakeMusicState music;
  FakeDiscState disc;
  bool hasDrive = true;
};

}  // namespace lumen::platform::mci::test

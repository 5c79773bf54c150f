#include "video/recorded_music.h"

#include <algorithm>
#include <climits>
#include <filesystem>

#include "platform/ascii_text.h"
#include "platform/audio/cd_disc.h"
#include "platform/mci/mci_errors.h"
#include "platform/audio/file_sound.h"

namespace lumen::video {

using platform::audio::FileSound;
using platform::audio::kAudioRate;
namespace {

constexpr int64_t kFramesPerSector = 588;  // 44,100 / 75

void MixInto(int16_t* out, const int16_t* in, size_t samples) {
  for (size_t i = 0; i < samples; ++i) out[i] = static_cast<int16_t>(std::clamp(out[i] + in[i], -32768, 32767));
}

}  // namespace

struct RecordedMusic::Stretch {
  const void* owner;
  std::string file;
  platform::audio::CdDisc* disc;
  double from;  // seconds into the file, or the disc's first sector
  bool loop;
  int64_t start, end = INT64_MAX;  // output frames
  std::unique_ptr<FileSound> reader;
  bool opened = false;
};

// A music file that plays its length on the virtual clock.
class VirtualTrack : public platform::mci::MusicTrack {
 public:
  VirtualTrack(RecordedMusic& music, std::string path, double length)
      : music_(music), path_(std::move(path)), length_(length) {}
  ~VirtualTrack() override { music_.End(this); }
  bool Play(double from) override {
    music_.Begin(this, path_, nullptr, from, false);
    from_ = from, started_ = music_.NowFrames(), playing_ = true, paused_ = false;
    return true;
  }
  void Halt() override { music_.End(this), playing_ = false, paused_ = false; }
  void Pause() override {
    if (!playing_ || paused_) return;
    pausedAt_ = PositionSeconds();
    music_.End(this);
    paused_ = true;
  }
  void Resume() override {
    if (paused_) Play(pausedAt_);
  }
  bool IsSounding() override { return playing_ && (paused_ || Elapsed() < length_ - from_); }
  double PositionSeconds() override { return paused_ ? pausedAt_ : std::min(length_, from_ + Elapsed()); }
  double LengthSeconds() override { return length_; }

 private:
  double Elapsed() const { return static_cast<double>(music_.NowFrames() - started_) / kAudioRate; }
  RecordedMusic& music_;
  std::string path_;
  double length_, from_ = 0, pausedAt_ = 0;
  int64_t started_ = 0;
  bool playing_ = false, paused_ = false;
};

// A disc that plays 75 sectors a second on the virtual clock.
class VirtualDisc : public platform::mci::CdDrive {
 public:
  VirtualDisc(RecordedMusic& music, std::unique_ptr<platform::audio::CdDisc> disc)
      : music_(music), disc_(std::move(disc)) {}
  ~VirtualDisc() override { music_.End(this); }
  platform::mci::CdMedia Media() override { return disc_->Media(); }
  const std::vector<platform::mci::CdTrack>& Tracks() override { return disc_->Tracks(); }
  bool Play(int32_t from, int32_t to) override {
    RecordedMusic::Stretch* stretch = music_.Begin(this, "", disc_.get(), from, false);
    stretch->end = stretch->start + (to - from) * kFramesPerSector;
    from_ = from, to_ = to, started_ = music_.NowFrames(), sounding_ = true, paused_ = false;
    return true;
  }
  void Stop() override { music_.End(this), sounding_ = false, paused_ = false; }
  void Pause() override {
    if (!sounding_ || paused_) return;
    pausedAt_ = SoundingSector();
    music_.End(this);
    paused_ = true;
  }
  void Resume() override {
    if (paused_) Play(pausedAt_, to_);
  }
  bool IsSounding() override { return sounding_ && (paused_ || SoundingSector() < to_); }
  int32_t SoundingSector() override {
    if (paused_) return pausedAt_;
    return static_cast<int32_t>(std::min<int64_t>(to_, from_ + (music_.NowFrames() - started_) / kFramesPerSector));
  }

 private:
  RecordedMusic& music_;
  std::unique_ptr<platform::audio::CdDisc> disc_;
  int32_t from_ = 0, to_ = 0, pausedAt_ = 0;
  int64_t started_ = 0;
  bool sounding_ = false, paused_ = false;
};

class RecordedMusic::Drivers : public platform::mci::MciDrivers {
 public:
  explicit Drivers(RecordedMusic& music) : music_(music) {}
  std::unique_ptr<platform::mci::MusicTrack> OpenMusic(const std::string& path, uint32_t& error) override {
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(path, ignored)) return error = platform::mci::MCIERR_FILE_NOT_FOUND, nullptr;
    auto sound = FileSound::Open(path);
    if (!sound) return error = platform::mci::MCIERR_INVALID_FILE, nullptr;
    return std::make_unique<VirtualTrack>(music_, path, sound->LengthSeconds());
  }
  std::unique_ptr<platform::mci::CdDrive> OpenCdDrive(uint32_t& error) override {
    auto disc = platform::audio::CdDisc::OpenDefault();
    if (!disc) return error = platform::mci::MCIERR_DEVICE_NOT_INSTALLED, nullptr;
    return std::make_unique<VirtualDisc>(music_, std::move(disc));
  }

 private:
  RecordedMusic& music_;
};

RecordedMusic::RecordedMusic(Clock clock)
    : clock_(std::move(clock)),
      drivers_(std::make_unique<Drivers>(*this)),
      interpreter_(std::make_unique<platform::mci::MciInterpreter>(*drivers_)) {}

RecordedMusic::~RecordedMusic() {
  interpreter_.reset();  // its devices end their stretches here
}

int64_t RecordedMusic::NowFrames() const { return clock_() * kAudioRate / 1'000'000'000; }

uint32_t RecordedMusic::mciSendString(std::string_view command, std::string* answer, uint32_t answerLength,
                                      uintptr_t) {
  std::string full;
  const uint32_t code = interpreter_->Send(command, full);
  if (answer != nullptr) *answer = platform::CutToBuffer(full, answerLength);
  return code;
}

bool RecordedMusic::mciGetErrorString(uint32_t code, std::string* text, uint32_t length) {
  std::string_view message = platform::mci::ErrorText(code);
  if (message.empty() || text == nullptr) return false;
  *text = platform::CutToBuffer(message, length);
  return true;
}

bool RecordedMusic::PlaySound(const char* soundName, uintptr_t, uint32_t flags) {
  static const int kSoundOwner = 0;
  if (soundName == nullptr) {
    End(&kSoundOwner);
    return true;
  }
  if (!FileSound::Open(soundName)) return false;
  Begin(&kSoundOwner, soundName, nullptr, 0, (flags & platform::SND_LOOP) != 0);
  return true;
}

RecordedMusic::Stretch* RecordedMusic::Begin(const void* owner, const std::string& file, platform::audio::CdDisc* disc,
                                             double from, bool loop) {
  End(owner);
  stretches_.push_back(std::make_unique<Stretch>(Stretch{owner, file, disc, from, loop, NowFrames(), INT64_MAX, {}}));
  return stretches_.back().get();
}

void RecordedMusic::End(const void* owner) {
  const int64_t now = NowFrames();
  for (auto& stretch : stretches_) {
    if (stretch->owner == owner && stretch->end > now) stretch->end = std::max(stretch->start, now);
  }
}

void RecordedMusic::Render(int64_t first, size_t frames, int16_t* stereo) {
  // Stretches wholly in the past are done with (and their readers closed).
  std::erase_if(stretches_, [&](const std::unique_ptr<Stretch>& s) { return s->end <= first; });
  std::vector<int16_t> buffer;
  const int64_t last = first + static_cast<int64_t>(frames);
  for (auto& s : stretches_) {
    const int64_t a = std::max(first, s->start), b = std::min(last, s->end);
    if (a >= b) continue;
    buffer.assign(static_cast<size_t>(b - a) * 2, 0);
    if (s->disc != nullptr) {
      // Sector by sector; a sector that cannot be read is silence, as on the drive.
      std::vector<int16_t> sector(platform::audio::kSamplesPerSector);
      for (int64_t frame = a; frame < b;) {
        const int64_t offset = frame - s->start;
        const auto number = static_cast<int32_t>(static_cast<int64_t>(s->from) + offset / kFramesPerSector);
        const int64_t within = offset % kFramesPerSector, take = std::min(kFramesPerSector - within, b - frame);
        if (s->disc->Read(number, 1, sector.data())) {
          std::copy_n(sector.data() + within * 2, take * 2, buffer.data() + (frame - a) * 2);
        }
        frame += take;
      }
    } else {
      if (!s->opened) {
        s->opened = true;
        s->reader = FileSound::Open(s->file);
        // A stretch first heard after its start (rendering began later) starts further in.
        if (s->reader) s->reader->Seek(s->from + static_cast<double>(a - s->start) / kAudioRate);
      }
      size_t done = 0;
      bool fromStart = false;  // nothing read since the last return to the start
      while (s->reader && done < buffer.size() / 2) {
        const size_t got = s->reader->Read(buffer.data() + done * 2, buffer.size() / 2 - done);
        done += got;
        fromStart = fromStart && got == 0;
        if (got == 0) {
          // A file that opens but decodes to no sound at all would loop here for ever.
          if (!s->loop || fromStart) break;
          s->reader->Seek(0);  // a looped sound starts again at once
          fromStart = true;
        }
      }
    }
    MixInto(stereo + (a - first) * 2, buffer.data(), buffer.size());
  }
}

bool RecordedMusic::WouldSound(const settings::Settings& settings) {
  if (settings.BgmKind == settings::Music::File) {
    const std::string& file = settings.BgmFile;
    return (platform::EndsWithNoCase(file, ".wav") || platform::EndsWithNoCase(file, ".mp3")) &&
           FileSound::Open(file) != nullptr;
  }
  if (settings.BgmKind == settings::Music::AudioCd) {
    auto disc = platform::audio::CdDisc::OpenDefault();
    if (!disc || disc->Media() != platform::mci::CdMedia::Ready) return false;
    const auto& tracks = disc->Tracks();
    return std::any_of(tracks.begin(), tracks.end(), [](const platform::mci::CdTrack& t) { return t.audio; });
  }
  return false;
}

}  // namespace lumen::video

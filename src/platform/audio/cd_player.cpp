#include "platform/audio/cd_player.h"

#include <algorithm>

#include "platform/debug_log.h"
#include "platform/guarded.h"

namespace lumen::platform::audio {
namespace {

constexpr uint32_t kSectorsPerRead = 8;
constexpr size_t kBufferSamples = 150 * kSamplesPerSector;  // two seconds
constexpr int64_t kFramesPerSector = kSamplesPerSector / 2;

}  // namespace

CdPlayer::~CdPlayer() { Stop(); }

mci::CdMedia CdPlayer::Media() {
  std::lock_guard lock(discMutex_);
  mci::CdMedia media = disc_->Media();
  tracks_ = media == mci::CdMedia::Ready ? disc_->Tracks() : std::vector<mci::CdTrack>();
  return media;
}

bool CdPlayer::Play(int32_t from, int32_t to) {
  Stop();
  if (!AudioOutput::Instance().Open()) return false;
  {
    std::lock_guard lock(bufferMutex_);
    buffer_.clear();
    nextSector_ = from;
    endSector_ = to;
    readerDone_ = false;
    stopReader_ = false;
  }
  startSector_ = from;
  framesPlayed_ = 0;
  paused_ = false;
  auto reader = TryStartThread(&CdPlayer::ReadAhead, this);
  if (!reader) return false;
  reader_ = std::move(*reader);
  sounding_ = true;
  AudioOutput::Instance().Attach(this);
  return true;
}

void CdPlayer::Stop() {
  {
    auto quiet = sounding_ ? AudioOutput::Instance().FadeOut() : AudioOutput::Quiet(nullptr);
    AudioOutput::Instance().Detach(this);
  }
  {
    std::lock_guard lock(bufferMutex_);
    stopReader_ = true;
  }
  bufferChanged_.notify_all();
  if (reader_.joinable()) reader_.join();
  sounding_ = false;
}

bool CdPlayer::IsSounding() { return sounding_; }

int32_t CdPlayer::SoundingSector() {
  return startSector_ + static_cast<int32_t>(framesPlayed_ / kFramesPerSector);
}

void CdPlayer::ReadAhead() {
  std::vector<int16_t> block(kSectorsPerRead * kSamplesPerSector);
  std::unique_lock lock(bufferMutex_);
  while (true) {
    bufferChanged_.wait(lock, [&] {
      return stopReader_ || (nextSector_ < endSector_ && buffer_.size() + block.size() <= kBufferSamples);
    });
    if (stopReader_) return;
    int32_t sector = nextSector_;
    auto count = static_cast<uint32_t>(std::min<int32_t>(kSectorsPerRead, endSector_ - sector));
    lock.unlock();
    bool ok;
    {
      std::lock_guard discLock(discMutex_);
      ok = disc_->Read(sector, count, block.data());
    }
    if (!ok) {
      // An unreadable stretch plays as silence rather than ending the music.
      std::fill(block.begin(), block.end(), 0);
      if (!readErrorLogged_) DebugLog("cannot read CD sector " + std::to_string(sector) + "; playing silence");
      readErrorLogged_ = true;
    }
    lock.lock();
    if (stopReader_) return;
    if (nextSector_ != sector) continue;  // the sound skipped ahead while this was read
    buffer_.insert(buffer_.end(), block.begin(), block.begin() + count * kSamplesPerSector);
    nextSector_ = sector + static_cast<int32_t>(count);
    if (nextSector_ >= endSector_) {
      readerDone_ = true;
      return;
    }
  }
}

void CdPlayer::MixInto(int16_t* stereo, size_t frames) {
  if (!sounding_ || paused_) return;
  size_t played = 0;
  {
    std::lock_guard lock(bufferMutex_);
    size_t samples = std::min(frames * 2, buffer_.size());
    for (size_t i = 0; i < samples; ++i) AddSaturated(stereo[i], buffer_[i]);
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(samples));
    played = samples / 2;
    if (readerDone_ && buffer_.empty()) sounding_ = false;
  }
  bufferChanged_.notify_one();
  framesPlayed_ += static_cast<int64_t>(played);
}

void CdPlayer::Skip(size_t frames) {
  {
    std::lock_guard lock(bufferMutex_);
    const size_t dropped = std::min(frames * 2, buffer_.size());
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(dropped));
    framesPlayed_ += static_cast<int64_t>(frames);
    if (dropped < frames * 2 && !readerDone_) {
      // Past what was read: the reader goes on at the next whole sector from here.
      const int32_t next = std::min(SoundingSector() + 1, endSector_);
      framesPlayed_ = int64_t{next - startSector_} * kFramesPerSector;
      nextSector_ = std::max(nextSector_, next);
    }
    if (readerDone_ && buffer_.empty()) sounding_ = false;
  }
  bufferChanged_.notify_one();
}

}  // namespace lumen::platform::audio

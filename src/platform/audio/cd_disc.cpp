#include "platform/audio/cd_disc.h"

#include <cdio/cdio.h>
#include <cdio/logging.h>
#include <cdio/mmc.h>
#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>
#include <cstdlib>
#include <cstring>
#include <endian.h>
#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/ascii_text.h"
#include "platform/debug_log.h"

namespace lumen::platform::audio {
namespace {

using platform::EndsWithNoCase;

// libcdio's errors go to the debug log instead of straight to stderr; its warnings
// (short pregaps and the like) are left out.
void LogFromLibcdio(cdio_log_level_t level, const char message[]) {
  if (level >= CDIO_LOG_ERROR) DebugLog(std::string("libcdio: ") + message);
}

CdIo_t* OpenSource(const std::string& source, bool isImage) {
  if (!isImage) return cdio_open(source.c_str(), DRIVER_DEVICE);
  // libcdio would wait forever opening a FIFO in an image's place.
  struct stat st {};
  if (::stat(source.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return nullptr;
  if (EndsWithNoCase(source, ".cue")) return cdio_open_cue(source.c_str());
  if (EndsWithNoCase(source, ".toc")) return cdio_open_cdrdao(source.c_str());
  if (EndsWithNoCase(source, ".nrg")) return cdio_open_nrg(source.c_str());
  return cdio_open(source.c_str(), DRIVER_UNKNOWN);
}

}  // namespace

std::unique_ptr<CdDisc> CdDisc::OpenDefault() {
  cdio_log_set_handler(LogFromLibcdio);
  if (const char* image = std::getenv("LUMENSHOW_CDROM"); image != nullptr && *image != '\0') {
    return std::unique_ptr<CdDisc>(new CdDisc(image, true));
  }
  driver_id_t driver = DRIVER_DEVICE;
  char* device = cdio_get_default_device_driver(&driver);
  if (device == nullptr) {
    DebugLog("no CD drive found (set LUMENSHOW_CDROM to play a disc image)");
    return nullptr;
  }
  std::unique_ptr<CdDisc> disc(new CdDisc(device, false));
  cdio_free(device);
  return disc;
}

CdDisc::~CdDisc() { Disconnect(); }

// libcdio's image readers trust the file (a .toc whose FILE names a folder divides by
// zero), so an image is first read in a child process: one that crashes it, or hangs it
// for seconds, is no disc. Read again only when the file changes.
bool CdDisc::ImageReadsSafely() {
  struct stat st {};
  if (::stat(source_.c_str(), &st) != 0) return false;
  const ImageProbe now{st.st_dev, st.st_ino, st.st_size, st.st_mtim.tv_sec, st.st_mtim.tv_nsec, false};
  if (now == probe_) return probe_.safe;
  probe_ = now;
  const pid_t child = ::fork();
  if (child == 0) {
    // A crash here ends this child quietly, whatever handlers the program installed.
    for (int signal : {SIGFPE, SIGSEGV, SIGBUS, SIGILL, SIGABRT}) std::signal(signal, SIG_DFL);
    CdDisc trial(source_, true);
    trial.probe_ = now;
    trial.probe_.safe = true;
    // An image without a track is no disc either: the program never opens it (libcdio
    // leaks a little on some of those).
    ::_exit(trial.Connect() && !trial.tracks_.empty() ? 0 : 1);
  }
  if (child < 0) return false;
  int status = 0;
  for (int waited = 0; ::waitpid(child, &status, WNOHANG) == 0; waited += 10) {
    if (waited >= 3000) {
      ::kill(child, SIGKILL);
      ::waitpid(child, &status, 0);
      break;
    }
    ::usleep(10'000);
  }
  probe_.safe = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  if (WIFSIGNALED(status)) DebugLog("the disc image " + source_ + " cannot be read safely: it is left alone");
  return probe_.safe;
}

bool CdDisc::Connect() {
  if (cdio_ != nullptr) return true;
  if (isImage_ && !ImageReadsSafely()) return false;
  cdio_ = OpenSource(source_, isImage_);
  if (cdio_ == nullptr) return false;
  ReadTableOfContents();
  return true;
}

void CdDisc::Disconnect() {
  if (paranoia_ != nullptr) cdio_paranoia_free(paranoia_);
  if (paranoiaDrive_ != nullptr) cdio_cddap_close_no_free_cdio(paranoiaDrive_);
  if (cdio_ != nullptr) cdio_destroy(cdio_);
  paranoia_ = nullptr;
  paranoiaDrive_ = nullptr;
  cdio_ = nullptr;
  paranoiaNext_ = -1;
  tracks_.clear();
}

void CdDisc::ReadTableOfContents() {
  tracks_.clear();
  track_t first = cdio_get_first_track_num(cdio_);
  track_t count = cdio_get_num_tracks(cdio_);
  if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK || count == 0) return;
  bool anyAudio = false;
  for (track_t t = first; t < first + count; ++t) {
    mci::CdTrack track;
    track.number = t;
    track.start = cdio_get_track_lsn(cdio_, t);
    // cdio_get_track_lsn gives INDEX 01, so a pregap (INDEX 00) ends the track before.
    track_t next = (t + 1 < first + count) ? static_cast<track_t>(t + 1) : static_cast<track_t>(CDIO_CDROM_LEADOUT_TRACK);
    track.end = cdio_get_track_lsn(cdio_, next);
    track.audio = cdio_get_track_format(cdio_, t) == TRACK_FORMAT_AUDIO;
    anyAudio = anyAudio || track.audio;
    if (track.start == CDIO_INVALID_LSN || track.end == CDIO_INVALID_LSN || track.end <= track.start) {
      tracks_.clear();
      return;
    }
    tracks_.push_back(track);
  }
  if (!anyAudio) DebugLog("the disc in " + source_ + " has no audio tracks");
}

mci::CdMedia CdDisc::Media() {
  if (!isImage_ && cdio_ != nullptr) {
    if (mmc_get_tray_status(cdio_) == 1) {
      Disconnect();
      return mci::CdMedia::TrayOpen;
    }
    if (cdio_get_media_changed(cdio_) == 1) Disconnect();
  }
  if (!Connect() || tracks_.empty()) {
    if (!loggedNoDisc_) {
      DebugLog(isImage_ ? "cannot read the disc image " + source_ : "no readable disc in " + source_);
      loggedNoDisc_ = true;
    }
    if (isImage_ || tracks_.empty()) Disconnect();
    return mci::CdMedia::NoDisc;
  }
  loggedNoDisc_ = false;
  return mci::CdMedia::Ready;
}

bool CdDisc::Read(int32_t sector, uint32_t count, int16_t* samples) {
  if (!Connect()) return false;
  if (isImage_) {
    if (cdio_read_audio_sectors(cdio_, samples, sector, count) != DRIVER_OP_SUCCESS) return false;
    // Image files hold audio little-endian, whatever the machine.
    for (uint32_t i = 0; i < count * kSamplesPerSector; ++i) {
      samples[i] = static_cast<int16_t>(le16toh(static_cast<uint16_t>(samples[i])));
    }
    return true;
  }
  // A drive reads through paranoia, which re-reads and matches overlapping reads to
  // smooth over jitter and scratches; it gives samples in host order.
  if (paranoia_ == nullptr) {
    paranoiaDrive_ = cdio_cddap_identify_cdio(cdio_, CDDA_MESSAGE_FORGETIT, nullptr);
    if (paranoiaDrive_ == nullptr || cdio_cddap_open(paranoiaDrive_) != 0) return false;
    paranoia_ = cdio_paranoia_init(paranoiaDrive_);
    if (paranoia_ == nullptr) return false;
    cdio_paranoia_modeset(paranoia_, PARANOIA_MODE_OVERLAP | PARANOIA_MODE_VERIFY);
  }
  if (sector != paranoiaNext_) cdio_paranoia_seek(paranoia_, sector, SEEK_SET);
  for (uint32_t i = 0; i < count; ++i) {
    int16_t* read = cdio_paranoia_read(paranoia_, nullptr);
    if (read == nullptr) {
      paranoiaNext_ = -1;
      return false;
    }
    std::memcpy(samples + i * kSamplesPerSector, read, kSamplesPerSector * sizeof(int16_t));
  }
  paranoiaNext_ = sector + static_cast<int32_t>(count);
  return true;
}

}  // namespace lumen::platform::audio

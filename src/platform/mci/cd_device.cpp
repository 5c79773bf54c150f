#include "platform/mci/cd_device.h"

#include "platform/mci/mci_errors.h"

namespace lumen::platform::mci {

CdAudioDevice::~CdAudioDevice() { drive_->Stop(); }

int32_t CdAudioDevice::FirstAudioSector() const {
  for (const CdTrack& track : tracks_) {
    if (track.audio) return track.start;
  }
  return 0;
}

int32_t CdAudioDevice::DiscEnd() const {
  for (auto track = tracks_.rbegin(); track != tracks_.rend(); ++track) {
    if (track->audio) return track->end;
  }
  return 0;
}

bool CdAudioDevice::Ready() {
  media_ = drive_->Media();
  if (media_ != CdMedia::Ready) {
    if (mode_ != Mode::Stopped) Halt();
    tracks_.clear();
    return false;
  }
  if (drive_->Tracks() != tracks_) {  // another disc: start over at its beginning
    Halt();
    tracks_ = drive_->Tracks();
    position_ = FirstAudioSector();
  }
  if (mode_ == Mode::Playing && !drive_->IsSounding()) {
    mode_ = Mode::Stopped;
    position_ = playEnd_ >= DiscEnd() ? FirstAudioSector() : playEnd_;
  }
  return DiscEnd() > 0;
}

void CdAudioDevice::Halt() {
  if (mode_ != Mode::Stopped && drive_->IsSounding()) position_ = drive_->SoundingSector();
  drive_->Stop();
  mode_ = Mode::Stopped;
}

int32_t CdAudioDevice::Position() {
  return mode_ != Mode::Stopped && drive_->IsSounding() ? drive_->SoundingSector() : position_;
}

uint32_t CdAudioDevice::Play(const MciCommand& command) {
  if (!Ready()) return MCIERR_DEVICE_NOT_READY;
  int32_t from = Position();
  int32_t to = DiscEnd();
  bool fromGiven = false;
  ArgReader args(command.args);
  while (!args.Done()) {
    bool isFrom = args.Take("from");
    if (!isFrom && !args.Take("to")) return MCIERR_UNRECOGNIZED_KEYWORD;
    const std::string* value = args.Value();
    if (value == nullptr) return MCIERR_MISSING_PARAMETER;
    if (uint32_t error = ParseCdTime(*value, format_, tracks_, isFrom ? from : to)) return error;
    fromGiven = fromGiven || isFrom;
  }
  if (!fromGiven && mode_ == Mode::Paused) {
    drive_->Resume();
    mode_ = Mode::Playing;
    return 0;
  }
  // Data tracks are not music: a play that starts in one goes on at the next audio track.
  const CdTrack* track = TrackAt(tracks_, from);
  while (track != nullptr && !track->audio && track != &tracks_.back()) ++track;
  if (track == nullptr || !track->audio) return MCIERR_OUTOFRANGE;
  from = std::max(from, track->start);
  if (from < 0 || to > DiscEnd() || from >= to) return MCIERR_OUTOFRANGE;

  Halt();
  if (!drive_->Play(from, to)) return MCIERR_HARDWARE;
  position_ = from;
  playEnd_ = to;
  mode_ = Mode::Playing;
  return 0;
}

uint32_t CdAudioDevice::Status(const MciCommand& command, std::string& answer) {
  const auto& a = command.args;
  auto is = [&](std::initializer_list<const char*> words) {
    if (a.size() != words.size()) return false;
    size_t i = 0;
    for (const char* word : words) {
      if (!SameWord(a[i++], word)) return false;
    }
    return true;
  };
  if (a.empty()) return MCIERR_MISSING_PARAMETER;
  bool ready = Ready();
  if (is({"mode"})) {
    answer = media_ == CdMedia::TrayOpen ? "open"
             : !ready                   ? "not ready"
             : mode_ == Mode::Playing   ? "playing"
             : mode_ == Mode::Paused    ? "paused"
                                        : "stopped";
    return 0;
  }
  if (is({"media", "present"}) || is({"ready"})) {
    answer = ready ? "true" : "false";
    return 0;
  }
  if (is({"time", "format"})) {
    answer = format_ == CdTimeFormat::Tmsf ? "tmsf" : format_ == CdTimeFormat::Msf ? "msf" : "milliseconds";
    return 0;
  }
  if (!ready) return MCIERR_DEVICE_NOT_READY;
  if (is({"current", "track"})) {
    answer = std::to_string(TrackAt(tracks_, Position())->number);
  } else if (is({"number", "of", "tracks"})) {
    answer = std::to_string(tracks_.size());
  } else if (is({"position"})) {
    answer = FormatCdTime(Position(), format_, tracks_);
  } else if (is({"length"})) {
    answer = FormatCdDuration(DiscEnd() - FirstAudioSector(), format_);
  } else if (a.size() == 3 && (SameWord(a[0], "position") || SameWord(a[0], "length")) &&
             SameWord(a[1], "track")) {
    int64_t number = ParseCount(a[2]);
    if (number < 0) return MCIERR_BAD_INTEGER;
    const CdTrack* track = nullptr;
    for (const CdTrack& t : tracks_) track = t.number == number ? &t : track;
    if (track == nullptr) return MCIERR_OUTOFRANGE;
    if (SameWord(a[0], "position")) {
      answer = FormatCdTime(track->start, format_, tracks_);
    } else {
      answer = FormatCdDuration(track->end - track->start, format_);
    }
  } else {
    return MCIERR_UNRECOGNIZED_KEYWORD;
  }
  return 0;
}

uint32_t CdAudioDevice::Set(const MciCommand& command) {
  const auto& a = command.args;
  if (a.size() != 3 || !SameWord(a[0], "time") || !SameWord(a[1], "format")) {
    return MCIERR_UNRECOGNIZED_KEYWORD;
  }
  if (SameWord(a[2], "tmsf")) {
    format_ = CdTimeFormat::Tmsf;
  } else if (SameWord(a[2], "msf")) {
    format_ = CdTimeFormat::Msf;
  } else if (SameWord(a[2], "milliseconds") || SameWord(a[2], "ms")) {
    format_ = CdTimeFormat::Milliseconds;
  } else {
    return MCIERR_BAD_TIME_FORMAT;
  }
  return 0;
}

uint32_t CdAudioDevice::Seek(const MciCommand& command) {
  const auto& a = command.args;
  if (a.size() != 2 || !SameWord(a[0], "to")) return MCIERR_MISSING_PARAMETER;
  if (!Ready()) return MCIERR_DEVICE_NOT_READY;
  int32_t target;
  if (SameWord(a[1], "start")) {
    target = FirstAudioSector();
  } else if (SameWord(a[1], "end")) {
    target = DiscEnd();
  } else if (uint32_t error = ParseCdTime(a[1], format_, tracks_, target)) {
    return error;
  }
  if (target < 0 || target > DiscEnd()) return MCIERR_OUTOFRANGE;
  Halt();
  position_ = target;
  return 0;
}

uint32_t CdAudioDevice::Execute(const MciCommand& command, std::string& answer) {
  const std::string& verb = command.verb;
  if (verb == "play") return Play(command);
  if (verb == "status") return Status(command, answer);
  if (verb == "set") return Set(command);
  if (verb == "seek") return Seek(command);
  if (!command.args.empty()) return MCIERR_UNRECOGNIZED_KEYWORD;
  if (verb == "stop") {
    Ready();
    Halt();
  } else if (verb == "pause") {
    if (Ready() && mode_ == Mode::Playing) drive_->Pause(), mode_ = Mode::Paused;
  } else if (verb == "resume") {
    if (Ready() && mode_ == Mode::Paused) drive_->Resume(), mode_ = Mode::Playing;
  } else {
    return MCIERR_UNRECOGNIZED_COMMAND;
  }
  return 0;
}

}  // namespace lumen::platform::mci

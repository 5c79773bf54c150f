#include "platform/mci/mpeg_device.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "platform/mci/mci_errors.h"

namespace lumen::platform::mci {
namespace {

std::string Milliseconds(double seconds) {
  return std::to_string(static_cast<int64_t>(std::llround(std::max(0.0, seconds) * 1000)));
}

}  // namespace

MpegDevice::~MpegDevice() { track_->Halt(); }

void MpegDevice::Refresh() {
  if (mode_ == Mode::Playing && !track_->IsSounding()) {
    mode_ = Mode::Stopped;
    stoppedAt_ = track_->LengthSeconds();
  }
}

double MpegDevice::Position() {
  Refresh();
  return mode_ == Mode::Stopped ? stoppedAt_ : track_->PositionSeconds();
}

uint32_t MpegDevice::Play(const MciCommand& command) {
  ArgReader args(command.args);
  std::optional<double> from;
  while (!args.Done()) {
    if (args.Take("from")) {
      const std::string* value = args.Value();
      if (value == nullptr) return MCIERR_MISSING_PARAMETER;
      int64_t ms = ParseCount(*value);
      if (ms < 0) return MCIERR_BAD_INTEGER;
      if (ms / 1000.0 > track_->LengthSeconds()) return MCIERR_OUTOFRANGE;
      from = ms / 1000.0;
    } else if (args.Take("to")) {
      return MCIERR_UNSUPPORTED_FUNCTION;
    } else {
      return MCIERR_UNRECOGNIZED_KEYWORD;
    }
  }
  Refresh();
  if (!from && mode_ == Mode::Paused) {
    track_->Resume();
  } else {
    double start = from ? *from : (mode_ == Mode::Playing ? track_->PositionSeconds() : stoppedAt_);
    if (!track_->Play(start)) return MCIERR_HARDWARE;
  }
  mode_ = Mode::Playing;
  return 0;
}

uint32_t MpegDevice::Status(const MciCommand& command, std::string& answer) {
  const auto& a = command.args;
  if (a.empty()) return MCIERR_MISSING_PARAMETER;
  if (a.size() > 2 || (a.size() == 2 && !SameWord(a[0], "time"))) return MCIERR_UNRECOGNIZED_KEYWORD;
  if (SameWord(a[0], "mode")) {
    Refresh();
    answer = mode_ == Mode::Playing ? "playing" : mode_ == Mode::Paused ? "paused" : "stopped";
  } else if (SameWord(a[0], "length")) {
    answer = Milliseconds(track_->LengthSeconds());
  } else if (SameWord(a[0], "position")) {
    answer = Milliseconds(Position());
  } else if (SameWord(a[0], "ready")) {
    answer = "true";
  } else if (a.size() == 2 && SameWord(a[1], "format")) {
    answer = "milliseconds";
  } else {
    return MCIERR_UNRECOGNIZED_KEYWORD;
  }
  return 0;
}

uint32_t MpegDevice::Execute(const MciCommand& command, std::string& answer) {
  const std::string& verb = command.verb;
  const auto& a = command.args;
  if (verb == "play") return Play(command);
  if (verb == "status") return Status(command, answer);
  if (!a.empty() && verb != "set" && verb != "seek") return MCIERR_UNRECOGNIZED_KEYWORD;
  if (verb == "stop") {
    stoppedAt_ = Position();
    track_->Halt();
    mode_ = Mode::Stopped;
  } else if (verb == "pause") {
    Refresh();
    if (mode_ == Mode::Playing) track_->Pause(), mode_ = Mode::Paused;
  } else if (verb == "resume") {
    if (mode_ == Mode::Paused) track_->Resume(), mode_ = Mode::Playing;
  } else if (verb == "seek") {
    if (a.size() != 2 || !SameWord(a[0], "to")) return MCIERR_MISSING_PARAMETER;
    double target;
    if (SameWord(a[1], "start")) {
      target = 0;
    } else if (SameWord(a[1], "end")) {
      target = track_->LengthSeconds();
    } else {
      int64_t ms = ParseCount(a[1]);
      if (ms < 0) return MCIERR_BAD_INTEGER;
      target = ms / 1000.0;
      if (target > track_->LengthSeconds()) return MCIERR_OUTOFRANGE;
    }
    track_->Halt();
    mode_ = Mode::Stopped;
    stoppedAt_ = target;
  } else if (verb == "set") {
    if (a.size() != 3 || !SameWord(a[0], "time") || !SameWord(a[1], "format")) {
      return MCIERR_UNRECOGNIZED_KEYWORD;
    }
    if (!SameWord(a[2], "milliseconds") && !SameWord(a[2], "ms")) return MCIERR_BAD_TIME_FORMAT;
  } else {
    return MCIERR_UNRECOGNIZED_COMMAND;
  }
  return 0;
}

}  // namespace lumen::platform::mci

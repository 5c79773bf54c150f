#include "platform/mci/cd_time.h"

#include <algorithm>
#include <cstdio>

#include "platform/mci/mci_command.h"
#include "platform/mci/mci_errors.h"

namespace lumen::platform::mci {
namespace {

const CdTrack* TrackNumbered(const std::vector<CdTrack>& tracks, int64_t number) {
  for (const CdTrack& track : tracks) {
    if (track.number == number) return &track;
  }
  return nullptr;
}

std::string MinutesSecondsFrames(int32_t frames) {
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", frames / (60 * kFramesPerSecond),
                frames / kFramesPerSecond % 60, frames % kFramesPerSecond);
  return text;
}

// Splits "a:b:c" into up to `most` numbers; false when a field is not a number.
bool SplitFields(const std::string& text, size_t most, std::vector<int64_t>& fields) {
  size_t start = 0;
  while (true) {
    size_t colon = text.find(':', start);
    int64_t value = ParseCount(text.substr(start, colon - start));
    if (value < 0 || fields.size() == most) return false;
    fields.push_back(value);
    if (colon == std::string::npos) return true;
    start = colon + 1;
  }
}

}  // namespace

const CdTrack* TrackAt(const std::vector<CdTrack>& tracks, int32_t sector) {
  for (const CdTrack& track : tracks) {
    if (sector < track.end) return &track;
  }
  return tracks.empty() ? nullptr : &tracks.back();
}

std::string FormatCdTime(int32_t sector, CdTimeFormat format, const std::vector<CdTrack>& tracks) {
  switch (format) {
    case CdTimeFormat::Msf: return MinutesSecondsFrames(sector + kLeadInFrames);
    case CdTimeFormat::Milliseconds:
      return std::to_string(static_cast<int64_t>(sector) * 1000 / kFramesPerSecond);
    case CdTimeFormat::Tmsf: {
      const CdTrack* track = TrackAt(tracks, sector);
      if (track == nullptr) return "00:00:00:00";
      char number[8];
      std::snprintf(number, sizeof number, "%02d:", track->number);
      return number + MinutesSecondsFrames(std::max(0, sector - track->start));
    }
  }
  return {};
}

std::string FormatCdDuration(int32_t frames, CdTimeFormat format) {
  if (format == CdTimeFormat::Milliseconds) {
    return std::to_string(static_cast<int64_t>(frames) * 1000 / kFramesPerSecond);
  }
  return MinutesSecondsFrames(frames);
}

uint32_t ParseCdTime(const std::string& text, CdTimeFormat format,
                     const std::vector<CdTrack>& tracks, int32_t& sector) {
  std::vector<int64_t> f;
  if (format == CdTimeFormat::Milliseconds) {
    int64_t ms = ParseCount(text);
    if (ms < 0) return MCIERR_BAD_INTEGER;
    sector = static_cast<int32_t>(ms * kFramesPerSecond / 1000);
    return 0;
  }
  size_t fieldCount = format == CdTimeFormat::Tmsf ? 4 : 3;
  if (!SplitFields(text, fieldCount, f)) return MCIERR_BAD_INTEGER;
  f.resize(fieldCount, 0);
  size_t m = fieldCount - 3;  // index of the minutes
  if (f[m] > 99 || f[m + 1] > 59 || f[m + 2] >= kFramesPerSecond) return MCIERR_OUTOFRANGE;
  auto offset = static_cast<int32_t>((f[m] * 60 + f[m + 1]) * kFramesPerSecond + f[m + 2]);
  if (format == CdTimeFormat::Msf) {
    if (offset < kLeadInFrames) return MCIERR_OUTOFRANGE;
    sector = offset - kLeadInFrames;
    return 0;
  }
  const CdTrack* track = TrackNumbered(tracks, f[0]);
  if (track == nullptr) return MCIERR_OUTOFRANGE;
  sector = track->start + offset;
  return 0;
}

}  // namespace lumen::platform::mci

// CD positions as MCI writes and reads them, in its three time formats.
//
//   msf           "mm:ss:ff", time from the start of the disc including its 2-second
//                 lead-in, so sector 0 is 00:02:00
//   tmsf          "tt:mm:ss:ff", a track and the time from its start
//   milliseconds  time from sector 0
// A CD second has 75 frames (sectors).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/mci/mci_drivers.h"

namespace lumen::platform::mci {

enum class CdTimeFormat { Msf, Tmsf, Milliseconds };

inline constexpr int32_t kFramesPerSecond = 75;
inline constexpr int32_t kLeadInFrames = 150;

std::string FormatCdTime(int32_t sector, CdTimeFormat format, const std::vector<CdTrack>& tracks);

// A length: "mm:ss:ff" without the lead-in in msf and tmsf, or milliseconds.
std::string FormatCdDuration(int32_t frames, CdTimeFormat format);

// Reads a position: in msf and tmsf the later fields may be left out ("3" is track 3 in
// tmsf). Returns 0 and the sector, or MCIERR_BAD_INTEGER / MCIERR_OUTOFRANGE.
uint32_t ParseCdTime(const std::string& text, CdTimeFormat format,
                     const std::vector<CdTrack>& tracks, int32_t& sector);

// The track holding the sector (the last track for sectors past the end); null when none.
const CdTrack* TrackAt(const std::vector<CdTrack>& tracks, int32_t sector);

}  // namespace lumen::platform::mci

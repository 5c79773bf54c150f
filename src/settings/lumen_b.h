// The settings module: the thirteen persisted options, the music-file dialog's folder,
// and the picture list a show works from.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lumen::settings {

// Colours are COLORREF values 0x00BBGGRR, kept as the INI file's signed 32-bit number.
struct Settings {
  int16_t ViewKind = 0;        // 0 thumbnails, 1 details
  std::string ImageFolder;     // full path of the picture folder
  int16_t AdvanceMode = 0;     // 0 manual, 1 automatic
  int16_t TurnDirection = 0;   // 0 right turn, 1 left turn
  int16_t ShowOrder = 0;       // 0 sequential, 1 shuffled
  int16_t TurnSpeed = 0;       // pixels per frame, 50 to 100 on the main window
  int16_t BackgroundKind = 0;  // 0 transparent, 1 colour
  int32_t BackgroundColor = 0;
  int16_t AutoInterval = 0;    // seconds, 0 to 10 on the main window
  int32_t MarginColor = 0;
  int16_t BgmKind = 0;         // 0 none, 1 audio CD, 2 MP3 or WAV file
  int16_t BgmRepeat = 0;       // CD track to repeat; 0 plays the whole disc
  std::string BgmFile;         // full path of the MP3 or WAV file
  std::string BgmFolder;       // where the music-file dialog opens; never saved

  bool operator==(const Settings&) const = default;
};

// "Name=value" lines, one per value, in the order the settings subcommand prints them.
std::string DescribeSettings(const Settings& settings);

// Built afresh at every show start. Index 0 of both arrays is not used.
struct ShowData {
  int32_t ImageCount = 0;
  std::vector<std::string> ImagePaths{""};
  std::vector<int32_t> SlideOrder{0};  // entries 1..ImageCount: a permutation of 1..ImageCount

  bool operator==(const ShowData&) const = default;
};

// The program's one copy of each, alive for the whole run (user-interface thread only).
Settings& AppSettings();
ShowData& AppShowData();

inline constexpr std::string_view kIniSection = "Section";

// Reads every setting from iniPath with its default and fallbacks; programFolder is the
// fallback picture and music folder. Values that are not numbers or do not fit leave
// their variable as it was.
void LoadSettings(Settings& settings, const std::string& programFolder,
                  const std::string& iniPath);

// Takes BgmRepeat from the track box's text, then writes all thirteen keys to iniPath in
// one go: the file is replaced whole, keeping every line that is not ours, or left as it
// was. Returns whether it was written; callers go on either way.
bool SaveSettings(Settings& settings, std::string_view trackBoxText, const std::string& iniPath);

// The same, on AppSettings() and the program folder's LumenShow.ini.
void LoadSettings();
bool SaveSettings(std::string_view trackBoxText);

}  // namespace lumen::settings

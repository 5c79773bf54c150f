// The settings module: the thirteen persisted options, the music-file dialog's folder,
// and the picture list a show works from.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace lumen::settings {

// The values of the six option fields. Each is the INI file's 16-bit number: a value
// outside the named ones, read from a file, is kept as it is and written back unchanged.
enum class View : int16_t { Thumbnails = 0, Details = 1 };
enum class Advance : int16_t { Manual = 0, Automatic = 1 };
enum class Turn : int16_t { Right = 0, Left = 1 };
enum class Order : int16_t { Sequential = 0, Shuffled = 1 };
enum class Background : int16_t { Transparent = 0, Colour = 1 };
enum class Music : int16_t { None = 0, AudioCd = 1, File = 2 };

// Colours are COLORREF values 0x00BBGGRR, kept as the INI file's signed 32-bit number.
struct Settings {
  View ViewKind = View::Thumbnails;
  std::string ImageFolder;  // full path of the picture folder
  Advance AdvanceMode = Advance::Manual;
  Turn TurnDirection = Turn::Right;
  Order ShowOrder = Order::Sequential;
  int16_t TurnSpeed = 0;  // pixels per frame, 50 to 100 on the main window
  Background BackgroundKind = Background::Transparent;
  int32_t BackgroundColor = 0;
  int16_t AutoInterval = 0;  // seconds, 0 to 10 on the main window
  int32_t MarginColor = 0;
  Music BgmKind = Music::None;
  int16_t BgmRepeat = 0;       // CD track to repeat; 0 plays the whole disc
  std::string BgmFile;         // full path of the MP3 or WAV file
  std::string BgmFolder;       // where the music-file dialog opens; never saved

  bool operator==(const Settings&) const = default;
};

// A 16-bit field, a number or an option's enum, seen as its INI number.
struct Int16Field {
  int16_t (*get)(const Settings&) = nullptr;
  void (*set)(Settings&, int16_t) = nullptr;
};

template <auto Member>
constexpr Int16Field Int16Of() {
  using Value = std::remove_cvref_t<decltype(std::declval<Settings&>().*Member)>;
  static_assert(sizeof(Value) == sizeof(int16_t));
  return {[](const Settings& s) { return static_cast<int16_t>(s.*Member); },
          [](Settings& s, int16_t value) { s.*Member = static_cast<Value>(value); }};
}

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

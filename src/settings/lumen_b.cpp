#include "settings/lumen_b.h"

#include <filesystem>

#include "platform/debug_log.h"
#include "platform/profile_file.h"
#include "platform/program_folder.h"
#include "platform/whole_file.h"
#include "settings/ini_routines.h"
#include "settings/numeric_text.h"
#include "settings/path_routines.h"
#include "settings/settings_table.h"

namespace lumen::settings {
namespace {

void LoadNumber(Settings& s, const SettingKey& entry, const std::string& text) {
  if (entry.kind == SettingKind::Int16) {
    if (text.empty()) {
      entry.int16Field.set(s, static_cast<int16_t>(entry.defaultValue));
    } else if (auto number = ParseNumber(text)) {
      if (auto whole = FloorToInt16(*number)) entry.int16Field.set(s, *whole);
    }
  } else {
    if (text.empty()) {
      s.*entry.colourField = entry.defaultValue;
    } else if (auto number = ParseNumber(text)) {
      if (auto whole = RoundToInt32(*number)) s.*entry.colourField = *whole;
    }
  }
}

void LoadMusicFile(Settings& s, const std::string& text, const std::string& programFolder) {
  s.BgmFile = text;
  if (!s.BgmFile.empty() && !FileExists(s.BgmFile)) {
    platform::DebugLog("the music file '" + s.BgmFile + "' does not exist: it is dropped" +
                       (s.BgmKind == Music::File ? ", and the show has no music" : ""));
    s.BgmFile.clear();
  }
  // An audio CD needs no file, so only the file kind falls back to no music.
  if (s.BgmFile.empty() && s.BgmKind == Music::File) s.BgmKind = Music::None;
  s.BgmFolder = s.BgmFile.empty() ? programFolder : ParentFolder(s.BgmFile);
}

void LoadPictureFolder(Settings& s, const std::string& text, const std::string& programFolder) {
  s.ImageFolder = (text.empty() || !FolderExists(text)) ? programFolder : text;
}

std::string StoredText(const Settings& s, const SettingKey& entry) {
  switch (entry.kind) {
    case SettingKind::Int16:
      return FormatIniNumber(entry.int16Field.get(s));
    case SettingKind::Colour: return FormatIniNumber(s.*entry.colourField);
    case SettingKind::MusicFile:
    case SettingKind::PictureFolder: return s.*entry.textField;
  }
  return {};
}

}  // namespace

Settings& AppSettings() {
  static Settings settings;
  return settings;
}

ShowData& AppShowData() {
  static ShowData data;
  return data;
}

void LoadSettings(Settings& s, const std::string& programFolder, const std::string& iniPath) {
  // One read for all thirteen keys, where the Windows program opened the file once per
  // key. Nothing writes it between those reads (the settings load before any window
  // exists, on the thread that later saves them), so every key sees the same bytes; and a
  // file replaced by another program meanwhile can no longer mix two versions' values.
  const platform::FileContents file = platform::ReadProfileFile(iniPath);
  const platform::ProfileDocument document(file.status == platform::FileContents::Status::Read ? file.bytes
                                                                                                : std::string());
  for (const SettingKey& entry : kSettingKeys) {
    std::string text = ReadIniValue(kIniSection, entry.iniKey, document);
    switch (entry.kind) {
      case SettingKind::Int16:
      case SettingKind::Colour: LoadNumber(s, entry, text); break;
      case SettingKind::MusicFile: LoadMusicFile(s, text, programFolder); break;
      case SettingKind::PictureFolder: LoadPictureFolder(s, text, programFolder); break;
    }
  }
}

bool SaveSettings(Settings& s, std::string_view trackBoxText, const std::string& iniPath) {
  if (auto number = ParseNumber(trackBoxText)) {
    // A number too large for a track keeps the previous value.
    if (auto track = RoundToInt16(*number)) s.BgmRepeat = *track;
  } else {
    s.BgmRepeat = 0;
  }

  platform::FileContents old = platform::ReadProfileFile(iniPath);
  // Saving over a file we could not read would lose its foreign lines: leave it alone.
  if (old.status != platform::FileContents::Status::Read) return false;
  platform::ProfileDocument document(old.bytes);
  for (const SettingKey& entry : kSettingKeys) {
    WriteIniValue(kIniSection, entry.iniKey, StoredText(s, entry), document);
  }
  // The first save makes the settings' folder (~/.config/lumenshow).
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(iniPath).parent_path(), ignored);
  return platform::ReplaceFileAtomically(iniPath, document.Serialize());
}

void LoadSettings() {
  LoadSettings(AppSettings(), platform::ProgramFolder(), platform::IniFilePath());
}

bool SaveSettings(std::string_view trackBoxText) {
  return SaveSettings(AppSettings(), trackBoxText, platform::IniFilePath());
}

std::string DescribeSettings(const Settings& s) {
  auto line = [](std::string_view name, const auto& value) {
    std::string text(name);
    text += '=';
    using Value = std::decay_t<decltype(value)>;
    if constexpr (std::is_same_v<Value, std::string>) {
      text += value;
    } else if constexpr (std::is_enum_v<Value>) {
      text += std::to_string(static_cast<int>(value));
    } else {
      text += std::to_string(value);
    }
    return text + '\n';
  };
  return line("ViewKind", s.ViewKind) + line("ImageFolder", s.ImageFolder) +
         line("AdvanceMode", s.AdvanceMode) + line("TurnDirection", s.TurnDirection) +
         line("ShowOrder", s.ShowOrder) + line("TurnSpeed", s.TurnSpeed) +
         line("BackgroundKind", s.BackgroundKind) + line("BackgroundColor", s.BackgroundColor) +
         line("AutoInterval", s.AutoInterval) + line("MarginColor", s.MarginColor) +
         line("BgmKind", s.BgmKind) + line("BgmRepeat", s.BgmRepeat) +
         line("BgmFile", s.BgmFile) + line("BgmFolder", s.BgmFolder);
}

}  // namespace lumen::settings

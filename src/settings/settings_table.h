// The one table of INI keys: read and written in this order.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "settings/lumen_b.h"

namespace lumen::settings {

enum class SettingKind {
  Int16,          // floored to a 16-bit integer
  Colour,         // rounded half to even to a 32-bit integer
  MusicFile,      // BgmFile, dropped when the file is gone; derives BgmFolder
  PictureFolder,  // ImageFolder, the program's folder when missing
};

struct SettingKey {
  std::string_view iniKey;
  SettingKind kind;
  Int16Field int16Field;
  int32_t Settings::*colourField = nullptr;
  std::string Settings::*textField = nullptr;
  int32_t defaultValue = 0;  // for an empty or missing numeric value
};

inline const std::array<SettingKey, 13> kSettingKeys = {{
    {"表示区分", SettingKind::Int16, Int16Of<&Settings::ViewKind>(), nullptr, nullptr, 1},
    {"BGM区分", SettingKind::Int16, Int16Of<&Settings::BgmKind>(), nullptr, nullptr, 0},
    {"BGMﾘﾋﾟｰﾄ", SettingKind::Int16, Int16Of<&Settings::BgmRepeat>(), nullptr, nullptr, 0},
    {"BGMﾌｧｲﾙ", SettingKind::MusicFile, {}, nullptr, &Settings::BgmFile, 0},
    {"画像ﾌｫﾙﾀﾞ", SettingKind::PictureFolder, {}, nullptr, &Settings::ImageFolder, 0},
    {"画像転換処理方法", SettingKind::Int16, Int16Of<&Settings::AdvanceMode>(), nullptr, nullptr, 0},
    {"右左区分", SettingKind::Int16, Int16Of<&Settings::TurnDirection>(), nullptr, nullptr, 0},
    {"画像表示順", SettingKind::Int16, Int16Of<&Settings::ShowOrder>(), nullptr, nullptr, 0},
    {"めくる速さ", SettingKind::Int16, Int16Of<&Settings::TurnSpeed>(), nullptr, nullptr, 100},
    {"背景区分", SettingKind::Int16, Int16Of<&Settings::BackgroundKind>(), nullptr, nullptr, 0},
    {"背景色", SettingKind::Colour, {}, &Settings::BackgroundColor, nullptr, 0},
    {"インターバル", SettingKind::Int16, Int16Of<&Settings::AutoInterval>(), nullptr, nullptr, 1},
    {"余白の色", SettingKind::Colour, {}, &Settings::MarginColor, nullptr, 0xFFFFFF},
}};

}  // namespace lumen::settings

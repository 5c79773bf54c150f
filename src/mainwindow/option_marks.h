// The two 12 x 12 marks every option of the main window's panel shows (Img_Ra): a clear
// light square with a thin border, and the same square filled with blue when chosen.
#pragma once

#include "platform/gdi/surface.h"

namespace lumen::mainwindow {

inline constexpr int kMarkSize = 12;
inline constexpr platform::gdi::COLORREF kMarkBorder = 0x7F5A3C;  // RGB(60, 90, 127)
inline constexpr platform::gdi::COLORREF kMarkFace = 0xF8F8F8;
inline constexpr platform::gdi::COLORREF kMarkBlue = 0xD6671E;    // RGB(30, 103, 214)

// Border at the outer ring, face inside; the chosen mark's blue covers all but a
// one-pixel ring of face (pixels 2 to 9 both ways).
platform::gdi::Surface OptionMark(bool selected);

}  // namespace lumen::mainwindow

// Windows-style messages for the custom controls: each control's events arrive as numbered
// messages through its window's procedure, so their logic can be driven by synthetic
// messages in tests and by Qt events in the program alike.
#pragma once

#include <cstdint>
#include <functional>

namespace lumen::platform {

using UINT = uint32_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;

class MessageWindow;
using HWND = MessageWindow*;

inline constexpr UINT WM_SIZE = 0x0005;
inline constexpr UINT WM_ACTIVATE = 0x0006;
inline constexpr UINT WM_PAINT = 0x000F;
inline constexpr UINT WM_SYSCOLORCHANGE = 0x0015;
inline constexpr UINT WM_CANCELMODE = 0x001F;
inline constexpr UINT WM_NCACTIVATE = 0x0086;
inline constexpr UINT WM_TIMER = 0x0113;
inline constexpr UINT WM_MOUSEMOVE = 0x0200;
inline constexpr UINT WM_LBUTTONDOWN = 0x0201;
inline constexpr UINT WM_LBUTTONUP = 0x0202;
inline constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
inline constexpr UINT WM_MOUSELEAVE = 0x02A3;
inline constexpr UINT WM_THEMECHANGED = 0x031A;

// Button flags of mouse messages, in wParam.
inline constexpr WPARAM MK_LBUTTON = 0x0001;
inline constexpr WPARAM MK_RBUTTON = 0x0002;
inline constexpr WPARAM MK_SHIFT = 0x0004;
inline constexpr WPARAM MK_CONTROL = 0x0008;
inline constexpr WPARAM MK_MBUTTON = 0x0010;

// Mouse coordinates travel as the low and high 16 bits of lParam; reading sign-extends,
// so a point left of or above the window (while the mouse is captured) comes back negative.
constexpr LPARAM MakeLParam(int low, int high) {
  return static_cast<LPARAM>((static_cast<uint32_t>(high & 0xFFFF) << 16) | static_cast<uint32_t>(low & 0xFFFF));
}
constexpr int LParamX(LPARAM l) { return static_cast<int16_t>(static_cast<uint16_t>(l & 0xFFFF)); }
constexpr int LParamY(LPARAM l) { return static_cast<int16_t>(static_cast<uint16_t>((l >> 16) & 0xFFFF)); }

using WindowProc = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;

// A window as the message layer sees it: its current procedure, which hooks replace
// (SetWindowProc returns the one they replace, as SetWindowLongA(GWL_WNDPROC) does).
class MessageWindow {
 public:
  explicit MessageWindow(WindowProc defaultProc) : proc_(std::move(defaultProc)) {}
  MessageWindow(const MessageWindow&) = delete;
  MessageWindow& operator=(const MessageWindow&) = delete;

  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    WindowProc proc = proc_;  // a copy: the procedure may unhook itself while it runs
    return proc ? proc(this, message, wParam, lParam) : 0;
  }
  WindowProc SetWindowProc(WindowProc proc) {
    std::swap(proc, proc_);
    return proc;
  }

 private:
  WindowProc proc_;
};

}  // namespace lumen::platform

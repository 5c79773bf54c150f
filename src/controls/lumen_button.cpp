#include "controls/lumen_button.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "platform/gdi/gdi.h"

namespace lumen::controls {

namespace gdi = platform::gdi;

std::string FindAccessKey(const std::string& caption) {
  // p is 1-based, as the search it follows; it needs p + 1 < length.
  size_t p = 1;
  while (p + 1 < caption.size()) {
    size_t at = caption.find('&', p - 1);
    if (at == std::string::npos || at + 1 >= caption.size()) return {};
    if (caption[at + 1] == '&') {
      p = at + 3;  // two past the "&" found, 1-based
      continue;
    }
    return std::string(1, static_cast<char>(std::tolower(static_cast<unsigned char>(caption[at + 1]))));
  }
  return {};
}

void DrawGradient(gdi::Surface& s, const RECT& rect, COLORREF top, COLORREF bottom) {
  const int n = rect.bottom - rect.top;
  if (n == 0) return;
  auto channel = [](COLORREF c, int shift) { return static_cast<int>((c >> shift) & 0xFF); };
  float steps[3];
  for (int k = 0; k < 3; ++k) steps[k] = static_cast<float>(channel(top, 8 * k) - channel(bottom, 8 * k)) / n;
  for (int i = 0; i <= n; ++i) {
    COLORREF colour = 0;
    for (int k = 0; k < 3; ++k) {
      // Single precision throughout, then to the nearest integer, ties to even.
      float value = steps[k] * static_cast<float>(i) + static_cast<float>(channel(bottom, 8 * k));
      int rounded = std::clamp(static_cast<int>(std::nearbyint(value)), 0, 255);
      colour |= static_cast<COLORREF>(rounded) << (8 * k);
    }
    const int y = rect.bottom - i;
    gdi::DrawLine(s, rect.left, y, rect.right, y, colour);
  }
}

LumenButton::LumenButton(ButtonHost& host) : host_(host) {
  suppressDraw_ = true;
  InitColours();
}

LumenButton::~LumenButton() { Terminate(); }

void LumenButton::InitColours() {
  colours_[StateDisabled] = {0xBAC7C9, 0, 0, 0, 0, 0, 0, 0x8CB1C4, 0xBDC7CE, 0x8CB1C4};
  colours_[StateNormal] = {0x743C00, 0xFFFFFF, 0xFEFEFE, 0xD6DFE2, 0xC5D0D6, 0xFBFCFC, 0xE6EBEC,
                           0x845521, 0xAD967B, 0xA57D52};
  colours_[StateFocused] = {0x743C00, 0xFFE7CE, 0xF7D7BD, 0xE7AE8C, 0xEF826B, 0xF7D3BD, 0xE7AE8C,
                            0x845521, 0xAD967B, 0xA57D52};
  colours_[StateHot] = {0x743C00, 0xCEF3FF, 0x8CDBFF, 0x31B2FF, 0x0096E6, 0x9CDFE1, 0x30B6FF,
                        0x845521, 0xAD967B, 0xA57D52};
  colours_[StatePressed] = {0x743C00, 0, 0, 0, 0, 0, 0, 0x845521, 0xAD967B, 0xA57D52};
}

void LumenButton::DrawButton(int state) {
  if (suppressDraw_ || state < 0 || state > 4) return;
  currentState_ = state;
  const int W = host_.ClientWidth(), H = host_.ClientHeight();
  if (image_.Width() != W || image_.Height() != H) image_.Resize(W, H);
  image_.SetBackgroundColor(gdi::GetSysColor(gdi::COLOR_BTNFACE));
  const StateColours& c = colours_[state];

  gdi::DrawLine(image_, 3, 0, W - 3, 0, c.edge);
  gdi::DrawLine(image_, 0, 3, 0, H - 3, c.edge);
  gdi::DrawLine(image_, 3, H - 1, W - 3, H - 1, c.edge);
  gdi::DrawLine(image_, W - 1, 3, W - 1, H - 3, c.edge);

  if (state >= StateNormal && state <= StateHot) {
    DrawGradient(image_, {1, 3, W - 1, H - 2}, c.rimTop, c.rimBottom);
    DrawGradient(image_, {3, 3, W - 3, H - 3}, 0xFBFCFC, 0xE6EBEC);
    gdi::DrawLine(image_, 1, 1, W, 1, c.row1);
    gdi::DrawLine(image_, 1, 2, W, 2, c.row2);
    gdi::DrawLine(image_, 1, H - 3, W, H - 3, c.rowH3);
    gdi::DrawLine(image_, 2, H - 2, W - 1, H - 2, c.rowH2);
  } else {
    gdi::FillRect(image_, {1, 1, W - 1, H - 1}, gdi::SolidBrush(state == StateDisabled ? 0xEAF4F5 : 0xDEE3E7));
  }

  const struct {
    int x, y;
    COLORREF colour;
  } corners[] = {
      {0, 1, c.cornerG},         {0, 2, c.cornerF},         {1, 0, c.cornerG},         {1, 1, c.cornerH},
      {2, 0, c.cornerF},         {W - 1, 1, c.cornerG},     {W - 1, 2, c.cornerF},     {W - 2, 0, c.cornerG},
      {W - 2, 1, c.cornerH},     {W - 3, 0, c.cornerF},     {0, H - 2, c.cornerG},     {0, H - 3, c.cornerF},
      {1, H - 1, c.cornerG},     {1, H - 2, c.cornerH},     {2, H - 1, c.cornerF},     {W - 1, H - 2, c.cornerG},
      {W - 1, H - 3, c.cornerF}, {W - 2, H - 1, c.cornerG}, {W - 2, H - 2, c.cornerH}, {W - 3, H - 1, c.cornerF},
  };
  for (const auto& p : corners) {
    if (p.x >= 0 && p.y >= 0 && p.x < W && p.y < H) image_.SetPixel(p.x, p.y, p.colour);
  }
  host_.SetRoundRegion(W, H);

  suppressDraw_ = true;
  const RECT textRect{3, 3, W - 3, H - 3};
  host_.DrawCaption(image_, caption_, textRect, enabled_ ? foreColor_ : kDisabledText, font_);
  if (hasFocus_ && focusRect_ && state >= StateFocused) gdi::DrawFocusRect(image_, textRect);
  suppressDraw_ = false;
  host_.ShowImage(image_);
}

void LumenButton::DrawIfNew(int state) {
  if (state != currentState_) DrawButton(state);
}

void LumenButton::SetCaption(const std::string& caption) {
  caption_ = caption;
  host_.SetAccessKey(FindAccessKey(caption));
  DrawButton(currentState_);
}

void LumenButton::SetEnabled(bool enabled) {
  enabled_ = enabled;
  host_.SetWindowEnabled(enabled);
  suppressDraw_ = false;
  if (isMouseInside_ && enabled) {
    DrawButton(StateHot);
  } else if (isDefault_ && enabled) {
    DrawButton(StateFocused);
  } else {
    DrawIfNew(enabled ? StateNormal : StateDisabled);
  }
}

void LumenButton::SetForeColor(COLORREF colour) {
  foreColor_ = colour;
  DrawButton(currentState_);
}

void LumenButton::SetFont(const FontSpec& font) {
  font_ = font;
  DrawButton(currentState_);
}

void LumenButton::SetFocusRect(bool on) {
  focusRect_ = on;
  if (hasFocus_) DrawButton(currentState_);
}

void LumenButton::ReadProperties(HWND parentWindow, bool parentIsMdiChild, bool runTime) {
  ownWindow_ = &window_;
  parentWindow_ = parentWindow;
  SetCaption(caption_);  // gives the host the access key
  SetEnabled(enabled_);
  if (runTime) {
    if (ownWindow_ != nullptr) {
      hooks_.SubclassWindow(ownWindow_);
      hooks_.AddMessage(ownWindow_, platform::WM_MOUSELEAVE, PhaseAfter);
    }
    if (parentWindow_ != nullptr) {
      hooks_.SubclassWindow(parentWindow_);
      hooks_.AddMessage(parentWindow_, parentIsMdiChild ? platform::WM_NCACTIVATE : platform::WM_ACTIVATE,
                        PhaseAfter);
    }
  }
  suppressDraw_ = false;
  DrawButton(currentState_);
}

void LumenButton::Terminate() {
  if (ownWindow_ != nullptr) hooks_.UnsubclassWindow(ownWindow_);
  if (parentWindow_ != nullptr) hooks_.UnsubclassWindow(parentWindow_);
  ownWindow_ = parentWindow_ = nullptr;
}

void LumenButton::SnapMouseTo() {
  int x = 0, y = 0;
  host_.ClientOriginOnScreen(x, y);
  host_.SetCursorPos(static_cast<int>(std::nearbyint(x + host_.ClientWidth() / 2.0)),
                     static_cast<int>(std::nearbyint(y + host_.ClientHeight() / 2.0)));
}

void LumenButton::OnMouseDown(int button, int, float, float) {
  lastButton_ = button;
  if (button != 1) return;
  hasFocus_ = isPressed_ = isMouseDown_ = true;
  DrawIfNew(StatePressed);
}

void LumenButton::OnMouseMove(int button, int shift, float x, float y) {
  isMouseInside_ = x >= 0 && x <= host_.ClientWidth() && y >= 0 && y <= host_.ClientHeight();
  if (isMouseInside_) host_.TrackMouseLeave();
  if (!isFormActive_ || isSpaceDown_) return;
  if (isMouseInside_) {
    DrawIfNew(isPressed_ ? StatePressed : StateHot);
  } else {
    DrawIfNew(hasFocus_ ? StateFocused : StateNormal);
  }
  if (MouseMove) MouseMove(button, shift, x, y);
}

void LumenButton::OnMouseUp(int button, int, float, float) {
  if (button == 1 && isFormActive_) {
    if (isMouseInside_) {
      DrawIfNew(StateHot);
    } else if (hasFocus_) {
      DrawButton(StateFocused);
    }
    if (isMouseInside_ && hasFocus_ && isPressed_ && Click) Click();
  }
  if (button == 1) isPressed_ = isMouseDown_ = false;
}

void LumenButton::OnDblClick() {
  if (lastButton_ != 1) return;
  DrawButton(StatePressed);
  if (DblClick) DblClick();
}

void LumenButton::OnKeyDown(int keyCode) {
  switch (keyCode) {
    case 13:
      if (Click) Click();
      break;
    case 32:
      if (!isMouseDown_) {
        isSpaceDown_ = isPressed_ = true;
        DrawIfNew(StatePressed);
      }
      break;
    case 37:
    case 38: host_.MoveFocus(false); break;
    case 39:
    case 40: host_.MoveFocus(true); break;
    default: break;
  }
}

void LumenButton::OnKeyUp(int keyCode) {
  if (keyCode != 32 || isMouseDown_) return;
  if (!isMouseInside_) {
    DrawButton(StateFocused);
  } else {
    DrawIfNew(StateHot);
  }
  const bool click = isPressed_;
  isSpaceDown_ = isPressed_ = false;
  if (click && Click) Click();
}

void LumenButton::OnAccessKey() {
  if (!enabled_) return;
  if (isSpaceDown_) {
    isSpaceDown_ = isPressed_ = false;
    if (!isMouseInside_) {
      DrawButton(StateFocused);
    } else {
      DrawIfNew(StateHot);
    }
    return;
  }
  host_.ProcessPendingMessages();
  if (Click) Click();
}

void LumenButton::OnGotFocus() {
  hasFocus_ = true;
  if (isMouseInside_) {
    if (currentState_ != StateHot && currentState_ != StatePressed) DrawButton(StateHot);
  } else if (!isPressed_) {
    DrawButton(StateFocused);
  }
}

void LumenButton::OnLostFocus() {
  hasFocus_ = isPressed_ = isSpaceDown_ = false;
  if (!enabled_) return;
  if (!isFormActive_) {
    DrawIfNew(StateNormal);
  } else if (isMouseInside_) {
    DrawIfNew(StateHot);
  } else if (isDefault_) {
    DrawButton(StateFocused);
  } else {
    DrawIfNew(StateNormal);
  }
}

void LumenButton::OnAmbientChanged(const std::string& propertyName) {
  isDefault_ = host_.DisplayAsDefault();
  if (!enabled_ || isMouseInside_ || propertyName != "DisplayAsDefault") return;
  if (isDefault_) {
    DrawButton(StateFocused);
  } else {
    DrawIfNew(StateNormal);
  }
}

void LumenButton::OnMouseLeave() {
  isMouseInside_ = false;
  if (isSpaceDown_ || currentState_ == StateDisabled) return;
  if (hasFocus_ || isDefault_) {
    if (currentState_ == StatePressed) {
      DrawButton(isPressed_ ? StateFocused : StateNormal);
    } else if (currentState_ != StateFocused && isFormActive_) {
      DrawButton(StateFocused);
    }
  } else {
    DrawIfNew(StateNormal);
  }
}

void LumenButton::OnParentActivation(bool active) {
  int32_t state = active ? 1 : 0;
  if (active) {
    isFormActive_ = true;
    if (enabled_) {
      if (!isMouseInside_ && (hasFocus_ || isDefault_)) DrawButton(StateFocused);
      if (isMouseInside_) DrawIfNew(StateHot);
    }
  } else {
    isFormActive_ = isPressed_ = isSpaceDown_ = isMouseDown_ = false;
    if (enabled_) DrawIfNew(StateNormal);
  }
  if (FormActivate) FormActivate(state);
}

void LumenButton::OnResize() {
  // 100 twips, about 7 pixels, at least each way. The corrections draw nothing; then the
  // button is drawn once at its final size.
  constexpr int kMinimum = 7;
  if (host_.ClientHeight() < kMinimum) {
    suppressDraw_ = true;
    host_.Resize(host_.ClientWidth(), kMinimum);
  }
  if (host_.ClientWidth() < kMinimum) {
    suppressDraw_ = true;
    host_.Resize(kMinimum, host_.ClientHeight());
  }
  suppressDraw_ = false;
  DrawButton(currentState_);
}

void LumenButton::SubclassProc(bool bBefore, bool&, LRESULT&, HWND& hwnd, UINT& uMsg, WPARAM& wParam, LPARAM&) {
  if (bBefore) return;
  if (uMsg == platform::WM_MOUSELEAVE && hwnd == ownWindow_) {
    OnMouseLeave();
  } else if ((uMsg == platform::WM_ACTIVATE || uMsg == platform::WM_NCACTIVATE) && hwnd == parentWindow_) {
    OnParentActivation((wParam & 0xFFFF) != 0);
  }
}

}  // namespace lumen::controls

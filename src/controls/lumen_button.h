// LumenButton: the XP-style push button. It draws itself, in one of five states, onto a
// persistent image from which its window is repainted, and follows mouse, keyboard, focus,
// the host's default-button flag and its parent form's activation.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "controls/subclass.h"
#include "platform/gdi/drawing.h"

namespace lumen::controls {

using platform::gdi::COLORREF;
using platform::gdi::RECT;

// The caption's font; Verdana 8.25 pt until the host sets one.
struct FontSpec {
  std::string name = "Verdana";
  double points = 8.25;
  int weight = 400;
  int charset = 0;
  bool italic = false, underline = false, strikeout = false;
  bool operator==(const FontSpec&) const = default;
};

enum ButtonState { StateDisabled = 0, StateNormal = 1, StateFocused = 2, StateHot = 3, StatePressed = 4 };

// What the button needs from its window and the toolkit around it.
class ButtonHost {
 public:
  virtual ~ButtonHost() = default;
  virtual int ClientWidth() = 0;   // pixels, which are also the control's units
  virtual int ClientHeight() = 0;
  virtual void Resize(int width, int height) = 0;
  // The window's shape: a rounded rectangle (0, 0)-(w + 1, h + 1) with 3 x 3 corners.
  virtual void SetRoundRegion(int width, int height) = 0;
  // One line, centred both ways, transparent, "&" marking the underlined access key.
  virtual void DrawCaption(platform::gdi::Surface& surface, const std::string& caption, const RECT& rect,
                           COLORREF colour, const FontSpec& font) = 0;
  virtual void ShowImage(const platform::gdi::Surface& image) = 0;  // repaint from the image
  virtual void TrackMouseLeave() = 0;                                // a WM_MOUSELEAVE will follow
  virtual void MoveFocus(bool forward) = 0;                          // "{TAB}" or "+{TAB}"
  virtual void ProcessPendingMessages() = 0;
  virtual void SetAccessKey(const std::string& key) = 0;            // lower-case, or empty
  virtual void SetWindowEnabled(bool enabled) = 0;
  virtual void ClientOriginOnScreen(int& x, int& y) = 0;
  virtual void SetCursorPos(int x, int y) = 0;
  virtual bool DisplayAsDefault() = 0;  // the host's ambient flag
};

// The access key of a caption: the lower-cased character after the first single "&" that
// is not the last character; "&&" is a literal "&". Empty when there is none.
std::string FindAccessKey(const std::string& caption);

// Rows y = bottom - i for i = 0..n (n = bottom - top) from left up to right, each channel
// step * i + bottom channel, step = (top - bottom) / n as a float, rounded half to even.
void DrawGradient(platform::gdi::Surface& s, const RECT& rect, COLORREF top, COLORREF bottom);

class LumenButton : public SubclassTarget {
 public:
  static constexpr COLORREF kDisabledText = 0x92A1A1;

  explicit LumenButton(ButtonHost& host);
  ~LumenButton() override;

  // Events.
  std::function<void()> Click;
  std::function<void()> DblClick;
  std::function<void(int button, int shift, float x, float y)> MouseMove;
  std::function<void(int32_t& state)> FormActivate;

  // Properties.
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  COLORREF ForeColor() const { return foreColor_; }
  void SetForeColor(COLORREF colour);
  const FontSpec& Font() const { return font_; }
  void SetFont(const FontSpec& font);
  bool FocusRect() const { return focusRect_; }
  void SetFocusRect(bool on);

  // The control's own window: the toolkit sends WM_MOUSELEAVE here.
  HWND hWnd() { return &window_; }

  // The host's ReadProperties: nothing is kept at design time, so the properties are what
  // the setters gave them. At run time it hooks the own and the parent form's window; then
  // it draws.
  void ReadProperties(HWND parentWindow, bool parentIsMdiChild, bool runTime = true);
  // Unhooks the windows.
  void Terminate();

  void DrawButton(int state);
  void SnapMouseTo();

  // Input, as the window delivers it (x, y in control units).
  void OnMouseDown(int button, int shift, float x, float y);
  void OnMouseMove(int button, int shift, float x, float y);
  void OnMouseUp(int button, int shift, float x, float y);
  void OnDblClick();
  void OnKeyDown(int keyCode);
  void OnKeyUp(int keyCode);
  void OnAccessKey();
  void OnGotFocus();
  void OnLostFocus();
  void OnAmbientChanged(const std::string& propertyName);
  void OnResize();

  void SubclassProc(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND& hwnd, UINT& uMsg, WPARAM& wParam,
                    LPARAM& lParam) override;

  int CurrentState() const { return currentState_; }
  const platform::gdi::Surface& Image() const { return image_; }

 private:
  void InitColours();
  void DrawIfNew(int state);
  void OnMouseLeave();
  void OnParentActivation(bool active);

  ButtonHost& host_;
  platform::MessageWindow window_{nullptr};
  Subclasser hooks_{*this};
  platform::gdi::Surface image_;
  HWND ownWindow_ = nullptr;  // while hooked
  HWND parentWindow_ = nullptr;

  std::string caption_ = "&OK";
  bool enabled_ = true;
  COLORREF foreColor_ = 0;
  FontSpec font_;
  bool focusRect_ = true;

  int currentState_ = StateDisabled;
  bool suppressDraw_ = true;
  bool isPressed_ = false, hasFocus_ = false, isMouseInside_ = false, isFormActive_ = false;
  bool isSpaceDown_ = false, isMouseDown_ = false, isDefault_ = false;
  int lastButton_ = 0;

  struct StateColours {
    COLORREF edge, row1, row2, rowH3, rowH2, rimTop, rimBottom, cornerF, cornerG, cornerH;
  };
  StateColours colours_[5] = {};
};

}  // namespace lumen::controls

#include "controls/lumen_button.h"

#include <gtest/gtest.h>

#include "support/value_printers.h"

namespace lumen::controls {
namespace {

using platform::gdi::Surface;

class FakeButtonHost : public ButtonHost {
 public:
  int ClientWidth() override { return width; }
  int ClientHeight() override { return height; }
  void Resize(int w, int h) override { width = w, height = h; }
  void SetRoundRegion(int w, int h) override { region = {w, h}; }
  void DrawCaption(Surface&, const std::string& caption, const RECT& rect, COLORREF colour, const FontSpec&) override {
    lastCaption = caption;
    lastTextRect = rect;
    lastTextColour = colour;
  }
  void ShowImage(const Surface&) override { ++shown; }
  void TrackMouseLeave() override { ++leaveRequests; }
  void MoveFocus(bool forward) override { focusMoves.push_back(forward); }
  void ProcessPendingMessages() override {}
  void SetAccessKey(const std::string& key) override { accessKey = key; }
  void SetWindowEnabled(bool) override {}
  void ClientOriginOnScreen(int& x, int& y) override { x = 100, y = 50; }
  void SetCursorPos(int x, int y) override { cursor = {x, y}; }
  bool DisplayAsDefault() override { return isDefault; }

  int width = 75, height = 23;
  std::pair<int, int> region, cursor;
  std::string lastCaption, accessKey;
  RECT lastTextRect;
  COLORREF lastTextColour = 0;
  int shown = 0, leaveRequests = 0;
  std::vector<bool> focusMoves;
  bool isDefault = false;
};

class ButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    button.Click = [this] { ++clicks; };
    button.FormActivate = [this](int32_t& state) { activations.push_back(state); };
    button.ReadProperties(&form, false);
    form.SendMessage(platform::WM_ACTIVATE, 1);  // the form is active
  }
  void Move(float x, float y) { button.OnMouseMove(0, 0, x, y); }

  FakeButtonHost host;
  platform::MessageWindow form{nullptr};
  LumenButton button{host};
  int clicks = 0;
  std::vector<int32_t> activations;
};

TEST_F(ButtonTest, EachStateHasItsLook) {
  // A few telling pixels per state: the rim, the first highlight row, the gradient's top,
  // the bottom rows; the rest of each table follows the same drawing code.
  const Surface& s = button.Image();
  auto look = [&] { return std::vector<COLORREF>{s.GetPixel(3, 0), s.GetPixel(10, 1), s.GetPixel(1, 3),
                                                 s.GetPixel(10, 21), s.GetPixel(0, 1), s.GetPixel(1, 1)}; };
  ASSERT_EQ(button.CurrentState(), StateNormal);
  EXPECT_EQ(look(), (std::vector<COLORREF>{0x743C00, 0xFFFFFF, 0xFBFCFC, 0xC5D0D6, 0xAD967B, 0xA57D52}));
  EXPECT_EQ(s.GetPixel(74, 21), 0xAD967Bu) << "the corners are mirrored";
  EXPECT_EQ(host.region, std::make_pair(75, 23));
  EXPECT_EQ(host.lastTextRect, (RECT{3, 3, 72, 20}));

  Move(10, 10);
  EXPECT_EQ(button.CurrentState(), StateHot);
  EXPECT_EQ(look()[1], 0xCEF3FFu);
  EXPECT_EQ(look()[3], 0x0096E6u);
  button.SetEnabled(false);
  EXPECT_EQ(button.CurrentState(), StateDisabled);
  EXPECT_EQ(s.GetPixel(10, 3), 0xEAF4F5u) << "no gradient";
  EXPECT_EQ(host.lastTextColour, LumenButton::kDisabledText);

  button.SetEnabled(true);
  button.hWnd()->SendMessage(platform::WM_MOUSELEAVE);
  button.OnGotFocus();
  EXPECT_EQ(button.CurrentState(), StateFocused);
  EXPECT_EQ(s.GetPixel(10, 1), 0xFFE7CEu);
  const COLORREF withRect[2] = {s.GetPixel(3, 3), s.GetPixel(4, 3)};
  button.SetFocusRect(false);
  EXPECT_EQ(withRect[0], s.GetPixel(3, 3) ^ 0xFFFFFFu) << "the focus rectangle inverts its corner pixel";
  EXPECT_EQ(withRect[1], s.GetPixel(4, 3)) << "and every other pixel only";
  button.OnMouseDown(1, 0, 10, 10);
  EXPECT_EQ(button.CurrentState(), StatePressed);
  EXPECT_EQ(s.GetPixel(10, 10), 0xDEE3E7u);
}

TEST_F(ButtonTest, ClicksOnlyWhenReleasedInside) {
  Move(10, 10);
  button.OnMouseDown(1, 0, 10, 10);
  Move(100, 10);
  EXPECT_EQ(button.CurrentState(), StateFocused);
  button.OnMouseUp(1, 0, 100, 10);
  EXPECT_EQ(clicks, 0);

  button.OnMouseDown(1, 0, 10, 10);
  Move(100, 10);
  Move(10, 10);
  EXPECT_EQ(button.CurrentState(), StatePressed);
  button.OnMouseUp(1, 0, 10, 10);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(button.CurrentState(), StateHot);
}

TEST_F(ButtonTest, SpaceBarAndMouseTogether) {
  Move(10, 10);
  button.OnGotFocus();
  button.OnKeyDown(32);
  EXPECT_EQ(button.CurrentState(), StatePressed);
  button.OnMouseDown(1, 0, 10, 10);
  button.OnMouseUp(1, 0, 10, 10);
  EXPECT_EQ(clicks, 1) << "the mouse release clicks";
  button.OnKeyUp(32);
  EXPECT_EQ(clicks, 1) << "the later space release does not";

  button.OnMouseDown(1, 0, 10, 10);
  button.OnKeyDown(32);  // ignored while the mouse button is held
  button.OnMouseUp(1, 0, 10, 10);
  button.OnKeyUp(32);
  EXPECT_EQ(clicks, 2);

  button.OnKeyDown(32);
  button.OnKeyUp(32);
  EXPECT_EQ(clicks, 3);
  button.OnKeyDown(13);
  EXPECT_EQ(clicks, 4);
  button.OnKeyDown(37);
  button.OnKeyDown(40);
  EXPECT_EQ(host.focusMoves, (std::vector<bool>{false, true}));
}

TEST_F(ButtonTest, DeactivationMidPressClearsThePress) {
  Move(10, 10);
  button.OnMouseDown(1, 0, 10, 10);
  form.SendMessage(platform::WM_ACTIVATE, 0);
  EXPECT_EQ(button.CurrentState(), StateNormal);
  form.SendMessage(platform::WM_ACTIVATE, 1);
  button.OnMouseUp(1, 0, 10, 10);
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(activations, (std::vector<int32_t>{1, 0, 1}));
}

TEST(ButtonCaption, AccessKeys) {
  const std::pair<const char*, const char*> keys[] = {{"&OK", "o"}, {"Save &As", "a"}, {"a&&b", ""}, {"&&", ""},
                                                      {"&x", ""},   {"a&&b&c", "c"},   {"ab&", ""},  {"", ""}};
  for (auto [caption, key] : keys) EXPECT_EQ(FindAccessKey(caption), key) << caption;
}

}  // namespace
}  // namespace lumen::controls

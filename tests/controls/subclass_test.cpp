#include "controls/subclass.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace lumen::controls {
namespace {

using platform::MessageWindow;

// Records every call; handles messages as told.
class Recorder : public SubclassTarget {
 public:
  void SubclassProc(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND&, UINT& uMsg, WPARAM& wParam,
                    LPARAM&) override {
    log.push_back(std::string(bBefore ? "before " : "after ") + std::to_string(uMsg) + " " +
                  std::to_string(lReturn));
    if (bBefore && uMsg == handleBefore) {
      bHandled = true;
      lReturn = 77;
    }
    if (bBefore && uMsg == rewrite) wParam = 99;
    if (!bBefore && uMsg == replaceAfter) lReturn = 55;
  }
  std::vector<std::string> log;
  UINT handleBefore = 0, rewrite = 0, replaceAfter = 0;
};

class SubclassTest : public ::testing::Test {
 protected:
  MessageWindow window{[this](HWND, UINT m, WPARAM w, LPARAM) -> LRESULT {
    recorder.log.push_back("previous " + std::to_string(m) + " " + std::to_string(w));
    return 10;
  }};
  Recorder recorder;
  Subclasser hooks{recorder};
};

TEST_F(SubclassTest, PhasesRunInOrderAndBeforeCanHandleOrRewrite) {
  ASSERT_EQ(hooks.SubclassWindow(&window), 0);
  hooks.AddMessage(&window, 5, PhaseBefore | PhaseAfter);
  hooks.AddMessage(&window, 6, PhaseBefore);
  hooks.AddMessage(&window, 6, PhaseBefore);  // twice: still one entry
  hooks.AddMessage(&window, 7, PhaseAfter);

  EXPECT_EQ(window.SendMessage(5, 1), 10);
  EXPECT_EQ(recorder.log, (std::vector<std::string>{"before 5 0", "previous 5 1", "after 5 10"}));

  recorder.log.clear();
  recorder.handleBefore = 6;
  EXPECT_EQ(window.SendMessage(6), 77) << "a handled message returns the handler's lReturn";
  EXPECT_EQ(recorder.log, std::vector<std::string>{"before 6 0"});

  recorder.log.clear();
  recorder.rewrite = 5;
  recorder.replaceAfter = 7;
  window.SendMessage(5, 1);
  EXPECT_EQ(recorder.log[1], "previous 5 99") << "the previous procedure sees the rewritten wParam";
  EXPECT_EQ(window.SendMessage(7), 55);
  EXPECT_EQ(window.SendMessage(8), 10) << "an unregistered message only reaches the previous procedure";
}

TEST_F(SubclassTest, AllMessagesAndUnhooking) {
  MessageWindow other{[](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return 3; }};
  hooks.SubclassWindow(&window);
  EXPECT_EQ(hooks.SubclassWindow(&other), 1);
  hooks.AddMessage(&window, AllMessages, PhaseAfter);
  hooks.AddMessage(&window, 9, PhaseAfter);  // the phase takes every message already
  window.SendMessage(12);
  window.SendMessage(9);
  EXPECT_EQ(recorder.log.size(), 4u);

  hooks.UnsubclassWindow(&window);
  recorder.log.clear();
  window.SendMessage(12);
  EXPECT_EQ(recorder.log, std::vector<std::string>{"previous 12 0"});
  EXPECT_EQ(hooks.FindSubclassSlot(&window, false), -1);
  EXPECT_EQ(hooks.SubclassWindow(&window), 0) << "the freed record is used again";
  EXPECT_EQ(hooks.RecordCount(), 2u);

  MessageWindow never{nullptr};
  hooks.UnsubclassWindow(&never);  // never hooked: nothing happens
  hooks.AddMessage(&never, 5, PhaseBefore);
  hooks.UnsubclassAll();
  recorder.log.clear();
  EXPECT_EQ(other.SendMessage(1), 3);
  EXPECT_TRUE(recorder.log.empty());
}

}  // namespace
}  // namespace lumen::controls

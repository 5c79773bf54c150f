// Window subclassing: chosen messages of hooked windows are handed to a control's
// SubclassProc before or after the window's previous procedure runs.
//
// Dispatch of a message: the before phase (when the message is in the before list, or the
// list takes every message); if it set bHandled, lReturn is the result and nothing more
// runs; otherwise the previous procedure runs with the message as the before phase left
// it, its result becomes lReturn, and the after phase may replace it.
#pragma once

#include <memory>
#include <vector>

#include "platform/messages/window_messages.h"

namespace lumen::controls {

using platform::HWND;
using platform::LPARAM;
using platform::LRESULT;
using platform::UINT;
using platform::WPARAM;

inline constexpr int PhaseAfter = 1;
inline constexpr int PhaseBefore = 2;
inline constexpr UINT AllMessages = static_cast<UINT>(-1);

class SubclassTarget {
 public:
  virtual ~SubclassTarget() = default;
  // bHandled starts false and lReturn 0; a before-phase handler may change the window,
  // message and parameters the previous procedure then receives.
  virtual void SubclassProc(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND& hwnd, UINT& uMsg,
                            WPARAM& wParam, LPARAM& lParam) = 0;
};

// The hooked-window table of one control. The control must unhook (or destroy this)
// before it is destroyed itself.
class Subclasser {
 public:
  explicit Subclasser(SubclassTarget& owner) : owner_(owner) {}
  ~Subclasser();
  Subclasser(const Subclasser&) = delete;
  Subclasser& operator=(const Subclasser&) = delete;

  // Hooks the window; returns the index of its record (a freed record is reused).
  int SubclassWindow(HWND window);
  // Adds the message to the before list (phases bit 2) and/or the after list (bit 1);
  // AllMessages makes that phase take every message. Does nothing for a window not hooked.
  void AddMessage(HWND window, UINT uMsg, int phases);
  void UnsubclassWindow(HWND window);
  void UnsubclassAll();
  // Looking up: the record of the window. Adding: a free record. -1 when there is none.
  int FindSubclassSlot(HWND window, bool forAdding) const;
  size_t RecordCount() const { return records_.size(); }

 private:
  // The per-window entry routine's data: what the installed procedure reads.
  struct Thunk {
    platform::WindowProc previous;
    SubclassTarget* owner = nullptr;
    int beforeCount = 0;  // -1: every message
    int afterCount = 0;
    std::vector<UINT> beforeList;
    std::vector<UINT> afterList;
  };
  struct SubclassRecord {
    HWND window = nullptr;  // null marks a free record
    std::shared_ptr<Thunk> entry;
  };
  static LRESULT Dispatch(Thunk& thunk, HWND window, UINT uMsg, WPARAM wParam, LPARAM lParam);
  static bool Listed(int count, const std::vector<UINT>& list, UINT uMsg);

  SubclassTarget& owner_;
  std::vector<SubclassRecord> records_;
};

}  // namespace lumen::controls

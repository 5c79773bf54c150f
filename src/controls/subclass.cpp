#include "controls/subclass.h"

#include <algorithm>

namespace lumen::controls {

Subclasser::~Subclasser() { UnsubclassAll(); }

bool Subclasser::Listed(int count, const std::vector<UINT>& list, UINT uMsg) {
  if (count == -1) return true;
  const auto end = list.begin() + std::min<size_t>(static_cast<size_t>(std::max(count, 0)), list.size());
  return std::find(list.begin(), end, uMsg) != end;
}

LRESULT Subclasser::Dispatch(Thunk& thunk, HWND window, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  LRESULT lReturn = 0;
  bool bHandled = false;
  if (Listed(thunk.beforeCount, thunk.beforeList, uMsg)) {
    thunk.owner->SubclassProc(true, bHandled, lReturn, window, uMsg, wParam, lParam);
  }
  if (bHandled) return lReturn;
  lReturn = thunk.previous ? thunk.previous(window, uMsg, wParam, lParam) : 0;
  if (Listed(thunk.afterCount, thunk.afterList, uMsg)) {
    thunk.owner->SubclassProc(false, bHandled, lReturn, window, uMsg, wParam, lParam);
  }
  return lReturn;
}

int Subclasser::FindSubclassSlot(HWND window, bool forAdding) const {
  for (int i = static_cast<int>(records_.size()) - 1; i >= 0; --i) {
    HWND held = records_[static_cast<size_t>(i)].window;
    if (forAdding ? held == nullptr : (held == window && window != nullptr)) return i;
  }
  return -1;
}

int Subclasser::SubclassWindow(HWND window) {
  if (window == nullptr) return -1;
  int index = FindSubclassSlot(window, true);
  if (index == -1) {
    records_.emplace_back();
    index = static_cast<int>(records_.size()) - 1;
  }
  SubclassRecord& record = records_[static_cast<size_t>(index)];
  record.window = window;
  record.entry = std::make_shared<Thunk>();
  record.entry->owner = &owner_;
  // The installed procedure holds the thunk alive, so a message already on its way
  // through it after an unhook still finds valid data (and zero counts).
  std::shared_ptr<Thunk> thunk = record.entry;
  thunk->previous = window->SetWindowProc(
      [thunk](HWND w, UINT m, WPARAM wp, LPARAM lp) { return Dispatch(*thunk, w, m, wp, lp); });
  return index;
}

void Subclasser::AddMessage(HWND window, UINT uMsg, int phases) {
  int index = FindSubclassSlot(window, false);
  if (index == -1) return;
  Thunk& thunk = *records_[static_cast<size_t>(index)].entry;
  auto add = [&](int& count, std::vector<UINT>& list) {
    if (uMsg == AllMessages) {
      count = -1;
      return;
    }
    if (count == -1) return;  // the phase takes every message already
    for (int i = 0; i < count && static_cast<size_t>(i) < list.size(); ++i) {
      if (list[static_cast<size_t>(i)] == 0) {
        list[static_cast<size_t>(i)] = uMsg;
        return;
      }
      if (list[static_cast<size_t>(i)] == uMsg) return;
    }
    count = std::max(count, 0) + 1;
    list.resize(static_cast<size_t>(count));
    list.back() = uMsg;
  };
  if (phases & PhaseBefore) add(thunk.beforeCount, thunk.beforeList);
  if (phases & PhaseAfter) add(thunk.afterCount, thunk.afterList);
}

void Subclasser::UnsubclassWindow(HWND window) {
  int index = FindSubclassSlot(window, false);
  if (index == -1) return;
  SubclassRecord& record = records_[static_cast<size_t>(index)];
  record.entry->beforeCount = record.entry->afterCount = 0;
  window->SetWindowProc(record.entry->previous);
  record = SubclassRecord{};
}

void Subclasser::UnsubclassAll() {
  for (int i = static_cast<int>(records_.size()) - 1; i >= 0; --i) {
    if (HWND window = records_[static_cast<size_t>(i)].window) UnsubclassWindow(window);
  }
}

}  // namespace lumen::controls

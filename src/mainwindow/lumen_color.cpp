#include "mainwindow/lumen_color.h"

namespace lumen::mainwindow {

int32_t ShowColorDialog(platform::SystemDialogs& dialogs, QWidget* owner, int32_t initial) {
  platform::ColourRequest request;
  request.initial = static_cast<platform::gdi::COLORREF>(initial) & 0xFFFFFF;
  request.customColours.fill(0xFFFFFF);
  auto chosen = dialogs.ChooseColor(owner, request);
  return chosen ? static_cast<int32_t>(*chosen & 0xFFFFFF) : -1;
}

}  // namespace lumen::mainwindow

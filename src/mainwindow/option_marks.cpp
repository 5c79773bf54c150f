#include "mainwindow/option_marks.h"

#include "platform/gdi/drawing.h"

namespace lumen::mainwindow {

namespace gdi = platform::gdi;

gdi::Surface OptionMark(bool selected) {
  gdi::Surface mark(kMarkSize, kMarkSize, kMarkBorder);
  gdi::FillRect(mark, {1, 1, kMarkSize - 1, kMarkSize - 1}, gdi::SolidBrush(kMarkFace));
  if (selected) gdi::FillRect(mark, {2, 2, kMarkSize - 2, kMarkSize - 2}, gdi::SolidBrush(kMarkBlue));
  return mark;
}

}  // namespace lumen::mainwindow

// The show as a screen reader meets it: a window named "LumenShow" whose one child is the
// page that stands now, an image named by the picture's file name. Each new page takes the
// focus, and a screen reader speaks what takes the focus: the way a blind user hears each
// turn (a changed name or description is not spoken by Orca 43, as Qt 6.4 sends it).
#pragma once

#include <QString>

class QWidget;

namespace lumen::slideshow {

// Makes `window` read as a frame with its page; before its first page, the frame alone.
void MakeShowAccessible(QWidget* window);
// `fileName` stands on `window`'s page now; spoken when the window is the active one.
void AnnouncePage(QWidget* window, const QString& fileName);
// Gives the page the focus again (the window has become the active one).
void FocusPage(QWidget* window);
// The window is going: its page and its entry go.
void ForgetWindow(QWidget* window);

}  // namespace lumen::slideshow

// Whether the desktop draws windows' title bars itself. X11 window managers and most
// Wayland compositors do; GNOME and Weston leave them to the program, and Qt's own then
// offers to maximise even a window of fixed size.
#pragma once

namespace lumen::platform {

// Asks the compositor on a Wayland desktop (whether it offers decorations); true elsewhere.
// Call before the first window is shown.
bool DesktopDrawsTitleBars();

}  // namespace lumen::platform

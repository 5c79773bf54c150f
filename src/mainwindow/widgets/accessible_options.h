// What screen readers learn of the option panel's own pieces: each option mark is a radio
// button named by its label, checked when chosen; the guide link is a link; the window is
// a frame. Pressing a mark or the link through the accessibility bus acts as a click.
#pragma once

namespace lumen::mainwindow {

// Registers the interfaces with Qt, once; the pieces call it when they are made.
void InstallAccessibleOptions();

}  // namespace lumen::mainwindow

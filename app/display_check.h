// The subcommands that open windows need a display. Without one, Qt would print a few
// warnings and abort with advice to reinstall; LumenShow says so in one line instead and
// exits with status 2.
#pragma once

namespace lumen::app {

// Call before making the QApplication: when no display is configured at all it exits at
// once; when one is configured but cannot be opened, Qt's failure becomes the same line.
void ExpectDisplay();

}  // namespace lumen::app

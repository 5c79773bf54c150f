// What screen readers learn of the two controls through Qt's accessibility (AT-SPI on
// Linux): LumenButton is a push button named by its caption, with a press action;
// LumenScrollBar is a scroll bar whose value can be read and set.
#pragma once

#include <QString>

namespace lumen::controls {

// Registers the controls' accessible interfaces with Qt, once; every control calls it
// when it is made.
void InstallAccessibleControls();

// A caption as it is read out: "&" access-key markers left out, "&&" a plain "&".
QString SpokenCaption(const QString& caption);

}  // namespace lumen::controls

// "動画に書き出す…" on the start button's right-click menu: the show of the chosen folder,
// with the options as they stand in the window, written to a video file the user names,
// behind a progress dialog with a cancel button. The window's layout does not change.
#pragma once

#include <QWidget>

#include "settings/lumen_b.h"

namespace lumen::app {

// settings: the window's own, read when the export starts.
void OfferVideoExport(QWidget& startButton, const settings::Settings& settings);

}  // namespace lumen::app

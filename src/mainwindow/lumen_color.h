// Lumen_Color: the colour dialog.
#pragma once

#include <cstdint>

#include "platform/desktop/system_dialogs.h"

namespace lumen::mainwindow {

// Shows the colour dialog starting from `initial`, with 16 white custom colours at every
// opening (the ones the user defines are not kept); the chosen colour, or -1 on cancel.
int32_t ShowColorDialog(platform::SystemDialogs& dialogs, QWidget* owner, int32_t initial);

}  // namespace lumen::mainwindow

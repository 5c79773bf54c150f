// One show on the desktop, with its music: returns when the show window has closed.
#pragma once

#include "settings/lumen_b.h"

class QScreen;

namespace lumen::app {

void RunShow(QScreen* screen, const settings::Settings& settings, const settings::ShowData& data);

}  // namespace lumen::app

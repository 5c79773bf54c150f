// The main window's "動画に書き出す…": a show written to a video file the user names, behind
// a progress dialog with a cancel button.
#pragma once

#include <QWidget>

#include "platform/desktop/system_dialogs.h"
#include "settings/lumen_b.h"

namespace lumen::app {

void ExportShowVideo(QWidget* window, platform::SystemDialogs& dialogs, const settings::Settings& settings,
                     const settings::ShowData& show);

}  // namespace lumen::app

// The main window's "動画に書き出す…": a show written to a video file the user names, behind
// a progress dialog with a cancel button, and a message that says how it ended: where the
// video is (with an offer to open its folder), or that it failed or was stopped.
#pragma once

#include <QWidget>

#include "platform/desktop/system_dialogs.h"
#include "settings/lumen_b.h"
#include "video/show_video.h"

namespace lumen::video {

// format: the video's size and rate (the default Full HD at 60 frames a second); its
// container follows the name the user gives.
void ExportShowVideo(QWidget* window, platform::SystemDialogs& dialogs, const settings::Settings& settings,
                     const settings::ShowData& show, VideoFormat format = {});

}  // namespace lumen::video

// LumenFolder: the picture-folder dialog.
#pragma once

#include <string>

#include "platform/desktop/system_dialogs.h"

namespace lumen::mainwindow {

inline constexpr const char* kFolderDialogTitle = "フォルダを選択してください";

// Shows the folder dialog with initialFolder selected; the chosen folder's full path, or
// empty text when the user cancels.
std::string BrowseFolder(platform::SystemDialogs& dialogs, QWidget* owner, const std::string& initialFolder);

}  // namespace lumen::mainwindow

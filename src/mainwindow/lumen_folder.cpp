#include "mainwindow/lumen_folder.h"

namespace lumen::mainwindow {

std::string BrowseFolder(platform::SystemDialogs& dialogs, QWidget* owner, const std::string& initialFolder) {
  auto chosen = dialogs.BrowseForFolder(owner, {.title = kFolderDialogTitle, .initialFolder = initialFolder});
  return chosen.value_or(std::string());
}

}  // namespace lumen::mainwindow

// The dialogs of SystemDialogs as Qt draws them.
#pragma once

#include <string>

#include "platform/desktop/system_dialogs.h"

namespace lumen::platform {

// Qt's own dialogs (never the desktop's native ones, so titles and filters are ours) and
// QDesktopServices.
class QtSystemDialogs : public SystemDialogs {
 public:
  std::optional<std::string> BrowseForFolder(QWidget* owner, const FolderRequest& request) override;
  std::optional<std::string> GetOpenFileName(QWidget* owner, const OpenFileRequest& request) override;
  std::optional<std::string> GetSaveFileName(QWidget* owner, const SaveFileRequest& request) override;
  std::optional<gdi::COLORREF> ChooseColor(QWidget* owner, ColourRequest& request) override;
  bool ShowMessage(QWidget* owner, const MessageRequest& request) override;
  bool ShellOpen(QWidget* owner, const std::string& address) override;
};

// "*.MP3" as a pattern that matches in any letter case: "*.[mM][pP]3".
std::string AnyCasePattern(const std::string& pattern);

}  // namespace lumen::platform

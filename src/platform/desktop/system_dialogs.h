// The desktop's common dialogs and its "open" verb, behind one interface so that the main
// window's handlers can be driven with scripted answers. Texts are UTF-8; paths are the
// bytes the file system holds. Only the interface: what needs no display may hold one
// (Qt's dialogs behind it are in qt_system_dialogs.h).
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "platform/gdi/surface.h"

class QWidget;

namespace lumen::platform {

// The folder dialog: only folders can be accepted; it opens with initialFolder selected.
struct FolderRequest {
  std::string title;
  std::string initialFolder;
};

// The open-file dialog with one filter: filterName is shown, patterns ("*.MP3") select
// files in any letter case. A typed name of a file that does not exist is accepted.
struct OpenFileRequest {
  std::string title;
  std::string filterName;
  std::vector<std::string> patterns;
  std::string initialFolder;
};

// The save-file dialog: filters such as "MP4 (*.mp4)", the first one chosen; it opens on
// initialPath (a folder and a proposed name) and asks before replacing a file.
struct SaveFileRequest {
  std::string title;
  std::vector<std::string> filters;
  std::string initialPath;
};

// A message box: the text, and a button that closes it ("閉じる"); with an offer, a
// second button for it, the default one.
enum class MessageKind { Information, Warning };
struct MessageRequest {
  MessageKind kind = MessageKind::Information;
  std::string title;
  std::string text;
  std::string offer;  // e.g. "フォルダを開く"; empty: none
};

// The colour dialog, starting from `initial`, with 16 custom colours the user may change.
struct ColourRequest {
  gdi::COLORREF initial = 0;
  std::array<gdi::COLORREF, 16> customColours{};
};

class SystemDialogs {
 public:
  virtual ~SystemDialogs() = default;
  // Each returns nothing when the user cancels.
  virtual std::optional<std::string> BrowseForFolder(QWidget* owner, const FolderRequest& request) = 0;
  virtual std::optional<std::string> GetOpenFileName(QWidget* owner, const OpenFileRequest& request) = 0;
  virtual std::optional<std::string> GetSaveFileName(QWidget* owner, const SaveFileRequest& request) = 0;
  virtual std::optional<gdi::COLORREF> ChooseColor(QWidget* owner, ColourRequest& request) = 0;
  // Returns when the box is closed: true when the offer was taken.
  virtual bool ShowMessage(QWidget* owner, const MessageRequest& request) = 0;
  // Opens an address (a web address or a local file) with the desktop's program for it;
  // false when there is none or it would not start.
  virtual bool ShellOpen(QWidget* owner, const std::string& address) = 0;
};

}  // namespace lumen::platform

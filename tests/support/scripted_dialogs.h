// Dialogs whose answers a test scripts in advance; every request is kept for checking.
#pragma once

#include <QApplication>
#include <deque>

#include "platform/desktop/system_dialogs.h"

namespace lumen::test {

class ScriptedDialogs : public platform::SystemDialogs {
 public:
  std::deque<std::optional<std::string>> folders, files, savedFiles;
  std::deque<std::optional<platform::gdi::COLORREF>> colours;
  std::vector<platform::FolderRequest> folderRequests;
  std::vector<platform::OpenFileRequest> fileRequests;
  std::vector<platform::ColourRequest> colourRequests;
  std::vector<platform::SaveFileRequest> saveRequests;
  std::vector<std::string> opened;
  std::vector<platform::MessageRequest> messages;
  bool takeOffers = false, openerWorks = true;
  std::vector<Qt::CursorShape> cursorsWhileOpening;

  std::optional<std::string> BrowseForFolder(QWidget*, const platform::FolderRequest& request) override {
    folderRequests.push_back(request);
    return Next(folders);
  }
  std::optional<std::string> GetOpenFileName(QWidget*, const platform::OpenFileRequest& request) override {
    fileRequests.push_back(request);
    return Next(files);
  }
  std::optional<std::string> GetSaveFileName(QWidget*, const platform::SaveFileRequest& request) override {
    saveRequests.push_back(request);
    return Next(savedFiles);
  }
  // Each message is kept; an offer is taken when takeOffers says so.
  bool ShowMessage(QWidget*, const platform::MessageRequest& request) override {
    messages.push_back(request);
    return !request.offer.empty() && takeOffers;
  }
  std::optional<platform::gdi::COLORREF> ChooseColor(QWidget*, platform::ColourRequest& request) override {
    colourRequests.push_back(request);
    request.customColours.fill(0x0000FF);  // the user defines custom colours; they must not stay
    return Next(colours);
  }
  bool ShellOpen(QWidget*, const std::string& address) override {
    opened.push_back(address);
    const QCursor* cursor = QApplication::overrideCursor();
    cursorsWhileOpening.push_back(cursor ? cursor->shape() : Qt::ArrowCursor);
    return openerWorks;
  }

 private:
  template <typename T>
  static std::optional<T> Next(std::deque<std::optional<T>>& answers) {
    if (answers.empty()) return std::nullopt;  // unscripted: the user cancels
    auto answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

}  // namespace lumen::test

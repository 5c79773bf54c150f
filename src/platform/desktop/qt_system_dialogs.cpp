#include "platform/desktop/qt_system_dialogs.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>
#include <QWidget>

namespace lumen::platform {
namespace {

QString FromPath(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }
std::string ToPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

// The owner is active again once its dialog has gone, as on Windows, also where no window
// manager hands the focus back.
class ReactivateOwner {
 public:
  explicit ReactivateOwner(QWidget* owner) : owner_(owner) {}
  ~ReactivateOwner() {
    if (owner_ != nullptr) owner_->window()->activateWindow();
  }

 private:
  QWidget* owner_;
};

// Runs the dialog: the path chosen, nothing when cancelled.
std::optional<std::string> Choose(QFileDialog& dialog) {
  ReactivateOwner reactivate(dialog.parentWidget());
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return ToPath(dialog.selectedFiles().first());
}

QColor ToQColor(gdi::COLORREF c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }
gdi::COLORREF FromQColor(const QColor& c) {
  return static_cast<gdi::COLORREF>(c.red()) | static_cast<gdi::COLORREF>(c.green()) << 8 |
         static_cast<gdi::COLORREF>(c.blue()) << 16;
}

}  // namespace

std::string AnyCasePattern(const std::string& pattern) {
  std::string out;
  for (char c : pattern) {
    const char lower = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    const char upper = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    if (lower == upper) {
      out += c;
    } else {
      out += {'[', lower, upper, ']'};
    }
  }
  return out;
}

std::optional<std::string> QtSystemDialogs::BrowseForFolder(QWidget* owner, const FolderRequest& request) {
  QFileDialog dialog(owner, QString::fromStdString(request.title));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  // Opened inside the folder with nothing selected, accepting at once returns the folder.
  dialog.setDirectory(FromPath(request.initialFolder));
  return Choose(dialog);
}

std::optional<std::string> QtSystemDialogs::GetOpenFileName(QWidget* owner, const OpenFileRequest& request) {
  QFileDialog dialog(owner, QString::fromStdString(request.title));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  // Qt shows a filter's text without its last "(...)", which holds the patterns.
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  QStringList patterns;
  for (const std::string& pattern : request.patterns) patterns << QString::fromStdString(AnyCasePattern(pattern));
  dialog.setNameFilter(QString::fromStdString(request.filterName) + " (" + patterns.join(' ') + ")");
  dialog.setDirectory(FromPath(request.initialFolder));
  return Choose(dialog);
}

std::optional<std::string> QtSystemDialogs::GetSaveFileName(QWidget* owner, const SaveFileRequest& request) {
  QFileDialog dialog(owner, QString::fromStdString(request.title));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  QStringList filters;
  for (const std::string& filter : request.filters) filters << QString::fromStdString(filter);
  dialog.setNameFilters(filters);
  dialog.selectFile(FromPath(request.initialPath));
  return Choose(dialog);
}

std::optional<gdi::COLORREF> QtSystemDialogs::ChooseColor(QWidget* owner, ColourRequest& request) {
  ReactivateOwner reactivate(owner);
  // Qt keeps one set of custom colours for the whole program; each opening sets them.
  for (int i = 0; i < 16; ++i) QColorDialog::setCustomColor(i, ToQColor(request.customColours[static_cast<size_t>(i)]));
  QColorDialog dialog(ToQColor(request.initial), owner);
  dialog.setOption(QColorDialog::DontUseNativeDialog);
  dialog.setWindowTitle(QString::fromUtf8("色の設定"));
  const bool chosen = dialog.exec() == QDialog::Accepted;
  for (int i = 0; i < 16; ++i) request.customColours[static_cast<size_t>(i)] = FromQColor(QColorDialog::customColor(i));
  if (!chosen) return std::nullopt;
  return FromQColor(dialog.selectedColor());
}

bool QtSystemDialogs::ShowMessage(QWidget* owner, const MessageRequest& request) {
  ReactivateOwner reactivate(owner);
  QMessageBox box(request.kind == MessageKind::Warning ? QMessageBox::Warning : QMessageBox::Information,
                  QString::fromStdString(request.title), QString::fromStdString(request.text), QMessageBox::NoButton,
                  owner);
  QPushButton* offer = nullptr;
  if (!request.offer.empty()) {
    offer = box.addButton(QString::fromStdString(request.offer), QMessageBox::AcceptRole);
    box.setDefaultButton(offer);
  }
  box.setEscapeButton(box.addButton(QString::fromUtf8("閉じる"), QMessageBox::RejectRole));
  box.exec();
  return offer != nullptr && box.clickedButton() == offer;
}

bool QtSystemDialogs::ShellOpen(QWidget*, const std::string& address) {
  return QDesktopServices::openUrl(QUrl::fromUserInput(QString::fromStdString(address)));
}

}  // namespace lumen::platform

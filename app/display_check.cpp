#include "app/display_check.h"

#include <QtGlobal>
#include <QString>
#include <cstdlib>
#include <iostream>
#include <string>

#include "app/command_line.h"
#include "app/command_options.h"

namespace lumen::app {
namespace {

QtMessageHandler previousHandler = nullptr;

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

[[noreturn]] void NoDisplay(const std::string& why) {
  std::cerr << "lumenshow: " << why << "; without a display these work: " << CommandsWithoutDisplay() << "\n";
  std::_Exit(kBadArguments);
}

// Qt reports a display it cannot open as qt.qpa warnings, then a fatal message.
void OnQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  const bool platform = context.category != nullptr && QString(context.category).startsWith("qt.qpa");
  if (type == QtFatalMsg && message.contains("platform plugin")) {
    NoDisplay("cannot open the display (DISPLAY='" + Environment("DISPLAY") + "', WAYLAND_DISPLAY='" +
              Environment("WAYLAND_DISPLAY") + "')");
  }
  if (platform && message.contains("could not", Qt::CaseInsensitive)) return;  // the fatal one follows
  if (previousHandler != nullptr) previousHandler(type, context, message);
}

}  // namespace

void ExpectDisplay() {
  if (Environment("QT_QPA_PLATFORM").empty() && Environment("DISPLAY").empty() &&
      Environment("WAYLAND_DISPLAY").empty()) {
    NoDisplay("no display (neither DISPLAY nor WAYLAND_DISPLAY is set)");
  }
  previousHandler = qInstallMessageHandler(OnQtMessage);
}

}  // namespace lumen::app

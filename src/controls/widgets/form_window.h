// The message window of a top-level form: its activation and deactivation arrive there as
// WM_ACTIVATE, once for the form, however many controls hook it.
#pragma once

#include <QObject>

#include "platform/messages/window_messages.h"

class QWidget;

namespace lumen::controls {

class FormWindow : public QObject {
 public:
  // The form window of the widget's top-level window, made on first use; it lives as long
  // as that window.
  static platform::HWND For(QWidget* widget);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  explicit FormWindow(QWidget* topLevel);
  platform::MessageWindow window_{nullptr};
};

}  // namespace lumen::controls

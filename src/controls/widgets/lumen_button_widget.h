// LumenButton on the desktop: Qt events become the button's input calls and messages.
#pragma once

#include <QWidget>
#include <memory>
#include <optional>

#include "controls/lumen_button.h"
#include "controls/widgets/pointer_moves.h"

class QShortcut;

namespace lumen::controls {

class LumenButtonWidget : public QWidget, private ButtonHost {
  Q_OBJECT

 public:
  explicit LumenButtonWidget(QWidget* parent = nullptr);
  ~LumenButtonWidget() override;

  LumenButton& Button() { return *button_; }
  void SetCaption(const QString& caption);
  void SetDefault(bool isDefault);  // the host's "DisplayAsDefault"
  bool IsDefault() const { return isDefault_; }
  // A press that is not the mouse's or a key's (a screen reader's): Click, as the access
  // key gives it.
  void Press() { button_->OnAccessKey(); }
  // The button's image with alpha 0 outside its rounded window region.
  QImage Snapshot() const;

 signals:
  void Click();
  void DblClick();
  void MouseMove(int button, int shift, float x, float y);
  void FormActivate(int state);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void changeEvent(QEvent* event) override;
  QSize sizeHint() const override { return {75, 23}; }

 private:
  int ClientWidth() override { return width(); }
  int ClientHeight() override { return height(); }
  void Resize(int w, int h) override { resize(w, h); }
  void SetRoundRegion(int w, int h) override;
  void DrawCaption(platform::gdi::Surface& s, const std::string& caption, const RECT& rect, COLORREF colour,
                   const FontSpec& font) override;
  void ShowImage(const platform::gdi::Surface&) override { update(); }
  void TrackMouseLeave() override { leaveWanted_ = true; }
  void MoveFocus(bool forward) override { focusNextPrevChild(forward); }
  void ProcessPendingMessages() override;
  void SetAccessKey(const std::string& key) override;
  void SetWindowEnabled(bool enabled) override { QWidget::setEnabled(enabled); }
  void ClientOriginOnScreen(int& x, int& y) override;
  void SetCursorPos(int x, int y) override;
  bool DisplayAsDefault() override { return isDefault_; }

  void DeliverMove(QPointF at, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);

  struct Caption {
    std::string text;
    RECT rect;
    COLORREF colour;
    FontSpec font;
  };
  std::optional<Caption> deviceCaption_;  // on a scaled screen: painted over the image, sharp
  std::unique_ptr<LumenButton> button_;
  PointerMoves moves_{this, [this](QPointF at, Qt::MouseButtons b, Qt::KeyboardModifiers m) { DeliverMove(at, b, m); }};
  QShortcut* accessKey_ = nullptr;
  bool leaveWanted_ = false;
  bool isDefault_ = false;
};

}  // namespace lumen::controls

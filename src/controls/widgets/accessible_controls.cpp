#include "controls/widgets/accessible_controls.h"

#include <QAccessibleWidget>
#include <QMetaObject>

#include "controls/widgets/lumen_button_widget.h"
#include "controls/widgets/lumen_scrollbar_widget.h"

namespace lumen::controls {
namespace {

class AccessibleButton : public QAccessibleWidget {
 public:
  explicit AccessibleButton(LumenButtonWidget* button) : QAccessibleWidget(button, QAccessible::Button) {}

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) {
      return SpokenCaption(QString::fromStdString(Widget()->Button().Caption()));
    }
    return QAccessibleWidget::text(t);
  }

  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.defaultButton = Widget()->IsDefault();
    s.pressed = Widget()->Button().CurrentState() == StatePressed;
    return s;
  }

  QStringList actionNames() const override {
    QStringList names = QAccessibleWidget::actionNames();
    if (widget()->isEnabled()) names.prepend(pressAction());
    return names;
  }

  void doAction(const QString& name) override {
    if (name != pressAction()) return QAccessibleWidget::doAction(name);
    // Later, from the event loop: the click may open a dialog, and the screen reader's
    // call must have its answer first.
    QMetaObject::invokeMethod(Widget(), &LumenButtonWidget::Press, Qt::QueuedConnection);
  }

 private:
  LumenButtonWidget* Widget() const { return static_cast<LumenButtonWidget*>(widget()); }
};

class AccessibleScrollBar : public QAccessibleWidget, public QAccessibleValueInterface {
 public:
  explicit AccessibleScrollBar(LumenScrollBarWidget* bar) : QAccessibleWidget(bar, QAccessible::ScrollBar) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }

  QVariant currentValue() const override { return Bar().Value(); }
  // As a program setting Value would: clamped to the range, Change when it moves.
  void setCurrentValue(const QVariant& value) override {
    bool ok = false;
    const int v = value.toInt(&ok);
    if (ok && widget()->isEnabled()) Bar().SetValue(v);
  }
  QVariant maximumValue() const override { return Bar().Max(); }
  QVariant minimumValue() const override { return Bar().Min(); }
  QVariant minimumStepSize() const override { return Bar().SmallChange(); }

 private:
  LumenScrollBar& Bar() const { return static_cast<LumenScrollBarWidget*>(widget())->Bar(); }
};

QAccessibleInterface* ControlsFactory(const QString& className, QObject* object) {
  if (className == QLatin1String(LumenButtonWidget::staticMetaObject.className())) {
    return new AccessibleButton(static_cast<LumenButtonWidget*>(object));
  }
  if (className == QLatin1String(LumenScrollBarWidget::staticMetaObject.className())) {
    return new AccessibleScrollBar(static_cast<LumenScrollBarWidget*>(object));
  }
  return nullptr;
}

}  // namespace

void InstallAccessibleControls() {
  static const bool installed = (QAccessible::installFactory(&ControlsFactory), true);
  (void)installed;
}

QString SpokenCaption(const QString& caption) {
  QString spoken;
  for (qsizetype i = 0; i < caption.size(); ++i) {
    if (caption[i] == u'&' && i + 1 < caption.size()) ++i;  // the marker goes; "&&" keeps one
    spoken += caption[i];
  }
  return spoken;
}

}  // namespace lumen::controls

#include "mainwindow/widgets/accessible_options.h"

#include <QAccessibleWidget>
#include <QMetaObject>

#include "mainwindow/widgets/announcer.h"
#include "mainwindow/widgets/lumen_m.h"
#include "mainwindow/widgets/option_controls.h"

namespace lumen::mainwindow {
namespace {

// The click comes later, from the event loop: it may open a dialog, and the screen
// reader's call must have its answer first.
template <typename W>
void ClickLater(W* widget) {
  QMetaObject::invokeMethod(widget, [widget] { emit widget->Click(); }, Qt::QueuedConnection);
}

// A label as spoken: the arrow that points at the control an option enables is drawn, not said.
QString Spoken(QString label) { return label.remove(QChar(0x21D2)).trimmed(); }

class AccessibleOption : public QAccessibleWidget {
 public:
  explicit AccessibleOption(OptionPicture* picture) : QAccessibleWidget(picture, QAccessible::RadioButton) {}

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name) return Spoken(Picture()->Label()->text());
    return QAccessibleWidget::text(t);
  }

  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.checkable = true;
    s.checked = Picture()->Selected();
    return s;
  }

  QStringList actionNames() const override { return QStringList{pressAction()} + QAccessibleWidget::actionNames(); }

  void doAction(const QString& name) override {
    if (name == pressAction()) return ClickLater(Picture());
    QAccessibleWidget::doAction(name);
  }

 private:
  OptionPicture* Picture() const { return static_cast<OptionPicture*>(widget()); }
};

class AccessibleLink : public QAccessibleWidget {
 public:
  explicit AccessibleLink(LinkLabel* link) : QAccessibleWidget(link, QAccessible::Link) {}

  // Named by its text; the tooltip (the guide's whole path) is not read at every visit.
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name) return static_cast<LinkLabel*>(widget())->text();
    if (t == QAccessible::Description) return {};
    return QAccessibleWidget::text(t);
  }

  QStringList actionNames() const override { return QStringList{pressAction()} + QAccessibleWidget::actionNames(); }

  void doAction(const QString& name) override {
    if (name == pressAction()) return ClickLater(static_cast<LinkLabel*>(widget()));
    QAccessibleWidget::doAction(name);
  }
};

QAccessibleInterface* OptionsFactory(const QString& className, QObject* object) {
  if (className == QLatin1String(OptionPicture::staticMetaObject.className())) {
    return new AccessibleOption(static_cast<OptionPicture*>(object));
  }
  if (className == QLatin1String(LinkLabel::staticMetaObject.className())) {
    return new AccessibleLink(static_cast<LinkLabel*>(object));
  }
  if (className == QLatin1String(Announcer::staticMetaObject.className())) {
    return new QAccessibleWidget(static_cast<Announcer*>(object), QAccessible::Notification);
  }
  if (className == QLatin1String(Lumen_M::staticMetaObject.className())) {
    return new QAccessibleWidget(static_cast<Lumen_M*>(object), QAccessible::Window);  // a frame
  }
  return nullptr;
}

}  // namespace

void InstallAccessibleOptions() {
  static const bool installed = (QAccessible::installFactory(&OptionsFactory), true);
  (void)installed;
}

}  // namespace lumen::mainwindow

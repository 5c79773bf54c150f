#include "slideshow/show_accessible.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>
#include <QSet>
#include <QWidget>

namespace lumen::slideshow {
namespace {

// The page: no object of its own, so the bridge knows it only through this interface,
// which is registered with Qt and deleted by it (at the next page, or with the window).
class PageAccessible : public QAccessibleInterface {
 public:
  PageAccessible(QWidget* window, QString name) : window_(window), name_(std::move(name)) {}
  bool isValid() const override { return !window_.isNull(); }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return window_ ? window_->windowHandle() : nullptr; }
  QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(window_.data()); }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QString text(QAccessible::Text t) const override { return t == QAccessible::Name ? name_ : QString(); }
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override {
    return window_ ? QRect(window_->mapToGlobal(QPoint(0, 0)), window_->size()) : QRect();
  }
  QAccessible::Role role() const override { return QAccessible::Graphic; }
  QAccessible::State state() const override {
    QAccessible::State state;
    state.focusable = true;
    state.focused = window_ && window_->isActiveWindow();
    state.readOnly = true;
    return state;
  }

 private:
  QPointer<QWidget> window_;
  QString name_;
};

QHash<QWidget*, QAccessible::Id>& Pages() {
  static QHash<QWidget*, QAccessible::Id> pages;
  return pages;
}

QAccessibleInterface* PageOf(QWidget* window) {
  auto found = Pages().constFind(window);
  return found != Pages().constEnd() ? QAccessible::accessibleInterface(*found) : nullptr;
}

class ShowAccessible : public QAccessibleWidget {
 public:
  explicit ShowAccessible(QWidget* window) : QAccessibleWidget(window, QAccessible::Window) {}
  int childCount() const override { return PageOf(widget()) != nullptr ? 1 : 0; }
  QAccessibleInterface* child(int index) const override { return index == 0 ? PageOf(widget()) : nullptr; }
  int indexOfChild(const QAccessibleInterface* child) const override {
    return child != nullptr && child == PageOf(widget()) ? 0 : -1;
  }
  QAccessibleInterface* focusChild() const override { return PageOf(widget()); }
};

QSet<const QObject*>& Windows() {
  static QSet<const QObject*> windows;
  return windows;
}

QAccessibleInterface* Factory(const QString&, QObject* object) {
  return Windows().contains(object) ? new ShowAccessible(static_cast<QWidget*>(object)) : nullptr;
}

void ForgetPage(QWidget* window) {
  if (auto found = Pages().find(window); found != Pages().end()) {
    QAccessible::deleteAccessibleInterface(*found);
    Pages().erase(found);
  }
}

}  // namespace

void MakeShowAccessible(QWidget* window) {
  static const bool installed = (QAccessible::installFactory(&Factory), true);
  (void)installed;
  Windows().insert(window);
}

void AnnouncePage(QWidget* window, const QString& fileName) {
  ForgetPage(window);
  auto* page = new PageAccessible(window, fileName);
  Pages().insert(window, QAccessible::registerAccessibleInterface(page));
  FocusPage(window);
}

void FocusPage(QWidget* window) {
  QAccessibleInterface* page = PageOf(window);
  if (page == nullptr || !QAccessible::isActive() || !window->isActiveWindow()) return;
  QAccessibleEvent focus(page, QAccessible::Focus);
  QAccessible::updateAccessibility(&focus);
}

void ForgetWindow(QWidget* window) {
  ForgetPage(window);
  Windows().remove(window);
}


}  // namespace lumen::slideshow

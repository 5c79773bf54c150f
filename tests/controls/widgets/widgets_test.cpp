// The controls' Qt wiring: real Qt input events reach the logic and come back as signals.
#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QTimer>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include "controls/widgets/lumen_button_widget.h"
#include "controls/widgets/lumen_scrollbar_widget.h"

namespace lumen::controls {
namespace {

TEST(ButtonWidget, AClickInsideEmitsClickAndTheAccessKeyToo) {
  QWidget form;
  form.resize(300, 200);
  LumenButtonWidget button(&form);
  button.setGeometry(10, 10, 109, 33);
  button.SetCaption("&Go");
  form.show();
  form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  QSignalSpy clicks(&button, &LumenButtonWidget::Click);
  QTest::mouseMove(&button, QPoint(50, 15));
  QTest::mouseClick(&button, Qt::LeftButton, Qt::NoModifier, QPoint(50, 15));
  EXPECT_EQ(clicks.count(), 1);
  EXPECT_EQ(button.Button().CurrentState(), StateHot);
  QTest::keyClick(&form, Qt::Key_G, Qt::AltModifier);
  EXPECT_EQ(clicks.count(), 2);
}

TEST(ButtonWidget, AClickCountsWithNoMoveBeforeItAndAfterADialogClosedOverIt) {
  QWidget form;
  form.resize(300, 200);
  LumenButtonWidget button(&form);
  button.setGeometry(10, 10, 109, 33);
  form.show();
  form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  QSignalSpy clicks(&button, &LumenButtonWidget::Click);
  // A tap or a warped pointer: press and release at a place no move reported.
  QTest::mouseClick(&button, Qt::LeftButton, Qt::NoModifier, QPoint(50, 15));
  EXPECT_EQ(clicks.count(), 1);

  // A modal dialog opens over the resting pointer and closes again.
  QCursor::setPos(button.mapToGlobal(QPoint(30, 12)));
  QDialog dialog(&form);
  QTimer::singleShot(50, &dialog, &QDialog::reject);
  dialog.exec();
  form.activateWindow();  // what the window system does as the dialog goes
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  EXPECT_EQ(button.Button().CurrentState(), StateHot) << "the button knows the pointer rests on it";
  QTest::mouseClick(&button, Qt::LeftButton, Qt::NoModifier, QPoint(30, 12));
  EXPECT_EQ(clicks.count(), 2);
}

TEST(ScrollBarWidget, APressOnAnArrowStepsAndATimerRepeats) {
  LumenScrollBarWidget bar;
  bar.resize(81, 17);
  bar.Bar().SetOrientation(1);
  bar.Bar().SetChangeDelay(0);
  bar.Bar().SetChangeFrequency(25);
  bar.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
  QSignalSpy changes(&bar, &LumenScrollBarWidget::Change);
  QTest::mousePress(&bar, Qt::LeftButton, Qt::NoModifier, QPoint(72, 8));  // the right arrow
  EXPECT_EQ(bar.Bar().Value(), 1);
  EXPECT_TRUE(changes.wait(1000)) << "the repeat timer keeps stepping while held";
  QTest::mouseRelease(&bar, Qt::LeftButton, Qt::NoModifier, QPoint(72, 8));
  const int reached = bar.Bar().Value();
  EXPECT_GE(reached, 2);
  QTest::qWait(100);
  EXPECT_EQ(bar.Bar().Value(), reached) << "released: no more steps";
}

}  // namespace
}  // namespace lumen::controls

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

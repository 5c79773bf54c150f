// The controls and the preview on a screen scaled by 2 (QT_SCALE_FACTOR=2): text, the
// scroll track and pictures drawn at the screen's own resolution, not 1x doubled.
#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

#include "catalogue/widgets/catalogue_views.h"
#include "controls/widgets/lumen_button_widget.h"
#include "controls/widgets/lumen_scrollbar_widget.h"
#include "support/temp_folder.h"

namespace lumen::controls {
namespace {

// True when every 2 x 2 block of the rectangle (device pixels) holds one colour: a 1x
// image doubled.
bool OnlyDoubledPixels(const QImage& image, QRect area) {
  for (int y = area.top(); y + 1 <= area.bottom(); y += 2) {
    for (int x = area.left(); x + 1 <= area.right(); x += 2) {
      const QRgb c = image.pixel(x, y);
      if (image.pixel(x + 1, y) != c || image.pixel(x, y + 1) != c || image.pixel(x + 1, y + 1) != c) return false;
    }
  }
  return true;
}

TEST(ScaledScreen, TheButtonsCaptionIsSharp) {
  QWidget form;
  LumenButtonWidget button(&form);
  button.setGeometry(10, 10, 109, 33);
  button.SetCaption(QString::fromUtf8("ﾌｫﾙﾀﾞの選択"));
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  ASSERT_EQ(button.devicePixelRatioF(), 2.0);
  const QImage shot = button.grab().toImage();
  ASSERT_EQ(shot.size(), QSize(218, 66));
  EXPECT_FALSE(OnlyDoubledPixels(shot, QRect(12, 12, 194, 42))) << "the caption is drawn at 2x";
  EXPECT_TRUE(OnlyDoubledPixels(shot, QRect(0, 0, 218, 8))) << "the rim keeps its 1x pixels, enlarged";
}

TEST(ScaledScreen, TheScrollTrackIsAOnePixelCheckerboard) {
  LumenScrollBarWidget bar;
  bar.resize(81, 17);
  bar.Bar().SetOrientation(1);
  bar.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
  const QImage shot = bar.grab().toImage();
  const RECT track = bar.Bar().Geometry().trackAfter;
  ASSERT_GE(track.Width(), 2);
  const int x = track.left * 2 + 1, y = track.top * 2 + 4;
  EXPECT_NE(shot.pixel(x, y), shot.pixel(x + 1, y));
  EXPECT_NE(shot.pixel(x, y), shot.pixel(x, y + 1));
  EXPECT_EQ(shot.pixel(x, y), shot.pixel(x + 1, y + 1));
}

TEST(ScaledScreen, ThePreviewIsSharp) {
  test::TempFolder folder;
  QImage checker(416, 416, QImage::Format_RGB32);  // the preview's 208 x 208 in device pixels
  for (int y = 0; y < 416; ++y) {
    for (int x = 0; x < 416; ++x) checker.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
  }
  ASSERT_TRUE(checker.save(QString::fromStdString(folder / "c.bmp"), "BMP"));
  QWidget window;
  window.resize(500, 600);
  catalogue::CatalogueViews views(&window);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  views.SetFolder(folder.path(), {"c.bmp"});
  views.ListView2_Set();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !views.Filling(); }, 10000));
  views.ListView2()->selectionModel()->select(views.ListView2()->model()->index(0, 0), QItemSelectionModel::Select);
  views.ListView2_Click();
  const QImage shot = views.ImgPreview()->grab().toImage();
  ASSERT_EQ(shot.size(), QSize(416, 416));
  EXPECT_FALSE(OnlyDoubledPixels(shot, QRect(0, 0, 416, 416)));
}

}  // namespace
}  // namespace lumen::controls

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("QT_SCALE_FACTOR", "2");
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

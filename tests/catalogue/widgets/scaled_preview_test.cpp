// The preview on a screen scaled by 2: the picture fills the device pixels of its box.
#include <QTest>
#include <gtest/gtest.h>

#include "catalogue/widgets/catalogue_views.h"
#include "support/temp_folder.h"

namespace lumen::controls {
bool OnlyDoubledPixels(const QImage& image, QRect area);
}

namespace lumen::catalogue {
namespace {

TEST(ScaledScreen, ThePreviewIsSharp) {
  test::TempFolder folder;
  QImage checker(416, 416, QImage::Format_RGB32);  // the preview's 208 x 208 in device pixels
  for (int y = 0; y < 416; ++y) {
    for (int x = 0; x < 416; ++x) checker.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
  }
  ASSERT_TRUE(checker.save(QString::fromStdString(folder / "c.bmp"), "BMP"));
  QWidget window;
  window.resize(500, 600);
  CatalogueViews views(&window);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  views.SetFolder(folder.path(), {"c.bmp"});
  views.ListView2_Set();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !views.Filling(); }, 10000));
  views.ListView2()->selectionModel()->select(views.ListView2()->model()->index(0, 0), QItemSelectionModel::Select);
  views.ListView2_Click();
  const QImage shot = views.ImgPreview()->grab().toImage();
  ASSERT_EQ(shot.size(), QSize(416, 416));
  EXPECT_FALSE(controls::OnlyDoubledPixels(shot, QRect(0, 0, 416, 416)));
}

}  // namespace
}  // namespace lumen::catalogue

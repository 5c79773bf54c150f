// The list views offscreen: fills, counter, preview, abandoned fills.
#include <QApplication>
#include <cstdio>
#include <QSignalSpy>
#include <QTest>
#include <QListWidget>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "catalogue/widgets/catalogue_views.h"
#include "catalogue/widgets/thumbnail_cell.h"
#include "catalogue/widgets/thumbnail_icons.h"
#include "support/picture_files.h"
#include "support/temp_folder.h"

namespace lumen::catalogue {
namespace {

void SolidBmp(const std::string& path, int w, int h) { ASSERT_TRUE(test::WriteSolidBmp(path, w, h, qRgb(255, 0, 0))); }

class ViewsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window.resize(500, 600);
    views = new CatalogueViews(&window);
    views->SetErrorReporter([this](const std::string& text) { errors.push_back(text); });
    window.show();
  }
  void WaitFilled() {
    QSignalSpy finished(views, &CatalogueViews::FillFinished);
    if (views->Filling()) {
      ASSERT_TRUE(finished.wait(30000));
    }
  }
  test::TempFolder folder;
  QWidget window;
  CatalogueViews* views = nullptr;
  std::vector<std::string> errors;
};

TEST_F(ViewsTest, ThumbnailFillListsEveryFileInOrderAndPreviewsAClick) {
  SolidBmp(folder / "a.bmp", 800, 600);
  test::WriteBytes(folder / "b.jpg", "not a picture");
  SolidBmp(folder / "c.bmp", 600, 800);
  views->SetFolder(folder.path(), {"a.bmp", "b.jpg", "c.bmp"});
  views->ListView1_Set();
  WaitFilled();
  ASSERT_EQ(views->ListView1()->count(), 3) << "a file that cannot be decoded is listed too";
  EXPECT_EQ(views->ListView1()->item(1)->text(), "b.jpg");
  EXPECT_EQ(views->lbl_Cnt()->text(), QString::fromUtf8("3枚"));

  views->ListView1()->item(2)->setSelected(true);
  views->ListView1_Click();
  EXPECT_EQ(window.windowTitle().toStdString(), folder / "c.bmp");
  EXPECT_EQ(views->ImgPreview()->geometry(), QRect(26, 0, 156, 208));

  views->ListView1()->item(1)->setSelected(false);
  views->ListView1()->clearSelection();
  views->ListView1_Click();  // nothing selected: nothing changes
  EXPECT_EQ(window.windowTitle().toStdString(), folder / "c.bmp");

  views->ListView1()->item(1)->setSelected(true);
  views->ListView1_Click();  // a picture that fails keeps the one shown before
  EXPECT_EQ(window.windowTitle().toStdString(), folder / "b.jpg");
  EXPECT_EQ(views->ImgPreview()->geometry(), QRect(26, 0, 156, 208));
  EXPECT_TRUE(views->ImgPreview()->isVisible());
}

TEST_F(ViewsTest, MovingTheSelectionByKeysPreviewsAsAClickWould) {
  for (const char* name : {"a.bmp", "b.bmp", "c.bmp"}) SolidBmp(folder / name, 600, 800);
  views->SetFolder(folder.path(), {"a.bmp", "b.bmp", "c.bmp"});
  views->ListView2_Set();
  WaitFilled();
  QTreeWidget* details = views->ListView2();
  details->setFocus();
  QTest::keyClick(details, Qt::Key_Home);
  EXPECT_EQ(window.windowTitle().toStdString(), folder / "a.bmp");
  QTest::keyClick(details, Qt::Key_End);
  EXPECT_EQ(window.windowTitle().toStdString(), folder / "c.bmp");
  EXPECT_EQ(views->ImgPreview()->geometry(), QRect(26, 0, 156, 208));
  views->ListView1_Set();
  WaitFilled();
  QListWidget* thumbnails = views->ListView1();
  thumbnails->setFocus();
  QTest::keyClick(thumbnails, Qt::Key_Home);
  QTest::keyClick(thumbnails, Qt::Key_Right);
  EXPECT_TRUE(thumbnails->item(1)->isSelected());
  EXPECT_EQ(window.windowTitle().toStdString(), folder / "b.bmp");
}

TEST_F(ViewsTest, NamesThatAreNotUtf8PreviewByTheirBytes) {
  const std::string name = "caf\xE9.bmp";  // Latin-1, as old cards and shares give them
  SolidBmp(folder / "plain.bmp", 600, 800);  // Qt's own file names are Unicode
  ASSERT_EQ(std::rename((folder / "plain.bmp").c_str(), (folder / name).c_str()), 0);
  views->SetFolder(folder.path(), {name});
  for (bool details : {false, true}) {
    details ? views->ListView2_Set() : views->ListView1_Set();
    WaitFilled();
    QAbstractItemView* view = details ? static_cast<QAbstractItemView*>(views->ListView2()) : views->ListView1();
    view->selectionModel()->select(view->model()->index(0, 0), QItemSelectionModel::Select);
    details ? views->ListView2_Click() : views->ListView1_Click();
    EXPECT_EQ(window.windowTitle(), QString::fromStdString(folder.path()) + QString::fromUtf8("/caf\uFFFD.bmp"));
    EXPECT_EQ(views->ImgPreview()->geometry(), QRect(26, 0, 156, 208)) << "the picture was opened";
    views->ImgPreview()->hide();
  }
}

TEST(ThumbnailIcons, KeepsABudgetAndReadsDroppedIconsBack) {
  ThumbnailIcons icons(nullptr, 2);
  std::vector<std::string> loads;
  icons.Reset({"/a", "/b", "/c", "/d"}, [&loads](const std::string& path) {
    loads.push_back(path);
    QImage icon(40, 40, QImage::Format_RGB32);
    icon.fill(Qt::green);
    return icon;
  });
  int returned = 0;
  icons.IconReturned = [&] { ++returned; };
  QImage red(40, 40, QImage::Format_RGB32);
  red.fill(Qt::red);
  for (int row : {0, 1, 2}) icons.Put(row, red);
  icons.Put(3, QImage());  // could not be decoded
  EXPECT_EQ(icons.Kept(), 2u) << "within the budget";
  ASSERT_NE(icons.Get(3), nullptr);
  EXPECT_EQ(icons.Get(3)->pixel(5, 5), qRgb(255, 255, 255)) << "blank, and never read back";
  ASSERT_NE(icons.Get(2), nullptr);
  EXPECT_EQ(icons.Get(0), nullptr) << "the least recently drawn was dropped; it is being read back";
  EXPECT_EQ(icons.Get(0), nullptr) << "asked once";
  ASSERT_TRUE(QTest::qWaitFor([&] { return returned == 1; }, 5000));
  ASSERT_NE(icons.Get(0), nullptr);
  EXPECT_EQ(icons.Get(0)->pixel(5, 5), qRgb(0, 255, 0));
  EXPECT_EQ(loads, std::vector<std::string>{"/a"});
  EXPECT_EQ(icons.Get(1), nullptr) << "row 1 made room in turn";
}

TEST(ThumbnailNames, WrapOntoTwoLinesAndElideInTheMiddleOnlyBeyond) {
  const QFontMetrics metrics(QApplication::font());
  const int width = kThumbnailCellWidth - 4;
  auto shown = [&](const QString& name) {
    auto [first, second] = WrapName(name, metrics, width);
    EXPECT_LE(metrics.horizontalAdvance(first), width) << first.toStdString();
    EXPECT_LE(metrics.horizontalAdvance(second), width) << second.toStdString();
    return first + "|" + second;
  };
  EXPECT_EQ(shown("a.jpg"), "a.jpg|");
  const QString one = shown("IMG_0001.JPG"), two = shown("IMG_0002.JPG");
  EXPECT_NE(one, two) << "camera names stay apart";
  EXPECT_EQ(QString(one).remove('|'), "IMG_0001.JPG") << "wrapped, nothing left out";
  const QString longName = QString::fromUtf8("北海道旅行_二〇二四年夏_家族写真_最終版_0001.jpg");
  const QString elided = shown(longName);
  EXPECT_TRUE(longName.startsWith(elided.section('|', 0, 0))) << elided.toStdString();
  EXPECT_TRUE(elided.section('|', 1).startsWith(QChar(0x2026))) << elided.toStdString();
  EXPECT_TRUE(elided.endsWith(".jpg")) << "the end of the name is kept: " << elided.toStdString();
}

TEST_F(ViewsTest, DetailsFillGivesSizesAndDatesAndStopsAtAVanishedFile) {
  test::WriteBytes(folder / "a.jpg", std::string(1536, 'x'));
  test::WriteBytes(folder / "b.jpg", "");
  views->SetFolder(folder.path(), {"a.jpg", "b.jpg", "gone.jpg", "d.jpg"});
  test::WriteBytes(folder / "d.jpg", "x");
  views->ListView2_Set();
  WaitFilled();
  QTreeWidget* list = views->ListView2();
  ASSERT_EQ(list->topLevelItemCount(), 3) << "the row of the vanished file stays; the fill ends there";
  EXPECT_EQ(list->topLevelItem(0)->text(1), "2");
  EXPECT_EQ(list->topLevelItem(1)->text(1), "1");
  EXPECT_EQ(list->topLevelItem(0)->text(2).size(), 10);  // yyyy/MM/dd
  EXPECT_EQ(views->lbl_Cnt()->text(), "2 / 4");
  EXPECT_EQ(list->headerItem()->text(1), QString::fromUtf8("ｻｲｽﾞ(KB)"));
}

TEST_F(ViewsTest, ANewFillAbandonsTheRunningOne) {
  std::vector<std::string> many;
  for (int i = 0; i < 40; ++i) {
    many.push_back("p" + std::to_string(100 + i) + ".bmp");
    SolidBmp(folder / many.back(), 640, 480);
  }
  views->SetFolder(folder.path(), many);
  views->ListView1_Set();
  views->SetFolder(folder.path(), {many[0], many[1]});
  views->ListView1_Set();
  WaitFilled();
  EXPECT_EQ(views->ListView1()->count(), 2);
  EXPECT_EQ(views->lbl_Cnt()->text(), QString::fromUtf8("2枚"));

  views->SetFolder(folder.path(), {});
  views->ListView2_Set();
  WaitFilled();
  EXPECT_EQ(views->lbl_Cnt()->text(), QString::fromUtf8("枚"));
}

}  // namespace
}  // namespace lumen::catalogue

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

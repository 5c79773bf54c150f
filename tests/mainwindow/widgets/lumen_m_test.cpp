// The main window offscreen, driven by clicks, with scripted dialogs and a recorded show.
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>

#include "catalogue/widgets/catalogue_views.h"
#include "controls/widgets/lumen_button_widget.h"
#include "controls/widgets/lumen_scrollbar_widget.h"
#include "mainwindow/widgets/colour_button.h"
#include "mainwindow/widgets/lumen_m.h"
#include "mainwindow/widgets/option_controls.h"
#include "platform/cp932.h"
#include "platform/desktop/japanese_ui.h"
#include "support/picture_files.h"
#include "support/temp_folder.h"
#include "support/scripted_dialogs.h"

namespace lumen::mainwindow {
namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

void Pictures(const test::TempFolder& folder, std::initializer_list<const char*> names) {
  for (const char* name : names) {
    ASSERT_TRUE(test::WriteSolidBmp(folder / name, 32, 24, qRgb(0, 0, 255)));
  }
}

class MainWindowTest : public ::testing::Test {
 protected:
  void WriteIni(const std::string& lines) {
    test::WriteBytes(home / "LumenShow.ini", *platform::Utf8ToCp932("[Section]\r\n" + lines));
  }
  void Open(bool ownCaption = false) {
    window = std::make_unique<Lumen_M>(
        MainWindowContext{.settings = &settings,
                          .showData = &data,
                          .programFolder = home.path(),
                          .iniPath = home / "LumenShow.ini",
                          .dialogs = &dialogs,
                          .openShow =
                              [this](QScreen* screen, const settings::Settings& s, const settings::ShowData& d) {
                                shows.push_back(d);
                                showScreens.push_back(screen);
                                EXPECT_EQ(&s, &settings);
                              },
                          .exportVideo = [this](QWidget*, const settings::Settings&,
                                                const settings::ShowData& d) { exports.push_back(d); },
                          .guideAddress = "/opt/lumenshow/user-guide.html",
                          .ownCaption = ownCaption});
    window->Form_Load();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  }
  template <typename T = QWidget>
  T* W(const char* name) {
    T* widget = window->findChild<T*>(U(name));
    if (widget == nullptr) ADD_FAILURE() << "no control " << name;
    return widget;
  }
  void Click(const char* name) {
    QWidget* widget = W(name);
    ASSERT_TRUE(widget->isVisible()) << name << " cannot be clicked while hidden";
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
  }
  bool Marked(const char* name) { return W<OptionPicture>(name)->Selected(); }
  bool Enabled(const char* name) { return W(name)->isEnabled(); }
  QString Text(const char* name) { return W<QLabel>(name)->text(); }
  void WaitForFills() {
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->Views().Filling(); }, 30000));
  }
  void ChooseFolder(const std::string& folder) {
    dialogs.folders.push_back(folder);
    Click("cmd_Folder");
    WaitForFills();
  }
  int ThumbnailRows() { return W<QListWidget>("ListView1")->count(); }
  int DetailRows() { return W<QTreeWidget>("ListView2")->topLevelItemCount(); }

  test::TempFolder home;
  settings::Settings settings;
  settings::ShowData data;
  test::ScriptedDialogs dialogs;
  std::vector<settings::ShowData> shows, exports;
  std::vector<QScreen*> showScreens;
  std::unique_ptr<Lumen_M> window;
};

TEST_F(MainWindowTest, FirstStartWithoutAnIniShowsTheDefaults) {
  Open();
  EXPECT_EQ(window->windowTitle(), "LumenShow");
  EXPECT_EQ(window->size(), QSize(630, 561));
  const QRect screen = window->screen()->geometry();
  EXPECT_EQ(window->pos(), QPoint((screen.width() - 630) / 2, (screen.height() - 591) / 3))
      << "centred horizontally, a third of the free height from the top";
  EXPECT_EQ(QFontInfo(window->font()).family(), "IPAPGothic");

  EXPECT_TRUE(W<QRadioButton>("Opt_1(1)")->isChecked()) << "詳細";
  EXPECT_FALSE(W<QRadioButton>("Opt_1(0)")->isChecked());
  EXPECT_TRUE(Marked("Img_Syori(0)"));
  EXPECT_FALSE(Marked("Img_Syori(1)"));
  for (const char* hidden : {"Img_RL(0)", "Img_RL(1)", "lbl_RL(0)", "lbl_RL(1)", "cmd_Color"}) {
    EXPECT_FALSE(W(hidden)->isVisible()) << hidden;
  }
  EXPECT_TRUE(Marked("Img_SEQ(0)") && !Marked("Img_SEQ(1)") && Marked("Img_Back(0)") && !Marked("Img_Back(1)"));
  EXPECT_TRUE(Marked("Img_BGM(0)") && !Marked("Img_BGM(1)") && !Marked("Img_BGM(2)"));
  EXPECT_FALSE(Enabled("BGM_Repeat") || Enabled("Cmd_File") || Enabled("cmd_Start"));
  EXPECT_TRUE(Enabled("cmd_Folder") && Enabled("cmd_End"));
  EXPECT_EQ(W<controls::LumenScrollBarWidget>("HS_Fast")->Bar().Value(), 100);
  EXPECT_EQ(Text("lbl_Fast"), "100");
  EXPECT_EQ(W<controls::LumenScrollBarWidget>("HS_Intval")->Bar().Value(), 1);
  EXPECT_EQ(Text("lbl_Intval"), U("1秒"));
  EXPECT_EQ(W<ColourButton>("cmd_Yohaku")->FaceColour(), 0xFFFFFF);
  EXPECT_EQ(W("Pic_Base")->palette().color(QPalette::Window), QColor(Qt::white));
  EXPECT_EQ(Text("Folder_Path"), "");
  EXPECT_EQ(Text("lbl_Cnt"), "");
  EXPECT_EQ(ThumbnailRows() + DetailRows(), 0) << "no folder is listed at start";

  auto* track = W<QComboBox>("BGM_Repeat");
  EXPECT_EQ(track->currentText(), "") << "0 in the ## format";
  ASSERT_EQ(track->count(), 31);
  EXPECT_EQ(track->itemText(0) + "," + track->itemText(1) + "," + track->itemText(30), ",1,30");
  EXPECT_EQ(settings.ImageFolder, home.path()) << "the dialog opens at the program's folder";
}

TEST_F(MainWindowTest, OptionClicksOnMarksAndOnLabelsAlike) {
  Open();
  Click("lbl_Syori(1)");  // "自動　⇒"
  EXPECT_EQ(settings.AdvanceMode, settings::Advance::Automatic);
  EXPECT_TRUE(Marked("Img_Syori(1)") && !Marked("Img_Syori(0)"));
  EXPECT_TRUE(W("Img_RL(0)")->isVisible() && W("lbl_RL(1)")->isVisible());
  Click("Img_RL(1)");
  EXPECT_EQ(settings.TurnDirection, settings::Turn::Left);
  EXPECT_TRUE(Marked("Img_RL(1)") && !Marked("Img_RL(0)"));
  Click("Img_Syori(0)");
  EXPECT_EQ(settings.AdvanceMode, settings::Advance::Manual);
  EXPECT_FALSE(W("Img_RL(0)")->isVisible() || W("lbl_RL(1)")->isVisible());
  Click("Img_Syori(0)");  // already chosen: nothing changes
  EXPECT_TRUE(Marked("Img_Syori(0)") && !Marked("Img_Syori(1)"));

  Click("lbl_SEQ(1)");
  EXPECT_EQ(settings.ShowOrder, settings::Order::Shuffled);
  EXPECT_TRUE(Marked("Img_SEQ(1)") && !Marked("Img_SEQ(0)"));
  Click("lbl_Back(1)");
  EXPECT_EQ(settings.BackgroundKind, settings::Background::Colour);
  EXPECT_TRUE(W("cmd_Color")->isVisible());
  Click("Img_Back(0)");
  EXPECT_FALSE(W("cmd_Color")->isVisible());

  Click("Img_BGM(2)");  // "MP3、WAV"
  EXPECT_EQ(settings.BgmKind, settings::Music::File);
  EXPECT_TRUE(Enabled("Cmd_File"));
  EXPECT_FALSE(Enabled("BGM_Repeat"));
  Click("lbl_BGM(1)");  // "音楽CD"
  EXPECT_EQ(settings.BgmKind, settings::Music::AudioCd);
  EXPECT_TRUE(Enabled("BGM_Repeat"));
  EXPECT_FALSE(Enabled("Cmd_File"));
  EXPECT_TRUE(Marked("Img_BGM(1)") && !Marked("Img_BGM(0)") && !Marked("Img_BGM(2)"));
  Click("lbl_BGM(0)");  // "なし"
  EXPECT_EQ(settings.BgmKind, settings::Music::None);
  EXPECT_FALSE(Enabled("BGM_Repeat") || Enabled("Cmd_File"));
  EXPECT_EQ(W<QLabel>("lbl_BGM(2)")->text(), U("MP3、WAV"));
}

TEST_F(MainWindowTest, SettingsOutOfRangeAreShownAsTheControlsAllow) {
  WriteIni("めくる速さ=0\r\nインターバル=20\r\n画像表示順=5\r\nBGM区分=7\r\nBGMﾘﾋﾟｰﾄ=3\r\n"
           "画像転換処理方法=1\r\n背景区分=1\r\n背景色=255\r\n余白の色=65280\r\n表示区分=0\r\n");
  Open();
  EXPECT_EQ(W<controls::LumenScrollBarWidget>("HS_Fast")->Bar().Value(), 50);
  EXPECT_EQ(Text("lbl_Fast"), "50");
  EXPECT_EQ(settings.TurnSpeed, 50);
  EXPECT_EQ(Text("lbl_Intval"), U("10秒"));
  EXPECT_EQ(settings.AutoInterval, 10);
  EXPECT_FALSE(Marked("Img_SEQ(0)") || Marked("Img_SEQ(1)")) << "a 5 has no option to mark";
  EXPECT_EQ(settings.ShowOrder, static_cast<settings::Order>(5));
  EXPECT_FALSE(Marked("Img_BGM(0)") || Marked("Img_BGM(1)") || Marked("Img_BGM(2)"));
  EXPECT_FALSE(Enabled("BGM_Repeat") || Enabled("Cmd_File"));
  EXPECT_EQ(W<QComboBox>("BGM_Repeat")->currentText(), "3");
  EXPECT_TRUE(W("Img_RL(0)")->isVisible());
  EXPECT_TRUE(W("cmd_Color")->isVisible());
  EXPECT_EQ(W<ColourButton>("cmd_Color")->FaceColour(), 255);
  EXPECT_EQ(W("Pic_Base")->palette().color(QPalette::Window), QColor(0, 255, 0));
  EXPECT_TRUE(W<QRadioButton>("Opt_1(0)")->isChecked());
}

TEST_F(MainWindowTest, EachViewIsFilledOncePerFolder) {
  Pictures(home, {"a.bmp", "b.bmp", "c.bmp"});
  Open();
  Click("Opt_1(0)");  // before any folder: only the setting changes
  EXPECT_EQ(settings.ViewKind, settings::View::Thumbnails);
  EXPECT_FALSE(window->ListFilled(1) || window->ListFilled(2));
  EXPECT_EQ(ThumbnailRows(), 0);

  ChooseFolder(home.path());
  EXPECT_EQ(dialogs.folderRequests.at(0).title, "フォルダを選択してください");
  EXPECT_EQ(dialogs.folderRequests.at(0).initialFolder, home.path());
  EXPECT_EQ(Text("Folder_Path").toStdString(), home.path());
  EXPECT_TRUE(Enabled("cmd_Start"));
  EXPECT_TRUE(W("ListView1")->isVisible());
  EXPECT_FALSE(W("ListView2")->isVisible());
  EXPECT_EQ(ThumbnailRows(), 3);
  EXPECT_EQ(Text("lbl_Cnt"), U("3枚"));
  EXPECT_TRUE(window->ListFilled(1) && !window->ListFilled(2));

  int fills = 0;
  QObject::connect(&window->Views(), &catalogue::CatalogueViews::FillFinished, [&] { ++fills; });
  Click("Opt_1(1)");
  WaitForFills();
  EXPECT_TRUE(W("ListView2")->isVisible() && !W("ListView1")->isVisible());
  EXPECT_EQ(DetailRows(), 3);
  Click("Opt_1(0)");
  Click("Opt_1(1)");
  WaitForFills();
  EXPECT_EQ(fills, 1) << "switching back and forth does not refill";

  ChooseFolder(home.path());  // the same folder again refills the visible view only
  EXPECT_EQ(fills, 2);
  EXPECT_TRUE(window->ListFilled(2) && !window->ListFilled(1));
}

TEST_F(MainWindowTest, FolderDialogCancelAndFolderBAfterFolderA) {
  test::TempFolder a, b;
  Pictures(a, {"a1.bmp", "a2.bmp"});
  Pictures(b, {"b1.bmp", "b2.bmp", "b3.bmp"});
  Open();
  ChooseFolder(a.path());  // details view: the default
  EXPECT_EQ(DetailRows(), 2);
  Click("Opt_1(0)");
  WaitForFills();
  ChooseFolder(b.path());
  EXPECT_EQ(dialogs.folderRequests.back().initialFolder, a.path()) << "opens at the current folder";
  EXPECT_EQ(ThumbnailRows(), 3);
  Click("Opt_1(1)");
  WaitForFills();
  ASSERT_EQ(DetailRows(), 3) << "the details view shows folder B";
  EXPECT_EQ(W<QTreeWidget>("ListView2")->topLevelItem(0)->text(0), "b1.bmp");

  Click("cmd_Folder");  // nothing scripted: the user cancels
  EXPECT_EQ(Text("Folder_Path"), "");
  EXPECT_FALSE(Enabled("cmd_Start"));
  EXPECT_EQ(DetailRows(), 3) << "the list keeps its pictures";
  EXPECT_EQ(settings.ImageFolder, b.path());
  Click("Opt_1(0)");  // no folder shown: nothing is filled
  EXPECT_EQ(ThumbnailRows(), 3);

  EXPECT_TRUE(dialogs.messages.empty());
  ChooseFolder(b / "b1.bmp");  // not a folder it can list: it says so
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].text, "フォルダの中を読めませんでした。\n" + b / "b1.bmp");
  EXPECT_EQ(ThumbnailRows(), 0);
}

TEST_F(MainWindowTest, MusicFileDialogSetsTheFileAndItsFolder) {
  Open();
  Click("Img_BGM(2)");
  const std::string typed = home / "not yet/there.MP3";
  dialogs.files = {typed, std::nullopt};
  Click("Cmd_File");
  const platform::OpenFileRequest& first = dialogs.fileRequests.at(0);
  EXPECT_EQ(first.title, "ﾌｧｲﾙを開く");
  EXPECT_EQ(first.filterName, "BGMﾌｧｲﾙ (MP3 WAV)");
  EXPECT_EQ(first.patterns, (std::vector<std::string>{"*.MP3", "*.WAV"}));
  EXPECT_EQ(first.initialFolder, home.path()) << "the program's folder at first";
  EXPECT_EQ(settings.BgmFile, typed) << "a name that does not exist is kept as typed";
  EXPECT_EQ(Text("lbl_Fname").toStdString(), typed);
  Click("Cmd_File");  // cancelled: nothing changes
  EXPECT_EQ(dialogs.fileRequests.at(1).initialFolder, home / "not yet");
  EXPECT_EQ(settings.BgmFile, typed);
}

TEST_F(MainWindowTest, ColourDialogsStartFromTheButtonAndAlwaysWithWhiteCustomColours) {
  WriteIni("背景区分=1\r\n背景色=1193046\r\n");
  Open();
  dialogs.colours = {0x0000FF, std::nullopt, 0x00FF00};
  Click("cmd_Color");
  EXPECT_EQ(dialogs.colourRequests.at(0).initial, 0x123456u);
  EXPECT_EQ(settings.BackgroundColor, 0x0000FF);
  EXPECT_EQ(W<ColourButton>("cmd_Color")->FaceColour(), 0x0000FF);
  Click("cmd_Color");  // cancelled
  EXPECT_EQ(dialogs.colourRequests.at(1).initial, 0x0000FFu);
  EXPECT_EQ(settings.BackgroundColor, 0x0000FF);
  Click("cmd_Yohaku");
  EXPECT_EQ(dialogs.colourRequests.at(2).initial, 0xFFFFFFu);
  EXPECT_EQ(settings.MarginColor, 0x00FF00);
  EXPECT_EQ(W("Pic_Base")->palette().color(QPalette::Window), QColor(0, 255, 0)) << "the preview frame at once";
  for (const auto& request : dialogs.colourRequests) {
    for (platform::gdi::COLORREF custom : request.customColours) EXPECT_EQ(custom, 0xFFFFFFu);
  }
}

TEST_F(MainWindowTest, StartBuildsTheShowAndTheWindowIsUnchangedAfterIt) {
  test::TempFolder pictures;
  Pictures(pictures, {"b.BMP", "a.bmp"});
  test::WriteBytes(pictures / "notes.txt", "x");
  Open();
  ChooseFolder(pictures.path());
  Click("cmd_Start");
  ASSERT_EQ(shows.size(), 1u);
  EXPECT_EQ(shows[0].ImageCount, 2);
  EXPECT_EQ(shows[0].ImagePaths, (std::vector<std::string>{"", pictures / "a.bmp", pictures / "b.BMP"}));
  EXPECT_EQ(shows[0].SlideOrder, (std::vector<int32_t>{0, 1, 2}));
  EXPECT_EQ(showScreens[0], window->screen());
  EXPECT_EQ(Text("Folder_Path").toStdString(), pictures.path());
  EXPECT_TRUE(Enabled("cmd_Start"));
  window->ExportVideo();  // the start button's "動画に書き出す…": the same show
  ASSERT_EQ(exports.size(), 1u);
  EXPECT_EQ(exports[0].ImagePaths, shows[0].ImagePaths);
  EXPECT_EQ(exports[0].SlideOrder, shows[0].SlideOrder);

  Click("lbl_SEQ(1)");
  window->close();  // by the desktop, not by 終了: saved all the same
  settings::Settings reloaded;
  settings::LoadSettings(reloaded, home.path(), home / "LumenShow.ini");
  EXPECT_EQ(reloaded.ShowOrder, settings::Order::Shuffled);
}

TEST_F(MainWindowTest, TheGuideLabelOpensTheGuideUnderAnHourglass) {
  Open();
  EXPECT_EQ(W("lbl_URL")->cursor().shape(), Qt::PointingHandCursor);
  Click("lbl_URL");
  EXPECT_EQ(dialogs.opened, (std::vector<std::string>{"/opt/lumenshow/user-guide.html"}));
  EXPECT_EQ(dialogs.cursorsWhileOpening, (std::vector<Qt::CursorShape>{Qt::WaitCursor}));
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_TRUE(dialogs.messages.empty());
  dialogs.openerWorks = false;  // no browser
  Click("lbl_URL");
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_NE(dialogs.messages[0].text.find("/opt/lumenshow/user-guide.html"), std::string::npos) << "said, with the path";
}

TEST_F(MainWindowTest, ItsOwnTitleBarOffersMinimiseAndCloseOnlyAndCloseSaves) {
  Open(/*ownCaption=*/true);  // as on GNOME and Weston, which draw no title bars
  EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint) << "no title bar of Qt's own";
  EXPECT_EQ(window->size(), QSize(630, 30 + 561));
  EXPECT_EQ(W("Frame1")->geometry(), QRect(0, 30, 630, 561));
  std::map<QString, QToolButton*> buttons;
  for (auto* button : W("Caption")->findChildren<QToolButton*>()) buttons[button->accessibleName()] = button;
  ASSERT_EQ(buttons.size(), 2u);
  ASSERT_TRUE(buttons.count(U("閉じる")) && buttons.count(U("最小化")));
  QTest::mouseClick(buttons[U("閉じる")], Qt::LeftButton);
  EXPECT_FALSE(window->isVisible());
  EXPECT_TRUE(std::filesystem::exists(home / "LumenShow.ini")) << "closed from its own title bar, it saved";
}

// Tab from the focused control until focus comes round; the names of the stops in order.
QStringList TabStops() {
  QStringList stops;
  for (int i = 0; i < 40; ++i) {
    QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr || stops.contains(focus->objectName())) break;
    stops << focus->objectName();
    QTest::keyClick(focus, Qt::Key_Tab);
  }
  return stops;
}

// The keyboard walk itself runs on a real X server (X11MainWindow); here, which controls
// Tab reaches and that the one with the focus shows it.
TEST_F(MainWindowTest, TabStopsAtEachGroupsChoiceAndTheFocusIsSeen) {
  Open();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  W("cmd_Folder")->setFocus();
  // Disabled and hidden controls are passed over; each option group is one stop: its choice.
  EXPECT_EQ(TabStops().join(" ").toStdString(),
            "cmd_Folder Opt_1(1) ListView1 Img_SEQ(0) HS_Fast cmd_Yohaku HS_Intval Img_BGM(0) Img_Back(0) Img_Syori(0) "
            "lbl_URL cmd_End");
  const QImage rest = window->grab().toImage();
  auto region = [&](const QImage& image, const char* name) {
    QWidget* w = W(name);
    return image.copy(QRect(w->mapTo(window.get(), QPoint(0, 0)), w->size())).convertToFormat(QImage::Format_RGB32);
  };
  auto* speed = W<controls::LumenScrollBarWidget>("HS_Fast");
  speed->setFocus(Qt::TabFocusReason);
  EXPECT_NE(region(window->grab().toImage(), "HS_Fast"), speed->Snapshot().convertToFormat(QImage::Format_RGB32))
      << "the cue on the thumb";
  W("Img_BGM(0)")->setFocus(Qt::TabFocusReason);
  const QImage focused = window->grab().toImage();
  EXPECT_NE(region(focused, "lbl_BGM(0)"), region(rest, "lbl_BGM(0)")) << "the cue on the label";
  EXPECT_EQ(region(focused, "HS_Fast"), speed->Snapshot().convertToFormat(QImage::Format_RGB32))
      << "no cue once focus has gone";
}

// What Orca speaks of each control is checked with Orca itself (tests/accessibility); here,
// what a screen reader can do beyond hearing: set a bar's value and press a control.
TEST_F(MainWindowTest, AScreenReaderSetsValuesAndPressesControls) {
  Open();
  auto a11y = [&](const char* name) { return QAccessible::queryAccessibleInterface(W(name)); };
  EXPECT_TRUE(a11y("cmd_Start")->state().disabled);
  QAccessibleValueInterface* speed = a11y("HS_Fast")->valueInterface();
  ASSERT_NE(speed, nullptr);
  EXPECT_EQ(QString("%1 %2..%3 by %4").arg(speed->currentValue().toInt()).arg(speed->minimumValue().toInt())
                .arg(speed->maximumValue().toInt()).arg(speed->minimumStepSize().toInt()),
            "100 50..100 by 1");
  speed->setCurrentValue(70);
  EXPECT_EQ(Text("lbl_Fast"), "70") << "through Change, as a click";
  speed->setCurrentValue(5);
  EXPECT_EQ(settings.TurnSpeed, 50) << "held to the range";

  // Pressed through the bus: the click comes from the event loop.
  a11y("Img_BGM(2)")->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  dialogs.files = {"/music/bgm.mp3"};
  a11y("Cmd_File")->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  a11y("lbl_URL")->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_EQ(settings.BgmKind, settings::Music::None);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs.opened.empty(); }));
  EXPECT_TRUE(a11y("Img_BGM(2)")->state().checked);
  EXPECT_EQ(settings.BgmFile, "/music/bgm.mp3");

  controls::LumenButtonWidget marked;
  marked.SetCaption("&Save && quit");
  EXPECT_EQ(QAccessible::queryAccessibleInterface(&marked)->text(QAccessible::Name), "Save & quit");
}

}  // namespace
}  // namespace lumen::mainwindow

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  lumen::platform::InstallJapaneseFontSubstitutes();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

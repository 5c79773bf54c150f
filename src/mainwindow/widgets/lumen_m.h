// Lumen_M, the main window: the picture folder and its list, the option panel, and the
// buttons that pick a folder or music file, start a show and end the program. Every
// option the user changes goes into the settings at once; they are saved when the
// window closes, however it closes. Controls carry their names ("cmd_Start",
// "Img_Syori(1)") as object names.
#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "mainwindow/shuffle_random.h"
#include "platform/desktop/system_dialogs.h"
#include "settings/lumen_b.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QRadioButton;
class QScreen;

namespace lumen::mainwindow {
class Announcer;
}  // namespace lumen::mainwindow

namespace lumen::catalogue {
class CatalogueViews;
class ThumbnailCache;
}  // namespace lumen::catalogue

namespace lumen::controls {
class LumenButtonWidget;
class LumenScrollBarWidget;
}  // namespace lumen::controls

namespace lumen::mainwindow {

class ClickLabel;
class LinkLabel;
class ColourButton;
class OptionPicture;

// What the window works with; the program passes its own, tests their stand-ins.
struct MainWindowContext {
  settings::Settings* settings = nullptr;
  settings::ShowData* showData = nullptr;
  std::string programFolder;  // the fallback picture and music folder
  std::string iniPath;
  platform::SystemDialogs* dialogs = nullptr;
  // Runs one show on the screen and returns when its window has closed.
  std::function<void(QScreen* screen, const settings::Settings&, const settings::ShowData&)> openShow;
  // Writes a show to a video file the user names. When set, the start button's right-click
  // menu offers "動画に書き出す…", which hands it the show the button would start.
  std::function<void(QWidget* window, const settings::Settings&, const settings::ShowData&)> exportVideo;
  std::string guideAddress;  // what lbl_URL shows and opens
  catalogue::ThumbnailCache* thumbnailCache = nullptr;
  // The window draws its own title bar (the desktop draws none, see DesktopDrawsTitleBars).
  bool ownCaption = false;
};

class Lumen_M : public QWidget {
  Q_OBJECT

 public:
  explicit Lumen_M(MainWindowContext context);
  ~Lumen_M() override;

  void Form_Load();

  void HS_Fast_Change();
  void HS_Fast_Scroll() { HS_Fast_Change(); }
  void HS_Intval_Change();
  void HS_Intval_Scroll() { HS_Intval_Change(); }
  void Opt_1_Click(int index);

  void cmd_Folder_Click();
  void Cmd_File_Click();
  void cmd_Color_Click();
  void cmd_Yohaku_Click();
  void lbl_URL_Click();
  void cmd_Start_Click();
  void ExportVideo();  // the start button's "動画に書き出す…"
  void cmd_End_Click();

  // Which view is filled for the current folder: 1 thumbnails, 2 details.
  bool ListFilled(int index) const { return listFilled_.at(static_cast<size_t>(index)); }
  catalogue::CatalogueViews& Views() { return *views_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  struct OptionGroup {
    settings::Int16Field setting;
    std::vector<OptionPicture*> pictures;
    std::vector<ClickLabel*> labels;
    std::vector<int> onScreen;  // the indexes top to bottom, then left to right: the arrow keys' order
  };

  void BuildPanel();
  void BuildFolderAndList(QWidget* frame);
  void BuildOptionFrames(QWidget* frame);
  void BuildBottomRow(QWidget* frame);
  void BuildOptionGroup(OptionGroup& group, QWidget* frame, const char* pictureName, const char* labelName,
                        const std::vector<std::pair<const char*, QPoint>>& options);
  // A click on an option's picture or on its label (the two behave the same).
  void OptionClick(OptionGroup& group, int index);
  void SetMark(OptionGroup& group, int index, bool selected);
  void FollowDependents(const OptionGroup& group);
  void KeepTabStop(OptionGroup& group);  // the chosen mark, else the first on screen
  void StepChoice(OptionGroup& group, int from, int delta);
  void SetTabOrder();
  void OfferVideoExport();
  // Tells a screen reader the folder, its count and whether the show can start now.
  void AnnounceFolder();
  void ShowView(int index, bool fill);  // the view for Opt_1(index), filled when asked
  void Form_QueryUnload();

  MainWindowContext context_;
  settings::Settings& s_;
  std::vector<std::string> file1_;  // the chosen folder's picture names, in list order
  std::array<bool, 3> listFilled_{};
  ShuffleRandom random_;

  QWidget* frame1_;
  QLabel* folderPath_;
  std::array<QRadioButton*, 2> opt1_{};
  catalogue::CatalogueViews* views_;
  OptionGroup syori_{settings::Int16Of<&settings::Settings::AdvanceMode>(), {}, {}, {}};
  OptionGroup rl_{settings::Int16Of<&settings::Settings::TurnDirection>(), {}, {}, {}};
  OptionGroup seq_{settings::Int16Of<&settings::Settings::ShowOrder>(), {}, {}, {}};
  OptionGroup back_{settings::Int16Of<&settings::Settings::BackgroundKind>(), {}, {}, {}};
  OptionGroup bgm_{settings::Int16Of<&settings::Settings::BgmKind>(), {}, {}, {}};
  QComboBox* bgmRepeat_;
  controls::LumenButtonWidget* cmdFile_;
  ColourButton* cmdColor_;
  ColourButton* cmdYohaku_;
  controls::LumenScrollBarWidget* hsFast_;
  controls::LumenScrollBarWidget* hsIntval_;
  QLabel* lblFast_;
  QLabel* lblIntval_;
  QLabel* lblFname_;
  LinkLabel* lblUrl_;
  controls::LumenButtonWidget* cmdFolder_;
  controls::LumenButtonWidget* cmdStart_;
  controls::LumenButtonWidget* cmdEnd_;
  Announcer* announcer_;
};

}  // namespace lumen::mainwindow

#include "mainwindow/widgets/lumen_m.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QRadioButton>
#include <QScreen>
#include <QTreeWidget>
#include <algorithm>
#include <tuple>

#include "catalogue/widgets/catalogue_views.h"
#include "controls/widgets/lumen_button_widget.h"
#include "controls/widgets/lumen_scrollbar_widget.h"
#include "mainwindow/lumen_color.h"
#include "mainwindow/lumen_folder.h"
#include "mainwindow/picture_list.h"
#include "mainwindow/show_order.h"
#include "mainwindow/widgets/announcer.h"
#include "mainwindow/widgets/caption_bar.h"
#include "mainwindow/widgets/colour_button.h"
#include "mainwindow/widgets/option_controls.h"
#include "settings/path_routines.h"

#ifndef LUMENSHOW_VERSION
#define LUMENSHOW_VERSION "0"
#endif

namespace lumen::mainwindow {
namespace {

constexpr int kFrameWidth = 630, kFrameHeight = 561;
constexpr int kCaptionHeight = 30;  // what the window's border and caption add to the panel's height

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }
QString FromPath(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

// The "##" format: 0 shows as empty text.
QString TrackText(int value) { return value == 0 ? QString() : QString::number(value); }

template <typename W>
W* Place(W* widget, const char* name, int x, int y, int w, int h) {
  widget->setObjectName(Text(name));
  widget->setGeometry(x, y, w, h);
  return widget;
}

QLabel* Caption(QWidget* parent, const char* text, int x, int y, int w) {
  auto* label = new QLabel(Text(text), parent);
  label->setGeometry(x, y, w, 15);
  return label;
}

QGroupBox* Frame(QWidget* parent, const char* name, const char* title, int x, int y, int w, int h) {
  return Place(new QGroupBox(Text(title), parent), name, x, y, w, h);
}

controls::LumenButtonWidget* Button(QWidget* parent, const char* name, const char* caption, int x, int y, int w, int h) {
  auto* button = Place(new controls::LumenButtonWidget(parent), name, x, y, w, h);
  button->Button().SetFont(controls::FontSpec{.name = "ＭＳ Ｐゴシック", .points = 9.75, .charset = 128});
  button->SetCaption(Text(caption));
  return button;
}

// A horizontal 81 x 17 bar at (x, y) stepping by 1, "遅" left of it, "速" right of it, and
// its value label under it.
std::pair<controls::LumenScrollBarWidget*, QLabel*> CaptionedBar(QWidget* frame, const char* barName,
                                                                const char* labelName, int x, int y, int min, int max,
                                                                int large, int value) {
  Caption(frame, "遅", x - 22, y + 1, 16);
  auto* bar = Place(new controls::LumenScrollBarWidget(frame), barName, x, y, 81, 17);
  Caption(frame, "速", x + 88, y + 1, 16);
  controls::LumenScrollBar& b = bar->Bar();
  b.SetOrientation(1);
  b.SetMax(max);
  b.SetMin(min);
  b.SetSmallChange(1);
  b.SetLargeChange(large);
  b.SetValue(value);
  auto* label = Place(new QLabel(frame), labelName, x, y + 20, 81, 15);
  label->setAlignment(Qt::AlignCenter);
  return {bar, label};
}

}  // namespace

Lumen_M::Lumen_M(MainWindowContext context)
    : QWidget(nullptr), context_(std::move(context)), s_(*context_.settings) {
  setWindowTitle("LumenShow");
  // A fixed-size window: no maximise button, on any desktop.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  QFont font(Text("ＭＳ Ｐゴシック"));
  font.setPixelSize(13);  // 9.75 points at 96 dots per inch; the layout is in pixels too
  setFont(font);
  BuildPanel();
  if (context_.ownCaption) {
    // Alone: Qt drops the frameless hint when any title bar hint comes with it.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    resize(kFrameWidth, CaptionBar::kHeight + kFrameHeight);
    new CaptionBar(this);
    frame1_->move(0, CaptionBar::kHeight);
  }
}

Lumen_M::~Lumen_M() = default;

void Lumen_M::BuildPanel() {
  frame1_ = Place(new QWidget(this), "Frame1", 0, 0, kFrameWidth, kFrameHeight);
  frame1_->setAutoFillBackground(true);
  QPalette panel = frame1_->palette();
  panel.setColor(QPalette::Window, QColor(0xE0, 0xE0, 0xE0));
  panel.setColor(QPalette::Button, QColor(0xE0, 0xE0, 0xE0));
  frame1_->setPalette(panel);
  BuildFolderAndList(frame1_);
  BuildOptionFrames(frame1_);
  BuildBottomRow(frame1_);
  if (context_.exportVideo) OfferVideoExport();
  SetTabOrder();
}

// The folder button and path, the view switch, the two lists and the preview.
void Lumen_M::BuildFolderAndList(QWidget* f) {
  cmdFolder_ = Button(f, "cmd_Folder", "ﾌｫﾙﾀﾞの選択", 12, 12, 109, 33);
  folderPath_ = Place(new QLabel(f), "Folder_Path", 124, 12, 485, 33);
  folderPath_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  folderPath_->setIndent(4);

  auto* views = new QButtonGroup(this);
  opt1_[0] = Place(new QRadioButton(Text("縮小版"), f), "Opt_1(0)", 12, 52, 65, 17);
  opt1_[1] = Place(new QRadioButton(Text("詳細"), f), "Opt_1(1)", 84, 52, 57, 17);
  for (int i = 0; i < 2; ++i) {
    views->addButton(opt1_[static_cast<size_t>(i)], i);
    connect(opt1_[static_cast<size_t>(i)], &QRadioButton::clicked, this, [this, i] { Opt_1_Click(i); });
    // Tab enters the pair at its chosen button, as it enters the option groups.
    opt1_[static_cast<size_t>(i)]->setFocusPolicy(Qt::ClickFocus);
    connect(opt1_[static_cast<size_t>(i)], &QRadioButton::toggled, this,
            [button = opt1_[static_cast<size_t>(i)]](bool on) { button->setFocusPolicy(on ? Qt::StrongFocus : Qt::ClickFocus); });
  }

  views_ = new catalogue::CatalogueViews(f);
  views_->SetThumbnailCache(context_.thumbnailCache);
  Place(views_->lbl_Cnt(), "lbl_Cnt", 340, 56, 49, 15)->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  Place(views_->ListView1(), "ListView1", 12, 72, 377, 256);
  Place(views_->ListView2(), "ListView2", 12, 72, 377, 257);
  Place(views_->Pic_Base(), "Pic_Base", 400, 72, 208, 208);
  views_->ImgPreview()->setObjectName("ImgPreview");
  views_->ListView1()->setAccessibleName(Text("縮小版"));
  views_->ListView2()->setAccessibleName(Text("詳細"));
  views_->ListView2()->setColumnWidth(0, 200);
  views_->ListView2()->setColumnWidth(1, 80);
  views_->ListView2()->setColumnWidth(2, 100);
  connect(cmdFolder_, &controls::LumenButtonWidget::Click, this, &Lumen_M::cmd_Folder_Click);
}

// The option panel: order, speed, the two colours, the interval, music, background, turning.
void Lumen_M::BuildOptionFrames(QWidget* f) {
  QGroupBox* frame4 = Frame(f, "Frame4", "画像表示順", 12, 336, 209, 45);
  BuildOptionGroup(seq_, frame4, "Img_SEQ", "lbl_SEQ", {{"ｼｰｹﾝｼｬﾙ", {12, 22}}, {"ｼｬﾌﾙ", {112, 22}}});

  QGroupBox* frame5 = Frame(f, "Frame5", "めくる速さ", 228, 336, 161, 61);
  std::tie(hsFast_, lblFast_) = CaptionedBar(frame5, "HS_Fast", "lbl_Fast", 36, 18, 50, 100, 10, 100);
  hsFast_->setAccessibleName(frame5->title());
  connect(hsFast_, &controls::LumenScrollBarWidget::Change, this, &Lumen_M::HS_Fast_Change);
  connect(hsFast_, &controls::LumenScrollBarWidget::Scroll, this, &Lumen_M::HS_Fast_Scroll);

  QGroupBox* frame7 = Frame(f, "Frame7", "余白の色", 400, 312, 69, 69);
  cmdYohaku_ = Place(new ColourButton(frame7), "cmd_Yohaku", 16, 24, 33, 29);
  cmdYohaku_->setAccessibleName(Text("余白の色"));
  connect(cmdYohaku_, &QPushButton::clicked, this, &Lumen_M::cmd_Yohaku_Click);

  QGroupBox* frame8 = Frame(f, "Frame8", "自動時のｲﾝﾀｰﾊﾞﾙ", 476, 312, 133, 69);
  std::tie(hsIntval_, lblIntval_) = CaptionedBar(frame8, "HS_Intval", "lbl_Intval", 26, 24, 0, 10, 1, 1);
  hsIntval_->setAccessibleName(frame8->title());
  connect(hsIntval_, &controls::LumenScrollBarWidget::Change, this, &Lumen_M::HS_Intval_Change);
  connect(hsIntval_, &controls::LumenScrollBarWidget::Scroll, this, &Lumen_M::HS_Intval_Scroll);

  QGroupBox* frame2 = Frame(f, "Frame2", "ＢＧＭ", 12, 388, 209, 89);
  BuildOptionGroup(bgm_, frame2, "Img_BGM", "lbl_BGM",
                   {{"なし", {12, 42}}, {"音楽CD", {12, 20}}, {"MP3、WAV", {12, 62}}});
  bgmRepeat_ = Place(new QComboBox(frame2), "BGM_Repeat", 84, 16, 41, 21);
  bgmRepeat_->setEditable(true);
  bgmRepeat_->setInsertPolicy(QComboBox::NoInsert);
  // Qt names an editable combo box by what it holds; its visible label names it for good.
  Caption(frame2, "曲目をﾘﾋﾟｰﾄ", 130, 19, 76)->setBuddy(bgmRepeat_);
  cmdFile_ = Button(frame2, "Cmd_File", "ﾌｧｲﾙの選択", 100, 52, 89, 25);
  connect(cmdFile_, &controls::LumenButtonWidget::Click, this, &Lumen_M::Cmd_File_Click);

  QGroupBox* frame6 = Frame(f, "Frame6", "背景", 228, 404, 161, 73);
  BuildOptionGroup(back_, frame6, "Img_Back", "lbl_Back", {{"透明", {12, 22}}, {"色指定　⇒", {12, 46}}});
  cmdColor_ = Place(new ColourButton(frame6), "cmd_Color", 96, 36, 33, 29);
  cmdColor_->setAccessibleName(Text("背景色"));
  connect(cmdColor_, &QPushButton::clicked, this, &Lumen_M::cmd_Color_Click);

  QGroupBox* frame3 = Frame(f, "Frame3", "画像転換処理方法", 400, 388, 209, 89);
  BuildOptionGroup(syori_, frame3, "Img_Syori", "lbl_Syori", {{"手動", {12, 24}}, {"自動　⇒", {12, 48}}});
  BuildOptionGroup(rl_, frame3, "Img_RL", "lbl_RL", {{"右めくり", {108, 48}}, {"左めくり", {108, 68}}});
}

// The picture's name, the credit, the guide link and the two buttons.
void Lumen_M::BuildBottomRow(QWidget* f) {
  lblFname_ = Place(new QLabel(f), "lbl_Fname", 12, 480, 597, 21);
  lblFname_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  lblFname_->setIndent(4);
  Place(new QLabel(Text("LumenShow ") + LUMENSHOW_VERSION + Text("（Linux 版）"), f), "lbl_Credit", 12, 508, 165, 15);
  lblUrl_ = Place(new LinkLabel(Text("LumenShow の使い方"), f), "lbl_URL", 12, 528, 219, 15);
  lblUrl_->setToolTip(QString::fromStdString(context_.guideAddress));
  lblUrl_->setCursor(Qt::PointingHandCursor);
  QFont link = lblUrl_->font();
  link.setUnderline(true);
  lblUrl_->setFont(link);
  QPalette blue = lblUrl_->palette();
  blue.setColor(QPalette::WindowText, QColor(0, 0, 0xCC));
  lblUrl_->setPalette(blue);
  connect(lblUrl_, &LinkLabel::Click, this, &Lumen_M::lbl_URL_Click);

  cmdStart_ = Button(f, "cmd_Start", "ｽﾗｲﾄﾞｼｮｰのｽﾀｰﾄ", 352, 512, 145, 33);
  cmdStart_->Button().SetEnabled(false);
  cmdEnd_ = Button(f, "cmd_End", "終了", 504, 512, 105, 33);
  announcer_ = new Announcer(f);
  connect(cmdStart_, &controls::LumenButtonWidget::Click, this, &Lumen_M::cmd_Start_Click);
  connect(cmdEnd_, &controls::LumenButtonWidget::Click, this, &Lumen_M::cmd_End_Click);
}

void Lumen_M::OfferVideoExport() {
  cmdStart_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(cmdStart_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    QMenu menu(cmdStart_);
    QAction* exportVideo = menu.addAction(Text("動画に書き出す…"));
    if (menu.exec(cmdStart_->mapToGlobal(at)) != exportVideo) return;
    // After the right button's press has ended: dialogs opened inside its handler would
    // leave the button holding the mouse.
    QMetaObject::invokeMethod(this, &Lumen_M::ExportVideo, Qt::QueuedConnection);
  });
}

// Tab follows the layout: the folder row, the view switch and list, then the option
// panel row by row, left to right, each group before the controls it enables, and the
// bottom row.
void Lumen_M::SetTabOrder() {
  std::vector<QWidget*> chain{cmdFolder_, opt1_[0], opt1_[1], views_->ListView1(), views_->ListView2()};
  auto add = [&](const OptionGroup& group) {
    for (int i : group.onScreen) chain.push_back(group.pictures[static_cast<size_t>(i)]);
  };
  add(seq_);
  chain.insert(chain.end(), {hsFast_, cmdYohaku_, hsIntval_});
  add(bgm_);
  chain.insert(chain.end(), {bgmRepeat_, cmdFile_});
  add(back_);
  chain.push_back(cmdColor_);
  add(syori_);
  add(rl_);
  chain.insert(chain.end(), {lblUrl_, cmdStart_, cmdEnd_});
  for (size_t i = 1; i < chain.size(); ++i) setTabOrder(chain[i - 1], chain[i]);
}

void Lumen_M::BuildOptionGroup(OptionGroup& group, QWidget* frame, const char* pictureName, const char* labelName,
                               const std::vector<std::pair<const char*, QPoint>>& options) {
  for (size_t i = 0; i < options.size(); ++i) {
    const QPoint at = options[i].second;
    const std::string index = "(" + std::to_string(i) + ")";
    auto* label = new ClickLabel(Text(options[i].first), frame);
    label->setObjectName(Text(labelName) + QString::fromStdString(index));
    label->move(at.x() + 16 - 1, at.y() - 1 - 1);  // its text at (x + 16, y - 1)
    label->adjustSize();
    auto* picture = Place(new OptionPicture(frame, label), (pictureName + index).c_str(), at.x(), at.y(), 13, 13);
    const int k = static_cast<int>(i);
    connect(picture, &OptionPicture::Click, this, [this, &group, k] { OptionClick(group, k); });
    connect(label, &ClickLabel::Click, this, [this, &group, k] { OptionClick(group, k); });
    connect(picture, &OptionPicture::Step, this, [this, &group, k](int delta) { StepChoice(group, k, delta); });
    group.pictures.push_back(picture);
    group.labels.push_back(label);
    group.onScreen.push_back(k);
  }
  std::stable_sort(group.onScreen.begin(), group.onScreen.end(), [&](int a, int b) {
    const QPoint pa = options[static_cast<size_t>(a)].second, pb = options[static_cast<size_t>(b)].second;
    return std::pair(pa.y(), pa.x()) < std::pair(pb.y(), pb.x());
  });
}

void Lumen_M::KeepTabStop(OptionGroup& group) {
  int stop = group.onScreen.front();
  for (size_t i = 0; i < group.pictures.size(); ++i) {
    if (group.pictures[i]->Selected()) stop = static_cast<int>(i);
  }
  for (size_t i = 0; i < group.pictures.size(); ++i) {
    group.pictures[i]->setFocusPolicy(static_cast<int>(i) == stop ? Qt::TabFocus : Qt::NoFocus);
  }
}

// An arrow key on a mark: the next mark on screen (round the group) is chosen, as a click
// on it would choose it, and takes the focus.
void Lumen_M::StepChoice(OptionGroup& group, int from, int delta) {
  const auto n = static_cast<int>(group.onScreen.size());
  const auto at = static_cast<int>(std::find(group.onScreen.begin(), group.onScreen.end(), from) - group.onScreen.begin());
  const int next = group.onScreen[static_cast<size_t>(((at + delta) % n + n) % n)];
  OptionClick(group, next);
  group.pictures[static_cast<size_t>(next)]->setFocus(Qt::OtherFocusReason);
}

void Lumen_M::Form_Load() {
  settings::LoadSettings(s_, context_.programFolder, context_.iniPath);

  setFixedSize(kFrameWidth, kFrameHeight + (context_.ownCaption ? CaptionBar::kHeight : 0));
  // The primary monitor, not the one at (0, 0) that a window not yet shown would take.
  if (QScreen* primary = QGuiApplication::primaryScreen()) setScreen(primary);
  const QRect screen = this->screen()->geometry();
  // The outer size counts the border and caption, as the window's own size does on Windows.
  move(screen.x() + (screen.width() - kFrameWidth) / 2,
       screen.y() + (screen.height() - (kFrameHeight + kCaptionHeight)) / 3);

  views_->lbl_Cnt()->clear();
  views_->ListView1()->setViewMode(QListView::IconMode);
  listFilled_ = {};

  if (s_.ViewKind == settings::View::Thumbnails || s_.ViewKind == settings::View::Details) {
    opt1_[static_cast<size_t>(s_.ViewKind)]->setChecked(true);
    Opt_1_Click(static_cast<int>(s_.ViewKind));
  } else {
    opt1_[0]->setFocusPolicy(Qt::StrongFocus);  // nothing chosen: the pair is still reached
  }

  for (size_t i = 0; i < bgm_.pictures.size(); ++i) SetMark(bgm_, static_cast<int>(i), false);
  SetMark(bgm_, static_cast<int>(s_.BgmKind), true);
  FollowDependents(bgm_);

  // Qt makes the first entry added to an empty list the current one, which would replace
  // the text; so the list comes first here and the text after it.
  for (int track = 0; track <= 30; ++track) bgmRepeat_->addItem(TrackText(track));
  bgmRepeat_->setEditText(TrackText(s_.BgmRepeat));

  lblFname_->setText(FromPath(s_.BgmFile));

  for (OptionGroup* group : {&syori_, &rl_, &seq_, &back_}) {
    const int value = group->setting.get(s_);
    SetMark(*group, value, true);
    SetMark(*group, value ^ 1, false);
    if (group == &syori_ || group == &back_) FollowDependents(*group);
  }
  for (OptionGroup* group : {&syori_, &rl_, &seq_, &back_, &bgm_}) KeepTabStop(*group);

  cmdColor_->SetFaceColour(s_.BackgroundColor);
  cmdYohaku_->SetFaceColour(s_.MarginColor);
  views_->SetMarginColor(static_cast<platform::gdi::COLORREF>(s_.MarginColor));

  hsFast_->Bar().SetValue(s_.TurnSpeed);
  lblFast_->setText(QString::number(s_.TurnSpeed));
  hsIntval_->Bar().SetValue(s_.AutoInterval);
  lblIntval_->setText(QString::number(s_.AutoInterval) + Text("秒"));
}

void Lumen_M::SetMark(OptionGroup& group, int index, bool selected) {
  // A setting with no matching option (a 5 read from the file) marks nothing.
  if (index < 0 || index >= static_cast<int>(group.pictures.size())) return;
  group.pictures[static_cast<size_t>(index)]->SetSelected(selected);
}

void Lumen_M::OptionClick(OptionGroup& group, int index) {
  group.setting.set(s_, static_cast<int16_t>(index));
  if (&group == &bgm_) {
    for (size_t i = 0; i < group.pictures.size(); ++i) SetMark(group, static_cast<int>(i), false);
    SetMark(group, index, true);
  } else {
    SetMark(group, index, true);
    SetMark(group, index ^ 1, false);
  }
  FollowDependents(group);
  KeepTabStop(group);
}

void Lumen_M::FollowDependents(const OptionGroup& group) {
  if (&group == &syori_) {
    for (size_t i = 0; i < 2; ++i) {
      rl_.pictures[i]->setVisible(s_.AdvanceMode != settings::Advance::Manual);
      rl_.labels[i]->setVisible(s_.AdvanceMode != settings::Advance::Manual);
    }
  } else if (&group == &back_) {
    cmdColor_->setVisible(s_.BackgroundKind != settings::Background::Transparent);
  } else if (&group == &bgm_) {
    bgmRepeat_->setEnabled(s_.BgmKind == settings::Music::AudioCd);
    cmdFile_->Button().SetEnabled(s_.BgmKind == settings::Music::File);
  }
}

void Lumen_M::HS_Fast_Change() {
  s_.TurnSpeed = static_cast<int16_t>(hsFast_->Bar().Value());
  lblFast_->setText(QString::number(s_.TurnSpeed));
}

void Lumen_M::HS_Intval_Change() {
  s_.AutoInterval = static_cast<int16_t>(hsIntval_->Bar().Value());
  lblIntval_->setText(QString::number(s_.AutoInterval) + Text("秒"));
}

void Lumen_M::ShowView(int index, bool fill) {
  const size_t shown = index == 0 ? 1 : 2;
  views_->ListView1()->setVisible(shown == 1);
  views_->ListView2()->setVisible(shown == 2);
  if (!fill) return;
  if (shown == 1) {
    views_->ListView1_Set();
  } else {
    views_->ListView2_Set();
  }
  listFilled_[shown] = true;
}

void Lumen_M::Opt_1_Click(int index) {
  s_.ViewKind = static_cast<settings::View>(index);
  if (folderPath_->text().isEmpty()) return;
  ShowView(index, !listFilled_[index == 0 ? 1 : 2]);
}

void Lumen_M::cmd_Folder_Click() {
  const std::string folder = BrowseFolder(*context_.dialogs, this, s_.ImageFolder);
  if (folder.empty()) {
    folderPath_->clear();
    cmdStart_->Button().SetEnabled(false);
    AnnounceFolder();
    return;
  }
  folderPath_->setText(FromPath(folder));
  s_.ImageFolder = folder;
  // A folder that cannot be listed (no permission) lists nothing rather than the last one,
  // and says why.
  const auto listed = ListPictureFiles(folder);
  file1_ = listed.value_or(std::vector<std::string>{});
  views_->SetFolder(folder, file1_);
  listFilled_ = {};
  ShowView(opt1_[0]->isChecked() ? 0 : 1, true);
  cmdStart_->Button().SetEnabled(true);
  AnnounceFolder();
  if (!listed) {
    context_.dialogs->ShowMessage(this, {.kind = platform::MessageKind::Warning,
                                         .title = "LumenShow",
                                         .text = "フォルダの中を読めませんでした。\n" + folder,
                                         .offer = {}});
  }
}

void Lumen_M::AnnounceFolder() {
  const QString start = Text("ｽﾗｲﾄﾞｼｮｰのｽﾀｰﾄ");
  if (folderPath_->text().isEmpty()) {
    announcer_->Say(Text("フォルダは選ばれていません。") + start + Text(" は押せません"));
    return;
  }
  // The folder's own name (its whole path is on the window), then its count, known before
  // the list has filled.
  const QString name = QFileInfo(folderPath_->text()).fileName();
  announcer_->Say((name.isEmpty() ? folderPath_->text() : name) + Text("、") + QString::number(file1_.size()) +
                  Text("枚。") + start + Text(" を押せます"));
}

void Lumen_M::Cmd_File_Click() {
  const platform::OpenFileRequest request{.title = "ﾌｧｲﾙを開く",
                                          .filterName = "BGMﾌｧｲﾙ (MP3 WAV)",
                                          .patterns = {"*.MP3", "*.WAV"},
                                          .initialFolder = s_.BgmFolder};
  auto file = context_.dialogs->GetOpenFileName(this, request);
  if (!file || file->empty()) return;
  s_.BgmFile = *file;
  lblFname_->setText(FromPath(s_.BgmFile));
  s_.BgmFolder = settings::ParentFolder(s_.BgmFile);
}

void Lumen_M::cmd_Color_Click() {
  const int32_t colour = ShowColorDialog(*context_.dialogs, this, cmdColor_->FaceColour());
  if (colour == -1) return;
  cmdColor_->SetFaceColour(colour);
  s_.BackgroundColor = colour;
}

void Lumen_M::cmd_Yohaku_Click() {
  const int32_t colour = ShowColorDialog(*context_.dialogs, this, cmdYohaku_->FaceColour());
  if (colour == -1) return;
  cmdYohaku_->SetFaceColour(colour);
  s_.MarginColor = colour;
  views_->SetMarginColor(static_cast<platform::gdi::COLORREF>(s_.MarginColor));
}

void Lumen_M::lbl_URL_Click() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const bool opened = context_.dialogs->ShellOpen(this, context_.guideAddress);
  QApplication::restoreOverrideCursor();
  if (!opened) {
    context_.dialogs->ShowMessage(this, {.kind = platform::MessageKind::Warning,
                                         .title = "LumenShow",
                                         .text = "LumenShow の使い方を開けませんでした。開くプログラム（ブラウザー）が"
                                                 "見つかりません。\n" +
                                                 context_.guideAddress,
                                         .offer = {}});
  }
}

void Lumen_M::cmd_Start_Click() {
  BuildShowData(*context_.showData, s_.ImageFolder, file1_, s_.ShowOrder, random_);
  if (context_.openShow) context_.openShow(screen(), s_, *context_.showData);
  activateWindow();
}

void Lumen_M::ExportVideo() {
  settings::ShowData data;
  BuildShowData(data, s_.ImageFolder, file1_, s_.ShowOrder, random_);
  context_.exportVideo(this, s_, data);
  activateWindow();
}

void Lumen_M::cmd_End_Click() { close(); }

void Lumen_M::Form_QueryUnload() {
  settings::SaveSettings(s_, bgmRepeat_->currentText().toStdString(), context_.iniPath);
}

void Lumen_M::closeEvent(QCloseEvent* event) {
  Form_QueryUnload();
  event->accept();
}

}  // namespace lumen::mainwindow

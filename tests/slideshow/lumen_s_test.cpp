// The show window on a virtual screen: geometry, pictures, turns and their frames,
// music and exit. Pictures are 900 x 600 (they land on the page one to one) with each
// pixel's colour encoding the picture, x and y, so a frame pixel says where it came from.
#include "slideshow/lumen_s.h"

#include <QImage>
#include <gtest/gtest.h>

#include "platform/gdi/gdi.h"
#include "recording_multimedia.h"
#include "slideshow/leaf.h"
#include "slideshow/virtual_screen.h"
#include "support/picture_files.h"
#include "support/temp_folder.h"

namespace lumen::slideshow {

void PrintTo(const PixelSize& size, std::ostream* out) { *out << size.width << " x " << size.height; }

namespace {

using platform::gdi::COLORREF;
using platform::gdi::Surface;

constexpr COLORREF Code(int id, int x, int y) { return COLORREF(id) << 20 | COLORREF(y) << 10 | COLORREF(x); }
struct Origin {
  int id, x, y;
  bool operator==(const Origin&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Origin& o) {
  return out << "picture " << o.id << " (" << o.x << ", " << o.y << ")";
}
Origin Decode(COLORREF c) { return {int(c >> 20), int(c & 0x3FF), int((c >> 10) & 0x3FF)}; }

void WritePicture(const std::string& path, int id, int width = 900, int height = 600) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      COLORREF c = Code(id, x, y);
      image.setPixel(x, y, qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
    }
  }
  ASSERT_TRUE(image.save(QString::fromStdString(path), "BMP"));
}

// Keeps the files the show says stand on its page, as a screen reader would hear them.
class AnnouncingScreen : public VirtualScreen {
 public:
  using VirtualScreen::VirtualScreen;
  void PictureShown(const std::string& path) override { announced.push_back(path); }
  std::vector<std::string> announced;
};

class ShowTest : public ::testing::Test {
 protected:
  // Pictures 1..count at ImagePaths[i], shown in the order given (default 1..count).
  void MakeShow(int count, std::vector<int32_t> order = {}) {
    show.ImageCount = count;
    show.ImagePaths = {""};
    for (int i = 1; i <= count; ++i) {
      show.ImagePaths.push_back(folder / ("p" + std::to_string(i) + ".bmp"));
      WritePicture(show.ImagePaths.back(), i);
    }
    if (order.empty()) {
      for (int i = 0; i <= count; ++i) order.push_back(i);
    }
    show.SlideOrder = order;
  }
  void Open(PixelSize screen = {1200, 800}, bool maximized = false, double scale = 1.0) {
    host = std::make_unique<AnnouncingScreen>(screen, maximized, scale);
    window = std::make_unique<Lumen_S>(*host, settings, show, &music, prepareAhead ? ReadAhead{} : ReadAhead::None());
    host->Attach(window.get());
    host->OnPresent([this](const Surface& image, std::optional<COLORREF>) {
      ++presents;
      if (keepFrames) frames.push_back(image);
    });
    host->Open();
  }
  Origin At(const Surface& frame, int pageX, int pageY) {
    return Decode(frame.GetPixel(window->PageLeft() + pageX, window->PageTop() + pageY));
  }
  Origin Shown(int pageX = 100, int pageY = 100) { return At(window->WindowImage(), pageX, pageY); }
  int PresentsOf(void (Lumen_S::*turn)()) {
    presents = 0;
    (window.get()->*turn)();
    return presents;
  }

  test::TempFolder folder;
  settings::Settings settings{.ViewKind = settings::View::Details,
                              .ImageFolder = "",
                              .TurnDirection = settings::Turn::Left,
                              .TurnSpeed = 100,
                              .MarginColor = 0xFFFFFF,
                              .BgmFile = "",
                              .BgmFolder = ""};
  settings::ShowData show;
  music::test::RecordingMultimedia mm;
  music::Lumen_BGM bgm{mm, settings};
  music::ShowMusic music{bgm, settings};
  bool prepareAhead = true;
  std::unique_ptr<AnnouncingScreen> host;
  std::unique_ptr<Lumen_S> window;
  int presents = 0;
  bool keepFrames = false;
  std::vector<Surface> frames;
};

TEST_F(ShowTest, WindowGeometryAndTheFirstPictureByDirection) {
  MakeShow(5, {0, 3, 5, 1, 4, 2});
  Open({1920, 1080});
  EXPECT_EQ(host->ClientSize(), (PixelSize{1620, 1080}));
  EXPECT_EQ(window->PageLeft(), 360);
  EXPECT_EQ(window->PageTop(), 240);
  EXPECT_EQ(Shown(10, 20), (Origin{3, 10, 20})) << "a left-turn show starts at entry 1";

  settings.TurnDirection = settings::Turn::Right;
  Open({1920, 1080}, true);
  EXPECT_EQ(host->ClientSize(), (PixelSize{1920, 1080}));
  EXPECT_EQ(window->PageLeft(), 510);
  EXPECT_EQ(window->PageTop(), 240);
  EXPECT_EQ(Shown(899, 599), (Origin{2, 899, 599})) << "a right-turn show starts at the last entry";
  EXPECT_EQ(window->CurrentPos(), 5);

  Open({1280, 1024});  // narrower than 3:2: the window stays on its screen, the page centred
  EXPECT_EQ(host->ClientSize(), (PixelSize{1280, 1024}));
  EXPECT_EQ(std::make_pair(window->PageLeft(), window->PageTop()), std::make_pair(190, 212));
}

TEST_F(ShowTest, OnAHiDpiScreenThePageAndTheTurnScale) {
  MakeShow(2);
  ASSERT_TRUE(test::WriteSolidBmp(show.ImagePaths[1], 1800, 1200, qRgb(255, 0, 0)));
  ASSERT_TRUE(test::WriteSolidBmp(show.ImagePaths[2], 900, 600, qRgb(0, 255, 0)));
  Open({3840, 2160}, false, 2.0);
  EXPECT_EQ(host->ClientSize(), (PixelSize{3240, 2160}));
  EXPECT_EQ(std::make_pair(window->PageWidthPx(), window->PageHeightPx()), std::make_pair(1800, 1200));
  const int left = window->PageLeft(), top = window->PageTop();
  EXPECT_EQ(std::make_pair(left, top), std::make_pair(720, 480));
  keepFrames = true;
  window->FlipLeft();
  ASSERT_EQ(frames.size(), 10u) << "the same frames as at 1x";
  // FoldPos 900: the leaf's middle column raised by twice the 30 rows of 1x.
  const Surface& first = frames[0];
  EXPECT_NE(first.GetPixel(left + 1350, top - 60), 0u) << "the leaf";
  EXPECT_EQ(first.GetPixel(left + 1350, top - 61), 0u) << "above it: the background";
  EXPECT_EQ(frames.back().GetPixel(left + 1799, top + 1199), 0x00FF00u) << "picture 2 fills the page";
  EXPECT_EQ(frames.back().GetPixel(left + 1800, top + 1199), 0u);
}

TEST_F(ShowTest, TransparentOrColouredBackground) {
  MakeShow(1);
  WritePicture(show.ImagePaths[1], 1, 640, 480);  // margins all round
  settings.MarginColor = 0x000000;
  Open();
  ASSERT_TRUE(host->ColorKey().has_value());
  EXPECT_EQ(*host->ColorKey(), 0x000000u) << "the key is the window's black";
  const Surface& image = window->WindowImage();
  EXPECT_EQ(image.GetPixel(0, 0), 0x000000u);
  EXPECT_EQ(image.GetPixel(window->PageLeft() + 5, window->PageTop() + 5), 0x000000u) << "black margins go too";
  EXPECT_EQ(Shown(130, 60), (Origin{1, 0, 0}));

  settings.BackgroundKind = settings::Background::Colour;
  settings.BackgroundColor = 0x00336699;
  settings.MarginColor = 0x00FFFFFF;
  Open();
  EXPECT_FALSE(host->ColorKey().has_value());
  EXPECT_EQ(window->WindowImage().GetPixel(0, 0), 0x00336699u);
  EXPECT_EQ(window->WindowImage().GetPixel(window->PageLeft() + 5, window->PageTop() + 5), 0x00FFFFFFu);
}

TEST_F(ShowTest, FrameCountsFollowTheTurnSpeed) {
  MakeShow(2);
  Open();
  const std::pair<int, int> cases[] = {{100, 9}, {50, 18}, {7, 127}, {882, 2}, {883, 1}, {0, 0}, {-5, 0}};
  for (auto [speed, frameCount] : cases) {
    settings.TurnSpeed = static_cast<int16_t>(speed);
    EXPECT_EQ(PresentsOf(&Lumen_S::FlipLeft), frameCount + 1) << "TurnSpeed " << speed;
    EXPECT_EQ(PresentsOf(&Lumen_S::FlipRight), frameCount + 1) << "TurnSpeed " << speed;
  }
}

TEST_F(ShowTest, TurningLeftFrameByFrame) {
  MakeShow(2);
  Open();  // picture 1 shows; FlipLeft brings picture 2 (wrapping from entry 1 to 2)
  settings.TurnSpeed = 450;  // frames at FoldPos 900 and 450
  keepFrames = true;
  window->FlipLeft();
  ASSERT_EQ(frames.size(), 3u);

  // FoldPos 900: the leaf is picture 1's right half, its middle (c = 0.5, page x 675)
  // raised by the arch's 30 rows; picture 2's right half shows in the strip below it.
  const Surface& first = frames[0];
  EXPECT_EQ(At(first, 675, -30), (Origin{1, 675, 0}));
  EXPECT_EQ(At(first, 675, 569), (Origin{1, 675, 599}));
  EXPECT_EQ(At(first, 675, 570), (Origin{2, 675, 570}));
  EXPECT_EQ(At(first, 449, 300), (Origin{1, 449, 300})) << "the left half is picture 1's";
  EXPECT_EQ(At(first, 450, 0), (Origin{1, 450, 0})) << "the spine column is the leaf's (c = 1)";

  // FoldPos 450: no leaf, two halves.
  EXPECT_EQ(At(frames[1], 449, 0), (Origin{1, 449, 0}));
  EXPECT_EQ(At(frames[1], 450, 0), (Origin{2, 450, 0}));
  EXPECT_EQ(frames[1].GetPixel(window->PageLeft() + 450, window->PageTop() - 1), 0u) << "nothing above the page";

  EXPECT_EQ(At(frames[2], 0, 0), (Origin{2, 0, 0})) << "the final frame: picture 2 flat";
  EXPECT_EQ(window->CurrentPos(), 2);
}

TEST_F(ShowTest, EveryFrameOfATurnIsTheWholeWindowClearedAndDrawnAnew) {
  // The frames clear only what the frame before drew around the page; each must still be
  // the background, the two halves and the leaf, as if the whole window had been cleared.
  MakeShow(2);
  settings.BackgroundKind = settings::Background::Colour;
  settings.BackgroundColor = 0x00336699;
  Open();
  keepFrames = true;
  std::vector<Surface> pages;
  for (int id : {1, 2}) {
    pages.emplace_back(900, 600);
    for (int y = 0; y < 600; ++y) {
      for (int x = 0; x < 900; ++x) pages.back().SetPixel(x, y, Code(id, x, y));
    }
  }
  for (const bool right : {true, false}) {
    frames.clear();
    right ? window->FlipRight() : window->FlipLeft();
    // Right, from picture 1 to 2, and back left: picture 2 is the left half, 1 the right.
    const Surface& left = pages[1];
    const Surface& rightHalf = pages[0];
    ASSERT_EQ(frames.size(), 10u);
    for (size_t k = 0; k + 1 < frames.size(); ++k) {
      const int fold = right ? int(k) * 100 : 900 - int(k) * 100;
      const bool reverse = right ? fold > 450 : fold >= 450;
      Surface expected(frames[k].Width(), frames[k].Height(), 0x00336699);
      const int pl = window->PageLeft(), pt = window->PageTop();
      platform::gdi::StretchBlt(expected, pl, pt, 450, 600, left, 0, 0, 450, 600);
      platform::gdi::StretchBlt(expected, pl + 450, pt, 450, 600, rightHalf, 450, 0, 450, 600);
      const LeafGeometry leaf = LeafFor(fold, pl, pt, 900, 600, 750);
      FlipSBlt(expected, leaf.left, leaf.top, leaf.width, 600, 600, leaf.lift, reverse ? left : rightHalf, 450, 600,
               reverse);
      ASSERT_TRUE(frames[k].Pixels() == expected.Pixels()) << (right ? "right" : "left") << ", FoldPos " << fold;
    }
  }
}

TEST_F(ShowTest, TurningRightStartsWithTheLeafAtTheLeftEdge) {
  MakeShow(2);
  Open();
  keepFrames = true;
  window->FlipRight();  // picture 1 turns away, picture 2 arrives
  ASSERT_EQ(frames.size(), 10u);
  // FoldPos 0: leaf from the left edge to the spine, picture 1's left half unsqueezed,
  // its middle raised by 30; the arriving picture 2 shows in the strip below.
  const Surface& first = frames[0];
  EXPECT_EQ(At(first, 225, -30), (Origin{1, 225, 0}));
  EXPECT_EQ(At(first, 225, 570), (Origin{2, 225, 570}));
  // The arch 30 sin(i / 450 pi) rounds to 0 at i = 2 and to 1 at i = 3.
  EXPECT_EQ(At(first, 2, -1), (Origin{0, 0, 0}));
  EXPECT_EQ(At(first, 3, -1), (Origin{1, 3, 0}));
  EXPECT_EQ(At(first, 450, 0), (Origin{1, 450, 0}));
  EXPECT_EQ(At(first, 451, 0), (Origin{1, 451, 0})) << "the right half is the turned-away picture's";
}

TEST_F(ShowTest, WrapAroundOnePictureAnEmptyFolderAndAFailedLoad) {
  MakeShow(3);
  test::WriteBytes(show.ImagePaths[2], "broken");
  Open();
  window->FlipLeft();
  EXPECT_EQ(window->CurrentPos(), 3);
  EXPECT_EQ(Shown().id, 3);
  window->FlipRight();
  EXPECT_EQ(window->CurrentPos(), 1);
  EXPECT_EQ(Shown().id, 1);
  window->FlipRight();
  EXPECT_EQ(window->CurrentPos(), 2);
  EXPECT_EQ(Shown().id, 1) << "a picture that fails shows the one loaded before";
  const std::vector<std::string>& p = show.ImagePaths;
  EXPECT_EQ(host->announced, (std::vector<std::string>{p[1], p[3], p[1], p[1]})) << "what stands, not what failed";

  MakeShow(1);
  Open();
  window->FlipRight();
  window->FlipLeft();
  EXPECT_EQ(window->CurrentPos(), 1);
  EXPECT_EQ(Shown().id, 1);

  show = settings::ShowData{};
  for (int direction : {0, 1}) {
    settings.TurnDirection = static_cast<settings::Turn>(direction);
    Open();
    window->FlipLeft();
    window->FlipRight();
    EXPECT_EQ(window->WindowImage().GetPixel(window->PageLeft() + 450, window->PageTop() + 300), 0xFFFFFFu)
        << "a plain margin-coloured page";
  }
}

TEST_F(ShowTest, PreparingAheadChangesNoPixel) {
  MakeShow(4);
  test::WriteBytes(show.ImagePaths[3], "broken");
  std::vector<std::vector<uint32_t>> withAndWithout[2];
  for (bool ahead : {true, false}) {
    prepareAhead = ahead;
    frames.clear();
    keepFrames = false;
    Open();
    keepFrames = true;
    for (auto turn : {&Lumen_S::FlipRight, &Lumen_S::FlipRight, &Lumen_S::FlipRight, &Lumen_S::FlipLeft}) {
      (window.get()->*turn)();
    }
    for (const Surface& frame : frames) withAndWithout[ahead].push_back(frame.Pixels());
  }
  EXPECT_TRUE(withAndWithout[0] == withAndWithout[1]);
}

TEST_F(ShowTest, MusicStartsWithTheWindowAndStopsOnceWhateverClosesIt) {
  MakeShow(1);
  settings.BgmKind = settings::Music::File;
  settings.BgmFile = "/m/song.Mp3";
  Open();
  EXPECT_EQ(mm.calls.size(), 2u) << "open and play";
  EXPECT_TRUE(host->TimerEnabled(ShowTimer::Mp3Poll) && !host->TimerEnabled(ShowTimer::CdPoll));
  mm.calls.clear();
  window->Form_KeyUp(kKeyEscape, 0);
  window->Form_QueryUnload();
  window->Form_Unload();
  EXPECT_EQ(mm.calls, (std::vector<std::string>{"mci stop MP3Play [0]", "mci close MP3Play [0]"})) << "once";
  EXPECT_FALSE(host->TimerEnabled(ShowTimer::Mp3Poll));
  EXPECT_TRUE(host->Closed());

  settings.BgmKind = settings::Music::AudioCd;
  Open();
  EXPECT_TRUE(host->TimerEnabled(ShowTimer::CdPoll));
  mm.replies["status cdaudio current track"] = {276, ""};
  window->Timer2_Timer();
  EXPECT_FALSE(host->TimerEnabled(ShowTimer::CdPoll)) << "the timer stops itself once the poll gives up";
  mm.calls.clear();
  window->Form_QueryUnload();  // closed by the desktop, not by Esc
  EXPECT_TRUE(mm.calls.empty()) << "no StopCd after the poll gave up";
}

constexpr VirtualScreen::Nanoseconds kMs = 1'000'000;
constexpr VirtualScreen::Nanoseconds kSecond = 1000 * kMs;

// The positions the show stood on, in the order it presented them.
std::vector<int32_t> Changes(const std::vector<int32_t>& positions) {
  std::vector<int32_t> changes;
  for (int32_t p : positions) {
    if (changes.empty() || changes.back() != p) changes.push_back(p);
  }
  return changes;
}

TEST_F(ShowTest, TheAutomaticPaceIsTheTurnAndItsWait) {
  // A turn at speed 100 presents 10 frames, 166.67 ms on a 60 Hz display. The next tick
  // comes one period after the last, or as soon as the wait ends when that is later.
  MakeShow(3);
  settings.AdvanceMode = settings::Advance::Automatic;
  const std::pair<int16_t, VirtualScreen::Nanoseconds> cases[] = {
      {0, kSecond}, {1, kSecond + 10 * VirtualScreen::kRefresh}, {4, 4 * kSecond + 10 * VirtualScreen::kRefresh}};
  for (auto [interval, gap] : cases) {
    SCOPED_TRACE("AutoInterval " + std::to_string(interval));
    settings.AutoInterval = interval;
    Open();
    const VirtualScreen::Nanoseconds shown = host->Now();
    std::vector<VirtualScreen::Nanoseconds> turnStarts;
    int32_t position = window->CurrentPos();
    host->OnPresent([&](const Surface&, std::optional<COLORREF>) {
      if (window->CurrentPos() == position) return;
      position = window->CurrentPos();
      turnStarts.push_back(host->Now() - VirtualScreen::kRefresh);  // the turn's first frame began then
    });
    host->RunFor(15 * kSecond);
    ASSERT_GE(turnStarts.size(), 3u);
    EXPECT_EQ(turnStarts[0], shown + kSecond) << "one period after the window was shown";
    for (size_t k = 1; k < turnStarts.size(); ++k) EXPECT_EQ(turnStarts[k] - turnStarts[k - 1], gap) << "turn " << k;
  }
  // Hand-edited intervals: limited to what 16-bit milliseconds hold.
  for (auto [interval, wait] : std::initializer_list<std::pair<int16_t, int>>{{40, 32000}, {-3, 0}}) {
    settings.AutoInterval = interval;
    Open();
    window->Timer3_Timer();
    EXPECT_EQ(host->Sleeps(), std::vector<int>{wait}) << "AutoInterval " << interval;
  }
  settings.AdvanceMode = settings::Advance::Manual;
  Open();
  host->RunFor(5 * kSecond);
  EXPECT_EQ(window->CurrentPos(), 1) << "a manual show never turns by itself";
}

TEST_F(ShowTest, KeysDuringAWaitActAfterItInOrderAndEscEndsItAtOnce) {
  MakeShow(5);
  settings.AdvanceMode = settings::Advance::Automatic;
  settings.AutoInterval = 4;
  std::vector<int32_t> positions;
  auto record = [&] {
    host->OnPresent([&](const Surface&, std::optional<COLORREF>) { positions.push_back(window->CurrentPos()); });
  };
  // The first turn (to 2) runs at 1.03 s, its wait until 5.2 s; then three turns by hand.
  Open();
  record();
  host->KeyUpAt(1100 * kMs, kKeyRight);  // during the turn
  host->KeyUpAt(2000 * kMs, kKeyRight);
  host->KeyUpAt(3000 * kMs, kKeyLeft);
  host->RunFor(6 * kSecond);
  EXPECT_EQ(Changes(positions), (std::vector<int32_t>{2, 3, 4, 3, 4})) << "the keys in order, then the tick";

  for (int stop : {kKeyEscape, VirtualScreen::kClose}) {
    Open();
    positions.clear();
    record();
    host->KeyUpAt(2000 * kMs, kKeyRight);
    host->KeyUpAt(3000 * kMs, stop);
    host->RunFor(20 * kSecond);
    EXPECT_TRUE(host->Closed());
    EXPECT_EQ(host->Now(), 3000 * kMs) << "closed the moment the key came";
    EXPECT_EQ(Changes(positions), std::vector<int32_t>{2}) << "no turn after the Esc or close, none before";
  }
}

TEST_F(ShowTest, AResizeRedrawsThePageThatStands) {
  MakeShow(3);
  Open();
  window->FlipLeft();
  ASSERT_EQ(Shown().id, 3);
  window->Form_Resize();
  EXPECT_EQ(Shown().id, 3) << "not the page turned away";
  window->FlipRight();
  window->Form_Resize();
  EXPECT_EQ(Shown().id, 1);
}

}  // namespace
}  // namespace lumen::slideshow

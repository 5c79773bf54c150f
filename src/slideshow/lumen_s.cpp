#include "slideshow/lumen_s.h"

#include <algorithm>

#include "platform/gdi/gdi.h"
#include "platform/rounding.h"

namespace lumen::slideshow {

using platform::RoundHalfEven;
namespace gdi = platform::gdi;

Lumen_S::Lumen_S(ShowHost& host, const settings::Settings& settings, const settings::ShowData& show,
                 music::ShowMusic* music, ReadAhead ahead)
    : host_(host),
      scale_(host.Scale() > 0 ? host.Scale() : 1.0),
      pageWidthPx_(RoundHalfEven(PageWidth * scale_)),
      pageHeightPx_(RoundHalfEven(2.0 / 3.0 * pageWidthPx_)),
      curlHeightPx_(RoundHalfEven(5.0 / 6.0 * pageWidthPx_)),
      settings_(settings),
      show_(show),
      music_(music),
      ahead_(ahead),
      preparer_(PageBox{PageWidth, PageHeight, scale_}, ahead.workers, ahead.partsWhenWaiting),
      window_(0, 0, 0x000000) {}

void Lumen_S::Form_Load() {
  PixelSize screen = host_.Screen();
  host_.SetWindowSize(screen.width, screen.height);

  // Pic_Master is the 900 x 600 fit box; both page buffers take its size (in device
  // pixels) and MarginColor.
  const gdi::COLORREF margin = static_cast<gdi::COLORREF>(settings_.MarginColor);
  pic1 = gdi::Surface(pageWidthPx_, pageHeightPx_, margin);
  pic2 = gdi::Surface(pageWidthPx_, pageHeightPx_, margin);
  buffersExist_ = true;

  // A right-turn show starts at the last entry and walks backwards; a left-turn show
  // starts at the first.
  currentPos_ = settings_.TurnDirection != settings::Turn::Right ? 1 : show_.ImageCount;
  FitPicture(pic1, currentPos_);
  standingPage_ = &pic1;
  host_.PictureShown(origPath_);

  if (music_ != nullptr) {
    music_->Start();
    SyncMusicTimers();
  }
  PrepareNeighbours();
}

void Lumen_S::SyncMusicTimers() {
  host_.SetTimerEnabled(ShowTimer::Mp3Poll, music_->Mp3TimerEnabled());
  host_.SetTimerEnabled(ShowTimer::CdPoll, music_->CdTimerEnabled());
}

void Lumen_S::SetColorKey(gdi::COLORREF colour) { host_.SetColorKey(colour); }

void Lumen_S::Form_Resize() {
  PixelSize client = host_.ClientSize();
  if (client.width != window_.Width() || client.height != window_.Height()) {
    window_.Resize(client.width, client.height);
  }
  if (settings_.BackgroundKind != settings::Background::Transparent) {
    window_.SetBackgroundColor(static_cast<gdi::COLORREF>(settings_.BackgroundColor));
  } else {
    SetColorKey(window_.BackgroundColor());
  }
  // Refused for a maximised window; then the page is centred in the full screen. Never
  // wider than the screen (a 5:4 monitor): the window would reach onto its neighbour.
  host_.SetWindowSize(std::min(RoundHalfEven(1.5 * client.height), host_.Screen().width), client.height);

  client = host_.ClientSize();
  if (client.width != window_.Width() || client.height != window_.Height()) {
    window_.Resize(client.width, client.height);
  }
  pageLeft_ = RoundHalfEven((client.width - pageWidthPx_) / 2.0);
  pageTop_ = RoundHalfEven((client.height - pageHeightPx_) / 2.0);
  if (buffersExist_) {
    // The page that stands: after a turn to the left that is pic2, not pic1.
    const gdi::Surface& page = *standingPage_;
    gdi::SetStretchBltMode(window_, gdi::COLORONCOLOR);
    gdi::StretchBlt(window_, pageLeft_, pageTop_, pageWidthPx_, pageHeightPx_, page, 0, 0, page.Width(),
                    page.Height());
    PresentWindow();
  }
  if (settings_.AdvanceMode == settings::Advance::Automatic) host_.SetTimerEnabled(ShowTimer::AutoTurn, true);
}

void Lumen_S::PresentWindow() { host_.Present(window_); }

std::string Lumen_S::PathAt(int64_t slot) const {
  // A slot outside SlideOrder, or an entry outside ImagePaths, is a load that fails.
  if (slot < 0 || static_cast<size_t>(slot) >= show_.SlideOrder.size()) return {};
  const int32_t index = show_.SlideOrder[static_cast<size_t>(slot)];
  return index >= 0 && static_cast<size_t>(index) < show_.ImagePaths.size() ? show_.ImagePaths[static_cast<size_t>(index)]
                                                                             : std::string();
}

void Lumen_S::FitPicture(gdi::Surface& buffer, int slot) {
  const std::string path = PathAt(slot);
  // A failed load leaves Pic_Orign as it was: the picture loaded before is drawn again.
  if (auto fitted = path.empty() ? nullptr : preparer_.Get(path)) {
    Pic_Orign = fitted;
    origPath_ = path;
    pictureWidth_ = fitted->naturalWidth;
    pictureHeight_ = fitted->naturalHeight;
  }
  gdi::SetStretchBltMode(buffer, gdi::COLORONCOLOR);
  if (Pic_Orign && !Pic_Orign->pixels.Empty()) {
    gdi::BitBlt(buffer, Pic_Orign->x, Pic_Orign->y, Pic_Orign->pixels.Width(), Pic_Orign->pixels.Height(),
                Pic_Orign->pixels, 0, 0);
  }
}

void Lumen_S::PrepareNeighbours() {
  const int64_t count = show_.ImageCount;
  // The slot `steps` turns away, wrapping as the turns do.
  auto slotAfter = [&](int64_t steps) {
    if (count <= 0) return int64_t{currentPos_};
    return ((currentPos_ - 1 + steps) % count + count) % count + 1;
  };
  // Before any turn, the automatic direction; then the way the user is going.
  const int way = direction_ != 0 ? direction_ : (settings_.TurnDirection != settings::Turn::Right ? 1 : -1);
  std::vector<std::string> paths{PathAt(currentPos_)};
  for (int step = 1; step <= std::max(1, ahead_.pages); ++step) paths.push_back(PathAt(slotAfter(way * step)));
  paths.push_back(PathAt(slotAfter(-way)));
  preparer_.Prepare(paths);
}

int Lumen_S::AutoWaitMilliseconds() const {
  return std::clamp<int>(settings_.AutoInterval, 0, 32) * 1000;
}

void Lumen_S::Form_KeyUp(int keyCode, int /*shift*/) {
  if (exited_) return;
  switch (keyCode) {
    case kKeyEscape: Ready2Exit(); break;
    case kKeyLeft: FlipLeft(); break;
    case kKeyRight: FlipRight(); break;
    default: break;
  }
}

void Lumen_S::Timer1_Timer() {
  if (music_ != nullptr) music_->Mp3TimerTick();
}

void Lumen_S::Timer2_Timer() {
  if (music_ == nullptr) return;
  music_->CdTimerTick();
  host_.SetTimerEnabled(ShowTimer::CdPoll, music_->CdTimerEnabled());
}

void Lumen_S::Timer3_Timer() {
  if (exited_) return;
  if (settings_.TurnDirection == settings::Turn::Right) {
    FlipLeft();
  } else {
    FlipRight();
  }
  // Esc or a close during the wait ends the show at once instead of after it.
  if (host_.Sleep(AutoWaitMilliseconds())) Ready2Exit();
}

void Lumen_S::Ready2Exit() {
  if (exited_) return;
  exited_ = true;
  if (music_ != nullptr) {
    music_->Exit();  // the CD only while its poll still runs; then the file's engine
    SyncMusicTimers();
  }
  host_.SetTimerEnabled(ShowTimer::AutoTurn, false);
  host_.CloseWindow();
}

void Lumen_S::Form_QueryUnload() { Ready2Exit(); }
void Lumen_S::Form_Unload() { Ready2Exit(); }

}  // namespace lumen::slideshow

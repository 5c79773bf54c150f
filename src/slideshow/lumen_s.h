// The show window: a 900 x 600 page centred on a transparent or coloured background,
// pictures fitted into the page, turned with the book-leaf animation by the arrow keys or
// automatically, with the background music running; Esc ends it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "music/show_music.h"
#include "platform/gdi/surface.h"
#include "settings/lumen_b.h"
#include "slideshow/fit_picture.h"
#include "slideshow/page_preparer.h"
#include "slideshow/show_host.h"

namespace lumen::slideshow {

inline constexpr int kKeyEscape = 27;
inline constexpr int kKeyLeft = 37;
inline constexpr int kKeyRight = 39;

// How far ahead the show fits pictures while a page stands: `pages` pages in the direction
// of the last turn (and one the other way), on `workers` threads. Nothing ahead with 0.
struct ReadAhead {
  int workers = 2;
  int pages = 3;
  // A picture a turn waits for is decoded in up to this many bands at once (a JPEG with
  // restart markers; any other on one thread); 0: one per core (at most four).
  int partsWhenWaiting = 0;
  static ReadAhead None() { return {0, 0}; }
};

class Lumen_S {
 public:
  // All references must outlive the window. music may be null (no music at all).
  Lumen_S(ShowHost& host, const settings::Settings& settings, const settings::ShowData& show,
          music::ShowMusic* music, ReadAhead ahead = {});

  // The window's events, as the host delivers them.
  void Form_Load();
  void Form_Resize();
  void Form_KeyUp(int keyCode, int shift);
  void Timer1_Timer();
  void Timer2_Timer();
  void Timer3_Timer();
  void Form_QueryUnload();
  void Form_Unload();

  // The exit sequence: stops the music and closes the window. Runs once; later calls
  // (the close it causes comes back through Form_QueryUnload) find nothing more to do.
  void Ready2Exit();

  void FlipLeft();
  void FlipRight();
  // Composes the frame for FoldPos and presents it.
  void Blting(bool reverse);
  void SetFoldPos(int32_t foldPos) { foldPos_ = foldPos; }
  void FitPicture(platform::gdi::Surface& buffer, int slot);

  // The window image and the state the turns use, for the host and the tests.
  const platform::gdi::Surface& WindowImage() const { return window_; }
  int32_t CurrentPos() const { return currentPos_; }
  int32_t PageLeft() const { return pageLeft_; }
  int32_t PageTop() const { return pageTop_; }
  bool Exited() const { return exited_; }
  bool SeeThrough() const {
    return settings_.BackgroundKind == settings::Background::Transparent;
  }  // the transparent background
  // Returns once the pictures around the current one are prepared (benchmarks).
  void WaitUntilPrepared() { preparer_.WaitUntilIdle(); }

  // The page and the turn in the show's own units; on a screen scaled by s (HiDPI) the
  // page covers 900s x 600s device pixels and everything drawn scales with it.
  static constexpr int32_t PageWidth = 900;
  static constexpr int32_t PageHeight = 600;  // round(2/3 * 900)
  static constexpr int32_t CurlHeight = 750;  // round(5/6 * 900)
  int32_t PageWidthPx() const { return pageWidthPx_; }
  int32_t PageHeightPx() const { return pageHeightPx_; }

 private:
  void SetColorKey(platform::gdi::COLORREF colour);
  void SyncMusicTimers();
  void PresentWindow();
  void ClearWindowAroundPage();
  void FinalFrame(const platform::gdi::Surface& page);
  void PrepareNeighbours();
  // The picture file in SlideOrder's `slot`; empty for a slot or entry out of range.
  std::string PathAt(int64_t slot) const;
  // The automatic wait, AutoInterval limited to 0..32 s so that its milliseconds fit 16 bits.
  int AutoWaitMilliseconds() const;

  ShowHost& host_;
  const double scale_;  // device pixels per unit of the show, from the host; 1 on most screens
  const int32_t pageWidthPx_, pageHeightPx_, curlHeightPx_;
  const settings::Settings& settings_;
  const settings::ShowData& show_;
  music::ShowMusic* music_;
  const ReadAhead ahead_;
  PagePreparer preparer_;

  platform::gdi::Surface window_;  // the client area's off-screen image; black as created
  platform::gdi::Surface pic1, pic2;
  std::shared_ptr<const FittedPicture> Pic_Orign;  // the picture loaded last
  std::string origPath_;                           // and its file
  double pictureWidth_ = 0, pictureHeight_ = 0;

  int32_t pageLeft_ = 0, pageTop_ = 0;
  int32_t currentPos_ = 0;  // 32-bit: folders beyond 32,767 pictures
  int direction_ = 0;  // +1 after a turn to the right, -1 after one to the left
  const platform::gdi::Surface* standingPage_ = &pic1;  // the buffer holding the page shown
  int32_t foldPos_ = 0;
  int32_t lift_ = 0;
  // What the last frame drew outside the page: the window around the page is its
  // background colour except for the rows [top, pageTop_) of the columns [left, right).
  // Valid while the window keeps this layout and nothing but the page has been drawn since.
  struct WindowLayout {
    int width, height;
    int32_t pageLeft, pageTop;
    platform::gdi::COLORREF background;
    bool operator==(const WindowLayout&) const = default;
  };
  struct LeafBand {
    WindowLayout layout;
    int32_t left, top, right;
  };
  std::optional<LeafBand> leafBand_;
  bool buffersExist_ = false;
  bool exited_ = false;
};

}  // namespace lumen::slideshow

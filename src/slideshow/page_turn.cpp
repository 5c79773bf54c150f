// The page turn: FlipLeft, FlipRight and the frames they draw.
#include <limits>

#include "platform/gdi/gdi.h"
#include "platform/rounding.h"
#include "slideshow/leaf.h"
#include "slideshow/lumen_s.h"

namespace lumen::slideshow {

using platform::RoundHalfEven;
namespace gdi = platform::gdi;

void Lumen_S::ClearWindowAroundPage() {
  // The page rectangle is about to be covered whole by full-size page buffers, so only
  // the window around it needs its background colour: the same pixels, less memory traffic.
  if (pic1.Width() != PageWidth || pic1.Height() != PageHeight || pic2.Width() != PageWidth ||
      pic2.Height() != PageHeight) {
    window_.Clear();
    return;
  }
  const gdi::COLORREF background = window_.BackgroundColor();
  const int w = window_.Width(), h = window_.Height();
  gdi::PatBlt(window_, 0, 0, w, pageTop_, background);
  gdi::PatBlt(window_, 0, pageTop_ + PageHeight, w, h - pageTop_ - PageHeight, background);
  gdi::PatBlt(window_, 0, pageTop_, pageLeft_, PageHeight, background);
  gdi::PatBlt(window_, pageLeft_ + PageWidth, pageTop_, w - pageLeft_ - PageWidth, PageHeight, background);
}

void Lumen_S::Blting(bool reverse) {
  const LeafGeometry leaf = LeafFor(foldPos_, pageLeft_, pageTop_, PageWidth, PageHeight, CurlHeight);
  lift_ = leaf.lift;
  ClearWindowAroundPage();
  gdi::SetStretchBltMode(window_, gdi::COLORONCOLOR);
  // The left half always comes from pic1, the right half from pic2.
  const int32_t half = RoundHalfEven(PageWidth / 2.0);
  gdi::StretchBlt(window_, pageLeft_, pageTop_, half, PageHeight, pic1, 0, 0, RoundHalfEven(pic1.Width() / 2.0),
                  pic1.Height());
  gdi::StretchBlt(window_, RoundHalfEven(pageLeft_ + PageWidth / 2.0), pageTop_, half, PageHeight, pic2,
                  RoundHalfEven(pic2.Width() / 2.0), 0, RoundHalfEven(pic2.Width() / 2.0), pic2.Height());
  const gdi::Surface& leafSource = reverse ? pic1 : pic2;
  FlipSBlt(window_, leaf.left, leaf.top, leaf.width, PageHeight, PageHeight, leaf.lift, leafSource,
           RoundHalfEven(leafSource.Width() / 2.0), leafSource.Height(), reverse);
  PresentWindow();
}

void Lumen_S::FinalFrame(const gdi::Surface& page) {
  ClearWindowAroundPage();
  gdi::SetStretchBltMode(window_, gdi::COLORONCOLOR);
  gdi::StretchBlt(window_, pageLeft_, pageTop_, PageWidth, PageHeight, page, 0, 0, page.Width(), page.Height());
  PresentWindow();
}

void Lumen_S::FlipLeft() {
  pic1.Clear();
  pic2.Clear();
  FitPicture(pic1, currentPos_);  // the page turned away
  if (currentPos_ > std::numeric_limits<int32_t>::min()) --currentPos_;
  if (currentPos_ == 0) currentPos_ = show_.ImageCount;
  FitPicture(pic2, currentPos_);  // the page arriving
  const int32_t limit = RoundHalfEven(PageWidth / 50.0);  // 18
  if (settings_.TurnSpeed >= 1) {
    for (foldPos_ = PageWidth; foldPos_ >= limit; foldPos_ -= settings_.TurnSpeed) {
      Blting(foldPos_ >= PageWidth / 2.0);
    }
  }
  FinalFrame(pic2);
  standingPage_ = &pic2;
  PrepareNeighbours();
}

void Lumen_S::FlipRight() {
  pic1.Clear();
  pic2.Clear();
  FitPicture(pic2, currentPos_);  // the page turned away
  if (currentPos_ < std::numeric_limits<int32_t>::max()) ++currentPos_;
  if (currentPos_ > show_.ImageCount) currentPos_ = 1;
  FitPicture(pic1, currentPos_);  // the page arriving
  const int32_t limit = RoundHalfEven(PageWidth - PageWidth / 50.0);  // 882
  if (settings_.TurnSpeed >= 1) {
    for (foldPos_ = 0; foldPos_ <= limit; foldPos_ += settings_.TurnSpeed) {
      Blting(foldPos_ > PageWidth / 2.0);
    }
  }
  FinalFrame(pic1);
  standingPage_ = &pic1;
  PrepareNeighbours();
}

}  // namespace lumen::slideshow

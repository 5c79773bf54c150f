// The page turn: FlipLeft, FlipRight and the frames they draw.
#include <algorithm>
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
  const int32_t pw = pageWidthPx_, ph = pageHeightPx_;
  const int w = window_.Width(), h = window_.Height();
  const gdi::COLORREF background = window_.BackgroundColor();
  if (pic1.Width() != pw || pic1.Height() != ph || pic2.Width() != pw || pic2.Height() != ph) {
    window_.Clear();
    leafBand_.reset();
    return;
  }
  const WindowLayout layout{w, h, pageLeft_, pageTop_, background};
  if (leafBand_ && leafBand_->layout == layout) {
    // Around the page, only the last frame's leaf differs from the background.
    gdi::PatBlt(window_, leafBand_->left, leafBand_->top, leafBand_->right - leafBand_->left,
                pageTop_ - leafBand_->top, background);
  } else {
    gdi::PatBlt(window_, 0, 0, w, pageTop_, background);
    gdi::PatBlt(window_, 0, pageTop_ + ph, w, h - pageTop_ - ph, background);
    gdi::PatBlt(window_, 0, pageTop_, pageLeft_, ph, background);
    gdi::PatBlt(window_, pageLeft_ + pw, pageTop_, w - pageLeft_ - pw, ph, background);
  }
  leafBand_ = LeafBand{layout, pageLeft_, pageTop_, pageLeft_};  // nothing drawn around the page yet
}

void Lumen_S::Blting(bool reverse) {
  // FoldPos runs in the show's units; the leaf is drawn in device pixels (the same at 1x).
  const int32_t foldPx = RoundHalfEven(foldPos_ * scale_);
  const int32_t pw = pageWidthPx_, ph = pageHeightPx_;
  const LeafGeometry leaf = LeafFor(foldPx, pageLeft_, pageTop_, pw, ph, curlHeightPx_);
  lift_ = leaf.lift;
  ClearWindowAroundPage();
  gdi::SetStretchBltMode(window_, gdi::COLORONCOLOR);
  // The left half always comes from pic1, the right half from pic2.
  const int32_t half = RoundHalfEven(pw / 2.0);
  gdi::StretchBlt(window_, pageLeft_, pageTop_, half, ph, pic1, 0, 0, RoundHalfEven(pic1.Width() / 2.0),
                  pic1.Height());
  gdi::StretchBlt(window_, RoundHalfEven(pageLeft_ + pw / 2.0), pageTop_, half, ph, pic2,
                  RoundHalfEven(pic2.Width() / 2.0), 0, RoundHalfEven(pic2.Width() / 2.0), pic2.Height());
  const gdi::Surface& leafSource = reverse ? pic1 : pic2;
  FlipSBlt(window_, leaf.left, leaf.top, leaf.width, ph, ph, leaf.lift, leafSource,
           RoundHalfEven(leafSource.Width() / 2.0), leafSource.Height(), reverse);
  // Outside the page the leaf reaches only above it, between its free edge and the spine:
  // at most its lift plus the arch (a twentieth of its height) over the page's top.
  if (leafBand_) {
    leafBand_->left = std::min(leaf.left, leaf.left + leaf.width);
    leafBand_->right = std::max(leaf.left, leaf.left + leaf.width) + 1;
    leafBand_->top = pageTop_ - leaf.lift - RoundHalfEven(ph / 20.0) - 1;
  }
  PresentWindow();
}

void Lumen_S::FinalFrame(const gdi::Surface& page) {
  ClearWindowAroundPage();
  gdi::SetStretchBltMode(window_, gdi::COLORONCOLOR);
  gdi::StretchBlt(window_, pageLeft_, pageTop_, pageWidthPx_, pageHeightPx_, page, 0, 0, page.Width(), page.Height());
  PresentWindow();
}

void Lumen_S::FlipLeft() {
  leafBand_.reset();  // the first frame of a turn clears the whole window around the page
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
  host_.PictureShown(origPath_);
  direction_ = -1;
  PrepareNeighbours();
}

void Lumen_S::FlipRight() {
  leafBand_.reset();
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
  host_.PictureShown(origPath_);
  direction_ = 1;
  PrepareNeighbours();
}

}  // namespace lumen::slideshow

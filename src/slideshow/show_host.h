// What the show window needs from the window system. The desktop window (ShowWindow) and
// the virtual screen of the frames subcommand and the tests both provide it, so one
// Lumen_S runs on either.
#pragma once

#include <string>

#include "platform/gdi/surface.h"
#include "slideshow/timer_schedule.h"

namespace lumen::slideshow {

struct PixelSize {
  int width = 0;
  int height = 0;
  bool operator==(const PixelSize&) const = default;
};

class ShowHost {
 public:
  virtual ~ShowHost() = default;

  virtual PixelSize Screen() = 0;  // the screen the show opens on, in device pixels
  // Device pixels per pixel of the desktop (2 on a HiDPI screen at 200 %), fixed for a show.
  virtual double Scale() { return 1.0; }
  virtual PixelSize ClientSize() = 0;
  // Asks for a new window size; false when the window system refuses (a maximised
  // window). The change comes back through Lumen_S::Form_Resize, at once or later.
  virtual bool SetWindowSize(int width, int height) = 0;
  // From now on pixels of exactly this colour are see-through.
  virtual void SetColorKey(platform::gdi::COLORREF key) = 0;
  // Puts the window image on the screen and returns when that frame is on its way,
  // paced to the display's refresh.
  virtual void Present(const platform::gdi::Surface& image) = 0;
  // The MP3 poll (1000 ms), the CD poll (200 ms) and the automatic turn (1000 ms); a
  // timer never queues ticks.
  virtual void SetTimerEnabled(ShowTimer timer, bool enabled) = 0;
  virtual bool TimerEnabled(ShowTimer timer) = 0;
  // Blocks: no key, click or tick is handled until it returns, yet the window still
  // repaints and answers the desktop. Keys released meanwhile act afterwards, in order.
  // Esc or a close request ends the wait at once: then it returns true (and the Esc or
  // close is used up).
  virtual bool Sleep(int milliseconds) = 0;
  virtual void CloseWindow() = 0;
  // The page that now stands shows this file (for screen readers to follow the show).
  virtual void PictureShown(const std::string& /*path*/) {}
};

}  // namespace lumen::slideshow

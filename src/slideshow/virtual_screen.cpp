#include "slideshow/virtual_screen.h"

namespace lumen::slideshow {

void VirtualScreen::Open() {
  show_->Form_Load();
  show_->Form_Resize();
}

bool VirtualScreen::SetWindowSize(int width, int height) {
  if (maximized_) return false;
  PixelSize wanted{width, height};
  if (wanted == client_) return true;
  client_ = wanted;
  // A size change raises a resize at once, even before the window is shown.
  if (show_ != nullptr) show_->Form_Resize();
  return true;
}

void VirtualScreen::Present(const platform::gdi::Surface& image) {
  ++presents_;
  if (onPresent_) onPresent_(image, key_);
}

}  // namespace lumen::slideshow

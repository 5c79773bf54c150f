#include "app/run_show.h"

#include "music/show_music.h"
#include "platform/audio/system_multimedia.h"
#include "slideshow/show_window.h"

namespace lumen::app {

void RunShow(QScreen* screen, const settings::Settings& settings, const settings::ShowData& data) {
  // Each show opens its music afresh; the engine behind it lives for the whole run.
  music::Lumen_BGM bgm(platform::SystemMultimedia(), settings);
  music::ShowMusic music(bgm, settings);
  slideshow::ShowWindow window(screen);
  slideshow::Lumen_S show(window, settings, data, &music);
  window.Run(show);
}

}  // namespace lumen::app

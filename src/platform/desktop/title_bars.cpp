#include "platform/desktop/title_bars.h"

#include <QGuiApplication>
#include <string_view>
#include <wayland-client.h>

namespace lumen::platform {

namespace {

void Global(void* data, wl_registry*, uint32_t, const char* interface, uint32_t) {
  const std::string_view name(interface);
  // The standard decoration protocol, and KDE's older one.
  if (name == "zxdg_decoration_manager_v1" || name == "org_kde_kwin_server_decoration_manager") {
    *static_cast<bool*>(data) = true;
  }
}
void GlobalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener kListener = {Global, GlobalRemove};

}  // namespace

bool DesktopDrawsTitleBars() {
  if (!QGuiApplication::platformName().startsWith("wayland")) return true;
  wl_display* display = wl_display_connect(nullptr);
  if (display == nullptr) return true;
  bool decorates = false;
  wl_registry* registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &kListener, &decorates);
  const bool answered = wl_display_roundtrip(display) >= 0;
  wl_registry_destroy(registry);
  wl_display_disconnect(display);
  return !answered || decorates;
}

}  // namespace lumen::platform

/* kwin_keys Right Escape ...: keys typed through KWin's fake-input protocol, so that they
 * reach windows as the compositor's own keyboard input (focus rules and all). */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>
#include <wayland-client.h>

#include "fake-input-client.h"

static struct org_kde_kwin_fake_input *fake;

static void global(void *data, struct wl_registry *registry, uint32_t name, const char *interface, uint32_t version) {
  (void)data;
  (void)version;
  if (strcmp(interface, "org_kde_kwin_fake_input") == 0)
    fake = wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 4);
}

static void global_remove(void *data, struct wl_registry *registry, uint32_t name) {
  (void)data;
  (void)registry;
  (void)name;
}

static const struct wl_registry_listener listener = {global, global_remove};

int main(int argc, char **argv) {
  struct wl_display *display = wl_display_connect(NULL);
  if (!display) {
    fprintf(stderr, "kwin_keys: no Wayland display\n");
    return 1;
  }
  struct wl_registry *registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &listener, NULL);
  wl_display_roundtrip(display);
  if (!fake) {
    fprintf(stderr, "kwin_keys: the compositor offers no fake input\n");
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return 1;
  }
  org_kde_kwin_fake_input_authenticate(fake, "lumenshow tests", "keys for the desktop tests");
  wl_display_roundtrip(display);
  for (int i = 1; i < argc; ++i) {
    /* Linux input event codes. */
    int code = strcmp(argv[i], "Right") == 0 ? 106 : strcmp(argv[i], "Left") == 0 ? 105
             : strcmp(argv[i], "Escape") == 0 ? 1 : atoi(argv[i]);
    org_kde_kwin_fake_input_keyboard_key(fake, code, 1);
    wl_display_roundtrip(display);
    usleep(30000);
    org_kde_kwin_fake_input_keyboard_key(fake, code, 0);
    wl_display_roundtrip(display);
  }
  org_kde_kwin_fake_input_destroy(fake);
  wl_registry_destroy(registry);
  wl_display_disconnect(display);
  return 0;
}

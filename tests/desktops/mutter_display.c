/* Loaded into gnome-shell (LD_PRELOAD): makes mutter start Xwayland on the display number
 * in LUMENSHOW_XWAYLAND_DISPLAY, which the tests picked free, instead of one of its own. */
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

void meta_xwayland_override_display_number(int number);

__attribute__((constructor)) static void choose_display(void) {
  char exe[256] = {0};
  if (readlink("/proc/self/exe", exe, sizeof exe - 1) < 0 || strstr(exe, "gnome-shell") == NULL) return;
  const char *number = getenv("LUMENSHOW_XWAYLAND_DISPLAY");
  if (number != NULL) meta_xwayland_override_display_number(atoi(number));
  unsetenv("LD_PRELOAD");  /* not into the programs the shell starts */
}

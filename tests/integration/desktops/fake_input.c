/* Test helper for KWin, which has no virtual-keyboard protocol: input through
 * its fake-input interface (KWin lets it in when started with
 * KWIN_WAYLAND_NO_PERMISSION_CHECKS=1). Lines on stdin: "key CODE" presses
 * and releases the evdev key CODE, "move DX DY" moves the pointer; each is
 * answered "done" once the compositor has had it. */
#include <signal.h>
#include <stdio.h>
#include <string.h>
#include <wayland-client.h>

#include "fake-input-client-protocol.h"

static struct org_kde_kwin_fake_input* fake;

static void global(void* data, struct wl_registry* registry, uint32_t name,
                   const char* interface, uint32_t version) {
  (void)data;
  /* keyboard_key came in version 4. */
  if (strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0 && version >= 4)
    fake = wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 4);
}
static void global_remove(void* data, struct wl_registry* registry, uint32_t name) {
  (void)data;
  (void)registry;
  (void)name;
}
static const struct wl_registry_listener registry_listener = {global, global_remove};

int main(void) {
  signal(SIGPIPE, SIG_IGN);
  struct wl_display* display = wl_display_connect(NULL);
  if (!display) {
    fprintf(stderr, "fake_input: no Wayland display\n");
    return 1;
  }
  struct wl_registry* registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &registry_listener, NULL);
  wl_display_roundtrip(display);
  if (!fake) {
    fprintf(stderr, "fake_input: the compositor offers no fake input (version 4)\n");
    return 1;
  }
  org_kde_kwin_fake_input_authenticate(fake, "Miravel tests", "keys for the tests");
  wl_display_roundtrip(display);
  printf("ready\n");
  fflush(stdout);

  char line[128];
  while (fgets(line, sizeof line, stdin)) {
    unsigned code = 0;
    double dx = 0, dy = 0;
    if (sscanf(line, "key %u", &code) == 1) {
      org_kde_kwin_fake_input_keyboard_key(fake, code, 1);
      org_kde_kwin_fake_input_keyboard_key(fake, code, 0);
    } else if (sscanf(line, "move %lf %lf", &dx, &dy) == 2) {
      org_kde_kwin_fake_input_pointer_motion(fake, wl_fixed_from_double(dx),
                                             wl_fixed_from_double(dy));
    } else {
      continue;
    }
    if (wl_display_roundtrip(display) < 0) break;
    printf("done\n");
    fflush(stdout);
  }
  wl_display_disconnect(display);
  return 0;
}

/* Test helper: puts a virtual pointer into the compositor's seat and keeps it
 * there until stdin closes or a signal comes, so that clients bind a
 * wl_pointer and `swaymsg seat seat0 cursor ...` reaches them. Lines on stdin
 * move it as well: "move DX DY", "button CODE" (press and release),
 * "wheel STEPS". */
#include <signal.h>
#include <stdio.h>
#include <string.h>
#include <wayland-client.h>

#include "virtual-pointer-client-protocol.h"

static struct zwlr_virtual_pointer_manager_v1* manager;
static struct wl_seat* seat;

static void global(void* data, struct wl_registry* registry, uint32_t name,
                   const char* interface, uint32_t version) {
  (void)data;
  (void)version;
  if (strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
    manager = wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1);
  else if (strcmp(interface, wl_seat_interface.name) == 0 && !seat)
    seat = wl_registry_bind(registry, name, &wl_seat_interface, 1);
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
    fprintf(stderr, "virtual_pointer: no Wayland display\n");
    return 1;
  }
  struct wl_registry* registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &registry_listener, NULL);
  wl_display_roundtrip(display);
  if (!manager) {
    fprintf(stderr, "virtual_pointer: the compositor offers no virtual pointers\n");
    return 1;
  }
  struct zwlr_virtual_pointer_v1* pointer =
      zwlr_virtual_pointer_manager_v1_create_virtual_pointer(manager, seat);
  wl_display_roundtrip(display);
  printf("ready\n");
  fflush(stdout);

  char line[128];
  uint32_t time = 1;
  while (fgets(line, sizeof line, stdin)) {
    double dx = 0, dy = 0;
    unsigned code = 0;
    int steps = 0;
    if (sscanf(line, "move %lf %lf", &dx, &dy) == 2) {
      zwlr_virtual_pointer_v1_motion(pointer, time++, wl_fixed_from_double(dx),
                                     wl_fixed_from_double(dy));
    } else if (sscanf(line, "button %u", &code) == 1) {
      zwlr_virtual_pointer_v1_button(pointer, time++, code, 1);
      zwlr_virtual_pointer_v1_frame(pointer);
      zwlr_virtual_pointer_v1_button(pointer, time++, code, 0);
    } else if (sscanf(line, "wheel %d", &steps) == 1) {
      zwlr_virtual_pointer_v1_axis(pointer, time++, 0, wl_fixed_from_int(steps * 10));
    } else {
      continue;
    }
    zwlr_virtual_pointer_v1_frame(pointer);
    if (wl_display_roundtrip(display) < 0) break;
    printf("done\n");
    fflush(stdout);
  }
  wl_display_disconnect(display);
  return 0;
}

// Where a Wayland client connects, from WAYLAND_DISPLAY and XDG_RUNTIME_DIR.
#include <gtest/gtest.h>

#include <string>

#include "platform/runtime/runtime.h"

namespace {

TEST(WaylandSocketPath, AbsoluteAsItIsRelativeInTheRuntimeFolder) {
  using platform::waylandSocketPath;
  EXPECT_EQ(waylandSocketPath("wayland-1", "/run/user/1000"), "/run/user/1000/wayland-1");
  EXPECT_EQ(waylandSocketPath("wayland-1", "/run/user/1000/"), "/run/user/1000/wayland-1");
  EXPECT_EQ(waylandSocketPath("wayland-1", "/"), "/wayland-1");
  EXPECT_EQ(waylandSocketPath("/tmp/sway/wayland-1", nullptr), "/tmp/sway/wayland-1");
  EXPECT_EQ(waylandSocketPath("/tmp/sway/wayland-1", "/run/user/1000"), "/tmp/sway/wayland-1");
  // No name, or a relative one without a usable runtime folder: none.
  EXPECT_EQ(waylandSocketPath(nullptr, "/run/user/1000"), "");
  EXPECT_EQ(waylandSocketPath("", "/run/user/1000"), "");
  EXPECT_EQ(waylandSocketPath("wayland-1", nullptr), "");
  EXPECT_EQ(waylandSocketPath("wayland-1", ""), "");
  EXPECT_EQ(waylandSocketPath("wayland-1", "run/user"), "");
  // A socket address holds 107 bytes of path.
  const std::string longest = "/" + std::string(106, 'a');
  EXPECT_EQ(waylandSocketPath(longest.c_str(), nullptr), longest);
  EXPECT_EQ(waylandSocketPath((longest + "a").c_str(), nullptr), "");
  EXPECT_EQ(waylandSocketPath(std::string(100, 'w').c_str(), "/run/user/1000"), "");
}

}  // namespace

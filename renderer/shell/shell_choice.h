// Which shell a standalone renderer tries first: the native Wayland one on a
// Wayland desktop, the X11 one everywhere else. The X11 shell stays the
// fallback whenever no Wayland connection opens.
#pragma once

enum class RendererShell { X11, Wayland };

// `miravelPlatform` is MIRAVEL_PLATFORM ("x11" forces X11, "wayland" tries
// Wayland even without WAYLAND_DISPLAY, which then means "wayland-0"), and
// `waylandDisplay` WAYLAND_DISPLAY. Either may be null.
RendererShell preferredShell(const char* miravelPlatform, const char* waylandDisplay);

// How big a view's buffer is, in pixels, and how the compositor is told to
// show it, from what the compositor said about the view and its output. Plain
// code: the Wayland shell hands in the numbers and applies the answer.
//
// Two ways to match the output's pixels:
//   integer scale: the buffer is the surface's size times the output's whole
//     scale, declared with wl_surface.set_buffer_scale;
//   fractional scale (wp_fractional_scale_v1 with wp_viewporter): the buffer
//     is the surface's size times the preferred scale, in 120ths, rounded
//     half away from zero, shown at the surface's size through a viewport
//     with buffer scale 1. An output at 1.5 then gets 1920x1080 for a
//     1280x720 surface, not 2560x1440 squeezed down from integer scale 2.
#pragma once

struct SurfaceFacts {
  // The toplevel's configure size, in surface units; 0 leaves it to us.
  int configuredWidth = 0, configuredHeight = 0;
  // The output's current mode, in pixels.
  int modeWidth = 0, modeHeight = 0;
  // The output's whole scale (wl_output.scale); counts only when the
  // surface can declare a buffer scale (wl_surface version 3).
  int outputScale = 1;
  bool canSetBufferScale = false;
  // The surface's preferred scale in 120ths, 0 when none was sent; counts
  // only when a viewport can show the buffer at the surface's size.
  int preferredScale120 = 0;
  bool hasViewport = false;
};

struct SurfaceSize {
  int bufferWidth = 0, bufferHeight = 0;  // pixels
  int surfaceWidth = 0, surfaceHeight = 0;  // surface units (opaque region, viewport)
  int bufferScale = 1;                     // for wl_surface.set_buffer_scale
  bool viewport = false;                   // set the viewport's destination
  bool operator==(const SurfaceSize& o) const {
    return bufferWidth == o.bufferWidth && bufferHeight == o.bufferHeight &&
           surfaceWidth == o.surfaceWidth && surfaceHeight == o.surfaceHeight &&
           bufferScale == o.bufferScale && viewport == o.viewport;
  }
};

// `length` surface units at `scale120`/120, rounded half away from zero.
int scaledLength(int length, int scale120);

// The sizes are bounded: a buffer beyond 16384 pixels on a side, or a size
// of nothing, falls back on 640x480 surface units at the scale in use, so
// nothing absurd from the compositor reaches EGL and GL.
SurfaceSize chooseSurfaceSize(const SurfaceFacts& facts);

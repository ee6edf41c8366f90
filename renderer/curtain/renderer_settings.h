// The renderer's fixed parameters. The renderer has no settings file or
// dialog: the shell writes these values once when it creates the window.
#pragma once

struct RendererSettings {
  int density = 0;        // cells per side of every curtain grid
  int visibility = 0;     // brightness threshold in percent
  int speed = 0;          // scale of the wave speeds
  int frontCurtains = 0;  // how many curtains are drawn in full 3-D
  int backCurtains = 0;   // how many are drawn flat, lifted by their brightness
};

// The values every run uses.
RendererSettings fixedRendererSettings();

// The one process-wide record, written by the shell before initRenderer().
extern RendererSettings rendererSettings;

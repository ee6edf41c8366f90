// The renderer's native Wayland shell: one fullscreen xdg-shell toplevel per
// output, each with its own curtain scene at the output's size, one EGL
// context with desktop OpenGL for all of them.
#pragma once

// Runs a whole saver on the Wayland desktop. False, with nothing shown, when
// no Wayland connection opens or it offers no way to draw (no xdg-shell, no
// EGL with desktop OpenGL): the caller then runs the X11 shell. True once the
// run has taken place; `exitCode` is then the renderer's exit code. With
// `giveWay` (another saver holds the run lock) a renderer that could draw on
// Wayland ends there, showing nothing, with exit code 0.
bool runWaylandSaver(int& exitCode, bool giveWay);

// The names by which Miravel's programs find each other, written once: the
// renderer's file beside the launcher, the titles and class the renderer's
// window carries while it is set up and once it runs, and the caption of the
// launcher's hidden host window. The launcher, the renderer and the
// tests that drive them must spell them exactly alike.
#pragma once

namespace names {

// The programs, side by side in one folder.
inline constexpr char kLauncherFile[] = "Miravel.scr";
inline constexpr char kRendererFile[] = "Miravel.dll";

// The renderer's window: created with the first title and the class, renamed
// to the running title once its creation steps are done. Another renderer
// still being set up is found by the first title and the class.
inline constexpr char kRendererClass[] = "WindowsScreenSaverClass";
inline constexpr char kRendererFirstTitle[] = "Screensaver";
inline constexpr char kRendererTitle[] = "KelvaraVC";
inline constexpr wchar_t kRendererTitleWide[] = L"KelvaraVC";

// The launcher's never-shown host window, the marker of a running saver.
inline constexpr char kSaverHostCaption[] = "Kelvara_Main";

}  // namespace names

// What the settings dialog "<Miravel>" (Kelvara_P) does, as plain code: its
// load steps, the music choices, the file choice, saving and closing. The
// FLTK window (fltk_dialog_view.h) only passes the user's actions in here and
// carries out what the rules ask of it through SettingsDialogView; tests use
// a recording stand-in.
//
// The dialog keeps no settings of its own: it reads and changes the
// launcher-wide BGMKind, BGMRepeat and BGMFile. A choice changes BGMKind at
// once and a picked file changes BGMFile at once; only "設定" writes the
// settings file, and the launcher ends right after the dialog closes.
#pragma once

#include <string>

namespace dialog {

// The longest music path the dialog takes, in bytes: the settings file gives
// back at most 255 bytes of a value, so a longer path could not be read again.
constexpr size_t kMaxMusicPathBytes = 255;

// Everything the rules ask of the window. Each call is one step that cannot
// fail in a way the rules need to know about, except where a result is given.
class SettingsDialogView {
 public:
  virtual ~SettingsDialogView() = default;

  // The screen the dialog goes on, in pixels; false when it cannot be read.
  virtual bool screenArea(int& left, int& top, int& width, int& height) = 0;
  // Places the window's client area at (left, top) on the screen.
  virtual void moveTo(int left, int top) = 0;
  // Initialize() on every gradient button, in the window's control order.
  virtual void initButtons() = 0;
  virtual void enableTrackField(bool enabled) = 0;  // BGM_Repeat
  virtual void enableFileButton(bool enabled) = 0;  // Cmd_BGM
  // Gives marker `index` the selected or the not-selected picture.
  virtual void showMarker(int index, bool selected) = 0;
  virtual void setTrackText(const std::string& text) = 0;
  virtual std::string trackText() = 0;
  virtual void addTrackItem(const std::string& text) = 0;
  virtual void showFileName(const std::string& path) = 0;  // lbl_Fname
  // The mouse position on the screen; false when it cannot be read.
  virtual bool pointerPosition(long& x, long& y) = 0;
  virtual void zoomOpen() = 0;   // ZoomOpen with the window
  virtual void zoomClose() = 0;  // ZoomClose with the window
  // The application's mouse pointer: hourglass or the default arrow.
  virtual void setBusyPointer(bool busy) = 0;
  // The open-file dialog. True and the chosen path when the user confirmed a
  // file; false on cancel or failure.
  virtual bool chooseMusicFile(std::string& path) = 0;
  // Starts opening `address` in the browser and returns at once. True when it
  // started: the view then calls SettingsDialogRules::pageSettled() once the
  // start is over. False when it could not start (nothing more follows).
  virtual bool openPage(const std::string& address) = 0;
  // Ends the dialog: unload (which calls SettingsDialogRules::unload) and
  // hide the window, so that its modal display returns.
  virtual void close() = 0;
};

class SettingsDialogRules {
 public:
  // `settingsPath`: where "設定" writes (the launcher's Miravel.ini).
  SettingsDialogRules(SettingsDialogView& view, std::string settingsPath);

  // Load, in order: place the window (centred across, one third down), start
  // the buttons, disable the track field and the file button, show the
  // choice BGMKind, fill the track field and its list of "" and 1 to 30, show
  // BGMFile, remember the pointer in ZoomPoint, zoom open, default pointer.
  void load();
  // A mouse button went down on marker or label `index` (any button):
  // BGMKind = index, its marker selected, the others not; the track field is
  // enabled only for the audio CD (1), the file button only for a file (2).
  // The track text and the file stay as they are.
  void selectChoice(int index);
  // "...": the open-file dialog; a confirmed path of at most
  // kMaxMusicPathBytes bytes becomes BGMFile and is shown. Cancel, failure
  // and longer paths change nothing.
  void pickFile();
  // "設定": writes BGMKind, BGMRepeat from the track text (numeric text
  // rounded half to even into 16 bits, anything else and numbers out of
  // range 0) and BGMFile (whatever the choice), then closes.
  void saveAndClose();
  // "ｷｬﾝｾﾙ", the close box and Escape: closes without writing.
  void cancel();
  // "その他の作品": busy pointer, then the web page; the arrow comes back
  // when the view reports the start over (pageSettled) or at once when the
  // page could not be opened.
  void openWebPage();
  void pageSettled();
  // The window's unload: zoom back to ZoomPoint.
  void unload();

 private:
  void showChoice(int kind);

  SettingsDialogView& view_;
  std::string settingsPath_;
  int pagesStarting_ = 0;
};

}  // namespace dialog

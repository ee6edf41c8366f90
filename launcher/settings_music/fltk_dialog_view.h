// Kelvara_P: the settings dialog "<Miravel>" as an FLTK window. It lays out
// the controls of dialog_layout.h, paints the two background gradients,
// passes the user's actions to the rules (dialog_rules.h) and carries out
// what they ask. It is a form of the launcher's runtime: load() runs the
// rules' load steps unshown; then show it with platform::showModal(). It
// unloads itself when it closes (a button, the close box or Escape): the
// zoom back to the pointer, then the window is hidden and the modal display
// returns.
//
// Controls and their names:
//   Pic_C(0) panel    Img_BGM(0..2) markers   lbl_BGM(0..2) choice labels
//   BGM_Repeat        track field (editable, list "" and 1 to 30)
//   Cmd_BGM "..."     lbl_Fname file label
//   Cmd_Etc "その他の作品"   Cmd_Set "設定"   Cmd_Can "ｷｬﾝｾﾙ"
// Keyboard focus goes BGM_Repeat, Cmd_BGM, Cmd_Set, Cmd_Can, Cmd_Etc.
#pragma once

#include <FL/Fl_Double_Window.H>

#include <memory>
#include <string>

#include "launcher/settings_music/dialog_rules.h"
#include "launcher/settings_music/dialog_web.h"
#include "platform/runtime/fltk_runtime.h"

class Fl_Input_Choice;
class Fl_RGB_Image;
namespace button {
class CommandButton;
}

namespace dialog {

class ChoiceMarker;
class TextLabel;
class GradientPanel;

class Kelvara_P : public Fl_Double_Window, public platform::Form, private SettingsDialogView {
 public:
  // `settingsPath`: the settings file "設定" writes.
  explicit Kelvara_P(const std::string& settingsPath);
  ~Kelvara_P() override;

  // The controls, for tests and screenshots.
  Fl_Input_Choice& trackField() { return *track_; }
  button::CommandButton& fileButton() { return *fileButton_; }
  button::CommandButton& saveButton() { return *saveButton_; }
  button::CommandButton& cancelButton() { return *cancelButton_; }
  button::CommandButton& webButton() { return *webButton_; }

  // FLTK overrides.
  void draw() override;
  void show() override;
  using Fl_Double_Window::show;

 private:
  // platform::Form.
  void onLoad() override;
  void onUnload() override;

  // SettingsDialogView.
  bool screenArea(int& left, int& top, int& width, int& height) override;
  void moveTo(int left, int top) override;
  void initButtons() override;
  void enableTrackField(bool enabled) override;
  void enableFileButton(bool enabled) override;
  void showMarker(int index, bool selected) override;
  void setTrackText(const std::string& text) override;
  std::string trackText() override;
  void addTrackItem(const std::string& text) override;
  void showFileName(const std::string& path) override;
  bool pointerPosition(long& x, long& y) override;
  void zoomOpen() override;
  void zoomClose() override;
  void setBusyPointer(bool busy) override;
  bool chooseMusicFile(std::string& path) override;
  bool openPage(const std::string& address) override;
  void close() override;

  static void onCloseRequest(Fl_Widget* window, void*);
  static void onTrackPicked(Fl_Widget* field, void*);
  void setWindowManagerHints();

  SettingsDialogRules rules_;
  PageOpener pages_;
  std::unique_ptr<Fl_RGB_Image> icon_;

  GradientPanel* panel_ = nullptr;
  ChoiceMarker* markers_[3] = {};
  TextLabel* fileLabel_ = nullptr;
  Fl_Input_Choice* track_ = nullptr;
  button::CommandButton* fileButton_ = nullptr;
  button::CommandButton* webButton_ = nullptr;
  button::CommandButton* saveButton_ = nullptr;
  button::CommandButton* cancelButton_ = nullptr;
};

}  // namespace dialog

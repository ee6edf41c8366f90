#include "launcher/settings_music/dialog_rules.h"

#include "launcher/settings_music/dialog_layout.h"
#include "launcher/settings_music/dialog_web.h"
#include "launcher/settings_music/dialog_zoom.h"
#include "launcher/settings_music/settings.h"
#include "platform/runtime/conversions.h"

namespace dialog {

namespace {
constexpr int kLastTrack = 30;
}

SettingsDialogRules::SettingsDialogRules(SettingsDialogView& view, std::string settingsPath)
    : view_(view), settingsPath_(std::move(settingsPath)) {}

void SettingsDialogRules::load() {
  int left = 0, top = 0, width = 0, height = 0;
  if (view_.screenArea(left, top, width, height)) {
    view_.moveTo(left + (width - kDialogWidth) / 2, top + (height - kDialogHeight) / 3);
  }
  view_.initButtons();
  showChoice(BGMKind);
  view_.setTrackText(platform::formatHashes(BGMRepeat));
  for (int track = 0; track <= kLastTrack; ++track) view_.addTrackItem(platform::formatHashes(track));
  view_.showFileName(BGMFile);
  long x = 0, y = 0;
  bool known = view_.pointerPosition(x, y);
  RememberZoomPoint(known, x, y);
  view_.zoomOpen();
  view_.setBusyPointer(false);
}

void SettingsDialogRules::showChoice(int kind) {
  view_.enableFileButton(false);
  view_.enableTrackField(false);
  for (int i = 0; i < kChoiceCount; ++i) view_.showMarker(i, false);
  // A kind outside 0 to 2 (a hand-edited file) leaves every marker clear.
  if (kind >= 0 && kind < kChoiceCount) view_.showMarker(kind, true);
  if (kind == 1) view_.enableTrackField(true);
  if (kind == 2) view_.enableFileButton(true);
}

void SettingsDialogRules::selectChoice(int index) {
  if (index < 0 || index >= kChoiceCount) return;
  BGMKind = static_cast<int16_t>(index);
  showChoice(index);
}

void SettingsDialogRules::pickFile() {
  std::string path;
  if (!view_.chooseMusicFile(path)) return;
  if (path.empty() || path.size() > kMaxMusicPathBytes) return;
  BGMFile = path;
  view_.showFileName(BGMFile);
}

void SettingsDialogRules::saveAndClose() {
  SaveSettingsTo(settingsPath_, view_.trackText());
  view_.close();
}

void SettingsDialogRules::cancel() { view_.close(); }

void SettingsDialogRules::openWebPage() {
  view_.setBusyPointer(true);
  if (view_.openPage(webAddress())) {
    ++pagesStarting_;
  } else if (pagesStarting_ == 0) {
    view_.setBusyPointer(false);
  }
}

void SettingsDialogRules::pageSettled() {
  if (pagesStarting_ > 0) --pagesStarting_;
  if (pagesStarting_ == 0) view_.setBusyPointer(false);
}

void SettingsDialogRules::unload() { view_.zoomClose(); }

}  // namespace dialog

// The settings dialog's behaviour through a recording stand-in for its window:
// load steps, choices, the file choice, saving, cancelling, the web page.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "launcher/settings_music/dialog_rules.h"
#include "launcher/settings_music/dialog_zoom.h"
#include "launcher/settings_music/settings.h"
#include "tests/unit/support/temp_folder.h"

namespace {

using dialog::SettingsDialogRules;

// Records every call as one line of text; answers as the test sets it up.
class FakeView : public dialog::SettingsDialogView {
 public:
  std::vector<std::string> calls;
  // The state the calls leave behind.
  bool trackEnabled = true, fileButtonEnabled = true;
  bool markers[3] = {true, true, true};
  std::string track, fileLabel;
  std::vector<std::string> items;
  bool busy = true;
  bool closed = false;

  // Answers.
  bool screenKnown = true;
  int screenLeft = 0, screenTop = 0, screenWidth = 1920, screenHeight = 1080;
  bool pointerKnown = true;
  long pointerX = 300, pointerY = 400;
  bool chooserConfirms = false;
  std::string chosenPath;
  bool pageStarts = true;
  std::string pageAddress;

  bool screenArea(int& left, int& top, int& width, int& height) override {
    calls.push_back("screenArea");
    left = screenLeft, top = screenTop, width = screenWidth, height = screenHeight;
    return screenKnown;
  }
  void moveTo(int left, int top) override {
    calls.push_back("moveTo " + std::to_string(left) + "," + std::to_string(top));
  }
  void initButtons() override { calls.push_back("initButtons"); }
  void enableTrackField(bool on) override {
    calls.push_back(std::string("track ") + (on ? "on" : "off"));
    trackEnabled = on;
  }
  void enableFileButton(bool on) override {
    calls.push_back(std::string("fileButton ") + (on ? "on" : "off"));
    fileButtonEnabled = on;
  }
  void showMarker(int index, bool selected) override {
    calls.push_back("marker " + std::to_string(index) + (selected ? " on" : " off"));
    markers[index] = selected;
  }
  void setTrackText(const std::string& text) override {
    calls.push_back("trackText [" + text + "]");
    track = text;
  }
  std::string trackText() override { return track; }
  void addTrackItem(const std::string& text) override {
    if (items.empty()) calls.push_back("items");
    items.push_back(text);
  }
  void showFileName(const std::string& path) override {
    calls.push_back("fileLabel [" + path + "]");
    fileLabel = path;
  }
  bool pointerPosition(long& x, long& y) override {
    calls.push_back("pointer");
    x = pointerX, y = pointerY;
    return pointerKnown;
  }
  void zoomOpen() override { calls.push_back("zoomOpen"); }
  void zoomClose() override { calls.push_back("zoomClose"); }
  void setBusyPointer(bool on) override {
    calls.push_back(std::string("busy ") + (on ? "on" : "off"));
    busy = on;
  }
  bool chooseMusicFile(std::string& path) override {
    calls.push_back("chooser");
    if (chooserConfirms) path = chosenPath;
    return chooserConfirms;
  }
  bool openPage(const std::string& address) override {
    calls.push_back("openPage");
    pageAddress = address;
    return pageStarts;
  }
  void close() override {
    calls.push_back("close");
    closed = true;
  }
};

class DialogRules : public ::testing::Test {
 protected:
  void SetUp() override {
    BGMKind = 0;
    BGMRepeat = 0;
    BGMFile.clear();
    ZoomPoint = ZoomPointType{};
  }
  std::string ini() const { return folder.file("Miravel.ini"); }
  // The value of `key` exactly as it stands in the file (the profile reading
  // would drop the blank before a number).
  std::string stored(const char* key) const {
    const std::string text = readFile(ini());
    const std::string start = std::string(key) + "=";
    size_t at = 0;
    while (at < text.size()) {
      size_t end = text.find('\n', at);
      if (end == std::string::npos) end = text.size();
      std::string line = text.substr(at, end - at);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.compare(0, start.size(), start) == 0) return line.substr(start.size());
      at = end + 1;
    }
    return "(missing)";
  }
  int selectedCount() const { return view.markers[0] + view.markers[1] + view.markers[2]; }

  TempFolder folder;
  FakeView view;
  SettingsDialogRules rules{view, folder.file("Miravel.ini")};
};

TEST_F(DialogRules, LoadRunsItsStepsInOrder) {
  BGMKind = 1;
  BGMRepeat = 7;
  BGMFile = "/music/a.mp3";
  rules.load();
  std::vector<std::string> expected = {
      "screenArea", "moveTo 720,276", "initButtons",
      "fileButton off", "track off",
      "marker 0 off", "marker 1 off", "marker 2 off", "marker 1 on",
      "track on",
      "trackText [7]", "items", "fileLabel [/music/a.mp3]",
      "pointer", "zoomOpen", "busy off"};
  EXPECT_EQ(view.calls, expected);
}

TEST_F(DialogRules, LoadPlacesTheDialogCentredAcrossAndAThirdDown) {
  struct Case {
    int left, top, width, height;
    const char* move;
  } cases[] = {
      {0, 0, 1920, 1080, "moveTo 720,276"},
      {0, 0, 1024, 768, "moveTo 272,172"},
      {1920, 0, 1280, 1024, "moveTo 2320,257"},  // a second monitor to the right
      {0, 0, 400, 200, "moveTo -39,-17"},         // a screen smaller than the dialog
  };
  for (const Case& c : cases) {
    FakeView v;
    v.screenLeft = c.left, v.screenTop = c.top, v.screenWidth = c.width, v.screenHeight = c.height;
    SettingsDialogRules r(v, ini());
    r.load();
    ASSERT_GE(v.calls.size(), 2u);
    EXPECT_EQ(v.calls[1], c.move) << c.width << "x" << c.height;
  }
  FakeView unknown;
  unknown.screenKnown = false;
  SettingsDialogRules r(unknown, ini());
  r.load();
  EXPECT_EQ(unknown.calls[1], "initButtons");  // not moved, and the rest still runs
  EXPECT_EQ(unknown.calls.back(), "busy off");
}

TEST_F(DialogRules, LoadShowsEachKindWithItsControls) {
  struct Case {
    int kind;
    int selected;  // -1: none
    bool track, fileButton;
  } cases[] = {
      {0, 0, false, false}, {1, 1, true, false}, {2, 2, false, true},
      {7, -1, false, false}, {-1, -1, false, false}, {3, -1, false, false},
  };
  for (const Case& c : cases) {
    FakeView v;
    BGMKind = static_cast<int16_t>(c.kind);
    SettingsDialogRules r(v, ini());
    r.load();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(v.markers[i], i == c.selected) << "kind " << c.kind << " marker " << i;
    EXPECT_EQ(v.trackEnabled, c.track) << "kind " << c.kind;
    EXPECT_EQ(v.fileButtonEnabled, c.fileButton) << "kind " << c.kind;
    EXPECT_EQ(BGMKind, c.kind);  // loading changes no setting
  }
}

TEST_F(DialogRules, NoMusicStillShowsTheLoadedFile) {
  BGMKind = 0;
  BGMFile = "/home/user/Music/night.mp3";
  rules.load();
  EXPECT_TRUE(view.markers[0]);  // the middle row, "無し"
  EXPECT_EQ(selectedCount(), 1);
  EXPECT_FALSE(view.trackEnabled);
  EXPECT_FALSE(view.fileButtonEnabled);
  EXPECT_EQ(view.fileLabel, "/home/user/Music/night.mp3");
}

TEST_F(DialogRules, TrackFieldAndListFollowTheHashPattern) {
  struct Case {
    int16_t repeat;
    const char* text;
  } cases[] = {{0, ""}, {1, "1"}, {30, "30"}, {99, "99"}, {-3, "-3"}};
  for (const Case& c : cases) {
    FakeView v;
    BGMRepeat = c.repeat;
    SettingsDialogRules r(v, ini());
    r.load();
    EXPECT_EQ(v.track, c.text);
    ASSERT_EQ(v.items.size(), 31u);
    EXPECT_EQ(v.items[0], "");
    EXPECT_EQ(v.items[1], "1");
    EXPECT_EQ(v.items[30], "30");
  }
}

TEST_F(DialogRules, LoadRemembersThePointerForTheZoom) {
  struct Case {
    bool known;
    long x, y;
    int16_t zx, zy;
  } cases[] = {
      {true, 300, 400, 300, 400},
      {false, 300, 400, 0, 0},
      {true, 40000, 10, 0, 0},  // beyond 16 bits: as if unknown
      {true, -5, 32767, -5, 32767},
  };
  for (const Case& c : cases) {
    FakeView v;
    v.pointerKnown = c.known, v.pointerX = c.x, v.pointerY = c.y;
    SettingsDialogRules r(v, ini());
    r.load();
    EXPECT_EQ(ZoomPoint.x, c.zx);
    EXPECT_EQ(ZoomPoint.y, c.zy);
  }
}

TEST_F(DialogRules, ChoosingTakesEffectAtOnceAndKeepsTrackAndFile) {
  BGMKind = 2;
  BGMFile = "/music/a.mp3";
  view.track = "5";
  rules.load();
  view.calls.clear();
  struct Case {
    int index;
    bool track, fileButton;
  } cases[] = {{1, true, false}, {0, false, false}, {2, false, true}, {1, true, false}};
  for (const Case& c : cases) {
    rules.selectChoice(c.index);
    EXPECT_EQ(BGMKind, c.index);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(view.markers[i], i == c.index);
    EXPECT_EQ(view.trackEnabled, c.track);
    EXPECT_EQ(view.fileButtonEnabled, c.fileButton);
  }
  EXPECT_EQ(BGMFile, "/music/a.mp3");
  for (const std::string& call : view.calls) {
    EXPECT_EQ(call.find("trackText"), std::string::npos);
    EXPECT_EQ(call.find("fileLabel"), std::string::npos);
  }
}

TEST_F(DialogRules, AChoiceOutOfRangeChangesNothing) {
  BGMKind = 1;
  rules.load();
  view.calls.clear();
  rules.selectChoice(3);
  rules.selectChoice(-1);
  EXPECT_EQ(BGMKind, 1);
  EXPECT_TRUE(view.calls.empty());
}

TEST_F(DialogRules, PickingAFile) {
  BGMFile = "/music/old.mp3";
  rules.load();
  struct Case {
    bool confirms;
    std::string path;
    bool taken;
  } cases[] = {
      {false, "/music/new.mp3", false},            // cancel
      {true, "", false},                            // nothing chosen
      {true, "/music/new.mp3", true},
      {true, "/music/typed name.wav", true},        // need not exist
      {true, "/" + std::string(254, 'a'), true},    // 255 bytes
      {true, "/" + std::string(255, 'b'), false},   // 256 bytes: as a cancel
  };
  std::string expected = BGMFile;
  for (const Case& c : cases) {
    view.chooserConfirms = c.confirms;
    view.chosenPath = c.path;
    rules.pickFile();
    if (c.taken) expected = c.path;
    EXPECT_EQ(BGMFile, expected) << c.path.size();
    EXPECT_EQ(view.fileLabel, expected);
  }
}

TEST_F(DialogRules, SavingConvertsTheTrackText) {
  struct Case {
    const char* text;
    const char* stored;
    int16_t repeat;
  } cases[] = {
      {"2.5", " 2", 2},       {"3.5", " 4", 4},     {"abc", " 0", 0},
      {"", " 0", 0},          {"12", " 12", 12},    {" 7 ", " 7", 7},
      {"40000", " 0", 0},     {"-32768", "-32768", -32768},
      {"32767.5", " 0", 0},   {"-2.5", "-2", -2},   {"1e1", " 10", 10},
      {"3abc", " 0", 0},
  };
  for (const Case& c : cases) {
    FakeView v;
    SettingsDialogRules r(v, ini());
    r.load();
    v.track = c.text;
    r.saveAndClose();
    EXPECT_EQ(stored(kKeyBGMRepeat), c.stored) << "track text [" << c.text << "]";
    EXPECT_EQ(BGMRepeat, c.repeat);
    EXPECT_TRUE(v.closed);
  }
}

TEST_F(DialogRules, SaveWritesTheThreeKeysThenCloses) {
  rules.load();
  rules.selectChoice(2);
  view.chooserConfirms = true;
  view.chosenPath = "/music/b.wav";
  rules.pickFile();
  view.track = "3";
  view.calls.clear();
  rules.saveAndClose();
  EXPECT_EQ(stored(kKeyBGMKind), " 2");
  EXPECT_EQ(stored(kKeyBGMRepeat), " 3");
  EXPECT_EQ(stored(kKeyBGMFile), "/music/b.wav");
  EXPECT_EQ(view.calls, std::vector<std::string>{"close"});
}

TEST_F(DialogRules, ChoosingTheCDAfterAFileKeepsTheFileInTheSettings) {
  rules.load();
  rules.selectChoice(2);
  view.chooserConfirms = true;
  view.chosenPath = "/music/c.mp3";
  rules.pickFile();
  rules.selectChoice(1);
  view.track = "";
  rules.saveAndClose();
  EXPECT_EQ(stored(kKeyBGMKind), " 1");
  EXPECT_EQ(stored(kKeyBGMRepeat), " 0");
  EXPECT_EQ(stored(kKeyBGMFile), "/music/c.mp3");
}

TEST_F(DialogRules, CancelLeavesTheSettingsFileAsItWas) {
  // Odd but valid content: comments, CRLF and LF, another section, odd case.
  const std::string before =
      "; mine\r\n[section]\r\n\x42\x47\x4D\x8B\xE6\x95\xAA= 2\r\nother=x\n[Else]\r\nk=v\r\n";
  writeFile(ini(), before);
  rules.load();
  rules.selectChoice(1);
  view.chooserConfirms = true;
  view.chosenPath = "/music/d.mp3";
  rules.pickFile();
  view.track = "9";
  rules.cancel();
  EXPECT_TRUE(view.closed);
  EXPECT_EQ(readFile(ini()), before);
}

TEST_F(DialogRules, CancelWithoutASettingsFileCreatesNone) {
  rules.load();
  rules.selectChoice(2);
  rules.cancel();
  EXPECT_EQ(folder.listing(), "");
}

TEST_F(DialogRules, UnloadZoomsBack) {
  rules.load();
  view.calls.clear();
  rules.unload();
  EXPECT_EQ(view.calls, std::vector<std::string>{"zoomClose"});
}

TEST_F(DialogRules, WebPageShowsTheBusyPointerUntilItsStartIsOver) {
  rules.load();
  view.calls.clear();
  rules.openWebPage();
  EXPECT_EQ(view.calls, (std::vector<std::string>{"busy on", "openPage"}));
  EXPECT_FALSE(view.pageAddress.empty());
  EXPECT_TRUE(view.busy);
  // Two pages on the way: the arrow comes back when both are over.
  rules.openWebPage();
  rules.pageSettled();
  EXPECT_TRUE(view.busy);
  rules.pageSettled();
  EXPECT_FALSE(view.busy);
  EXPECT_FALSE(view.closed);  // the dialog stays open
}

TEST_F(DialogRules, WebPageThatCannotStartGivesTheArrowBackSilently) {
  rules.load();
  view.pageStarts = false;
  view.calls.clear();
  rules.openWebPage();
  EXPECT_EQ(view.calls, (std::vector<std::string>{"busy on", "openPage", "busy off"}));
}

}  // namespace

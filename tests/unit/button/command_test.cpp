// The button's rules without a display: event sequences, property side
// effects and the persisted set.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "launcher/button/command.h"

namespace button {
namespace {

struct Recorder : CommandHost {
  std::vector<std::string> changed;
  int clicks = 0;
  int watchStarts = 0;
  int watchInterval = 0;
  CaptionFont ambient;

  void propertyChanged(const std::string& name) override { changed.push_back(name); }
  CaptionFont ambientFont() const override { return ambient; }
  void startPointerWatch(int ms) override {
    ++watchStarts;
    watchInterval = ms;
  }
  void click() override { ++clicks; }
};

// What the settings dialog's layout data holds for each of its buttons.
PropertyBag captionAndFont(const std::string& caption = "設定") {
  PropertyBag bag;
  bag.set("Caption", caption);
  CaptionFont font;
  font.size = 9.75;
  bag.set("Font", font);
  return bag;
}

// A button as the dialog has it after loading: loaded, sized, initialized.
struct Ready {
  Recorder host;
  Command button{&host};
  explicit Ready(bool enabled = true) {
    PropertyBag bag = captionAndFont();
    if (!enabled) bag.set("Enabled", false);
    button.load(bag);
    button.sizeChanged(73, 25);
    button.Initialize();
    host.changed.clear();
  }
};

enum class Ev { Move, DownL, DownR, DownM, UpL, UpR, UpM, Focus, Blur, PointerOff, PointerOn, Size };

const char* evName(Ev e) {
  static const char* names[] = {"Move", "DownL", "DownR", "DownM", "UpL", "UpR",
                                "UpM",  "Focus", "Blur",  "PointerOff", "PointerOn", "Size"};
  return names[static_cast<int>(e)];
}

void apply(Command& b, Ev e) {
  switch (e) {
    case Ev::Move: b.mouseMove(); break;
    case Ev::DownL: b.mouseDown(MouseButton::Left); break;
    case Ev::DownR: b.mouseDown(MouseButton::Right); break;
    case Ev::DownM: b.mouseDown(MouseButton::Middle); break;
    case Ev::UpL: b.mouseUp(MouseButton::Left); break;
    case Ev::UpR: b.mouseUp(MouseButton::Right); break;
    case Ev::UpM: b.mouseUp(MouseButton::Middle); break;
    case Ev::Focus: b.focusGained(); break;
    case Ev::Blur: b.focusLost(); break;
    case Ev::PointerOff: b.pointerWatch(false); break;
    case Ev::PointerOn: b.pointerWatch(true); break;
    case Ev::Size: b.sizeChanged(b.surface().width + 10, b.surface().height); break;
  }
}

struct Step {
  Ev event;
  uint8_t state;                  // ButtonState afterwards
  std::optional<Picture> paints;  // the picture painted last by this event; nullopt: none
  bool reverse;                   // ReverseGradient afterwards
  int clicks;                     // Click count so far
};

struct Sequence {
  const char* name;
  bool enabled;
  std::vector<Ev> setup;  // brought about first, not checked
  std::vector<Step> steps;
};

using P = Picture;
namespace s = state;

const Sequence kSequences[] = {
    {"click on a button without focus (the press gives the focus)", true, {},
     {{Ev::Move, s::HighLight, P::HighLight, true, 0},
      {Ev::Focus, s::HighLightSelect, P::Pressed, true, 0},
      {Ev::DownL, s::HighLightSelect, P::Pressed, true, 0},
      {Ev::UpL, s::HighLightSelect, P::HighLightSelect, true, 1},
      {Ev::PointerOff, s::Selected, P::Selected, false, 1}}},
    {"click on a button that has the focus", true, {Ev::Focus},
     {{Ev::Move, s::HighLightSelect, P::HighLightSelect, false, 0},
      {Ev::DownL, s::HighLightSelect, P::Pressed, false, 0},
      {Ev::UpL, s::HighLightSelect, P::HighLightSelect, false, 1}}},
    {"press, move off, release: no Click", true, {Ev::Focus, Ev::Move},
     {{Ev::DownL, s::HighLightSelect, P::Pressed, false, 0},
      {Ev::PointerOff, s::Selected, P::Selected, false, 0},
      {Ev::UpL, s::Selected, std::nullopt, false, 0}}},
    {"press, move off, move back while holding, release: no Click", true, {Ev::Focus, Ev::Move},
     {{Ev::DownL, s::HighLightSelect, P::Pressed, false, 0},
      {Ev::PointerOff, s::Selected, P::Selected, false, 0},
      {Ev::Move, s::Selected, std::nullopt, false, 0},
      {Ev::PointerOn, s::Selected, std::nullopt, false, 0},
      {Ev::UpL, s::Selected, std::nullopt, false, 0},
      {Ev::Move, s::HighLightSelect, P::HighLightSelect, false, 0}}},
    {"right release over a hovered button raises Click", true, {},
     {{Ev::Move, s::HighLight, P::HighLight, true, 0},
      {Ev::DownR, s::HighLight, std::nullopt, true, 0},
      {Ev::UpR, s::HighLight, std::nullopt, true, 1}}},
    {"middle release over a focused, hovered button raises Click", true, {Ev::Focus, Ev::Move},
     {{Ev::DownM, s::HighLightSelect, std::nullopt, false, 0},
      {Ev::UpM, s::HighLightSelect, std::nullopt, false, 1}}},
    {"any release that reaches the button clicks unless it is Selected", true, {},
     {{Ev::UpR, s::Normal, std::nullopt, false, 1},
      {Ev::Focus, s::Selected, P::Selected, false, 1},
      {Ev::UpR, s::Selected, std::nullopt, false, 1},
      {Ev::UpL, s::Selected, std::nullopt, false, 1}}},
    {"Normal painted on a release in state 2 keeps the dark-to-light face", true, {},
     {{Ev::Move, s::HighLight, P::HighLight, true, 0},
      {Ev::DownL, s::HighLight, P::Pressed, true, 0},
      {Ev::UpL, s::HighLight, P::Normal, true, 1},
      {Ev::PointerOn, s::HighLight, std::nullopt, true, 1},
      {Ev::PointerOff, s::Normal, P::Normal, false, 1}}},
    {"hover is painted only on state changes", true, {},
     {{Ev::Move, s::HighLight, P::HighLight, true, 0},
      {Ev::Move, s::HighLight, std::nullopt, true, 0},
      {Ev::PointerOff, s::Normal, P::Normal, false, 0},
      {Ev::PointerOff, s::Normal, std::nullopt, false, 0}}},
    {"focus gained while hovered shows Pressed; focus lost shows Normal", true, {Ev::Move},
     {{Ev::Focus, s::HighLightSelect, P::Pressed, true, 0},
      {Ev::Blur, s::Normal, P::Normal, false, 0},
      {Ev::Blur, s::Normal, std::nullopt, false, 0}}},
    {"a size change paints Normal whatever the state", true, {Ev::Focus, Ev::Move},
     {{Ev::Size, s::HighLightSelect, P::Normal, false, 0},
      {Ev::Move, s::HighLightSelect, std::nullopt, false, 0},
      {Ev::PointerOff, s::Selected, P::Selected, false, 0}}},
    {"a disabled button ignores everything but size changes", false, {},
     {{Ev::Move, s::Normal, std::nullopt, false, 0},
      {Ev::Focus, s::Normal, std::nullopt, false, 0},
      {Ev::DownL, s::Normal, std::nullopt, false, 0},
      {Ev::UpL, s::Normal, std::nullopt, false, 0},
      {Ev::UpR, s::Normal, std::nullopt, false, 0},
      {Ev::UpM, s::Normal, std::nullopt, false, 0},
      {Ev::Blur, s::Normal, std::nullopt, false, 0},
      {Ev::PointerOff, s::Normal, std::nullopt, false, 0},
      {Ev::Size, s::Normal, P::Disable, false, 0}}},
};

TEST(CommandEvents, SequencesFollowTheEventTable) {
  for (const Sequence& seq : kSequences) {
    SCOPED_TRACE(seq.name);
    Ready r(seq.enabled);
    for (Ev e : seq.setup) apply(r.button, e);
    r.host.clicks = 0;
    for (size_t i = 0; i < seq.steps.size(); ++i) {
      const Step& step = seq.steps[i];
      SCOPED_TRACE(std::string("step ") + std::to_string(i) + " " + evName(step.event));
      int paintsBefore = r.button.paintCount();
      apply(r.button, step.event);
      EXPECT_EQ(r.button.buttonState(), step.state);
      if (step.paints) {
        EXPECT_GT(r.button.paintCount(), paintsBefore);
        EXPECT_STREQ(pictureName(r.button.shownPicture()), pictureName(*step.paints));
      } else {
        EXPECT_EQ(r.button.paintCount(), paintsBefore);
      }
      EXPECT_EQ(r.button.reverseGradient(), step.reverse);
      EXPECT_EQ(r.host.clicks, step.clicks);
    }
  }
}

TEST(CommandEvents, LeftDownOnlyForTheLeftButton) {
  Ready r;
  r.button.mouseMove();
  r.button.mouseDown(MouseButton::Right);
  r.button.mouseDown(MouseButton::Middle);
  EXPECT_FALSE(r.button.leftDown());
  r.button.mouseDown(MouseButton::Left);
  EXPECT_TRUE(r.button.leftDown());
  r.button.mouseUp(MouseButton::Right);
  EXPECT_TRUE(r.button.leftDown());
  r.button.mouseUp(MouseButton::Left);
  EXPECT_FALSE(r.button.leftDown());
}

TEST(CommandEvents, BeforeInitializeHoverDoesNothingButFocusStillSelects) {
  Recorder host;
  Command b(&host);
  b.load(captionAndFont());
  b.sizeChanged(73, 25);
  int paints = b.paintCount();
  b.mouseMove();
  b.pointerWatch(false);
  EXPECT_EQ(b.buttonState(), state::Uninitialized);
  EXPECT_EQ(b.paintCount(), paints);
  EXPECT_FALSE(b.pointerWatchRunning());
  EXPECT_EQ(host.watchStarts, 0);

  b.focusGained();
  EXPECT_EQ(b.buttonState(), state::Selected);
  EXPECT_EQ(b.shownPicture(), Picture::Selected);
  b.mouseMove();
  EXPECT_EQ(b.buttonState(), state::HighLightSelect);
}

TEST(CommandEvents, InitializeSetsNormalStartsTheWatchAndPaintsNothing) {
  Recorder host;
  Command b(&host);
  b.load(captionAndFont());
  b.sizeChanged(73, 25);
  b.focusGained();
  int paints = b.paintCount();
  b.Initialize();
  EXPECT_EQ(b.buttonState(), state::Normal);
  EXPECT_EQ(b.paintCount(), paints);
  EXPECT_TRUE(b.pointerWatchRunning());
  EXPECT_EQ(host.watchStarts, 1);
  EXPECT_EQ(host.watchInterval, 100);
}

TEST(CommandEvents, ReEnablingPaintsNormalWhateverTheState) {
  Ready r;
  r.button.focusGained();
  r.button.mouseMove();
  r.button.Enabled(false);
  EXPECT_EQ(r.button.shownPicture(), Picture::Disable);
  EXPECT_FALSE(r.button.caption().enabled);
  r.button.Enabled(true);
  EXPECT_EQ(r.button.shownPicture(), Picture::Normal);
  EXPECT_TRUE(r.button.caption().enabled);
  EXPECT_EQ(r.button.buttonState(), state::HighLightSelect);
}

// --- Properties -----------------------------------------------------------------

TEST(CommandProperties, FreshButtonTurnsEnabledOnItsFirstEnabledRead) {
  Recorder host;
  Command b(&host);
  b.sizeChanged(73, 25);
  EXPECT_FALSE(b.enabledFlag());
  EXPECT_EQ(b.firstRun(), 0);
  EXPECT_EQ(b.shownPicture(), Picture::Disable);
  b.mouseMove();
  b.mouseUp(MouseButton::Left);
  EXPECT_EQ(host.clicks, 0);

  EXPECT_TRUE(b.Enabled());
  EXPECT_TRUE(b.enabledFlag());
  EXPECT_EQ(b.firstRun(), 1);
  EXPECT_EQ(b.shownPicture(), Picture::Normal);
  EXPECT_TRUE(b.caption().enabled);
  EXPECT_TRUE(host.changed.empty());  // a read never notifies
}

TEST(CommandProperties, EnabledReadAndWriteRepaint) {
  Ready r;
  int paints = r.button.paintCount();
  r.button.Enabled(false);
  EXPECT_EQ(r.host.changed, std::vector<std::string>{"Enabled"});
  EXPECT_EQ(r.button.shownPicture(), Picture::Disable);
  EXPECT_GT(r.button.paintCount(), paints);

  paints = r.button.paintCount();
  EXPECT_FALSE(r.button.Enabled());
  EXPECT_GT(r.button.paintCount(), paints);
  EXPECT_EQ(r.button.shownPicture(), Picture::Disable);
  EXPECT_FALSE(r.button.caption().enabled);
  EXPECT_EQ(r.host.changed.size(), 1u);
}

TEST(CommandProperties, CaptionAndFontNotifyWithoutRepainting) {
  Ready r;
  int paints = r.button.paintCount();
  r.button.Caption("ｷｬﾝｾﾙ");
  EXPECT_EQ(r.button.Caption(), "ｷｬﾝｾﾙ");
  auto font = std::make_shared<CaptionFont>();
  font->weight = 700;
  r.button.Font(font);
  EXPECT_EQ(r.button.paintCount(), paints);
  EXPECT_EQ(r.host.changed, (std::vector<std::string>{"Caption", "Font"}));
  // The font object is the caption's own: a change through it is the caption's.
  EXPECT_EQ(r.button.Font(), font);
  r.button.Font()->italic = true;
  EXPECT_TRUE(r.button.caption().font->italic);
}

TEST(CommandProperties, FontColourReadAndWriteRepaintNormal) {
  Ready r;
  r.button.mouseMove();  // HighLight on screen
  r.button.FontColour(0x0000FFu);
  EXPECT_EQ(r.button.caption().colour, 0x0000FFu);
  EXPECT_EQ(r.button.shownPicture(), Picture::Normal);
  EXPECT_EQ(r.button.buttonState(), state::HighLight);
  EXPECT_EQ(r.host.changed, std::vector<std::string>{"FontColour"});

  r.button.mouseMove();
  r.button.pointerWatch(false);
  r.button.mouseMove();
  ASSERT_EQ(r.button.shownPicture(), Picture::HighLight);
  EXPECT_EQ(r.button.FontColour(), 0x0000FFu);
  EXPECT_EQ(r.button.shownPicture(), Picture::Normal);

  // A value no caption can take: repainted, unchanged, not announced.
  r.host.changed.clear();
  r.button.FontColour(0x12345678u);
  EXPECT_EQ(r.button.caption().colour, 0x0000FFu);
  EXPECT_TRUE(r.host.changed.empty());
  r.button.FontColour(0x80000012u);  // a system colour is fine
  EXPECT_EQ(r.button.caption().colour, 0x80000012u);
}

TEST(CommandProperties, ReadsOnADisabledButtonDoNotRepaint) {
  Ready r(false);
  int paints = r.button.paintCount();
  r.button.FontColour();
  r.button.Visible();
  EXPECT_EQ(r.button.paintCount(), paints);
}

TEST(CommandProperties, VisibleReadsZeroOr255AndStoresOneOrZero) {
  struct Case {
    uint8_t written;
    uint8_t read;
    Backdrop backdrop;
    int64_t stored;
  };
  const Case cases[] = {{0, 0, Backdrop::Transparent, 0},
                        {1, 255, Backdrop::Opaque, 1},
                        {7, 255, Backdrop::Opaque, 1},
                        {255, 255, Backdrop::Opaque, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.written));
    Ready r;
    r.button.FontColour(0x000080u);  // something to save besides Visible
    r.host.changed.clear();
    int paints = r.button.paintCount();
    r.button.Visible(c.written);
    EXPECT_EQ(r.host.changed, std::vector<std::string>{"Visible"});
    EXPECT_EQ(r.button.paintCount() > paints, c.written != 0);
    EXPECT_EQ(r.button.backdrop(), c.backdrop);
    paints = r.button.paintCount();
    EXPECT_EQ(r.button.Visible(), c.read);
    EXPECT_EQ(r.button.paintCount() > paints, c.read != 0);

    PropertyBag saved;
    r.button.save(saved);
    const PropertyValue* v = saved.find("Visible");
    int64_t stored = 1;  // left out when equal to its default
    if (v) {
      ASSERT_TRUE(toInteger(*v, stored));
    }
    EXPECT_EQ(stored, c.stored);
  }
}

TEST(CommandProperties, RestoreNormalBlackensTheCaptionWhileFirstRunIsZero) {
  Recorder host;
  Command b(&host);
  b.sizeChanged(73, 25);
  b.Enabled(true);  // a write leaves FirstRun at 0
  b.FontColour(0x0000FFu);
  EXPECT_EQ(b.caption().colour, 0u);
  EXPECT_TRUE(b.Enabled());  // the first read sets FirstRun
  b.FontColour(0x0000FFu);
  EXPECT_EQ(b.caption().colour, 0x0000FFu);
}

// --- The persisted set ------------------------------------------------------------

TEST(CommandPersistence, LoadingOnlyCaptionAndFontGivesAnEnabledBlackOpaqueButton) {
  Recorder host;
  host.ambient.face = "Ambient";
  Command b(&host);
  b.sizeChanged(73, 25);
  CaptionFont font;
  font.face = "ＭＳ Ｐゴシック";
  font.size = 12;
  PropertyBag bag;
  bag.set("Caption", std::string("その他の作品"));
  bag.set("Font", font);
  b.load(bag);
  EXPECT_TRUE(b.enabledFlag());
  EXPECT_EQ(b.firstRun(), 1);
  EXPECT_EQ(b.caption().colour, 0u);
  EXPECT_EQ(b.backdrop(), Backdrop::Opaque);
  EXPECT_EQ(b.Caption(), "その他の作品");
  EXPECT_EQ(*b.Font(), font);
  EXPECT_EQ(b.shownPicture(), Picture::Normal);
  EXPECT_TRUE(b.caption().enabled);
  EXPECT_TRUE(host.changed.empty());
}

TEST(CommandPersistence, AnEmptySetLoadsTheDefaults) {
  Recorder host;
  host.ambient.face = "Ambient";
  host.ambient.size = 11.25;
  Command b(&host);
  b.load(PropertyBag{});
  EXPECT_EQ(b.Caption(), "Command1");
  EXPECT_EQ(*b.Font(), host.ambient);
  EXPECT_TRUE(b.enabledFlag());
  EXPECT_EQ(b.firstRun(), 1);
}

TEST(CommandPersistence, LoadTakesEveryEntryButDoesNotApplyEnabled) {
  Recorder host;
  Command b(&host);
  b.sizeChanged(73, 25);
  b.Enabled();  // enabled, Normal on screen
  int paints = b.paintCount();
  CaptionFont font;
  font.weight = 700;
  PropertyBag bag;
  bag.set("Enabled", false);
  bag.set("Caption", std::string("X"));
  bag.set("Font", font);
  bag.set("FirstRun", int64_t{7});
  bag.set("FontColour", int64_t{0x00FF00});
  bag.set("Visible", int64_t{0});
  b.load(bag);
  EXPECT_FALSE(b.enabledFlag());
  EXPECT_EQ(b.Caption(), "X");
  EXPECT_EQ(*b.Font(), font);
  EXPECT_EQ(b.firstRun(), 7);
  EXPECT_EQ(b.caption().colour, 0x00FF00u);
  EXPECT_EQ(b.backdrop(), Backdrop::Transparent);
  // Disabled now, but the face and caption change only with the next size
  // change or Enabled read or write.
  EXPECT_EQ(b.paintCount(), paints);
  EXPECT_TRUE(b.caption().enabled);
  b.sizeChanged(80, 25);
  EXPECT_EQ(b.shownPicture(), Picture::Disable);
  EXPECT_FALSE(b.caption().enabled);
}

TEST(CommandPersistence, EntriesThatCannotBeTakenLeaveTheirPropertyAlone) {
  Recorder host;
  Command b(&host);
  b.load(PropertyBag{});
  b.FontColour(0x000080u);
  PropertyBag bag;
  bag.set("Enabled", std::string("maybe"));
  bag.set("Caption", CaptionFont{});
  bag.set("Font", std::string("Arial"));
  bag.set("FirstRun", int64_t{300});
  bag.set("FontColour", int64_t{0x12345678});
  bag.set("Visible", int64_t{2});
  auto fontBefore = *b.Font();
  b.load(bag);
  EXPECT_TRUE(b.enabledFlag());
  EXPECT_EQ(b.Caption(), "Command1");
  EXPECT_EQ(*b.Font(), fontBefore);
  EXPECT_EQ(b.firstRun(), 1);
  EXPECT_EQ(b.caption().colour, 0x000080u);
  EXPECT_EQ(b.backdrop(), Backdrop::Opaque);
}

TEST(CommandPersistence, SaveWritesInOrderAndLeavesOutDefaults) {
  Recorder host;
  Command b(&host);
  b.load(captionAndFont("設定"));
  PropertyBag defaults;
  b.save(defaults);
  ASSERT_EQ(defaults.entries().size(), 1u);  // only the caption differs from its default
  EXPECT_EQ(defaults.entries()[0].first, "Caption");

  CaptionFont bold;
  bold.weight = 700;
  PropertyBag all;
  PropertyBag loaded = captionAndFont("設定");
  loaded.set("FirstRun", int64_t{3});
  b.load(loaded);
  b.Font(std::make_shared<CaptionFont>(bold));
  b.FontColour(0x80000012u);
  b.Visible(0);
  b.Enabled(false);
  b.save(all);
  std::vector<std::string> names;
  for (const auto& e : all.entries()) names.push_back(e.first);
  EXPECT_EQ(names, (std::vector<std::string>{"Enabled", "Caption", "FirstRun", "Font", "FontColour",
                                              "Visible"}));
  int64_t colour = 0;
  ASSERT_TRUE(toInteger(*all.find("FontColour"), colour));
  EXPECT_EQ(colour, static_cast<int32_t>(0x80000012u));  // stored signed

  // And it all comes back.
  Command again(&host);
  again.load(all);
  EXPECT_FALSE(again.enabledFlag());
  EXPECT_EQ(again.firstRun(), 3);
  EXPECT_EQ(*again.Font(), bold);
  EXPECT_EQ(again.caption().colour, 0x80000012u);
  EXPECT_EQ(again.backdrop(), Backdrop::Transparent);
}

TEST(CommandPersistence, CaptionsSurviveASaveAndALoad) {
  for (const char* caption : {"Command", "Command1", "", "設定"}) {
    SCOPED_TRACE(caption);
    Recorder host;
    Command b(&host);
    b.load(captionAndFont(caption));
    PropertyBag saved;
    b.save(saved);
    Command again(&host);
    again.load(saved);
    EXPECT_EQ(again.Caption(), caption);
  }
}

TEST(CommandPersistence, SaveAndLoadEndInRestoreNormal) {
  Ready r;
  r.button.mouseMove();
  ASSERT_EQ(r.button.shownPicture(), Picture::HighLight);
  PropertyBag bag;
  r.button.save(bag);
  EXPECT_EQ(r.button.shownPicture(), Picture::Normal);
  r.button.mouseMove();
  r.button.pointerWatch(false);
  r.button.mouseMove();
  ASSERT_EQ(r.button.shownPicture(), Picture::HighLight);
  r.button.load(bag);
  EXPECT_EQ(r.button.shownPicture(), Picture::Normal);
  EXPECT_EQ(r.button.buttonState(), state::HighLight);
}

TEST(PropertyBagConversions, StoredValuesAsPropertyTypes) {
  struct Case {
    PropertyValue value;
    bool intOk;
    int64_t asInt;
    bool boolOk;
    bool asBool;
  };
  const Case cases[] = {
      {PropertyValue(true), true, -1, true, true},
      {PropertyValue(int64_t{0}), true, 0, true, false},
      {PropertyValue(int64_t{5}), true, 5, true, true},
      {PropertyValue(std::string(" -12 ")), true, -12, true, true},
      {PropertyValue(std::string("1")), true, 1, true, true},
      {PropertyValue(std::string("False")), false, 0, true, false},
      {PropertyValue(std::string("12abc")), false, 0, false, false},
      {PropertyValue(std::string("")), false, 0, false, false},
      {PropertyValue(CaptionFont{}), false, 0, false, false},
  };
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    SCOPED_TRACE(i);
    const Case& c = cases[i];
    int64_t n = 0;
    bool b = false;
    EXPECT_EQ(toInteger(c.value, n), c.intOk);
    if (c.intOk) {
      EXPECT_EQ(n, c.asInt);
    }
    EXPECT_EQ(toBool(c.value, b), c.boolOk);
    if (c.boolOk) {
      EXPECT_EQ(b, c.asBool);
    }
  }
}

TEST(PropertyBagConversions, WriteReplacesInPlaceAndDropsDefaults) {
  PropertyBag bag;
  bag.write("A", int64_t{1}, int64_t{0});
  bag.write("B", int64_t{2}, int64_t{0});
  bag.write("A", int64_t{3}, int64_t{0});
  ASSERT_EQ(bag.entries().size(), 2u);
  EXPECT_EQ(bag.entries()[0].first, "A");
  EXPECT_EQ(std::get<int64_t>(bag.entries()[0].second), 3);
  bag.write("A", int64_t{0}, int64_t{0});
  ASSERT_EQ(bag.entries().size(), 1u);
  EXPECT_EQ(bag.entries()[0].first, "B");
}

}  // namespace
}  // namespace button

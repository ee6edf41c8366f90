// Which displays a launcher run needs.
#include "launcher/core/display_choice.h"

#include <gtest/gtest.h>

namespace {

struct Case {
  const char* letter;
  bool empty;
  bool x11, wayland;
  DisplayPlan plan;
};

TEST(DisplayChoice, ModesByTheDisplaysThereAre) {
  const Case cases[] = {
      // With X every mode runs as it always has, Wayland or not.
      {"S", false, true, false, DisplayPlan::AsUsual},
      {"S", false, true, true, DisplayPlan::AsUsual},
      {"", true, true, true, DisplayPlan::AsUsual},
      {"C", false, true, true, DisplayPlan::AsUsual},
      {"P", false, true, false, DisplayPlan::AsUsual},
      // Wayland alone: a saver run goes on without X, the rest cannot run.
      {"S", false, false, true, DisplayPlan::WithoutX},
      {"", true, false, true, DisplayPlan::WithoutX},
      {"C", false, false, true, DisplayPlan::Refuse},
      {"P", false, false, true, DisplayPlan::Refuse},
      // Nothing at all.
      {"S", false, false, false, DisplayPlan::Refuse},
      {"", true, false, false, DisplayPlan::Refuse},
      {"C", false, false, false, DisplayPlan::Refuse},
      {"P", false, false, false, DisplayPlan::Refuse},
      // Letters that do nothing anywhere end as they always did; so does a
      // one-character line ("s": no mode letter, not empty).
      {"A", false, false, false, DisplayPlan::AsUsual},
      {"A", false, false, true, DisplayPlan::AsUsual},
      {"X", false, false, false, DisplayPlan::AsUsual},
      {"", false, false, false, DisplayPlan::AsUsual},
      {"", false, false, true, DisplayPlan::AsUsual},
  };
  for (const Case& c : cases) {
    const DisplayChoice choice = chooseDisplay(c.letter, c.empty, c.x11, c.wayland);
    EXPECT_EQ(choice.plan, c.plan) << "'" << c.letter << "' empty " << c.empty << " x11 "
                                   << c.x11 << " wayland " << c.wayland;
    EXPECT_EQ(choice.why.empty(), c.plan != DisplayPlan::Refuse) << "'" << c.letter << "'";
  }
}

TEST(DisplayChoice, RefusalsNameWhatIsMissing) {
  EXPECT_NE(chooseDisplay("S", false, false, false).why.find("WAYLAND_DISPLAY"), std::string::npos);
  EXPECT_NE(chooseDisplay("S", false, false, false).why.find("DISPLAY"), std::string::npos);
  EXPECT_NE(chooseDisplay("C", false, false, true).why.find("XWayland"), std::string::npos);
  EXPECT_NE(chooseDisplay("C", false, false, false).why.find("settings"), std::string::npos);
  EXPECT_NE(chooseDisplay("P", false, false, true).why.find("preview"), std::string::npos);
}

}  // namespace

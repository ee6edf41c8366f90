// The runtime's conversions with the values the stored files and the
// settings dialog depend on.
#include "platform/runtime/conversions.h"
#include "platform/runtime/runtime.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace platform;

TEST(NumberText, BlankBeforeZeroAndAboveMinusBelow) {
  EXPECT_EQ(numberText(2), " 2");
  EXPECT_EQ(numberText(0), " 0");
  EXPECT_EQ(numberText(-1), "-1");
  EXPECT_EQ(numberText(32767), " 32767");
  EXPECT_EQ(numberText(-32768), "-32768");
}

TEST(LeadingNumber, ReadsDigitsUpToTheFirstOtherCharacter) {
  struct Case {
    const char* text;
    double expected;
  } cases[] = {
      {"1234", 1234},      {" 1234", 1234},   {"12 34", 1234},   {" 1 2\t3", 123},
      {"12abc", 12},       {"abc", 0},        {"", 0},           {"   ", 0},
      {"12.5", 12.5},      {"1.2.3", 1.2},    {"-5", -5},        {"+7", 7},
      {"- 5", -5},         {"5-3", 5},        {"0x1a", 0},       {"1e3", 1},
      {".5", 0.5},         {"-", 0},          {"12\n34", 1234},  {"١٢", 0},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(leadingNumber(c.text), c.expected) << '"' << c.text << '"';
}

TEST(NumericTest, AcceptsDecimalNumbersWithBlanksAround) {
  struct Case {
    const char* text;
    bool numeric;
    double value;
  } cases[] = {
      {"2", true, 2},        {" 2", true, 2},       {" 3 ", true, 3},     {"\t12\t", true, 12},
      {"1.7", true, 1.7},    {"-0.5", true, -0.5},  {"+4", true, 4},      {".5", true, 0.5},
      {"5.", true, 5},       {"1e3", true, 1000},   {"2.5D-1", true, 0.25}, {"40000", true, 40000},
      {"", false, 0},        {" ", false, 0},       {"abc", false, 0},    {"1 2", false, 0},
      {"12abc", false, 0},   {"-", false, 0},       {".", false, 0},      {"1e", false, 0},
      {"1e999", false, 0},   {"&H10", false, 0},    {"1,000", false, 0},  {"--1", false, 0},
  };
  for (const Case& c : cases) {
    double value = -99;
    EXPECT_EQ(parseNumber(c.text, value), c.numeric) << '"' << c.text << '"';
    if (c.numeric) {
      EXPECT_DOUBLE_EQ(value, c.value) << '"' << c.text << '"';
    }
  }
}

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
  struct Case {
    double value, expected;
  } cases[] = {{2.5, 2},   {3.5, 4},   {0.5, 0},   {1.5, 2},   {-2.5, -2}, {-3.5, -4},
               {-0.5, -0}, {2.4, 2},   {2.6, 3},   {-2.6, -3}, {12, 12},   {1e15 + 0.5, 1e15}};
  for (const Case& c : cases) EXPECT_EQ(roundHalfEven(c.value), c.expected) << c.value;
}

TEST(Rounding, IntoSixteenAndThirtyTwoBitsOrNotAtAll) {
  int16_t small = 7;
  EXPECT_TRUE(toInt16Rounded(32767.4, small));
  EXPECT_EQ(small, 32767);
  EXPECT_TRUE(toInt16Rounded(-32768.5, small));  // ties to -32768, which fits
  EXPECT_EQ(small, -32768);
  small = 7;
  EXPECT_FALSE(toInt16Rounded(32767.5, small));  // ties to 32768
  EXPECT_FALSE(toInt16Rounded(40000, small));
  EXPECT_FALSE(toInt16Rounded(std::nan(""), small));
  EXPECT_EQ(small, 7);

  int32_t large = 0;
  EXPECT_TRUE(toInt32Rounded(2147483647, large));
  EXPECT_EQ(large, 2147483647);
  EXPECT_FALSE(toInt32Rounded(2147483648.0, large));
  EXPECT_TRUE(toInt32Rounded(-2147483648.0, large));
  EXPECT_EQ(large, INT32_MIN);
}

TEST(HashPattern, EmptyForZeroOtherwiseThePlainNumber) {
  EXPECT_EQ(formatHashes(0), "");
  EXPECT_EQ(formatHashes(1), "1");
  EXPECT_EQ(formatHashes(30), "30");
  EXPECT_EQ(formatHashes(123), "123");
  EXPECT_EQ(formatHashes(-3), "-3");
}

TEST(LogicalDpi, DesktopSettingFirstThenScreenSizeThenNinetySix) {
  struct Case {
    const char* xft;
    int pixels, millimetres;
    double expected;
  } cases[] = {
      {"120", 1920, 508, 120},    // the desktop's setting wins
      {" 144.4 ", 1920, 508, 144},
      {nullptr, 1920, 508, 96},   // 1920 px over 20 inches
      {nullptr, 1920, 488, 100},  // Xvfb's default size
      {nullptr, 1920, 0, 96},     // size unknown
      {"abc", 1920, 406, 120},    // unreadable setting: the screen decides
      {"0", 1920, 508, 96},
      {nullptr, 1920, 5, 96},     // absurd size
  };
  for (const Case& c : cases)
    EXPECT_EQ(logicalDpi(c.xft, c.pixels, c.millimetres), c.expected)
        << (c.xft ? c.xft : "(none)") << ' ' << c.pixels << '/' << c.millimetres;
}

TEST(CommandLineText, ArgumentsJoinedBySingleBlanks) {
  const char* withBlank[] = {"Miravel.scr", "/p", "1234"};
  EXPECT_EQ(joinCommandLine(3, withBlank), "/p 1234");
  const char* together[] = {"Miravel.scr", "/p1234"};
  EXPECT_EQ(joinCommandLine(2, together), "/p1234");
  const char* quoted[] = {"Miravel.scr", "/p 1234"};
  EXPECT_EQ(joinCommandLine(2, quoted), "/p 1234");
  const char* none[] = {"Miravel.scr"};
  EXPECT_EQ(joinCommandLine(1, none), "");
}

TEST(ProgramFolder, NoTrailingSlashExceptAtTheRoot) {
  EXPECT_EQ(folderOfPath("/opt/miravel/Miravel.scr"), "/opt/miravel");
  EXPECT_EQ(folderOfPath("/Miravel.scr"), "/");
  EXPECT_EQ(folderOfPath("/opt//Miravel.scr"), "/opt");
  EXPECT_EQ(programFolder(), MIRAVEL_TEST_BINARY_DIR);
}

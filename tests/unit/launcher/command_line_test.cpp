// The screen-saver command line as Windows and users give it.
#include "launcher/core/command_line.h"

#include <gtest/gtest.h>

TEST(ModeLetter, SecondCharacterUpperCased) {
  struct Case {
    const char* line;
    const char* letter;
  } cases[] = {
      {"/p 1234", "P"}, {"/P 1234", "P"}, {"-p 1234", "P"}, {"/c", "C"},   {"/c:1234", "C"},
      {"-C", "C"},      {"/s", "S"},      {"/S", "S"},      {"-s", "S"},   {"", ""},
      {"/a 1234", "A"}, {"x", ""},        {"s", ""},        {"/x", "X"},   {"ss", "S"},
      {"ｰp 12", "P"},    // a non-ASCII first character is still one character
      {"/ß", "ß"},       // only ASCII letters are upper-cased
      {"/\xff", "\xff"},  // a stray byte is a character of its own
  };
  for (const Case& c : cases) EXPECT_EQ(modeLetterOf(c.line), c.letter) << '"' << c.line << '"';
}

TEST(HostWindowNumber, ReadFromTheFourthCharacter) {
  struct Case {
    const char* line;
    int32_t number;
  } cases[] = {
      {"/p 1234", 1234},
      {"/p:1234", 1234},
      {"/p1234", 234},
      {"/p", 0},
      {"/p ", 0},
      {"/p 12.5", 12},  // halves go to the even neighbour
      {"/p 13.5", 14},
      {"/p 12.6", 13},
      {"/p 1 2 3", 123},
      {"/p  77", 77},
      {"/p 12abc", 12},
      {"/p abc", 0},
      {"/p 0x1a00003", 0},
      {"/p -5", -5},
      {"/p 2147483647", 2147483647},
      {"/p 2147483648", 0},  // does not fit a window handle
      {"/p 99999999999999999999999", 0},
      {"ｰp 12", 12},
  };
  for (const Case& c : cases) EXPECT_EQ(hostWindowNumberOf(c.line), c.number) << '"' << c.line << '"';
}

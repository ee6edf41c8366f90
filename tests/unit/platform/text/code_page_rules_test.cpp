// What the Windows conversions ask of each code page: never a flag or a
// pointer that Windows refuses there, always some way to tell that a
// character could not be written.
#include "platform/text/code_page_rules.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

TEST(CodePageRules, Utf8TakesOnlyTheErrorFlagAndNoPointers) {
  for (unsigned codePage : {kCodePageUtf8, 54936u}) {
    const WideToBytesCall call = strictWideToBytes(codePage);
    EXPECT_EQ(call.flags & ~kWcErrInvalidChars, 0u) << codePage;
    EXPECT_FALSE(call.askUsedDefault) << codePage;
    EXPECT_NE(call.flags, 0u) << codePage;
  }
  // Only UTF-8 is sure to hold every character, so only it may skip the
  // check by converting back.
  EXPECT_FALSE(strictWideToBytes(kCodePageUtf8).roundTrip);
  EXPECT_TRUE(strictWideToBytes(54936).roundTrip);
  EXPECT_EQ(strictBytesToWideFlags(kCodePageUtf8), kMbErrInvalidChars);
}

TEST(CodePageRules, CodePagesThatRefuseEveryFlagAreCheckedByConvertingBack) {
  for (unsigned codePage : {42u, 50220u, 50221u, 50222u, 50225u, 50227u, 50229u, 57002u, 57011u,
                            kCodePageUtf7}) {
    const WideToBytesCall call = strictWideToBytes(codePage);
    EXPECT_EQ(call.flags, 0u) << codePage;
    EXPECT_FALSE(call.askUsedDefault) << codePage;
    EXPECT_TRUE(call.roundTrip) << codePage;
    EXPECT_EQ(strictBytesToWideFlags(codePage), 0u) << codePage;
  }
}

TEST(CodePageRules, OrdinaryCodePagesRefuseLookAlikesAndReportTheDefaultCharacter) {
  for (unsigned codePage : {932u, 1252u, 936u, 949u, 950u, 1251u, 437u, 57001u, 57012u}) {
    const WideToBytesCall call = strictWideToBytes(codePage);
    EXPECT_EQ(call.flags, kWcNoBestFitChars) << codePage;
    EXPECT_TRUE(call.askUsedDefault) << codePage;
    EXPECT_FALSE(call.roundTrip) << codePage;
    EXPECT_EQ(strictBytesToWideFlags(codePage), kMbErrInvalidChars) << codePage;
  }
}

}  // namespace

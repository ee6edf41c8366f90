// The inhibit table as a hostile bus meets it: bounds per client and in
// all, cookies of others and of nobody, long texts, clients leaving.
#include "idle/inhibit_table.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace idle;
using Refusal = InhibitTable::Refusal;

TEST(InhibitTable, InhibitAndUnInhibitByTheOwner) {
  InhibitTable table;
  Refusal refusal;
  EXPECT_FALSE(table.held());
  const std::uint32_t a = table.inhibit(":1.5", "firefox", "video", refusal);
  const std::uint32_t b = table.inhibit(":1.5", "firefox", "audio", refusal);
  EXPECT_NE(a, 0u);
  EXPECT_NE(b, 0u);
  EXPECT_NE(a, b);
  EXPECT_TRUE(table.held());
  EXPECT_EQ(table.heldBy(":1.5"), 2u);
  // Another client cannot end it, nor can a cookie nobody holds.
  EXPECT_FALSE(table.uninhibit(":1.9", a));
  EXPECT_FALSE(table.uninhibit(":1.5", 0));
  EXPECT_FALSE(table.uninhibit(":1.5", 123456));
  EXPECT_EQ(table.size(), 2u);
  EXPECT_TRUE(table.uninhibit(":1.5", a));
  EXPECT_FALSE(table.uninhibit(":1.5", a));  // twice is once
  EXPECT_TRUE(table.uninhibit(":1.5", b));
  EXPECT_FALSE(table.held());
  EXPECT_EQ(table.heldBy(":1.5"), 0u);
}

TEST(InhibitTable, OneClientHoldsAtMostItsShare) {
  InhibitTable table;
  Refusal refusal;
  std::set<std::uint32_t> cookies;
  for (std::size_t i = 0; i < InhibitTable::kPerClient; ++i) {
    cookies.insert(table.inhibit(":1.7", "flood", "x", refusal));
    ASSERT_EQ(refusal, Refusal::None);
  }
  EXPECT_EQ(cookies.size(), InhibitTable::kPerClient);
  for (int i = 0; i < 10000; ++i) {
    ASSERT_EQ(table.inhibit(":1.7", "flood", "x", refusal), 0u);
    ASSERT_EQ(refusal, Refusal::ClientFull);
  }
  EXPECT_EQ(table.size(), InhibitTable::kPerClient);
  // Others are not hurt by it, and one freed place is one new inhibit.
  EXPECT_NE(table.inhibit(":1.8", "player", "film", refusal), 0u);
  ASSERT_TRUE(table.uninhibit(":1.7", *cookies.begin()));
  EXPECT_NE(table.inhibit(":1.7", "flood", "x", refusal), 0u);
}

TEST(InhibitTable, AllClientsTogetherAreBounded) {
  InhibitTable table;
  Refusal refusal;
  std::size_t taken = 0;
  for (std::size_t client = 0; taken < InhibitTable::kTotal; ++client) {
    for (std::size_t i = 0; i < InhibitTable::kPerClient && taken < InhibitTable::kTotal; ++i) {
      ASSERT_NE(table.inhibit(":1." + std::to_string(client), "a", "r", refusal), 0u);
      ++taken;
    }
  }
  EXPECT_EQ(table.inhibit(":2.0", "a", "r", refusal), 0u);
  EXPECT_EQ(refusal, Refusal::TableFull);
  EXPECT_EQ(table.size(), InhibitTable::kTotal);
}

TEST(InhibitTable, AClientLeavingEndsAllItsInhibitsAndOnlyThose) {
  InhibitTable table;
  Refusal refusal;
  for (int i = 0; i < 5; ++i) table.inhibit(":1.3", "vlc", "film", refusal);
  const std::uint32_t other = table.inhibit(":1.4", "mpv", "film", refusal);
  EXPECT_EQ(table.dropOwner(":1.3"), 5u);
  EXPECT_EQ(table.heldBy(":1.3"), 0u);
  EXPECT_TRUE(table.held());
  ASSERT_NE(table.find(other), nullptr);
  EXPECT_EQ(table.dropOwner(":1.3"), 0u);
  EXPECT_EQ(table.dropOwner(":1.99"), 0u);
  // The one that left starts afresh with a full share.
  for (std::size_t i = 0; i < InhibitTable::kPerClient; ++i) {
    ASSERT_NE(table.inhibit(":1.3", "vlc", "film", refusal), 0u);
  }
}

TEST(InhibitTable, LongTextsAreKeptOnlyInPartAndNeverCutInAWideCharacter) {
  InhibitTable table;
  Refusal refusal;
  const std::string megabyte(1 << 20, 'r');
  const std::uint32_t cookie = table.inhibit(":1.2", megabyte, megabyte, refusal);
  ASSERT_NE(cookie, 0u);
  EXPECT_EQ(table.find(cookie)->reason.size(), InhibitTable::kTextBytes);
  EXPECT_EQ(table.find(cookie)->application.size(), InhibitTable::kTextBytes);

  // "é" is two bytes: cut at an odd limit, the whole character goes.
  const std::string accents = "\xC3\xA9\xC3\xA9\xC3\xA9";
  EXPECT_EQ(boundedText(accents, 3), "\xC3\xA9");
  EXPECT_EQ(boundedText(accents, 4), "\xC3\xA9\xC3\xA9");
  EXPECT_EQ(boundedText(accents, 6), accents);
  EXPECT_EQ(boundedText("\xE2\x82\xAC", 2), "");  // the euro sign, three bytes
  EXPECT_EQ(boundedText("short", 256), "short");
}

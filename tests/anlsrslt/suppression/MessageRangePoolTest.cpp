// Message numbers read from suppression texts, and the pooled ranges made of
// them.
#include "anlsrslt/suppression/MessageRangePool.h"
#include "anlsrslt/model/MessageRange.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <string>

namespace {

constexpr std::int32_t intMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t intMin = std::numeric_limits<std::int32_t>::min();

TEST(MessageRangePoolTest, TextsReadAsTheCLibraryReadsThemAndSaturateOutside32Bits) {
  struct Case {
    std::string text;
    std::int32_t number;
  };
  const Case cases[] = {
      {"5013", 5013},
      {"", 0},
      {"abc", 0},
      {" 42ab", 42},
      {"\t-3", -3},
      {"+7", 7},
      {"- 7", 0},
      {"0x10", 0},
      {"2147483647", intMax},
      {"-2147483648", intMin},
      // A damaged error file: the nearest bound, never undefined behaviour.
      {"2147483648", intMax},
      {"99999999999", intMax},
      {"-2147483649", intMin},
      {"-99999999999999999999999", intMin},
      {"123456789012345678901234567890", intMax},
  };
  for (const Case &c : cases)
    EXPECT_EQ(c.number, P_messageNumberOf(c.text)) << "'" << c.text << "'";
}

TEST(MessageRangePoolTest, RangesFromTextPairs) {
  struct Case {
    std::string from, to;
    std::int32_t rangeFrom, rangeTo;
  };
  const Case cases[] = {
      {"5", "", 5, 5},
      {"5", "0", 5, 5},
      {"0", "7", 0, 7},
      {"", "", 0, 0},
      {"-3", "", -3, -3},
      {"12", "3", 12, 3}, // not reordered
      {" 42ab", "xyz", 42, 42},
      {"1", "99999999999", 1, intMax},
      {"-99999999999", "", intMin, intMin},
  };
  for (const Case &c : cases) {
    const P_MessageRange *range = makeMessageRange(c.from, c.to);
    ASSERT_NE(nullptr, range);
    EXPECT_EQ(c.rangeFrom, P_MessageRange::getFrom(range)) << "'" << c.from << "' '" << c.to << "'";
    EXPECT_EQ(c.rangeTo, P_MessageRange::getTo(range)) << "'" << c.from << "' '" << c.to << "'";
  }
}

TEST(MessageRangePoolTest, EqualRangesAreOneObjectForTheRun) {
  const P_MessageRange *first = makeMessageRange("17", "");
  EXPECT_EQ(first, makeMessageRange("17", "17"));
  EXPECT_EQ(first, makeMessageRange(" 17", "0"));
  EXPECT_NE(first, makeMessageRange("17", "18"));
  EXPECT_NE(first, makeMessageRange("-17", ""));
  EXPECT_GE(first->referenceCount(), 1u) << "the pool keeps it";
}

TEST(MessageRangePoolDeathTest, ANullRangeIsAFailedAssertion) {
  EXPECT_DEATH(P_MessageRange::getFrom(nullptr), "0 != mr && \"Dont dereference 0.\"");
  EXPECT_DEATH(P_MessageRange::getTo(nullptr), "Assertion at MessageRange:[0-9]+: Assertion '0 != mr");
}

} // namespace

#include "foundation/NumberRanges.h"

#include <climits>
#include <cstdint>
#include <gtest/gtest.h>
#include <iterator>
#include <list>
#include <string>
#include <vector>

namespace {

std::vector<std::int32_t> range(std::int64_t low, std::int64_t high) {
  std::vector<std::int32_t> values;
  for (std::int64_t v = low; v <= high; ++v)
    values.push_back(static_cast<std::int32_t>(v));
  return values;
}

std::vector<std::int32_t> parse(const std::string &text, std::string *warning = nullptr) {
  std::list<std::int32_t> out;
  testing::internal::CaptureStderr();
  parseNumberRanges(text, std::back_inserter(out));
  const std::string err = testing::internal::GetCapturedStderr();
  if (warning)
    *warning = err;
  else
    EXPECT_EQ("", err) << text;
  return {out.begin(), out.end()};
}

TEST(NumberRangesTest, ToInt) {
  struct Case {
    std::string text;
    std::int32_t expected;
  } cases[] = {
      {"42", 42},
      {"  \t\n-17xyz", -17},
      {"+8", 8},
      {"007", 7},
      {"", 0},
      {"abc", 0},
      {"-", 0},
      {"- 5", 0},
      {"2147483647", INT_MAX},
      {"-2147483648", INT_MIN},
      {"2147483648", 0},
      {"-2147483649", 0},
      {"99999999999999999999999", 0},
      {"12.5", 12},
      {"0x10", 0},
  };
  for (const Case &c : cases)
    EXPECT_EQ(c.expected, toInt(c.text)) << "'" << c.text << "'";
}

TEST(NumberRangesTest, ListsAndRanges) {
  struct Case {
    std::string text;
    std::vector<std::int32_t> expected;
  } cases[] = {
      {"1-5,7", {1, 2, 3, 4, 5, 7}},
      {"5-1", {1, 2, 3, 4, 5}},
      {"", {}},
      {"1,,2", {1, 0, 2}},
      {"a", {0}},
      {"-5", {0, 1, 2, 3, 4, 5}},
      {"3-", {0, 1, 2, 3}},
      {"7", {7}},
      {"3,1,3", {3, 1, 3}},
      {"2-3;9 4-4", {2, 3, 9, 4}},
      {"1,", {1}},
      {",", {0}},
      {"1-2-3", {1, 2, 3}},
      {"99999999999", {0}},
  };
  for (const Case &c : cases)
    EXPECT_EQ(c.expected, parse(c.text)) << "'" << c.text << "'";
}

TEST(NumberRangesTest, AppendsWithoutClearing) {
  std::list<std::int32_t> out{9};
  auto end = parseNumberRanges("1-2", std::back_inserter(out));
  *end++ = 5;
  EXPECT_EQ((std::list<std::int32_t>{9, 1, 2, 5}), out);
}

TEST(NumberRangesTest, WideRangeIsCutWithWarning) {
  std::string warning;
  EXPECT_EQ(range(1, 20000), parse("1-30000", &warning));
  EXPECT_EQ("\n\nWARNING: configured number range 1-30000 is too large.\n"
            "WARNING: Will truncate range to 1-20000.\n\n\n",
            warning);
  EXPECT_EQ(range(1, 20000), parse("30000-1", &warning));
  EXPECT_EQ("\n\nWARNING: configured number range 1-30000 is too large.\n"
            "WARNING: Will truncate range to 1-20000.\n\n\n",
            warning);
  // Exactly 20000 apart stays whole: 20001 values.
  EXPECT_EQ(range(0, 20000), parse("0-20000"));
  EXPECT_EQ(range(5, 20004), parse("5-20006", &warning)); // 20001 apart: cut
  EXPECT_NE("", warning);
}

TEST(NumberRangesTest, RangesAtTheLargestInt) {
  EXPECT_EQ(range(INT_MAX - 2, INT_MAX), parse("2147483645-2147483647"));
  EXPECT_EQ(range(INT_MAX, INT_MAX), parse("2147483647-2147483647"));
  std::string warning;
  EXPECT_EQ(range(INT_MAX - 30000, INT_MAX - 10001), parse("2147453647-2147483647", &warning));
  EXPECT_EQ("\n\nWARNING: configured number range 2147453647-2147483647 is too large.\n"
            "WARNING: Will truncate range to 2147453647-2147473646.\n\n\n",
            warning);
  // A bound beyond the int range reads as 0.
  EXPECT_EQ(range(0, 3), parse("3-2147483648"));
}

TEST(NumberRangesTest, ToString) {
  EXPECT_EQ("0", U_toString(std::int32_t{0}));
  EXPECT_EQ("-2147483648", U_toString(std::int32_t{INT_MIN}));
  EXPECT_EQ("2147483647", U_toString(std::int32_t{INT_MAX}));
  EXPECT_EQ("4294967295", U_toString(std::uint32_t{4294967295u}));
}

} // namespace

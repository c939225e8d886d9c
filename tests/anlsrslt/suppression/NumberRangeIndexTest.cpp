// The index of message-number ranges: the ranges that cover a number, in key
// order, checked against a plain list on ranges added in orders that make the
// tree turn every way.
#include "anlsrslt/suppression/NumberRangeIndex.h"

#include <algorithm>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr std::int32_t intMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t intMin = std::numeric_limits<std::int32_t>::min();

std::vector<P_NumberRange> covering(const P_NumberRangeIndex &index, std::int32_t number) {
  std::vector<P_NumberRange> found;
  index.forEachCovering(number, [&found](const P_NumberRange &range) {
    found.push_back(range);
    return false;
  });
  return found;
}

std::string text(const std::vector<P_NumberRange> &ranges) {
  std::string joined;
  for (const P_NumberRange &range : ranges)
    joined.append("(")
        .append(std::to_string(range.first))
        .append(",")
        .append(std::to_string(range.second))
        .append(")");
  return joined;
}

TEST(NumberRangeIndexTest, RangesCoveringANumber) {
  P_NumberRangeIndex index;
  struct Added {
    P_NumberRange range;
    bool isNew;
  };
  const Added added[] = {
      {{5, 5}, true},           {{1, 9}, true},       {{5, 5}, false},       {{9, 3}, false},
      {{-3, -3}, true},         {{intMin, -2}, true}, {{100, intMax}, true}, {{intMin, intMax}, true},
      {{intMax, intMax}, true}, {{6, 8}, true},       {{1, 9}, false},       {{5, 7}, true},
  };
  for (const Added &a : added)
    EXPECT_EQ(a.isNew, index.insert(a.range)) << text({a.range});

  struct Case {
    std::int32_t number;
    const char *ranges;
  };
  const Case cases[] = {
      {intMin, "(-2147483648,-2)(-2147483648,2147483647)"},
      {-3, "(-2147483648,-2)(-2147483648,2147483647)(-3,-3)"},
      {-2, "(-2147483648,-2)(-2147483648,2147483647)"},
      {0, "(-2147483648,2147483647)"},
      {5, "(-2147483648,2147483647)(1,9)(5,5)(5,7)"},
      {6, "(-2147483648,2147483647)(1,9)(5,7)(6,8)"},
      {8, "(-2147483648,2147483647)(1,9)(6,8)"},
      {9, "(-2147483648,2147483647)(1,9)"},
      {10, "(-2147483648,2147483647)"},
      {4, "(-2147483648,2147483647)(1,9)"},
      {intMax, "(-2147483648,2147483647)(100,2147483647)(2147483647,2147483647)"},
  };
  for (const Case &c : cases)
    EXPECT_EQ(c.ranges, text(covering(index, c.number))) << c.number;

  // A visit that answers true ends the search there.
  std::vector<P_NumberRange> seen;
  EXPECT_TRUE(index.forEachCovering(6, [&seen](const P_NumberRange &range) {
    seen.push_back(range);
    return range == P_NumberRange{1, 9};
  }));
  EXPECT_EQ("(-2147483648,2147483647)(1,9)", text(seen));
  EXPECT_FALSE(index.forEachCovering(6, [](const P_NumberRange &) { return false; }));

  index.clear();
  EXPECT_EQ("", text(covering(index, 5)));
  EXPECT_TRUE(index.insert({5, 5})) << "held again after clear";
  EXPECT_EQ("(5,5)", text(covering(index, 5)));
}

TEST(NumberRangeIndexTest, AnswersAsAPlainListWhateverTheOrderOfAdding) {
  std::mt19937 random(3907);
  const auto pick = [&random](std::int32_t low, std::int32_t high) {
    return std::uniform_int_distribution<std::int32_t>(low, high)(random);
  };
  // How the ranges of one round are made and in which order they come.
  enum class Order { random, ascending, descending, nested, outward };
  const struct Shape {
    const char *what;
    Order order;
    int count;
    std::int32_t span; // numbers from -span to span
    std::int32_t widest;
  } shapes[] = {
      {"narrow ranges in random order", Order::random, 300, 200, 4},
      {"wide ranges in random order", Order::random, 300, 200, 150},
      {"ascending starts", Order::ascending, 300, 300, 30},
      {"descending starts", Order::descending, 300, 300, 30},
      {"nested, innermost last", Order::nested, 200, 250, 0},
      {"nested, outermost last", Order::outward, 200, 250, 0},
      {"a few numbers, many duplicates", Order::random, 300, 6, 3},
  };
  for (const Shape &shape : shapes) {
    SCOPED_TRACE(shape.what);
    for (int round = 0; round < 2; ++round) {
      std::vector<P_NumberRange> ranges;
      for (int i = 0; i < shape.count; ++i) {
        switch (shape.order) {
        case Order::random: {
          const std::int32_t from = pick(-shape.span, shape.span);
          // Now and then a range that covers nothing.
          ranges.emplace_back(from, pick(0, 9) ? from + pick(0, shape.widest) : from - pick(1, 5));
          break;
        }
        case Order::ascending:
        case Order::descending: {
          const std::int32_t from = -shape.span + i * 2;
          ranges.emplace_back(from, from + pick(0, shape.widest));
          break;
        }
        case Order::nested:
        case Order::outward:
          ranges.emplace_back(-shape.span + i, shape.span - i - pick(0, 1));
          break;
        }
      }
      if (shape.order == Order::descending || shape.order == Order::outward)
        std::reverse(ranges.begin(), ranges.end());

      P_NumberRangeIndex index;
      std::set<P_NumberRange> plain;
      for (const P_NumberRange &range : ranges) {
        const bool isNew = range.first <= range.second && !plain.count(range);
        ASSERT_EQ(isNew, index.insert(range)) << text({range});
        if (isNew)
          plain.insert(range);
      }
      const std::vector<P_NumberRange> inOrder(plain.begin(), plain.end());
      for (std::int32_t number = -shape.span - 2; number <= shape.span + shape.widest + 2; ++number) {
        std::vector<P_NumberRange> expected;
        for (const P_NumberRange &range : inOrder)
          if (range.first <= number && number <= range.second)
            expected.push_back(range);
        ASSERT_EQ(text(expected), text(covering(index, number)))
            << "round " << round << ", number " << number;
      }
    }
  }
}

} // namespace

#include "resultfiles/MetricThresholds.h"

#include "cmdline/CmdArgs.h"
#include "cmdline/Options.h"
#include "support/CurrentArguments.h"

#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

namespace {

using test_support::CurrentArgumentsTest;

constexpr std::uint64_t uint64Max = std::numeric_limits<std::uint64_t>::max();
constexpr std::int64_t int64Max = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t int64Min = std::numeric_limits<std::int64_t>::min();
const double nan = std::numeric_limits<double>::quiet_NaN();

// The type, comparison and limit of a check as text, such as "uint64 > 10".
template <class T, class Cmp>
bool describeAs(const ThresholdCheckBase &check, const char *type, const char *op, std::string &text) {
  const auto *typed = dynamic_cast<const ThresholdCheck<T, Cmp> *>(&check);
  if (!typed)
    return false;
  std::ostringstream out;
  out << type << " " << op << " " << typed->limit;
  text = out.str();
  return true;
}

template <class T> bool describeType(const ThresholdCheckBase &check, const char *type, std::string &text) {
  return describeAs<T, std::less<>>(check, type, "<", text) ||
         describeAs<T, std::less_equal<>>(check, type, "<=", text) ||
         describeAs<T, std::greater<>>(check, type, ">", text) ||
         describeAs<T, std::greater_equal<>>(check, type, ">=", text) ||
         describeAs<T, std::equal_to<>>(check, type, "==", text);
}

std::string describe(const ThresholdRule &rule) {
  if (!rule.check.isSet())
    return "no check, " + std::to_string(rule.messageNumber);
  std::string text;
  if (!describeType<double>(*rule.check, "double", text) &&
      !describeType<std::int64_t>(*rule.check, "int64", text) &&
      !describeType<std::uint64_t>(*rule.check, "uint64", text))
    text = "unknown check";
  return text + ", " + std::to_string(rule.messageNumber);
}

TEST(MetricThresholdsTest, EntriesGiveNameOperatorLimitAndMessage) {
  struct Case {
    std::string entry;
    std::string name;
    std::string rule;
  };
  const Case cases[] = {
      {"LINES>10", "LINES", "uint64 > 10, 4700"},
      {"Lines>=2.5:4711", "LINES", "double >= 2.5, 4711"},
      {"depth<-3", "DEPTH", "int64 < -3, 4700"},
      {"d<=-2.5:1", "D", "double <= -2.5, 1"},
      {"X==5", "X", "uint64 == 5, 4700"},
      {"X=5", "X", "uint64 == 5, 4700"},
      {"X=>5", "X", "uint64 == 0, 4700"},
      {"X>5:0", "X", "uint64 > 5, 4700"},
      {"X>5:abc", "X", "uint64 > 5, 4700"},
      {"X>5:-12", "X", "uint64 > 5, -12"},
      {"X>5: 12 and more", "X", "uint64 > 5, 12"},
      {"X>:7", "X", "uint64 > 0, 7"},
      {"X>abc", "X", "uint64 > 0, 4700"},
      {"X> 7", "X", "uint64 > 7, 4700"},
      {"X>  -7", "X", "int64 > -7, 4700"},
      {"X>\t-7", "X", "int64 > -7, 4700"},
      {"X>7x", "X", "uint64 > 7, 4700"},
      {"X>1e3", "X", "uint64 > 1, 4700"},
      {"X>-.5", "X", "double > -0.5, 4700"},
      {"X>18446744073709551615", "X", "uint64 > 18446744073709551615, 4700"},
      {"X>18446744073709551616", "X", "uint64 > 18446744073709551615, 4700"},
      {"X<-9223372036854775809", "X", "int64 < -9223372036854775808, 4700"},
      {"X>5:99999999999", "X", "uint64 > 5, 4700"},
      {" lines >1", " LINES ", "uint64 > 1, 4700"},
      {"m\xA4\xA2x<3", "M\xA4\xA2X", "uint64 < 3, 4700"},
      {"a<b>1", "A", "uint64 < 0, 4700"},
      // Invalid: no operator, operator first or last, or "=" after it last.
      {"X", "____INVALID____", "no check, 4700"},
      {">5", "____INVALID____", "no check, 4700"},
      {"X>", "____INVALID____", "no check, 4700"},
      {"X=", "____INVALID____", "no check, 4700"},
      {"X==", "____INVALID____", "no check, 4700"},
      {"X>=", "____INVALID____", "no check, 4700"},
      {"X<=", "____INVALID____", "no check, 4700"},
      {"", "____INVALID____", "no check, 4700"},
  };
  for (const Case &c : cases) {
    const auto [name, rule] = parseThresholdEntry(c.entry);
    EXPECT_EQ(c.name, name) << c.entry;
    EXPECT_EQ(c.rule, describe(rule)) << c.entry;
  }
}

TEST(MetricThresholdsTest, OperatorPosition) {
  struct Case {
    std::string entry;
    std::optional<std::size_t> position;
  };
  const Case cases[] = {
      {"A>1", 1},           {"AB>=1", 2},         {"A=1<2", 1},        {"A>=", std::nullopt},
      {"A>", std::nullopt}, {"<1", std::nullopt}, {"A", std::nullopt}, {"A>=1", 1},
      {"A>>", 1},
  };
  for (const Case &c : cases)
    EXPECT_EQ(c.position, thresholdOperatorPosition(c.entry)) << c.entry;
}

TEST(MetricThresholdsTest, ValueKinds) {
  struct Case {
    std::string value;
    ThresholdValueKind kind;
  };
  const Case cases[] = {
      {"10", ThresholdValueKind::unsignedInteger},  {"", ThresholdValueKind::unsignedInteger},
      {"-3", ThresholdValueKind::signedInteger},    {"  -3", ThresholdValueKind::signedInteger},
      {"-2.5", ThresholdValueKind::floating},       {"2.", ThresholdValueKind::floating},
      {"x.y", ThresholdValueKind::floating},        {"3-", ThresholdValueKind::unsignedInteger},
      {"+-3", ThresholdValueKind::unsignedInteger},
  };
  for (const Case &c : cases)
    EXPECT_EQ(c.kind, thresholdValueKind(c.value)) << "'" << c.value << "'";
}

// Every limit type against every value type, compared as numbers: the
// conversions of one type into the other never decide.
TEST(MetricThresholdsTest, ChecksCompareValueAndLimitAsNumbers) {
  using Value = std::variant<double, std::int64_t, std::uint64_t>;
  struct Case {
    std::string entry;
    Value value;
    bool fires;
  };
  const Case cases[] = {
      // Each operator, same types.
      {"X>10", std::uint64_t{11}, true},
      {"X>10", std::uint64_t{10}, false},
      {"X>=10", std::uint64_t{10}, true},
      {"X>=10", std::uint64_t{9}, false},
      {"X<10", std::uint64_t{9}, true},
      {"X<10", std::uint64_t{10}, false},
      {"X<=10", std::uint64_t{10}, true},
      {"X<=10", std::uint64_t{11}, false},
      {"X=10", std::uint64_t{10}, true},
      {"X==10", std::uint64_t{11}, false},
      {"X<-3", std::int64_t{-4}, true},
      {"X<-3", std::int64_t{-3}, false},
      {"X>=2.5", 2.5, true},
      {"X>=2.5", 2.4, false},
      // A signed limit against unsigned values: no unsigned value is below
      // -3, every one is above it.
      {"depth<-3", std::uint64_t{0}, false},
      {"depth<-3", uint64Max, false},
      {"depth>-3", std::uint64_t{0}, true},
      {"depth>=-1", uint64Max, true},
      {"depth=-1", uint64Max, false},
      {"X<=5", std::uint64_t{5}, true},
      {"X>-9223372036854775808", std::uint64_t{0}, true},
      // An unsigned limit of 2^63 or more against signed values.
      {"X<9223372036854775808", int64Max, true},
      {"X>9223372036854775808", int64Min, false},
      {"X>=18446744073709551615", int64Max, false},
      {"X<18446744073709551615", std::int64_t{-1}, true},
      {"X=18446744073709551615", std::int64_t{-1}, false},
      {"X<5", std::int64_t{-1}, true},
      // A double limit beyond the integer ranges, negative or fractional.
      {"X<100000000000000000000.0", uint64Max, true},
      {"X<100000000000000000000.0", int64Max, true},
      {"X>-100000000000000000000.0", int64Min, true},
      {"X>-100000000000000000000.0", std::uint64_t{0}, true},
      {"X<18446744073709551616.0", uint64Max, true},
      {"X>=9223372036854775808.0", int64Max, false},
      {"X<-9223372036854775808.0", int64Min, false},
      {"X<=-9223372036854775808.0", int64Min, true},
      {"X<-1.5", uint64Max, false},
      {"X>-1.5", std::uint64_t{0}, true},
      {"X>-0.5", std::uint64_t{0}, true},
      {"X<-0.5", std::uint64_t{0}, false},
      {"X>=2.5", std::int64_t{2}, false},
      {"X>=2.5", std::int64_t{3}, true},
      {"X=2.5", std::int64_t{2}, false},
      {"X<=-2.5", std::int64_t{-2}, false},
      {"X<=-2.5", std::int64_t{-3}, true},
      {"X>=2.0", std::uint64_t{2}, true},
      {"X=2.0", std::int64_t{2}, true},
      // Integer limits against double values, beyond the doubles' precision.
      {"X=18446744073709551615", 18446744073709551616.0, false},
      {"X<18446744073709551615", 18446744073709551616.0, false},
      {"X>9007199254740993", 9007199254740992.0, false},
      {"X<9007199254740993", 9007199254740992.0, true},
      {"X>-9007199254740993", -9007199254740992.0, true},
      {"X<=10", 10.5, false},
      {"X>=10", 10.0, true},
      {"X>-3", -2.5, true},
      // NaN never fires, on either side.
      {"X<10", nan, false},
      {"X>10", nan, false},
      {"X=10.0", nan, false},
      {"X>=-3", nan, false},
  };
  for (const Case &c : cases) {
    const ThresholdRule rule = parseThresholdEntry(c.entry).second;
    ASSERT_TRUE(rule.check.isSet()) << c.entry;
    const bool fires = std::visit([&](const auto &value) { return rule.check->test(value); }, c.value);
    EXPECT_EQ(c.fires, fires) << c.entry << " with value index " << c.value.index() << " "
                              << std::visit([](const auto &value) { return std::to_string(value); }, c.value);
  }
}

TEST(MetricThresholdsTest, NaNLimitNeverFires) {
  const ThresholdCheck<double, std::less_equal<>> check(nan);
  EXPECT_FALSE(check.test(1.0));
  EXPECT_FALSE(check.test(std::int64_t{1}));
  EXPECT_FALSE(check.test(std::uint64_t{1}));
}

class MetricThresholdLookupTest : public CurrentArgumentsTest {
protected:
  void setThresholds(const std::vector<std::string> &entries, const std::vector<std::string> &more = {}) {
    std::vector<std::string> words = more;
    for (const std::string &entry : entries) {
      words.push_back("-thresh");
      words.push_back(entry);
    }
    setArguments(words);
  }
};

TEST_F(MetricThresholdLookupTest, FirstRuleOfTheMetricThatFiresGivesTheMessage) {
  using Value = std::variant<double, std::int64_t, std::uint64_t>;
  struct Case {
    std::vector<std::string> entries;
    std::string metric;
    Value value;
    std::int32_t message;
  };
  const Case cases[] = {
      {{"LINES>10"}, "lines", std::uint64_t{11}, 4700},
      {{"LINES>10"}, "lines", std::uint64_t{10}, 0},
      {{"LINES>10"}, "Lines", std::int64_t{11}, 4700},
      {{"LINES>10"}, "LINE", std::uint64_t{11}, 0},
      {{"Lines>=2.5:4711"}, "lines", std::int64_t{2}, 0},
      {{"Lines>=2.5:4711"}, "lines", std::int64_t{3}, 4711},
      {{"Lines>=2.5:4711"}, "lines", 2.4, 0},
      {{"Lines>=2.5:4711"}, "lines", 2.5, 4711},
      {{"A>5:1", "A>3:2"}, "a", std::int64_t{6}, 1},
      {{"A>5:1", "A>3:2"}, "a", std::int64_t{4}, 2},
      {{"A>5:1", "A>3:2"}, "a", std::int64_t{2}, 0},
      {{"A>3:2", "B>1:3", "A>1:4"}, "b", std::uint64_t{2}, 3},
      {{"X>5:-12"}, "x", 6.0, -12},
      {{"X>1"}, "x", nan, 0},
      {{"depth<-3"}, "depth", uint64Max, 0},
      {{"depth<-3"}, "depth", std::int64_t{-4}, 4700},
      // An invalid entry is filed under a name of its own and never fires.
      {{"X", "____INVALID____>1"}, "____invalid____", std::uint64_t{5}, 4700},
      {{}, "lines", std::uint64_t{11}, 0},
  };
  for (const Case &c : cases) {
    setThresholds(c.entries);
    const std::int32_t message =
        std::visit([&](const auto &value) { return thresholdMessageFor(c.metric, value); }, c.value);
    EXPECT_EQ(c.message, message) << c.metric << " " << testing::PrintToString(c.entries);
  }
}

TEST_F(MetricThresholdLookupTest, BlanksAroundTheNameStayInIt) {
  C_Options options;
  options.threshold().add(" lines >1");
  options.threshold().add("lines>1:4701");
  const ThresholdTable &table = buildThresholdTable(options);
  ASSERT_EQ(2u, table.size());
  EXPECT_EQ(1u, table.count(" LINES "));
  EXPECT_EQ(4701, table.find("LINES")->second.messageNumber);
}

TEST_F(MetricThresholdLookupTest, TableIsRebuiltOnlyWhileAlwaysFirstIsGiven) {
  struct Case {
    std::vector<std::string> debug;
    std::int32_t afterChange;
  };
  const Case cases[] = {
      {{}, 0},
      {{"-debug", "always-first"}, 7},
  };
  for (const Case &c : cases) {
    setThresholds({"A>5"}, c.debug);
    EXPECT_EQ(4700, thresholdMessageFor("a", std::int64_t{6}));
    EXPECT_EQ(0, thresholdMessageFor("b", std::int64_t{6}));
    C_optThreshold().add("B>5:7");
    EXPECT_EQ(c.afterChange, thresholdMessageFor("b", std::int64_t{6})) << testing::PrintToString(c.debug);
    EXPECT_EQ(4700, thresholdMessageFor("a", std::int64_t{6}));
  }
}

} // namespace

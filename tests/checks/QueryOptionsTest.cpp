#include "anlsrslt/include/QueryOptions.h"

#include "foundation/StringStore.h"
#include "support/CurrentArguments.h"
#include "support/ProductOptionCacheReset.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// The values of a walk over the name, run to its end.
std::vector<std::string> valuesOf(const char *name) {
  std::vector<std::string> values;
  for (std::int32_t id = getFirstOption(name); !PI_optionValuesAtEnd(id);) {
    values.push_back(PI_currentOptionValue(id));
    if (PI_nextOptionValue(id))
      break;
  }
  return values;
}

class QueryOptionsTest : public test_support::CurrentArgumentsTest {
protected:
  // "prodoption" words, and a table built from them at the next walk.
  void setProductOptions(const std::vector<std::string> &values, bool alwaysFirst = false) {
    std::vector<std::string> words;
    for (const std::string &value : values)
      words.insert(words.end(), {"-prodoption", value});
    if (alwaysFirst)
      words.insert(words.end(), {"-debug", "always-first"});
    setArguments(words);
    test_support::ProductOptionCacheReset::reset();
  }
  void TearDown() override { test_support::ProductOptionCacheReset::reset(); }
};

TEST_F(QueryOptionsTest, ValuesFiledUnderTheirNamesInTheOrderGiven) {
  setProductOptions({"n::a", "m::x", "n::b", "n::", "plain", "::e", "n::c::d", "n:x"});
  EXPECT_EQ((std::vector<std::string>{"a", "b", "c::d"}), valuesOf("n"));
  EXPECT_EQ((std::vector<std::string>{"x"}), valuesOf("m"));
  EXPECT_EQ((std::vector<std::string>{"e"}), valuesOf(""));
  EXPECT_EQ((std::vector<std::string>{}), valuesOf("plain"));
  EXPECT_EQ((std::vector<std::string>{}), valuesOf("unknown"));
}

TEST_F(QueryOptionsTest, TheTableIsBuiltOnceUnlessAlwaysFirstIsGiven) {
  setProductOptions({"n::a"});
  EXPECT_EQ((std::vector<std::string>{"a"}), valuesOf("n"));
  setArguments({"-prodoption", "n::b"});
  EXPECT_EQ((std::vector<std::string>{"a"}), valuesOf("n")) << "built on the first walk only";

  setProductOptions({"n::a"}, true);
  EXPECT_EQ((std::vector<std::string>{"a"}), valuesOf("n"));
  // A walk begun on the old table stays valid while a new one is built.
  const std::int32_t open = getFirstOption("n");
  setArguments({"-prodoption", "n::b", "-prodoption", "n::c", "-debug", "always-first"});
  EXPECT_EQ((std::vector<std::string>{"b", "c"}), valuesOf("n"));
  EXPECT_STREQ("a", PI_currentOptionValue(open));
  EXPECT_TRUE(PI_nextOptionValue(open));
}

TEST_F(QueryOptionsTest, AnEmptyWalkKeepsItsId) {
  setProductOptions({"n::a"});
  const std::int32_t empty = getFirstOption("none");
  EXPECT_TRUE(PI_optionValuesAtEnd(empty));
  EXPECT_EQ(nullptr, PI_currentOptionValue(empty));
  EXPECT_NE(empty, getFirstOption("none"));
}

TEST_F(QueryOptionsTest, AValueAtAPositionOfTheTable) {
  setProductOptions({"n::a", "m::x", "n::b"});
  const P_CountedPtr<P_ProductOptionTable> table = alwaysFirstCache();
  const auto [begin, end] = table->equal_range(internString("n"));
  std::vector<std::string> values;
  for (auto position = begin; position != end; ++position)
    values.push_back(optionCacheValue(position));
  EXPECT_EQ((std::vector<std::string>{"a", "b"}), values);
  EXPECT_STREQ("x", optionCacheValue(table->find(internString("m"))));
  EXPECT_EQ(table, alwaysFirstCache()) << "built once";
}

TEST_F(QueryOptionsTest, OptionWordsTakenApart) {
  struct Case {
    const char *word;
    bool switchValue; // when the word is a switch
    std::string name;
    const char *value; // null: not a value word
  };
  const Case cases[] = {
      {"flag-", false, "flag", nullptr}, {"flag+", true, "flag", nullptr}, {"flag", true, "flag", nullptr},
      {"", true, "", nullptr},           {"a+-b", true, "a", nullptr},     {"a=b", false, "a", "b"},
      {"a b=c", false, "a", "b=c"},      {"a=", false, "a", ""},           {"=v", false, "", "v"},
  };
  for (const Case &c : cases) {
    if (c.value == nullptr)
      EXPECT_EQ(c.switchValue, PI_parseBoolOption(c.word)) << c.word;
    else
      EXPECT_STREQ(c.value, PI_optionValue(c.word)) << c.word;
    EXPECT_EQ(c.name, PI_optionName(c.word)) << c.word;
  }
  const char *plain = "plain";
  EXPECT_EQ(plain, PI_optionName(plain)) << "the argument itself";
  EXPECT_EQ(PI_optionName("x=1"), PI_optionName("x+")) << "interned";
  EXPECT_EQ(plain, PI_optionIdentity(plain));
}

using QueryOptionsDeathTest = QueryOptionsTest;

TEST_F(QueryOptionsDeathTest, WordsOfTheOtherKindAndANullName) {
  EXPECT_DEATH(PI_parseBoolOption("a=1"),
               "Assertion '! \"Boolean options should be:  option\\[\\+\\|-\\]\\+\"' failed");
  EXPECT_DEATH(PI_parseBoolOption("a 1"), "Boolean options should be");
  EXPECT_DEATH(PI_optionValue("a+"),
               "Assertion '! \"Value options should be:  option\\[ \\|=\\]\\.\\*\"' failed");
  EXPECT_DEATH(PI_optionValue("a-1"), "Value options should be");
  EXPECT_DEATH(PI_optionValue("a"), "Value options should be");
  EXPECT_DEATH(getFirstOption(nullptr), "0 != value && \"Do not call getFirstOption with a null option\"");
}

TEST_F(QueryOptionsDeathTest, TheEndOfTheTableHasNoValue) {
  for (const bool alwaysFirst : {false, true}) {
    // Under "always-first" too the position is one of the table built last.
    setProductOptions({"n::a"}, alwaysFirst);
    const P_CountedPtr<P_ProductOptionTable> table = alwaysFirstCache();
    EXPECT_DEATH(optionCacheValue(table->end()),
                 "Assertion 'iter != cache.end \\(\\) && \"We should have a valid iterator\"' failed");
    EXPECT_DEATH(optionCacheValue(table->find(internString("none"))), "We should have a valid iterator");
  }
}

} // namespace

#include "checks/TokenList.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using Tokens = std::vector<std::string>;
using Indexes = std::vector<int>;

// The list read back every way it can be read: as strings, by iteration and
// by index.
void expectHolds(const Tokens &expected, const TokenList &list, const std::string &what) {
  ASSERT_EQ(expected.size(), list.size()) << what;
  EXPECT_EQ(expected.empty(), list.empty()) << what;
  EXPECT_EQ(expected, list.strings()) << what;
  std::size_t i = 0;
  for (auto token = list.begin(); token != list.end(); ++token, ++i) {
    EXPECT_EQ(i, token.index()) << what;
    EXPECT_EQ(expected[i], *token) << what << " at " << i;
    EXPECT_EQ(expected[i], list[i]) << what << " at " << i;
    EXPECT_EQ(expected[i], *list.iteratorAt(i)) << what << " at " << i;
  }
  EXPECT_TRUE(list.iteratorAt(list.size()) == list.end()) << what;
}

void expectHolds(const Indexes &expected, const TokenLineList &list, const std::string &what) {
  ASSERT_EQ(expected.size(), list.size()) << what;
  EXPECT_EQ(expected, list.indexes()) << what;
  for (std::size_t i = 0; i < expected.size(); ++i)
    EXPECT_EQ(expected[i], list[i]) << what << " at " << i;
}

// Tokens of n bytes each.
Tokens tokensOfLength(std::size_t count, std::size_t length) {
  Tokens tokens;
  for (std::size_t i = 0; i < count; ++i)
    tokens.push_back(std::string(length, static_cast<char>('a' + i % 26)));
  return tokens;
}

Tokens joined(Tokens a, const Tokens &b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(TokenListTest, HoldsTheTokensAsAVectorOfStringsDoes) {
  const struct Case {
    const char *what;
    Tokens tokens;
  } cases[] = {
      {"none", {}},
      {"one empty token", {""}},
      {"empty tokens among others", {"a", "", "", "bc", ""}},
      {"bytes of every kind", {std::string("\0x\0", 3), "\xFF\x80", "\n", " "}},
      // A block of the index holds 16 tokens.
      {"one block less one", tokensOfLength(15, 2)},
      {"one block", tokensOfLength(16, 1)},
      {"one block and one", tokensOfLength(17, 3)},
      {"two blocks and one", tokensOfLength(33, 1)},
      // From 255 bytes on, the length stands in front of the token.
      {"lengths around the long form", {std::string(254, 'a'), std::string(255, 'b'), std::string(256, 'c')}},
      {"long tokens across a block",
       joined(joined(tokensOfLength(15, 1), tokensOfLength(3, 300)), tokensOfLength(20, 7))},
      {"a long token of lengths' bytes", {std::string(255, '\xFF'), "x"}},
  };
  for (const Case &c : cases) {
    TokenList list;
    for (const std::string &token : c.tokens)
      list.push_back(token);
    expectHolds(c.tokens, list, c.what);
    EXPECT_TRUE(TokenList(c.tokens) == list) << c.what;

    // Taken off one by one from the end, then added again.
    Tokens remaining = c.tokens;
    while (!remaining.empty()) {
      remaining.pop_back();
      list.pop_back();
      expectHolds(remaining, list, std::string(c.what) + " cut to " + std::to_string(remaining.size()));
    }
    for (const std::string &token : c.tokens)
      list.push_back(token);
    expectHolds(c.tokens, list, std::string(c.what) + " again");
    list.clear();
    expectHolds({}, list, std::string(c.what) + " cleared");
  }
}

TEST(TokenListTest, ATokenOfTheListItselfCanBeAddedAgain) {
  TokenList list{"short", std::string(400, 'L')};
  for (int round = 0; round < 40; ++round) {
    list.push_back(list[0]);
    list.push_back(list[1]);
  }
  Tokens expected;
  for (int round = 0; round < 41; ++round)
    expected = joined(expected, {"short", std::string(400, 'L')});
  expectHolds(expected, list, "own tokens");
}

TEST(TokenListTest, EqualListsHoldEqualTokens) {
  EXPECT_TRUE((TokenList{"a", "bc"} == TokenList{"a", "bc"}));
  EXPECT_FALSE((TokenList{"a", "bc"} == TokenList{"ab", "c"}));
  EXPECT_FALSE((TokenList{"a", ""} == TokenList{"a"}));
  EXPECT_TRUE((TokenList{} == TokenList{}));
}

// Random lists of tokens of every length that a long line gives, pushed and
// popped in random order, against a vector of strings.
TEST(TokenListTest, RandomPushesAndPopsMatchAVectorOfStrings) {
  std::mt19937 random(39);
  for (int round = 0; round < 50; ++round) {
    TokenList list;
    Tokens expected;
    for (int step = 0; step < 300; ++step) {
      if (!expected.empty() && random() % 4 == 0) {
        list.pop_back();
        expected.pop_back();
        continue;
      }
      const std::size_t length = random() % 10 == 0 ? 250 + random() % 20 : random() % 8;
      std::string token;
      for (std::size_t i = 0; i < length; ++i)
        token += static_cast<char>(random() % 256);
      list.push_back(token);
      expected.push_back(token);
    }
    expectHolds(expected, list, "round " + std::to_string(round));
  }
}

TEST(TokenLineListTest, HoldsTheIndexesAsAVectorOfIntsDoes) {
  const struct Case {
    const char *what;
    Indexes lines;
  } cases[] = {
      {"none", {}},
      {"one line", {4, 4, 4}},
      {"lines in order", {0, 0, 1, 3, 3, 3, 7}},
      {"lines in any order", {5, 2, 2, 5, 0, -1, -1, 5}},
      {"every index a line of its own", {1, 2, 3, 4, 5}},
  };
  for (const Case &c : cases) {
    TokenLineList list;
    for (int line : c.lines)
      list.push_back(line);
    expectHolds(c.lines, list, c.what);
    EXPECT_TRUE(TokenLineList(c.lines) == list) << c.what;
    Indexes remaining = c.lines;
    while (!remaining.empty()) {
      remaining.pop_back();
      list.pop_back();
      expectHolds(remaining, list, std::string(c.what) + " cut to " + std::to_string(remaining.size()));
    }
    // A run cut short and continued is one run again.
    for (int line : c.lines)
      list.push_back(line);
    EXPECT_TRUE(TokenLineList(c.lines) == list) << c.what;
    list.clear();
    expectHolds({}, list, std::string(c.what) + " cleared");
  }
}

} // namespace

#include "foundation/TextHashIndex.h"

#include <deque>
#include <gtest/gtest.h>
#include <string>

namespace {

TEST(TextHashIndexTest, FindsWhatWasInsertedThroughGrowth) {
  U_TextHashIndex<int> index;
  std::deque<std::string> texts; // keeps every text at its address
  EXPECT_EQ(nullptr, index.find("absent", U_TextHashIndex<int>::hashOf("absent")));
  for (int i = 0; i < 5000; ++i) {
    const std::string &text = texts.emplace_back("text" + std::to_string(i));
    index.insert(text, U_TextHashIndex<int>::hashOf(text), i);
  }
  EXPECT_EQ(5000u, index.size());
  for (int i = 0; i < 5000; ++i) {
    const std::string copy = "text" + std::to_string(i); // another address
    const auto *slot = index.find(copy, U_TextHashIndex<int>::hashOf(copy));
    ASSERT_NE(nullptr, slot) << copy;
    EXPECT_EQ(i, slot->value) << copy;
    EXPECT_EQ(texts[i].data(), slot->text) << copy;
  }
  const std::string missing = "text5000";
  EXPECT_EQ(nullptr, index.find(missing, U_TextHashIndex<int>::hashOf(missing)));
}

// Equal hash bits alone do not make texts equal: lengths and bytes decide.
TEST(TextHashIndexTest, TextsWithOneHashStayApart) {
  U_TextHashIndex<int> index;
  const std::string a = "alpha", b = "beta", prefix = "alph", empty;
  index.insert(a, 7, 1);
  index.insert(b, 7, 2);
  index.insert(empty, 7, 3);
  EXPECT_EQ(1, index.find(std::string("alpha"), 7)->value);
  EXPECT_EQ(2, index.find(std::string("beta"), 7)->value);
  EXPECT_EQ(3, index.find(std::string(), 7)->value);
  EXPECT_EQ(nullptr, index.find(prefix, 7));
  EXPECT_EQ(nullptr, index.find(std::string("alpha"), 8));
}

} // namespace

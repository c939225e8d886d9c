#include "foundation/CountedString.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>

namespace {

TEST(CountedStringTest, NewBodyCapacityIsNextMultipleOf16AboveLengthPlusOne) {
  struct Case {
    std::string text;
    std::size_t capacity;
  };
  const Case cases[] = {
      {"", 16},
      {std::string(14, 'x'), 16},
      {std::string(15, 'x'), 32},
      {std::string(16, 'x'), 32},
      {std::string(31, 'x'), 48},
  };
  for (const Case &c : cases) {
    CountedString fromC(c.text.c_str());
    CountedString fromStd(c.text);
    EXPECT_EQ(c.capacity, fromC.capacity()) << c.text.size();
    EXPECT_EQ(c.capacity, fromStd.capacity()) << c.text.size();
    EXPECT_EQ(c.text.size(), fromC.length());
    EXPECT_EQ(c.text, fromC.text());
  }
  CountedString empty;
  EXPECT_EQ(16u, empty.capacity());
  EXPECT_EQ(0u, empty.length());
  EXPECT_EQ(0u, empty.hash());
  EXPECT_STREQ("", empty.text());
}

// The hash shifts by 4 and takes each byte as a signed value, so a byte of
// 0x80 or above brings in all high bits.
TEST(CountedStringTest, HashMatchesHandComputedValueHoweverTheTextWasBuilt) {
  struct Case {
    const char *text;
    std::uint64_t hash;
  };
  const Case cases[] = {
      {"", 0},
      {"A", 0x41},
      {"AB", 0x452},
      {"A\x80", 0xFFFFFFFFFFFFFB90ull},
      {"\xFF"
       "A",
       0xFFFFFFFFFFFFFFB1ull},
  };
  for (const Case &c : cases) {
    CountedString made(c.text);
    CountedString appended;
    for (const char *p = c.text; *p; ++p)
      appended.append(*p);
    CountedString assigned("some longer text to be replaced in place");
    assigned = c.text;
    EXPECT_EQ(c.hash, made.hash()) << c.text;
    EXPECT_EQ(c.hash, appended.hash()) << c.text;
    EXPECT_EQ(c.hash, assigned.hash()) << c.text;
    EXPECT_EQ(made, appended);
    EXPECT_EQ(made, assigned);
  }
}

TEST(CountedStringTest, AppendAfterCopyLeavesTheCopyUnchanged) {
  CountedString original("abc");
  CountedString copy(original);
  EXPECT_EQ(2u, original.useCount());
  EXPECT_EQ(original.text(), copy.text());

  original.append('d');
  EXPECT_STREQ("abcd", original.text());
  EXPECT_STREQ("abc", copy.text());
  EXPECT_EQ(1u, original.useCount());
  EXPECT_EQ(1u, copy.useCount());
  EXPECT_EQ(CountedString("abc").hash(), copy.hash());

  CountedString assigned;
  assigned = copy;
  assigned.append(CountedString("xyz"));
  EXPECT_STREQ("abc", copy.text());
  EXPECT_STREQ("abcxyz", assigned.text());
}

TEST(CountedStringTest, AssignCStringReplacesInPlaceOrDetachesWhenShared) {
  CountedString text("abcdef");
  const char *buffer = text.text();
  text = "xy";
  EXPECT_EQ(buffer, text.text()); // fits: the same buffer
  EXPECT_STREQ("xy", text.text());
  EXPECT_EQ(16u, text.capacity());

  text = "0123456789abcdefghij"; // 20 bytes do not fit in 16
  EXPECT_STREQ("0123456789abcdefghij", text.text());
  EXPECT_GT(text.capacity(), 20u);
  EXPECT_EQ(CountedString("0123456789abcdefghij").hash(), text.hash());

  CountedString shared(text);
  text = "new";
  EXPECT_STREQ("new", text.text());
  EXPECT_STREQ("0123456789abcdefghij", shared.text());
  EXPECT_EQ(1u, shared.useCount());

  // The new text may be a part of the old one.
  text = "prefix-tail";
  text = text.text() + 7;
  EXPECT_STREQ("tail", text.text());
  EXPECT_EQ(CountedString("tail"), text);

  text = nullptr;
  EXPECT_EQ(0u, text.length());
}

TEST(CountedStringTest, AppendGrowsToRoundedSumPlus16) {
  struct Case {
    std::size_t initial;
    std::size_t added;
    std::size_t capacity;
  };
  const Case cases[] = {
      {0, 15, 16},  // 15 bytes and the terminator still fit in 16
      {0, 16, 48},  // (16 + 16) rounded down, + 16
      {14, 2, 32},  // (16 + 2) rounded down to 16, + 16
      {15, 1, 32},  // fits in 32
      {15, 17, 64}, // (32 + 17) rounded down to 48, + 16
  };
  for (const Case &c : cases) {
    CountedString text(std::string(c.initial, 'a'));
    text.append(CountedString(std::string(c.added, 'b')));
    std::string expected = std::string(c.initial, 'a') + std::string(c.added, 'b');
    EXPECT_EQ(expected, text.toStdString());
    EXPECT_EQ(CountedString(expected).hash(), text.hash());
    EXPECT_EQ(c.capacity, text.capacity()) << c.initial << "+" << c.added;
  }
}

TEST(CountedStringTest, AppendToItself) {
  struct Case {
    std::string text;
    int times;
  };
  const Case cases[] = {{"ab", 1}, {std::string(15, 'q'), 1}, {"x", 6}, {"", 2}};
  for (const Case &c : cases) {
    CountedString text(c.text);
    std::string expected = c.text;
    for (int i = 0; i < c.times; ++i) {
      text.append(text);
      expected += expected;
    }
    EXPECT_EQ(expected, text.toStdString());
    EXPECT_EQ(CountedString(expected).hash(), text.hash());

    // Through a second handle on the same body.
    CountedString other(c.text);
    CountedString sharer(other);
    other.append(sharer);
    EXPECT_EQ(c.text + c.text, other.toStdString());
    EXPECT_EQ(c.text, sharer.toStdString());
  }
}

TEST(CountedStringTest, EqualityAndOrderAreByUnsignedBytes) {
  CountedString a("abc");
  CountedString b("abc");
  EXPECT_TRUE(a == b); // separate bodies
  CountedString c(a);
  EXPECT_TRUE(a == c); // shared body
  EXPECT_TRUE(a == "abc");
  EXPECT_FALSE(a == "abcd");
  EXPECT_FALSE(a == "ab");
  EXPECT_TRUE(a != CountedString("abd"));

  struct Case {
    const char *left;
    const char *right;
    int sign;
  };
  const Case cases[] = {
      {"", "", 0},         {"a", "b", -1},   {"b", "a", 1},         {"ab", "abc", -1}, {"abc", "ab", 1},
      {"\x80", "\x7F", 1}, {"\xFF", "a", 1}, {"a\xA4", "a\xA4", 0}, {"", "a", -1},     {"z", "\xA4\xA2", -1},
  };
  for (const Case &k : cases) {
    int result = CountedString(k.left).compare(CountedString(k.right));
    int sign = (result > 0) - (result < 0);
    EXPECT_EQ(k.sign, sign) << k.left << " vs " << k.right;
    result = CountedString(k.left).compare(k.right);
    sign = (result > 0) - (result < 0);
    EXPECT_EQ(k.sign, sign) << k.left << " vs C " << k.right;
    EXPECT_EQ(k.sign < 0, CountedString(k.left) < CountedString(k.right));
  }
}

TEST(CountedStringTest, BucketIndexIsHashModuloCount) {
  CountedString text("AB"); // hash 0x452 = 1106
  EXPECT_EQ(1106u % 7, text.bucketIndex(7));
  EXPECT_EQ(0u, text.bucketIndex(1));
  EXPECT_EQ(0u, text.bucketIndex(0));
  CountedString high("\xFF");
  EXPECT_EQ(static_cast<std::size_t>(0xFFFFFFFFFFFFFFFFull % 10), high.bucketIndex(10));
}

TEST(CountedStringTest, WritesItsTextToAStream) {
  std::ostringstream out;
  out << CountedString("a\xA4\xA2") << '|' << CountedString();
  EXPECT_EQ("a\xA4\xA2|", out.str());
}

TEST(CountedStringTest, AssignmentSharesAndReleases) {
  CountedString a("one");
  CountedString b("two");
  {
    CountedString c(b);
    a = c;
    EXPECT_EQ(3u, b.useCount());
    a = a; // self-assignment keeps the body
    EXPECT_EQ(3u, b.useCount());
  }
  EXPECT_EQ(2u, b.useCount());
  EXPECT_STREQ("two", a.text());
}

} // namespace

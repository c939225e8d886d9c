#include "checks/TextHelpers.h"

#include "support/ScratchDirectory.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Pieces = std::vector<std::string>;

// The pieces in one readable text for failure messages.
std::string show(const Pieces &pieces) {
  std::string text = "[";
  for (const std::string &piece : pieces)
    text += "<" + piece + ">";
  return text + "]";
}

TEST(TextHelpersTest, ToLowerCopyLowersOnlyAsciiCapitals) {
  struct Case {
    std::string text;
    std::string expected;
  };
  const Case cases[] = {
      {"-VER", "-ver"},
      {"-Ver", "-ver"},
      {"aZ@[`{09", "az@[`{09"},
      // EUC and Latin-1 bytes above 0x7F stay as they are.
      {std::string("\xC0\xC9\xB4\xC1\xDA", 5), std::string("\xC0\xC9\xB4\xC1\xDA", 5)},
      {"", ""},
  };
  for (const Case &c : cases)
    EXPECT_EQ(c.expected, toLowerCopy(c.text));
}

TEST(TextHelpersTest, SplitAtCharKeepsInnerEmptyPiecesAndDropsATrailingOne) {
  struct Case {
    std::string text;
    Pieces expected;
  };
  const Case cases[] = {
      {"a;b;", {"a", "b"}}, {"a;;b", {"a", "", "b"}},
      {";a", {"", "a"}},    {"", {}},
      {"x", {"x"}},         {";", {""}},
      {";;", {"", ""}},     {"0034:5123", {"0034:5123"}},
  };
  for (const Case &c : cases)
    EXPECT_EQ(c.expected, splitAtChar(c.text, ';')) << c.text << " gave " << show(splitAtChar(c.text, ';'));
}

TEST(TextHelpersTest, SplitAtCharRunCutsOnceAtARunOfSeparators) {
  struct Case {
    std::string text;
    Pieces expected;
  };
  const Case cases[] = {
      {"a;;b;", {"a", "b"}}, {";;a", {"", "a"}}, {"a;b", {"a", "b"}}, {"", {}}, {";;;", {""}}, {"ab", {"ab"}},
  };
  for (const Case &c : cases)
    EXPECT_EQ(c.expected, splitAtCharRun(c.text, ';'))
        << c.text << " gave " << show(splitAtCharRun(c.text, ';'));
}

TEST(TextHelpersTest, SplitStringByMaximumNumberOfParts) {
  struct Case {
    std::string sep;
    std::string text;
    int maxParts;
    Pieces expected;
  };
  const Case cases[] = {
      {",", "a,b", 0, {}},
      {",", "a,b", -2, {}},
      {",", "a,b", 1, {"a,b"}},
      {",", "a,b,", -1, {"a", "b", ""}},
      {",", "", -1, {""}},
      {",", ",,", -1, {"", "", ""}},
      {",", "a,b,c", 2, {"a", "b,c"}},
      {",", "a,b,c", 3, {"a", "b", "c"}},
      {",", "a,b,c", 9, {"a", "b", "c"}},
      {"::", "x::y::z", 2, {"x", "y::z"}},
      {"::", "x:y", -1, {"x:y"}},
      {"", "abc", -1, {"a", "b", "c"}},
      {"", "", -1, {}},
      {"", "abc", 2, {"a", "bc"}},
      {"", "abc", 4, {"a", "b", "c", ""}},
      {"", "ab", 9, {"a", "b", ""}},
  };
  for (const Case &c : cases)
    EXPECT_EQ(c.expected, splitString(c.sep, c.text, c.maxParts))
        << "'" << c.sep << "' in " << c.text << " at most " << c.maxParts << " gave "
        << show(splitString(c.sep, c.text, c.maxParts));
}

TEST(TextHelpersTest, IndexOfStringLooksOnlyInsideTheRangeAndTheVector) {
  const Pieces words = {"char", "int", "long", "int"};
  struct Case {
    std::string text;
    int from;
    int to;
    int expected;
  };
  const Case cases[] = {
      {"int", 0, 3, 1},    {"int", 2, 3, 3},  {"int", 2, 2, -1}, {"char", 1, 3, -1}, {"long", 3, 2, -1},
      {"float", 0, 3, -1}, {"int", 0, 99, 1}, {"int", -5, 1, 1}, {"int", 3, 99, 3},  {"char", -1, -1, -1},
  };
  for (const Case &c : cases)
    EXPECT_EQ(c.expected, indexOfString(words, c.text, c.from, c.to))
        << c.text << " " << c.from << ".." << c.to;
  EXPECT_EQ(-1, indexOfString({}, "int", 0, 0));
}

TEST(TextHelpersTest, TrimmingRemovesOnlyTheGivenBytes) {
  struct Case {
    std::string text;
    std::string trimmed;
    std::string rightOfDigits;
    std::string leftOfDigits;
  };
  const Case cases[] = {
      {"  a b  ", "a b", "  a b  ", "  a b  "},
      {"\ta\t", "\ta\t", "\ta\t", "\ta\t"},
      {"   ", "", "   ", "   "},
      {"", "", "", ""},
      {"12x34", "12x34", "12x", "x34"},
      {"0123", "0123", "", ""},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(c.trimmed, trim(c.text)) << "[" << c.text << "]";
    EXPECT_EQ(c.rightOfDigits, trimRight(c.text, "0123456789")) << "[" << c.text << "]";
    EXPECT_EQ(c.leftOfDigits, trimLeft(c.text, "0123456789")) << "[" << c.text << "]";
  }
}

TEST(TextHelpersTest, ReplaceAllGoesOnAfterEachInsertedText) {
  struct Case {
    std::string text;
    std::string from;
    std::string to;
    std::string expected;
  };
  const Case cases[] = {
      {"aaa", "a", "aa", "aaaaaa"}, {"a.b.c", ".", "::", "a::b::c"},
      {"abcabc", "bc", "", "aa"},   {"abc", "", "x", "abc"},
      {"", "a", "b", ""},           {"aaaa", "aa", "a", "aa"},
      {"xyz", "q", "r", "xyz"},
  };
  for (const Case &c : cases) {
    std::string text = c.text;
    replaceAll(text, c.from, c.to);
    EXPECT_EQ(c.expected, text) << c.text << ": " << c.from << " -> " << c.to;
  }
}

TEST(TextHelpersTest, DirectiveNamesNeedAFollowingNonIdentifierByte) {
  struct Case {
    std::string line;
    bool isDefine;
  };
  const Case cases[] = {
      {"  #  define X", true},
      {"#define X", true},
      {"\t#\tdefine\tX", true},
      {"#define(", true},
      {"#defined", false},
      {"#define", false},
      {"#define_x", false},
      {"# undef X", false},
      {"x #define y", false},
      {"", false},
      {"#", false},
      {"#  ", false},
      {"//#define X", false},
      {"#define9", false},
  };
  for (const Case &c : cases)
    EXPECT_EQ(c.isDefine, isDefineDirective(c.line)) << "[" << c.line << "]";
  EXPECT_TRUE(isDirectiveNamed("#include <a.h>", "include"));
  EXPECT_TRUE(isDirectiveNamed("# if X", "if"));
  EXPECT_FALSE(isDirectiveNamed("#ifdef X", "if"));
}

TEST(TextHelpersTest, TextBetweenGivesEveryByteStrictlyInside) {
  struct Case {
    std::string text;
    std::string expected;
  };
  const Case cases[] = {
      {"(abc)", "abc"}, {"f(a, b) + (c)", "a, b"},
      {"()", ""},       {"(abc", "abc"},
      {"abc)", ""},     {"", ""},
      {"x(", ""},       {")a(b)", "b"},
  };
  for (const Case &c : cases)
    EXPECT_EQ(c.expected, textBetween(c.text, '(', ')')) << c.text;
  EXPECT_EQ("a", textBetween("|a|b|", '|', '|'));
}

TEST(TextHelpersTest, SmallConversionsAndTests) {
  EXPECT_EQ("ab", concatStrings("a", "b"));
  EXPECT_EQ("", concatStrings("", ""));
  EXPECT_TRUE(isAlnumChar('a') && isAlnumChar('Z') && isAlnumChar('0') && isAlnumChar('9'));
  EXPECT_FALSE(isAlnumChar('_') || isAlnumChar('@') || isAlnumChar(' ') || isAlnumChar('\xC1'));
}

TEST(TextHelpersTest, StreamSizeKeepsTheReadingPosition) {
  std::istringstream in("0123456789");
  in.seekg(4);
  EXPECT_EQ(10u, streamSize(in));
  EXPECT_EQ('4', in.get());
  std::istringstream empty("");
  EXPECT_EQ(0u, streamSize(empty));
}

TEST(TextHelpersTest, PathsAreEqualByTheirAbsoluteForm) {
  const test_support::ScratchDirectory dir;
  dir.makeDirectory("sub");
  dir.writeFile("sub/a.c");
  const test_support::CurrentDirectory here(dir.path());
  EXPECT_TRUE(pathsEqual("sub/a.c", dir / "sub/a.c"));
  EXPECT_TRUE(pathsEqual("sub/../sub/a.c", "./sub/a.c"));
  EXPECT_FALSE(pathsEqual("sub/a.c", "sub/b.c"));
}

} // namespace

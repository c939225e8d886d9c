#include "checks/LiteralBlanking.h"

#include "support/TextLines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

// Each case is one call over all its lines: the automaton's state carries from
// line to line.
TEST(LiteralBlankingTest, Automaton) {
  const struct Case {
    Lines input;
    Lines expected;
  } cases[] = {
      // Literals and comments on one line.
      {{"x = \"a/*b\"; /* c */ y = 'q';"}, {"x = \"    \"; /*   */ y = ' ';"}},
      {{"a = \"x\\\"y\"; b = 1;"}, {"a = \"    \"; b = 1;"}},
      {{"c = '\\'';"}, {"c = '  ';"}},
      {{"s = \"\\\\\"; t;"}, {"s = \"  \"; t;"}},
      {{"s = \"it's\";"}, {"s = \"    \";"}},
      {{"c = '\"'; d;"}, {"c = ' '; d;"}},
      {{"int a; // note \"x\" 'y'"}, {"int a; //             "}},
      {{"/**/x"}, {"/**/x"}},
      {{"/*/ x */y"}, {"/*    */y"}},
      {{"a / b /"}, {"a / b /"}},
      {{""}, {""}},
      // A "/" at the end of a line never starts a comment.
      {{"a /", "/ b"}, {"a /", "/ b"}},
      // An escape at the end of a line applies to the first character of the next.
      {{"s = \"ab\\", "cd\"; t = 2;"}, {"s = \"   ", "  \"; t = 2;"}},
      {{"s = \"ab\\", "\"cd\"; t"}, {"s = \"   ", "   \"; t"}},
      // A literal not closed on its line goes on in the next.
      {{"s = \"ab", "cd\" x"}, {"s = \"  ", "  \" x"}},
      // A block comment over several lines; one never closed.
      {{"a /* b", "c c", "", "d */ e"}, {"a /*  ", "   ", "", "  */ e"}},
      {{"a /* b", "c", "d"}, {"a /*  ", " ", " "}},
      // "*" at the end of a line does not close a comment with "/" on the next.
      {{"/* a *", "/ b */ c"}, {"/*    ", "    */ c"}},
      // A line comment ending in a backslash goes on in the next line, and so
      // on while each line ends in one.
      {{"// note \\", "int x;", "int y;"}, {"//       ", "      ", "int y;"}},
      {{"// note \\  \t", "int x; \\", "int y;", "int z;"}, {"//          ", "        ", "      ", "int z;"}},
      {{"a; // b \\ c", "int x;"}, {"a; //      ", "int x;"}},
      // A line comment's backslash is not looked at when the comment is blanked
      // as part of a continued one.
      {{"x; /* a */ // b \\", "\"still\" \\", "y"}, {"x; /*   */ //    ", "         ", " "}},
      // An apostrophe in code opens a character literal that goes on to the
      // next apostrophe.
      {{"#error don't", "int a;", "b';"}, {"#error don' ", "      ", " ';"}},
      // Comment markers inside literals and quotes inside comments.
      {{"\"//\" x // y"}, {"\"  \" x //  "}},
      {{"/* \" */ \"*/\""}, {"/*   */ \"  \""}},
  };
  for (const Case &c : cases) {
    Lines lines = c.input;
    blankCommentsAndLiterals(lines);
    EXPECT_EQ(c.expected, lines) << test_support::quotedLines(c.input);
    ASSERT_EQ(c.input.size(), lines.size()) << test_support::quotedLines(c.input);
    for (std::size_t i = 0; i < lines.size(); ++i)
      EXPECT_EQ(c.input[i].size(), lines[i].size()) << test_support::quotedLines(c.input) << " line " << i;
  }
}

TEST(LiteralBlankingTest, EachCallStartsInCode) {
  Lines first{"a /* open"};
  blankCommentsAndLiterals(first);
  Lines second{"int x;"};
  blankCommentsAndLiterals(second);
  EXPECT_EQ(Lines{"int x;"}, second);
}

TEST(LiteralBlankingTest, BytesAboveAsciiAreBlankedLikeAnyOther) {
  Lines lines{"s = \"\xA4\xA2\\\xA4\"; /* \xB0\xA1 */ t;"};
  blankCommentsAndLiterals(lines);
  EXPECT_EQ(Lines{"s = \"    \"; /*    */ t;"}, lines);
}

// A Shift_JIS character whose second byte is 0x5C is one character, not a
// backslash: it escapes no quote and continues no line comment.
TEST(LiteralBlankingTest, ShiftJisSecondByteIsNoBackslash) {
  const struct Case {
    Lines input;
    Lines expected;
  } cases[] = {
      {{"s = \"\x95\x5C\"; x;"}, {"s = \"  \"; x;"}},       {{"c = '\x83\x5C'; x;"}, {"c = '  '; x;"}},
      {{"// \x95\x5C", "int x;"}, {"//   ", "int x;"}},     {{"/* \x95\x5C*/ x;"}, {"/*   */ x;"}},
      {{"s = \"\x95\x5C\\\"\"; x;"}, {"s = \"    \"; x;"}},
  };
  for (const Case &c : cases) {
    Lines lines = c.input;
    blankCommentsAndLiterals(lines, eceSJIS);
    EXPECT_EQ(c.expected, lines) << test_support::quotedLines(c.input);
  }
  // Read as EUC, the same bytes hold a backslash that escapes the quote.
  Lines euc{"s = \"\x95\x5C\"; x;"};
  blankCommentsAndLiterals(euc, eceEUC);
  EXPECT_EQ(Lines{"s = \"       "}, euc);
}

} // namespace

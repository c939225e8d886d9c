// Wrapping rendered text: cut, hard breaks, breaks at blanks, indents and
// tabs.
#include "messages/FormatStringWrap.h"
#include "messages/FormatParseException.h"
#include "messages/FormatStringLimits.h"
#include "support/CurrentArguments.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct Case {
  std::int32_t mode;
  std::int32_t width;
  std::string indent;
  std::string text;
  std::string expected;
};

class FormatStringWrapTest : public test_support::CurrentArgumentsTest {
protected:
  std::string wrap(const Case &c) {
    FM_EvalContext context(0, U_RefPtr<M_Diagnostic>(new M_Diagnostic(1)), U_Location());
    context.m_wrapMode = c.mode;
    context.m_width = c.width;
    context.m_indent = c.indent;
    return M_wrapText(c.text, context);
  }
  void expectAll(const std::vector<Case> &cases) {
    for (const Case &c : cases)
      EXPECT_EQ(c.expected, wrap(c)) << "mode " << c.mode << ", width " << c.width << ", indent '" << c.indent
                                     << "', text '" << c.text << "'";
  }
};

const std::string letters25 = "abcdefghijklmnopqrstuvwxy";

TEST_F(FormatStringWrapTest, NoWrapAndCut) {
  expectAll({
      {0, 5, ">", letters25, letters25},
      {3, 10, "", letters25, "abcdefghij"},
      {3, 30, "", letters25, letters25},
      {3, 0, "", letters25, ""},
      {3, -1, "", letters25, letters25},
  });
}

TEST_F(FormatStringWrapTest, HardBreaks) {
  expectAll({
      {1, 10, "", letters25, "abcdefghij\nklmnopqrst\nuvwxy"},
      {1, 10, ">>", letters25, "abcdefghij\n>>klmnopqr\n>>stuvwxy"},
      {1, 10, "", "abcdefghij", "abcdefghij"},
      // Blanks are bytes like any other.
      {1, 4, "", "ab cd ef", "ab c\nd ef"},
      // The indent follows only the breaks that wrapping inserts.
      {1, 10, ">", "abc\ndefghijklmno", "abc\ndefghijklm\n>no"},
      // A width of 0 or less breaks nothing.
      {1, 0, ">", letters25, letters25},
      {1, -3, ">", letters25, letters25},
  });
}

TEST_F(FormatStringWrapTest, BreaksAtBlanks) {
  expectAll({
      {2, 10, "", "aaaa bbbb cccc dddd", "aaaa bbbb\ncccc dddd"},
      {2, 10, "  ", "aaaa bbbb cccc dddd eeee", "aaaa bbbb\n  cccc\n  dddd\n  eeee"},
      // The byte that does not fit is itself a blank.
      {2, 10, "", "abcdefghij klm", "abcdefghij\nklm"},
      // No blank on the line: a hard break.
      {2, 10, "", letters25, "abcdefghij\nklmnopqrst\nuvwxy"},
      // The first byte of a line and the indent are never searched.
      {2, 5, "", " abcdefg", " abcd\nefg"},
      {2, 6, "  ", "abcdef ghijklmn", "abcdef\n  ghij\n  klmn"},
      // A blank of an earlier line is never taken.
      {2, 4, "", "a b\ncdefg", "a b\ncdef\ng"},
  });
}

TEST_F(FormatStringWrapTest, IndentThatLeavesNoRoomIsLeftOut) {
  // As long as the width or longer, the indent would break before the same
  // byte for ever.
  expectAll({
      {1, 3, ">>>", "abcdefg", "abc\ndef\ng"},
      {1, 3, ">>>>", "abcdefg", "abc\ndef\ng"},
      {2, 3, "   ", "ab cd ef", "ab\ncd\nef"},
      {1, 4, ">>>", "abcdefg", "abcd\n>>>e\n>>>f\n>>>g"},
  });
}

TEST_F(FormatStringWrapTest, TabsCountToTheNextTabStop) {
  expectAll({
      {1, 10, "", "\tabcd", "\tab\ncd"},
      {1, 10, "", "ab\tcd", "ab\tcd"},
      {1, 10, "", "ab\t\tcd", "ab\t\t\ncd"},
      // A tab at a tab stop moves to the next one.
      {1, 12, "", "abcdefgh\tij", "abcdefgh\t\nij"},
  });
  setArguments({"-tabstop", "4"});
  expectAll({{1, 10, "", "\tabcdefgh", "\tabcdef\ngh"}});
  setArguments({"-tabstop", "0"});
  expectAll({{1, 5, "", "\t\tabcdefgh", "\t\tabc\ndefgh"}});
}

TEST_F(FormatStringWrapTest, TabsNeverSendTheSearchIntoEarlierLines) {
  // Counted by columns, the tab would put the search for a blank into the
  // line before and into the indent inserted there, for ever; the search
  // stays after the indent of the current line.
  expectAll({
      {2, 8, " ", "aaaa bbb\n\tc", "aaaa bbb\n\t\n c"},
      {2, 8, "", "aaaa bbb\n\tc", "aaaa bbb\n\t\nc"},
      {2, 4, " ", "a b\n\t\tc d", "a b\n\t\t\n c d"},
  });
}

TEST_F(FormatStringWrapTest, ResultsLongerThanTheLimitAreErrors) {
  // After a first line of 1001 bytes each byte gets a line of its own after
  // an indent of 1000 bytes: 1002 bytes each.
  const std::string indent(1000, '>');
  const std::size_t fitting = 1001 + (FM_maxResultLength - 1001) / 1002;
  EXPECT_EQ(1001 + (fitting - 1001) * 1002, wrap({1, 1001, indent, std::string(fitting, 'x'), ""}).size());
  const std::string tooLong(fitting + 1, 'x');
  try {
    wrap({1, 1001, indent, tooLong, ""});
    ADD_FAILURE() << "no error";
  } catch (const FM_ParseException &error) {
    EXPECT_EQ("Result longer than 16777216 bytes", error.text());
  }
}

} // namespace

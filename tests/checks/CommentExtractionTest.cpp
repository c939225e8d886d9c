#include "checks/CommentExtraction.h"

#include "support/Bytes.h"
#include "support/SourceTextFixture.h"

#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

// Shift_JIS "hyou" and "so": their second byte is 0x5C, a backslash in ASCII.
const std::string hyou = BYTES("\x95\x5C");
const std::string so = BYTES("\x83\x5C");

struct Comment {
  std::string text;
  int first;
  int last;
  bool operator==(const Comment &) const = default;
};

std::vector<Comment> plain(const std::vector<CommentRecord> &records) {
  std::vector<Comment> comments;
  for (const CommentRecord &record : records)
    comments.push_back({record.m_text, record.m_firstLine, record.m_lastLine});
  return comments;
}

std::string joined(const Lines &lines) {
  std::string text;
  for (const std::string &line : lines)
    text += "[" + line + "]";
  return text;
}

void PrintTo(const Comment &comment, std::ostream *out) {
  *out << "{" << comment.text << ", " << comment.first << ", " << comment.last << "}";
}

TEST(CommentExtractionTest, CommentsWithTheLinesTheySpan) {
  const struct Case {
    Lines lines;
    std::vector<Comment> comments;
  } cases[] = {
      {{"int a; /* one", "two */ int b; // three"}, {{"/* one\ntwo */", 1, 2}, {"// three", 2, 2}}},
      {{"// a \\", "b"}, {{"// a \\\nb", 1, 2}}},
      {{"// a \\\t", "b \\", "c", "d"}, {{"// a \\\t\nb \\\nc", 1, 3}}},
      {{"/* a", "", "b */ c"}, {{"/* a\n\nb */", 1, 3}}},
      {{"a /**/ b /* c */"}, {{"/**/", 1, 1}, {"/* c */", 1, 1}}},
      {{"/*/ x */"}, {{"/*/ x */", 1, 1}}},
      {{"/* a */ // b /* c */"}, {{"/* a */", 1, 1}, {"// b /* c */", 1, 1}}},
      {{"/* x // y */ z"}, {{"/* x // y */", 1, 1}}},
      // Appended in the order in which they end.
      {{"/* a", "b */ // c"}, {{"/* a\nb */", 1, 2}, {"// c", 2, 2}}},
      // Nothing inside literals is a comment.
      {{"s = \"/* no */\";"}, {}},
      {{"s = \"a\\\"// no\";"}, {}},
      {{"c = '\"'; /* x */"}, {{"/* x */", 1, 1}}},
      {{"c = '\\''; // x"}, {{"// x", 1, 1}}},
      // An escape at the end of a line applies to the first character of the next.
      {{"s = \"ab\\", "\"/* no */\";"}, {}},
      {{"x = 1 / 2; y = a/ *b; /", "* no */"}, {}},
      // Still open at the end of the lines: not recorded.
      {{"/* open", "never closed"}, {}},
      {{"x; // goes on \\"}, {}},
      {{}, {}},
  };
  for (const Case &c : cases) {
    std::vector<CommentRecord> records;
    extractComments(c.lines, records);
    EXPECT_EQ(c.comments, plain(records)) << joined(c.lines);
  }
}

TEST(CommentExtractionTest, ExtractingAppendsToWhatTheRecordsHold) {
  std::vector<CommentRecord> records{{"old", 7, 8}};
  extractComments(Lines{"/* new */"}, records);
  EXPECT_EQ((std::vector<Comment>{{"old", 7, 8}, {"/* new */", 1, 1}}), plain(records));
}

TEST(CommentExtractionTest, MultiByteCharactersAreReadWhole) {
  const struct Case {
    Lines lines;
    QL_EncodingKind encoding;
    std::vector<Comment> comments;
  } cases[] = {
      // The second byte of "hyou" does not escape the closing quote.
      {{"s = \"" + hyou + "\"; /* c */"}, eceSJIS, {{"/* c */", 1, 1}}},
      {{"s = \"" + hyou + "\"; /* c */"}, eceNone, {}},
      {{"c = '" + so + "'; // " + hyou, "int a; /* c */"},
       eceSJIS,
       {{"// " + hyou, 1, 1}, {"/* c */", 2, 2}}},
      // Nor does it continue a line comment.
      {{"// " + hyou, "int a; /* c */"}, eceSJIS, {{"// " + hyou, 1, 1}, {"/* c */", 2, 2}}},
      {{"// " + hyou, "b"}, eceNone, {{"// " + hyou + "\nb", 1, 2}}},
      {{"/* " + so + "*/"}, eceSJIS, {{"/* " + so + "*/", 1, 1}}},
      {{BYTES("/* \xC9\xBD"), BYTES("\xC9\xBD */")}, eceEUC, {{BYTES("/* \xC9\xBD\n\xC9\xBD */"), 1, 2}}},
      {{BYTES("s = \"\xE8\xA1\xA8\"; // \xE8\xA1\xA8")}, eceUTF, {{BYTES("// \xE8\xA1\xA8"), 1, 1}}},
  };
  for (const Case &c : cases) {
    std::vector<CommentRecord> records;
    extractComments(c.lines, records, c.encoding);
    EXPECT_EQ(c.comments, plain(records)) << joined(c.lines) << " in " << c.encoding;
  }
}

TEST(CommentExtractionTest, BlankCommentsLeavesOnlyTheMarkers) {
  const struct Case {
    Lines lines;
    QL_EncodingKind encoding;
    Lines blanked;
  } cases[] = {
      {{"a /* b", "c", "d */ e"}, eceEUC, {"a /*  ", " ", "  */ e"}},
      {{"x // y \\", "z", "w"}, eceEUC, {"x //    ", " ", "w"}},
      {{"// a", "b"}, eceEUC, {"//  ", "b"}},
      {{"a /", "* b */"}, eceEUC, {"a /", "* b */"}},
      // Quotes mean nothing: markers inside literals are markers.
      {{"s = \"/* no */\";"}, eceEUC, {"s = \"/*    */\";"}},
      {{"'/*' x */ y"}, eceEUC, {"'/*    */ y"}},
      {{"// " + hyou, "z"}, eceSJIS, {"//   ", "z"}},
      {{"// " + hyou, "z"}, eceNone, {"//   ", " "}},
      {{"/* " + so + " */"}, eceSJIS, {"/*    */"}},
      {{"/* " + so}, eceSJIS, {"/*   "}},
  };
  for (const Case &c : cases) {
    Lines lines = c.lines;
    blankComments(lines, c.encoding);
    EXPECT_EQ(c.blanked, lines) << joined(c.lines) << " in " << c.encoding;
  }
}

TEST(CommentExtractionTest, BlankCommentsInOneLine) {
  const struct Case {
    std::string line;
    std::string blanked;
  } cases[] = {
      {"a /* b", "a /*  "},
      {"x */ y", "x */ y"},
      {"p; // q \\", "p; //    "},
      {"/*a*/b/*c*/", "/* */b/* */"},
      {"", ""},
  };
  for (const Case &c : cases)
    EXPECT_EQ(c.blanked, blankCommentsInLine(c.line)) << "[" << c.line << "]";
}

// The comments of files named on disk, in the source text encoding of the
// product's language.
class CommentTextTest : public test_support::SourceTextFixture {
protected:
  CommentTextTest() : SourceTextFixture("ja_JP.SJIS") {}
};

TEST_F(CommentTextTest, EachFileIsReadOnceAndKept) {
  const std::string name = fixture("// " + hyou + "\r\nint a; /* one\r\n two */\r\n", ".c");
  const std::vector<CommentRecord> &comments = commentText(name);
  const std::vector<Comment> expected{{"// " + hyou, 1, 1}, {"/* one\n two */", 2, 3}};
  EXPECT_EQ(expected, plain(comments));
  std::ofstream(name, std::ios::binary | std::ios::trunc) << "/* changed */\n";
  EXPECT_EQ(&comments, &commentText(name));
  EXPECT_EQ(expected, plain(commentText(name)));
}

} // namespace

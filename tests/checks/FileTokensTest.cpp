#include "checks/FileTokens.h"

#include "checks/LiteralBlanking.h"
#include "checks/SourceRescanExit.h"
#include "checks/Tokenizer.h"
#include "support/Bytes.h"
#include "support/SourceTextFixture.h"

#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;
using Tokens = std::vector<std::string>;
using Indexes = std::vector<int>;

// Shift_JIS "hyou" and "so": their second byte is 0x5C, a backslash in ASCII.
const std::string hyou = BYTES("\x95\x5C");
const std::string so = BYTES("\x83\x5C");

Tokens strings(const TokenList &tokens) { return tokens.strings(); }
std::vector<Tokens> strings(const std::vector<TokenList> &lists) {
  std::vector<Tokens> all;
  for (const TokenList &tokens : lists)
    all.push_back(tokens.strings());
  return all;
}
Indexes indexes(const TokenLineList &lines) { return lines.indexes(); }
std::vector<Indexes> indexes(const std::vector<TokenLineList> &lists) {
  std::vector<Indexes> all;
  for (const TokenLineList &lines : lists)
    all.push_back(lines.indexes());
  return all;
}

std::string joined(const Lines &lines) {
  std::string text;
  for (const std::string &line : lines)
    text += "[" + line + "]";
  return text;
}

class FileTokensTest : public ::testing::Test {
protected:
  void SetUp() override {
    punctuatorTable().clear();
    loadPunctuatorTable();
  }
  void TearDown() override { punctuatorTable().clear(); }

  // The table of source lines blanked as the re-scan blanks them.
  static FileTokens tableOf(Lines lines, QL_EncodingKind encoding = eceEUC) {
    blankCommentsAndLiterals(lines, encoding);
    FileTokens table;
    table.m_tokens = {"stale"};
    table.m_defineTokens = {{"stale"}};
    buildFileTokenTable(table, lines, encoding);
    return table;
  }
};

TEST_F(FileTokensTest, CodeLinesAndDefinesOfAFile) {
  const struct Case {
    Lines source;
    Tokens tokens;
    Indexes lines;
    std::vector<Tokens> defines;
    std::vector<Indexes> defineLines;
  } cases[] = {
      {{"int a;", "#include <x.h>", "char b;"},
       {"int", "a", ";", "char", "b", ";"},
       {0, 0, 0, 2, 2, 2},
       {},
       {}},
      {{"#define M(x) \\", "  ((x) + 1)"},
       {},
       {},
       {{"#", "define", "M", "(", "x", ")", "(", "(", "x", ")", "+", "1", ")"}},
       {{0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1}}},
      // A block comment opened at the end of a directive line goes on to the
      // line where it closes; the line after that is code again.
      {{"#define A 1 /* a long", "comment */ + 2", "int c;"},
       {"int", "c", ";"},
       {2, 2, 2},
       {{"#", "define", "A", "1", "+", "2"}},
       {{0, 0, 0, 0, 1, 1}}},
      // Its middle lines, an empty one included, keep the directive going.
      {{"#define B /*", "", "  middle", "*/ 1", "b;"},
       {"b", ";"},
       {4, 4},
       {{"#", "define", "B", "1"}},
       {{0, 0, 0, 3}}},
      {{"#  define X", "#define Y", "# undef X", "#if X", "#endif", "#define"},
       {},
       {},
       {{"#", "define", "X"}, {"#", "define", "Y"}, {"#", "define"}},
       {{0, 0, 0}, {1, 1, 1}, {5, 5}}},
      // Directives other than "#define" are in neither list, their
      // continuation lines neither.
      {{"#if A && \\", "  B", "z;"}, {"z", ";"}, {2, 2}, {}, {}},
      {{"# define F(a) a \\", "  + 1 \\", "  + 2", "f;"},
       {"f", ";"},
       {3, 3},
       {{"#", "define", "F", "(", "a", ")", "a", "+", "1", "+", "2"}},
       {{0, 0, 0, 0, 0, 0, 0, 1, 1, 2, 2}}},
      // Not a directive line: its first character that is not a blank is "/".
      {{"/* c */ #define X"}, {"#", "define", "X"}, {0, 0, 0}, {}, {}},
      // Words in comments and literals are blanked; a literal keeps its quotes.
      {{"x = \"setjmp\"; // setjmp", "/* setjmp */ y = 's';"},
       {"x", "=", "\"      \"", ";", "y", "=", "' '", ";"},
       {0, 0, 0, 0, 1, 1, 1, 1},
       {},
       {}},
      {{"\t\t", "", "   ", "a"}, {"a"}, {3}, {}, {}},
      // A directive on the last line that asks for a line beyond the file
      // ends with the file.
      {{"int a;", "#define X 1 \\"},
       {"int", "a", ";"},
       {0, 0, 0},
       {{"#", "define", "X", "1"}},
       {{1, 1, 1, 1}}},
      {{"#define Y 2 /* open"}, {}, {}, {{"#", "define", "Y", "2"}}, {{0, 0, 0, 0}}},
      {{"#define Z \\", "  /*"}, {}, {}, {{"#", "define", "Z"}}, {{0, 0, 0}}},
      {{"#define W /*", "", "   "}, {}, {}, {{"#", "define", "W"}}, {{0, 0, 0}}},
      {{"#define \\"}, {}, {}, {{"#", "define"}}, {{0, 0}}},
  };
  for (const Case &c : cases) {
    const FileTokens table = tableOf(c.source);
    EXPECT_EQ(c.tokens, strings(table.m_tokens)) << joined(c.source);
    EXPECT_EQ(c.lines, indexes(table.m_tokenLines)) << joined(c.source);
    EXPECT_EQ(c.defines, strings(table.m_defineTokens)) << joined(c.source);
    EXPECT_EQ(c.defineLines, indexes(table.m_defineTokenLines)) << joined(c.source);
  }
}

// The compact table holds, line by line, the tokens that tokenizing each
// blanked code line with its comment markers stripped gives: lines with tabs
// and markers (prepared apart from the line), lines without (read in place),
// long tokens and lines of many tokens.
TEST_F(FileTokensTest, CodeTokensAreThoseOfEachStrippedLine) {
  std::string manyTokens;
  for (int i = 0; i < 100; ++i)
    manyTokens.append("a").append(std::to_string(i)).append("+=");
  const Lines source = {
      "\tint\ta; /* c */\tb;",
      "x = y // z\t;",
      std::string(300, 'q') + " = " + std::string(255, 'r') + ";",
      manyTokens,
      "s = \"a\tb\";\t/* t */ c = '\t';",
      "/*/ a */ b */ d",
      "e*//f",
      "\t\t",
      "",
      "g\t/\t*\th",
      "x =\t\"open",
  };
  Lines blanked = source;
  blankCommentsAndLiterals(blanked);
  Tokens tokens;
  Indexes lines;
  for (std::size_t i = 0; i < blanked.size(); ++i) {
    if (isBlankLine(blanked[i]))
      continue;
    for (const std::string &token : tokenizeLineToStrings(stripCommentMarkers(blanked[i]))) {
      tokens.push_back(token);
      lines.push_back(static_cast<int>(i));
    }
  }
  const FileTokens table = tableOf(source);
  EXPECT_EQ(tokens, strings(table.m_tokens));
  EXPECT_EQ(lines, indexes(table.m_tokenLines));
  EXPECT_TRUE(table.m_defineTokens.empty());
}

TEST_F(FileTokensTest, CollectDirectiveStopsAtTheEndOfTheFile) {
  const struct Case {
    Lines lines;
    int start;
    Tokens tokens;
    Indexes lineIndexes;
    int next;
  } cases[] = {
      {{"a;", "#if X", "b;"}, 1, {"#", "if", "X"}, {1, 1, 1}, 2},
      {{"#define A \\", "1", "b;"}, 0, {"#", "define", "A", "1"}, {0, 0, 0, 1}, 2},
      {{"#define A \\", "1 \\", "   \\", "2"}, 0, {"#", "define", "A", "1", "2"}, {0, 0, 0, 1, 3}, 4},
      {{"#define A \\"}, 0, {"#", "define", "A"}, {0, 0, 0}, 1},
      {{"x;", "#define A \\", "1 \\"}, 1, {"#", "define", "A", "1"}, {1, 1, 1, 2}, 3},
      {{"#define A /*", "      ", ""}, 0, {"#", "define", "A"}, {0, 0, 0}, 3},
      // A backslash alone: dropped, and the directive goes on.
      {{"\\", "#x"}, 0, {"#", "x"}, {1, 1}, 2},
      // A start past the lines reads the first line only.
      {{"a \\"}, 5, {"#", "b"}, {5, 5}, 6},
  };
  for (const Case &c : cases) {
    TokenList tokens{"stale"};
    TokenLineList lineIndexes{-1};
    int next = -1;
    const std::string first = c.start < static_cast<int>(c.lines.size()) ? c.lines[c.start] : "#b \\";
    collectDirective(tokens, lineIndexes, next, first, c.start, c.lines);
    EXPECT_EQ(c.tokens, tokens.strings()) << joined(c.lines) << " from " << c.start;
    EXPECT_EQ(c.lineIndexes, lineIndexes.indexes()) << joined(c.lines) << " from " << c.start;
    EXPECT_EQ(c.next, next) << joined(c.lines) << " from " << c.start;
  }
}

TEST_F(FileTokensTest, LineTests) {
  const struct Case {
    std::string line;
    bool blank, allSpaces, directive, colon, backslash, commentOpen;
  } cases[] = {
      {"", true, true, false, false, false, false},
      {"   ", true, true, false, false, false, false},
      {" \t ", true, false, false, false, false, false},
      {"\t# define X", false, false, true, false, false, false},
      {"x # y", false, false, false, false, false, false},
      {"  : 3;", false, false, false, true, false, false},
      {"a :", false, false, false, false, false, false},
      {"#define A \\ \t", false, false, true, false, true, false},
      {"\\", false, false, false, false, true, false},
      {"a \\ b", false, false, false, false, false, false},
      {"x /*  ", false, false, false, false, false, true},
      {"*", false, false, false, false, false, false},
      {"/*/", false, false, false, false, false, false},
      {"a */", false, false, false, false, false, false},
      {"\v", false, false, false, false, false, false},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(c.blank, isBlankLine(c.line)) << "[" << c.line << "]";
    EXPECT_EQ(c.allSpaces, isAllSpaces(c.line)) << "[" << c.line << "]";
    EXPECT_EQ(c.directive, isDirectiveLine(c.line)) << "[" << c.line << "]";
    EXPECT_EQ(c.colon, startsWithColon(c.line)) << "[" << c.line << "]";
    EXPECT_EQ(c.backslash, endsWithBackslash(c.line)) << "[" << c.line << "]";
    EXPECT_EQ(c.commentOpen, endsWithCommentOpen(c.line)) << "[" << c.line << "]";
  }
}

TEST_F(FileTokensTest, AFinalBackslashByteCountsOnlyWhereACharacterStarts) {
  const struct Case {
    std::string line;
    QL_EncodingKind encoding;
    bool backslash;
  } cases[] = {
      {"#error " + hyou, eceSJIS, false},
      {"#error " + hyou + " ", eceSJIS, false},
      {"#error " + hyou + so, eceSJIS, false},
      {"#error " + hyou + "\\", eceSJIS, true},
      {"#error " + hyou + " \\\t", eceSJIS, true},
      // The same bytes in a single-byte encoding end in a backslash.
      {"#error " + hyou, eceNone, true},
      // A lead byte with nothing after it is a character of its own.
      {BYTES("\x95\\"), eceSJIS, false},
      {BYTES("a\x95"), eceSJIS, false},
      // EUC and UTF-8 characters have no byte below 0x80.
      {BYTES("#error \xC9\xBD\\"), eceEUC, true},
      {BYTES("#error \xE8\xA1\xA8\\"), eceUTF, true},
  };
  for (const Case &c : cases)
    EXPECT_EQ(c.backslash, endsWithBackslash(c.line, c.encoding)) << "[" << c.line << "] in " << c.encoding;
}

TEST_F(FileTokensTest, ShiftJisTextWithABackslashSecondByte) {
  // "hyou" ends the directive: the next line is code. A real backslash after
  // it goes on to the next line.
  FileTokens table = tableOf(
      {"#define H " + hyou, "int a;", "#define S " + so + "\\", "1", "#error " + hyou, "b;"}, eceSJIS);
  EXPECT_EQ((Tokens{"int", "a", ";", "b", ";"}), strings(table.m_tokens));
  EXPECT_EQ((Indexes{1, 1, 1, 5, 5}), indexes(table.m_tokenLines));
  EXPECT_EQ((std::vector<Tokens>{{"#", "define", "H", hyou}, {"#", "define", "S", so, "1"}}),
            strings(table.m_defineTokens));
  // Blanked in the same encoding: the literal closes, the comment ends with its line.
  table = tableOf({"s = \"" + hyou + "\"; // " + so, "t;"}, eceSJIS);
  EXPECT_EQ((Tokens{"s", "=", "\"  \"", ";", "t", ";"}), strings(table.m_tokens));
  // EUC: every byte of a character is from 0xA1.
  table = tableOf({BYTES("#define E \xC9\xBD"), BYTES("x = \xC9\xBD;")}, eceEUC);
  EXPECT_EQ((Tokens{"x", "=", BYTES("\xC9\xBD"), ";"}), strings(table.m_tokens));
  EXPECT_EQ((std::vector<Tokens>{{"#", "define", "E", BYTES("\xC9\xBD")}}), strings(table.m_defineTokens));
}

TEST_F(FileTokensTest, StripCommentMarkers) {
  const struct Case {
    std::string line;
    std::string stripped;
  } cases[] = {
      {"a /* b */ c // d", "a    b    c    d"},
      {"/*/", "  /"},
      {"/**/", "    "},
      {"*//*", "    "},
      {"///", "  /"},
      {"a*/b/*c", "a  b  c"},
      {"/ * /", "/ * /"},
  };
  for (const Case &c : cases)
    EXPECT_EQ(c.stripped, stripCommentMarkers(c.line)) << "[" << c.line << "]";
}

// The tables of files named on disk, in the source text encoding of the
// product's language.
class FileTokenTableTest : public test_support::SourceTextFixture {
protected:
  FileTokenTableTest() : SourceTextFixture("ja_JP.SJIS") {}
};

TEST_F(FileTokenTableTest, EachFileIsTokenizedOnceInTheSourceEncoding) {
  EXPECT_EQ(eceSJIS, sourceTextEncoding());
  const std::string name = fixture(
      "#define H \"" + hyou + "\" " + hyou + "\r\nint a; // " + so + "\r\nb; /* " + so + " */\r\n", ".c");
  const FileTokens &table = fileTokenTable(name);
  EXPECT_EQ((Tokens{"int", "a", ";", "b", ";"}), strings(table.m_tokens));
  EXPECT_EQ((Indexes{1, 1, 1, 2, 2}), indexes(table.m_tokenLines));
  EXPECT_EQ((std::vector<Tokens>{{"#", "define", "H", "\"  \"", hyou}}), strings(table.m_defineTokens));
  // Kept: the same table whatever the file holds now.
  std::ofstream(name, std::ios::binary | std::ios::trunc) << "changed;\n";
  EXPECT_EQ(&table, &fileTokenTable(name));
  EXPECT_EQ(strings(table.m_tokens), strings(fileTokenTable(name).m_tokens));

  FileTokens built;
  buildFileTokenTable(built, name);
  EXPECT_EQ(strings(table.m_tokens), strings(built.m_tokens));
}

TEST_F(FileTokenTableTest, AMissingFileEndsTheRun) {
  const std::string name = m_files / "missing.c";
  try {
    fileTokenTable(name);
    FAIL() << "no exit for " << name;
  } catch (const P_SourceRescanExit &exit) {
    EXPECT_EQ(name + " does not exist.\n", std::string(exit.what()));
  }
}

} // namespace

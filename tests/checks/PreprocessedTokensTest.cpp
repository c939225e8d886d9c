#include "checks/PreprocessedTokens.h"

#include "checks/SourceRescan.h"
#include "checks/SourceRescanExit.h"
#include "checks/Tokenizer.h"
#include "support/Bytes.h"
#include "support/ScratchDirectory.h"
#include "support/SourceTextFixture.h"

#include <climits>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;
using Tokens = std::vector<std::string>;
using Numbers = std::vector<int>;

std::string joined(const Lines &lines) {
  std::string text;
  for (const std::string &line : lines)
    text += "[" + line + "]";
  return text;
}

class PreprocessedTokensTest : public ::testing::Test {
protected:
  void SetUp() override {
    punctuatorTable().clear();
    loadPunctuatorTable();
  }
  void TearDown() override { punctuatorTable().clear(); }

  static PreprocessedTokens streamOf(const Lines &lines, QL_EncodingKind encoding = eceEUC) {
    PreprocessedTokens stream;
    stream.m_tokens = {"stale"};
    stream.m_fileNames = {"stale"};
    stream.m_fileIndexes["stale"] = 7;
    buildPreprocessedTokens(stream, lines, encoding);
    return stream;
  }
};

TEST_F(PreprocessedTokensTest, TokensCarryTheLineColumnAndFileOfTheirMarkers) {
  const struct Case {
    Lines lines;
    Tokens tokens;
    Numbers lines_;
    Numbers columns;
    Numbers files;
    Lines fileNames;
  } cases[] = {
      {{"/*", " * src/a.h", "/*12*/ int x;"},
       {"int", "x", ";"},
       {11, 11, 11},
       {0, 4, 5},
       {1, 1, 1},
       {"unknown", "src/a.h"}},
      // Before the first file marker: the reserved unknown file.
      {{"/*3*/ a b", "/*", " * f.c", "/*4*/ c"},
       {"a", "b", "c"},
       {2, 2, 3},
       {0, 2, 0},
       {0, 0, 1},
       {"unknown", "f.c"}},
      // A file named again keeps its index.
      {{"/*", " * a.h", "/*1*/ x", "/*", " * b.h", "/*1*/ y", "/*", " * a.h", "/*2*/ z"},
       {"x", "y", "z"},
       {0, 0, 1},
       {0, 0, 0},
       {1, 2, 1},
       {"unknown", "a.h", "b.h"}},
      // A file that happens to be named "unknown" is a file of its own.
      {{"/*", " * unknown", "/*1*/ x"}, {"x"}, {0}, {0}, {1}, {"unknown", "unknown"}},
      {{"/*", " *", "/*1*/ x"}, {"x"}, {0}, {0}, {1}, {"unknown", ""}},
      // A marker on the last line ends the stream.
      {{"/*1*/ a", "/*"}, {"a"}, {0}, {0}, {0}, {"unknown"}},
      // One separating character after "*/"; columns are those of the text
      // after it, tabs expanded.
      {{"/*1*/\ta\tb", "/*2*/xab"}, {"a", "b", "ab"}, {0, 0, 1}, {0, 8, 0}, {0, 0, 0}, {"unknown"}},
      {{}, {}, {}, {}, {}, {"unknown"}},
  };
  for (const Case &c : cases) {
    const PreprocessedTokens stream = streamOf(c.lines);
    EXPECT_EQ(c.tokens, stream.m_tokens) << joined(c.lines);
    EXPECT_EQ(c.lines_, stream.m_tokenLines) << joined(c.lines);
    EXPECT_EQ(c.columns, stream.m_tokenColumns) << joined(c.lines);
    EXPECT_EQ(c.files, stream.m_tokenFiles) << joined(c.lines);
    EXPECT_EQ(c.fileNames, stream.m_fileNames) << joined(c.lines);
    ASSERT_EQ(c.fileNames.size() - 1, stream.m_fileIndexes.size()) << joined(c.lines);
    for (std::size_t i = 1; i < c.fileNames.size(); ++i)
      EXPECT_EQ(static_cast<int>(i), stream.m_fileIndexes.at(c.fileNames[i])) << joined(c.lines);
  }
}

TEST_F(PreprocessedTokensTest, LinesOutsideTheFormatNeverFailTheReading) {
  const struct Case {
    std::string line;
    Tokens tokens;
    Numbers lines;
  } cases[] = {
      {"/*5*/", {}, {}},
      {"/*6*/ ", {}, {}},
      {"", {}, {}},
      {"no marker here", {}, {}},
      {"/*7", {}, {}},
      {"x*/ y", {}, {}},
      {"/**/ z", {"z"}, {-1}},
      {"/*-5*/ n", {"n"}, {-6}},
      {"/* 8 */ s", {"s"}, {7}},
      {"/*+9*/ p", {"p"}, {8}},
      {"/*1a*/ q", {"q"}, {0}},
      {"/*99999999999*/ big", {"big"}, {INT_MAX - 1}},
      {"/*-99999999999*/ small", {"small"}, {INT_MIN}},
  };
  for (const Case &c : cases) {
    const PreprocessedTokens stream = streamOf({c.line});
    EXPECT_EQ(c.tokens, stream.m_tokens) << "[" << c.line << "]";
    EXPECT_EQ(c.lines, stream.m_tokenLines) << "[" << c.line << "]";
    EXPECT_EQ(stream.m_tokens.size(), stream.m_tokenFiles.size()) << "[" << c.line << "]";
    EXPECT_EQ(stream.m_tokens.size(), stream.m_tokenColumns.size()) << "[" << c.line << "]";
  }
}

TEST_F(PreprocessedTokensTest, ShiftJisLiteralsCloseAtTheirQuote) {
  const std::string hyou = BYTES("\x95\x5C");
  const Lines lines{"/*", " * " + hyou + ".h", "/*1*/ s = \"" + hyou + "\"; t"};
  const PreprocessedTokens stream = streamOf(lines, eceSJIS);
  EXPECT_EQ((Tokens{"s", "=", "\"" + hyou + "\"", ";", "t"}), stream.m_tokens);
  EXPECT_EQ((Lines{"unknown", hyou + ".h"}), stream.m_fileNames);
}

TEST_F(PreprocessedTokensTest, TheLineIndexPointsAtTheLastRunOfEachLine) {
  const PreprocessedTokens stream =
      streamOf({"/*1*/ a b", "/*", " * f.c", "/*1*/ c", "/*2*/ d", "/*1*/ e f", "/*2*/", "/*3*/ g"});
  ASSERT_EQ((Tokens{"a", "b", "c", "d", "e", "f", "g"}), stream.m_tokens);
  LineTokenIndex index{{{9, 9}, 9}};
  buildLineTokenIndex(index, stream);
  const LineTokenIndex expected{{{0, 1}, 0}, {{1, 1}, 4}, {{1, 2}, 3}, {{1, 3}, 6}};
  EXPECT_EQ(expected, index);
}

// The stream and index of the current source's preprocessed file, read from
// disk once per path.
class CurrentPreprocessedFileTest : public test_support::SourceTextFixture {
protected:
  CurrentPreprocessedFileTest() : SourceTextFixture("C") {}

  test_support::ScratchDirectory m_out;
};

TEST_F(CurrentPreprocessedFileTest, EachPreprocessedFileIsReadOnceAndKept) {
  currentPreprocessedFile() = m_out.writeFile("a.c.i", "/*1*/ a\r\n/*\r\n * a.c\r\n/*2*/ b c\r\n");
  const PreprocessedTokens &first = preprocessedTokens();
  EXPECT_EQ((Tokens{"a", "b", "c"}), first.m_tokens);
  EXPECT_EQ((Numbers{0, 1, 1}), first.m_tokenFiles);
  EXPECT_EQ((Lines{"unknown", "a.c"}), first.m_fileNames);
  const LineTokenIndex expected{{{0, 1}, 0}, {{1, 2}, 1}};
  EXPECT_EQ(expected, lineTokenIndex());

  // Another source: its own stream and index; the first ones are kept.
  const std::string firstPath = currentPreprocessedFile();
  currentPreprocessedFile() = m_out.writeFile("b.c.i", "/*7*/ x\n");
  EXPECT_EQ((Tokens{"x"}), preprocessedTokens().m_tokens);
  EXPECT_EQ((LineTokenIndex{{{0, 7}, 0}}), lineTokenIndex());
  m_out.writeFile("a.c.i", "/*1*/ changed\n");
  currentPreprocessedFile() = firstPath;
  EXPECT_EQ(&first, &preprocessedTokens());
  EXPECT_EQ(expected, lineTokenIndex());
}

TEST_F(CurrentPreprocessedFileTest, AMissingPreprocessedFileEndsTheRun) {
  currentPreprocessedFile() = m_out / "none.c.i";
  try {
    preprocessedTokens();
    FAIL() << "no exit for " << currentPreprocessedFile();
  } catch (const P_SourceRescanExit &exit) {
    EXPECT_EQ(currentPreprocessedFile() + " does not exist.\n", std::string(exit.what()));
  }
}

} // namespace

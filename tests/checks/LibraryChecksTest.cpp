#include "checks/LibraryChecks.h"

#include "checks/FileTokens.h"
#include "checks/Tokenizer.h"
#include "support/CurrentArguments.h"
#include "support/RecordingOutput.h"

#include "support/TextLines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;
using test_support::RecordingOutput;

// The tokens of the lines and the 0-based line of each, as a token table
// holds them.
struct TokenListOf {
  explicit TokenListOf(const Lines &lines) {
    for (std::size_t i = 0; i < lines.size(); ++i)
      for (const std::string &token : tokenizeLineToStrings(lines[i])) {
        tokens.push_back(token);
        lines_.push_back(static_cast<int>(i));
      }
  }
  TokenList tokens;
  TokenLineList lines_;
};

class LibraryChecksTest : public test_support::CurrentArgumentsTest {
protected:
  void SetUp() override {
    if (punctuatorTable().empty())
      loadPunctuatorTable();
  }
  RecordingOutput m_output;
};

TEST_F(LibraryChecksTest, BasicTypeRuns) {
  const struct Case {
    Lines source;
    Lines expected;
  } cases[] = {
      {{"unsigned long int x;"}, {"5013 /f.c:1 {unsigned long int}"}},
      {{"typedef unsigned long ULONG;"}, {}},
      {{"typedef const unsigned char * P;"}, {}},
      {{"typedef volatile int", "x; long y;"}, {"5013 /f.c:2 {long}"}},
      {{"typedef int"}, {}},
      {{"unsigned int flags : 3;"}, {}},
      {{"unsigned : 4;"}, {}},
      {{"return long::x;"}, {}},
      {{"int main(int argc, char **argv) {"}, {}},
      {{"int main(void);", "int n;"}, {"5013 /f.c:2 {int}"}},
      {{"static int main_count;"}, {"5013 /f.c:1 {int}"}},
      {{"x = main; long y; f();"}, {}},
      {{"#define BYTE unsigned char"}, {"5013 /f.c:1 {unsigned char}"}},
      {{"unsigned", "int x;"}, {"5013 /f.c:1 {unsigned int}", "5013 /f.c:2 {unsigned int}"}},
      {{"short a; long b;"}, {"5013 /f.c:1 {short}", "5013 /f.c:1 {long}"}},
      // The token after a reported run is passed over, whatever it is.
      {{"f((int) x, (long) y);"}, {"5013 /f.c:1 {int}", "5013 /f.c:1 {long}"}},
      {{"int int x;"}, {"5013 /f.c:1 {int int}"}},
      {{"x = sizeof(double)"}, {"5013 /f.c:1 {double}"}},
      {{"signed"}, {"5013 /f.c:1 {signed}"}},
      {{"float f"}, {"5013 /f.c:1 {float}"}},
      {{"char c :: d"}, {}},
      {{"Int x; UNSIGNED y; int_t z;"}, {}},
      {{}, {}},
  };
  for (const Case &c : cases) {
    const TokenListOf list(c.source);
    checkBasicTypeTokens("/f.c", list.tokens, list.lines_);
    EXPECT_EQ(c.expected, m_output.take()) << test_support::quotedLines(c.source);
  }
}

TEST_F(LibraryChecksTest, MainSignatureMasking) {
  const struct Case {
    std::string source;
    std::string expected;
  } cases[] = {
      {"int main ( int argc , char * * argv ) {", "P P P P P P P P P P P {"},
      {"static int main ( void ) ; int x ;", "static P P P P ) ; int x ;"},
      {"x = main ; long y ; f ( ) ;", "x = P P P P P P P ) ;"},
      {"unsigned long main", "P P P"},
      {"main", "P"},
      {"int x ;", "int x ;"},
      {"int main ( ) { } int main ( ) {", "P P P P { } P P P P {"},
      {"main main", "P P"},
      {"", ""},
  };
  for (const Case &c : cases) {
    TokenList tokens(tokenizeLineToStrings(c.source));
    maskMainSignature(tokens);
    std::string masked;
    for (std::string_view token : tokens)
      masked.append(masked.empty() ? "" : " ").append(token == "PADDING" ? std::string_view("P") : token);
    EXPECT_EQ(c.expected, masked) << c.source;
  }
}

// The masking as a copy of the token strings undergoes it: each "main" found
// afresh from the start of the last masked stretch.
std::vector<std::string> maskedAsStrings(std::vector<std::string> t) {
  const int last = static_cast<int>(t.size()) - 1;
  const auto mainFrom = [&t, last](int from) {
    for (int i = from; i <= last; ++i)
      if (t[static_cast<std::size_t>(i)] == "main")
        return i;
    return -1;
  };
  for (int i = mainFrom(0); i >= 0;) {
    int j = i + 1;
    while (j < last && !(t[j] == "{" || (t[j] == ")" && t[j + 1] == ";")))
      ++j;
    int k = i;
    while (k > 0 && isBasicTypeWord(t[k - 1]))
      --k;
    std::fill(t.begin() + k, t.begin() + j, std::string("PADDING"));
    i = mainFrom(k);
  }
  return t;
}

// The ranges found on the list as it stands mask what masking a copy masks,
// over random lists of the words that matter.
TEST_F(LibraryChecksTest, MainSignatureRangesMaskAsACopyIsMasked) {
  const char *const words[] = {"main", "int", "long", "{", ")", ";", "(", "x", "typedef", "PADDING"};
  std::mt19937 random(5013);
  for (int round = 0; round < 3000; ++round) {
    std::vector<std::string> tokens;
    for (std::size_t n = random() % 24; n > 0; --n)
      tokens.push_back(words[random() % std::size(words)]);
    TokenList list(tokens);
    maskMainSignature(list);
    EXPECT_EQ(maskedAsStrings(tokens), list.strings()) << test_support::quotedLines(tokens);
  }
}

// A run's lines are reported once each, in the order they first occur,
// whatever that order is.
TEST_F(LibraryChecksTest, ARunIsReportedOnceAtEachOfItsLines) {
  reportBasicTypeRun("/f.c", TokenList{"unsigned", "long", "long", "int", "x"}, TokenLineList{3, 1, 3, 0, 1});
  EXPECT_EQ((Lines{"5013 /f.c:4 {unsigned long long int x}", "5013 /f.c:2 {unsigned long long int x}",
                   "5013 /f.c:1 {unsigned long long int x}"}),
            m_output.take());
}

// A line of a hundred thousand short tokens, with the words the checks look
// for among them and runs that once were measured again after every token:
// the findings are those of the same words on a short line.
TEST_F(LibraryChecksTest, FindingsOnALineOfManyTokens) {
  std::string line;
  const auto add = [&line](const std::string &unit, int times) {
    for (int i = 0; i < times; ++i)
      line += unit;
  };
  add("a=b+c;", 20000);
  line += " errno; unsigned x; ";
  add("''", 5000);
  line += " int main(int argc) { ";
  add("....", 5000);
  line += " setjmp(e); ";
  add("#include <", 3000);
  line += " offsetof";
  const Lines lines{line, "long y;"};
  FileTokens table;
  buildFileTokenTable(table, lines);
  checkBasicTypeTokens("/f.c", table.m_tokens, table.m_tokenLines);
  checkErrnoTokens("/f.c", table.m_tokens, table.m_tokenLines);
  checkSetjmpTokens("/f.c", table.m_tokens, table.m_tokenLines);
  checkOffsetofLines("/f.c", lines);
  EXPECT_EQ(
      (Lines{"5013 /f.c:1 {unsigned}", "5013 /f.c:2 {long}", "5119 /f.c:1", "5122 /f.c:1", "5120 /f.c:1"}),
      m_output.take());
}

TEST_F(LibraryChecksTest, SetjmpErrnoAndOffsetof) {
  const struct Case {
    Lines source;
    Lines expected;
  } cases[] = {
      {{"x = setjmp(env);"}, {"5122 /f.c:1"}},
      {{"#define HDR setjmp.h"}, {}},
      {{"#define HDR setjmp . h"}, {}},
      {{"setjmp ."}, {"5122 /f.c:1"}},
      {{"setjmp . c"}, {"5122 /f.c:1"}},
      {{"int a;", "if (setjmp(b)) setjmp(c);"}, {"5122 /f.c:2", "5122 /f.c:2"}},
      {{"my_setjmp(env); SETJMP(env);"}, {}},
      {{"int e = errno + errno;"}, {"5119 /f.c:1", "5119 /f.c:1"}},
      {{"errno_t e; errno.h"}, {"5119 /f.c:1"}},
      {{"n = offsetof(S, a) + offsetof(S, b);"}, {"5120 /f.c:1"}},
      {{"#define OFF offsetof(S, a)", "x;", "offsetof"}, {"5120 /f.c:1", "5120 /f.c:3"}},
      {{"my_offsetof(S, a);"}, {}},
  };
  for (const Case &c : cases) {
    const TokenListOf list(c.source);
    checkSetjmpTokens("/f.c", list.tokens, list.lines_);
    checkErrnoTokens("/f.c", list.tokens, list.lines_);
    checkOffsetofLines("/f.c", c.source);
    EXPECT_EQ(c.expected, m_output.take()) << test_support::quotedLines(c.source);
  }
}

TEST_F(LibraryChecksTest, ReportSetjmpAddsOneToTheLine) {
  reportSetjmp("/f.c", 6);
  EXPECT_EQ(Lines{"5122 /f.c:7"}, m_output.take());
}

TEST_F(LibraryChecksTest, TypeWords) {
  for (const char *word : {"char", "double", "float", "int", "long", "short", "signed", "unsigned"}) {
    EXPECT_TRUE(isBasicTypeWord(word)) << word;
    EXPECT_TRUE(isBasicTypeOrQualifierWord(word)) << word;
  }
  for (const char *word : {"const", "volatile"}) {
    EXPECT_FALSE(isBasicTypeWord(word)) << word;
    EXPECT_TRUE(isBasicTypeOrQualifierWord(word)) << word;
  }
  for (const char *word : {"", ",", "in", "Int", "intx", " int", "bool", "void", "typedef"}) {
    EXPECT_FALSE(isBasicTypeWord(word)) << word;
    EXPECT_FALSE(isBasicTypeOrQualifierWord(word)) << word;
  }
}

} // namespace

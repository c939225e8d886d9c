#include "checks/Tokenizer.h"

#include "support/Bytes.h"

#include <gtest/gtest.h>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using Tokens = std::vector<std::string>;
using Columns = std::vector<int>;

// A text with its bytes below 0x20 and from 0x7F written as \xNN, for
// failure messages.
std::string printable(const std::string &text) {
  static const char hex[] = "0123456789ABCDEF";
  std::string shown;
  for (char c : text) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte >= 0x7F)
      shown += std::string("\\x") + hex[byte >> 4] + hex[byte & 15];
    else
      shown += c;
  }
  return shown;
}

std::string show(const Tokens &tokens) {
  std::string shown = "[";
  for (const std::string &token : tokens)
    shown.append("<").append(printable(token)).append(">");
  return shown + "]";
}

// Every test starts with the built-in punctuator table loaded once.
class TokenizerTest : public ::testing::Test {
protected:
  void SetUp() override {
    punctuatorTable().clear();
    loadPunctuatorTable();
  }
  void TearDown() override {
    punctuatorTable().clear();
    loadPunctuatorTable();
  }
};

struct TokenCase {
  std::string line;
  Tokens tokens;
};

// The tokens and columns that forEachToken hands on one by one.
std::pair<Tokens, Columns> streamedTokens(const std::string &line, QL_EncodingKind encoding) {
  std::pair<Tokens, Columns> streamed;
  forEachToken(line, encoding, [&streamed](std::size_t column, std::string_view token) {
    streamed.first.emplace_back(token);
    streamed.second.push_back(static_cast<int>(column));
  });
  return streamed;
}

// Every case is also tokenized through forEachToken, which must hand on the
// same tokens at the same columns as tokenizeLine.
void expectTokens(const TokenCase *begin, const TokenCase *end, QL_EncodingKind encoding = eceEUC) {
  for (const TokenCase *c = begin; c != end; ++c) {
    const Tokens tokens = tokenizeLineToStrings(c->line, encoding);
    EXPECT_EQ(c->tokens, tokens) << "line [" << printable(c->line) << "] gave " << show(tokens);
    Tokens listed;
    Columns columns;
    tokenizeLine(c->line, listed, columns, encoding);
    EXPECT_EQ(std::make_pair(listed, columns), streamedTokens(c->line, encoding))
        << "line [" << printable(c->line) << "]";
  }
}

template <std::size_t N> void expectTokens(const TokenCase (&cases)[N], QL_EncodingKind encoding = eceEUC) {
  expectTokens(cases, cases + N, encoding);
}

struct ColumnCase {
  std::string line;
  Tokens tokens;
  Columns columns;
};

// Tokenizes into outputs that hold stale entries, which must go.
template <std::size_t N> void expectTokensAndColumns(const ColumnCase (&cases)[N]) {
  for (const ColumnCase &c : cases) {
    Tokens tokens{"stale"};
    Columns columns{42};
    tokenizeLine(c.line, tokens, columns);
    EXPECT_EQ(c.tokens, tokens) << "line [" << printable(c.line) << "] gave " << show(tokens);
    EXPECT_EQ(c.columns, columns) << "line [" << printable(c.line) << "]";
    EXPECT_EQ(std::make_pair(c.tokens, c.columns), streamedTokens(c.line, eceEUC))
        << "line [" << printable(c.line) << "]";
  }
}

TEST_F(TokenizerTest, TheTableHoldsTheBuiltInPunctuatorsInOrder) {
  const std::vector<PunctuatorRecord> &table = punctuatorTable();
  ASSERT_EQ(18u, table.size());
  std::string firsts;
  for (const PunctuatorRecord &record : table) {
    firsts += record.m_first;
    EXPECT_EQ(static_cast<std::size_t>(record.m_count), record.m_continuations.size()) << record.m_first;
    // A continuation never stands after one of its own prefixes, or it
    // could never match.
    for (std::size_t i = 0; i < record.m_continuations.size(); ++i)
      for (std::size_t k = 0; k < i; ++k)
        EXPECT_NE(0u, record.m_continuations[i].rfind(record.m_continuations[k], 0))
            << record.m_first << record.m_continuations[i] << " after " << record.m_first
            << record.m_continuations[k];
  }
  EXPECT_EQ(".!=/*~^&|+#:?%.<>-", firsts);
  // Loading again appends a second copy, which changes no token.
  loadPunctuatorTable();
  EXPECT_EQ(36u, punctuatorTable().size());
  EXPECT_EQ((Tokens{"a", "<<=", "b"}), tokenizeLineToStrings("a<<=b"));
}

TEST_F(TokenizerTest, EachPunctuatorIsOneTokenBetweenWords) {
  const std::string punctuators[] = {
      "...",  "!=",   "==",   "/=",   "//",   "/*",   "*=", "~=",   "^=",   "&=",   "&&",
      "|=",   "||",   "+=",   "++",   "##",   "::",   ":>", "?\?=", "?\?(", "?\?/", "?\?)",
      "?\?'", "?\?<", "?\?!", "?\?>", "?\?-", "%:%:", "%=", "%>",   "%:",   ".*",   "<<=",
      "<<",   "<=",   "<%",   "<:",   ">>=",  ">>",   ">=", "-=",   "--",   "->*",  "->",
  };
  for (const std::string &p : punctuators) {
    // Inside a punctuation run, after a character that never combines.
    const Tokens inRun = tokenizeLineToStrings("(" + p + ")");
    EXPECT_EQ((Tokens{"(", p, ")"}), inRun) << p << " gave " << show(inRun);
    // At a token start, where a point is taken as a number first.
    if (p == ".*")
      continue;
    const Tokens atStart = tokenizeLineToStrings("x" + p + "y");
    EXPECT_EQ((Tokens{"x", p, "y"}), atStart) << p << " gave " << show(atStart);
  }
  EXPECT_EQ((Tokens{"x", ".", "*", "y"}), tokenizeLineToStrings("x.*y"));
}

TEST_F(TokenizerTest, PunctuationRunsSplitIntoTheLongestListedPunctuators) {
  const TokenCase cases[] = {
      {"a+=b;", {"a", "+=", "b", ";"}},
      {"x->*y", {"x", "->*", "y"}},
      {"a<<=b", {"a", "<<=", "b"}},
      {"->(", {"->", "("}},
      {"?\?=define X", {"?\?=", "define", "X"}},
      {"<:", {"<:"}},
      {"%>", {"%>"}},
      {"%:%:", {"%:%:"}},
      {"%:%", {"%:", "%"}},
      {"a+++b", {"a", "++", "+", "b"}},
      {"a>>>=b", {"a", ">>", ">=", "b"}},
      {"x=-1", {"x", "=", "-", "1"}},
      {"!!x", {"!", "!", "x"}},
      {"?:", {"?", ":"}},
      {"??", {"?", "?"}},
      {"?\?\?=", {"?", "?\?="}},
      {"a?b:c", {"a", "?", "b", ":", "c"}},
      {"<::>", {"<:", ":>"}},
      {"*p++=*q", {"*", "p", "++", "=", "*", "q"}},
      {"#", {"#"}},
      {"#define X", {"#", "define", "X"}},
      {"##x", {"##", "x"}},
      {"#if !defined(X)", {"#", "if", "!", "defined", "(", "X", ")"}},
      {"x.y", {"x", ".", "y"}},
      {"a=.*b", {"a", "=", ".*", "b"}},
      {"a...b", {"a", "...", "b"}},
      {"....", {"...", "."}},
      {"......", {"...", "..."}},
      {"f(...)", {"f", "(", "...", ")"}},
      {"`~", {"`", "~"}},
  };
  expectTokens(cases);
}

TEST_F(TokenizerTest, NeverCombiningCharactersStandAlone) {
  const TokenCase cases[] = {
      {"f(a,b)", {"f", "(", "a", ",", "b", ")"}},
      {"a[0]=b;", {"a", "[", "0", "]", "=", "b", ";"}},
      {"{;}", {"{", ";", "}"}},
      {"(((", {"(", "(", "("}},
      {",=", {",", "="}},
      {"(-", {"(", "-"}},
      {"\\=", {"\\", "="}},
      {"=\\", {"=", "\\"}},
      {"};", {"}", ";"}},
      {"[&]", {"[", "&", "]"}},
      {")->", {")", "->"}},
  };
  expectTokens(cases);
}

TEST_F(TokenizerTest, WordsAreRunsOfLettersDigitsAndIdentifierExtras) {
  const TokenCase cases[] = {
      {"@x $y _z", {"@x", "$y", "_z"}},
      {"a_b$c@d9", {"a_b$c@d9"}},
      {"int main(void)", {"int", "main", "(", "void", ")"}},
      {"__LINE__", {"__LINE__"}},
      {"x1 _2", {"x1", "_2"}},
  };
  expectTokens(cases);
}

TEST_F(TokenizerTest, NumbersTakeTheLongestNumericPrefix) {
  const TokenCase cases[] = {
      {"0x1FUL", {"0x1F", "UL"}},
      {"0X1f", {"0X1f"}},
      {"0x", {"0x"}},
      {"0xg", {"0x", "g"}},
      {"123abc", {"123", "abc"}},
      {"3.14", {"3.14"}},
      {"x = 3.14;", {"x", "=", "3.14", ";"}},
      {"1.5e-3x", {"1.5e-3", "x"}},
      {"1e+10", {"1e+10"}},
      {"1E5f", {"1E5", "f"}},
      {"1ex", {"1e", "x"}},
      {"1e", {"1e"}},
      {"1e+", {"1e+"}},
      {"10UL", {"10", "UL"}},
      {"1.", {"1."}},
      {"1..2", {"1.", ".2"}},
      {"1.2.3", {"1.2", ".3"}},
      {".5", {".5"}},
      {"x=-.5", {"x", "=", "-", ".5"}},
      {"x=.5e2;", {"x", "=", ".5e2", ";"}},
      {"a[.5]", {"a", "[", ".5", "]"}},
      {"007", {"007"}},
      {"1'000", {"1", "'000"}},
      {"0b101", {"0", "b101"}},
  };
  expectTokens(cases);
}

TEST_F(TokenizerTest, ScanNumberFollowsTheNumericRules) {
  const struct {
    std::string text;
    std::string number;
  } cases[] = {
      {"1.5e-3x", "1.5e-3"},
      {"1ex", "1e"},
      {"10UL", "10"},
      {".5", ".5"},
      {".x", "."},
      {".", "."},
      {"0x1FUL", "0x1F"},
      {"0x", "0x"},
      {"0", "0"},
      {"x1", ""},
      {"", ""},
      {"-1", ""},
      {"1e-", "1e-"},
      {"1e-+", "1e-"},
      {"12.34E+56.7", "12.34E+56"},
  };
  for (const auto &c : cases)
    EXPECT_EQ(c.number, scanNumber(c.text)) << c.text;
}

TEST_F(TokenizerTest, CharacterAndStringLiteralsWithTheirPrefixes) {
  const TokenCase cases[] = {
      {"s = \"a;b\";", {"s", "=", "\"a;b\"", ";"}},
      {"c = 'x';", {"c", "=", "'x'", ";"}},
      {"'\\''", {"'\\''"}},
      {"'\"'", {"'\"'"}},
      {"\"a\\\"b\" x", {"\"a\\\"b\"", "x"}},
      {"\"\\\\\" x", {"\"\\\\\"", "x"}},
      {"\"it's\"", {"\"it's\""}},
      {"L\"wide\"", {"L", "\"wide\""}},
      {"L'w'", {"L", "'w'"}},
      {"u8\"utf\"", {"u8", "\"utf\""}},
      {"u'c' U'c'", {"u", "'c'", "U", "'c'"}},
      {"U\"s\"", {"U", "\"s\""}},
      {"R\"(raw)\"", {"R", "\"(raw)\""}},
      {"\"abc", {"\"abc"}},
      {"x = \"abc;", {"x", "=", "\"abc;"}},
      {"\"abc\\", {"\"abc\\"}},
      {"\"", {"\""}},
      {"'", {"'"}},
      {"\"\"", {"\"\""}},
      {"(\"x\")", {"(", "\"x\"", ")"}},
      {"f(\"a\",'b');", {"f", "(", "\"a\"", ",", "'b'", ")", ";"}},
      {"=\"a b\"+1", {"=", "\"a b\"", "+", "1"}},
      {"x=\"a\"\"b\"", {"x", "=", "\"a\"", "\"b\""}},
      {"#error don't", {"#", "error", "don", "'t"}},
  };
  expectTokens(cases);
}

TEST_F(TokenizerTest, QuotedLiteralStopsAtTheClosingQuoteOrTheEnd) {
  const struct {
    std::string text;
    std::string literal;
  } cases[] = {
      {"\"ab\"cd", "\"ab\""},    {"'a'b", "'a'"},    {"\"a\\\"b\"c", "\"a\\\"b\""},
      {"\"abc", "\"abc"},        {"\"", "\""},       {"\"ab\\", "\"ab\\"},
      {"'\"'", "'\"'"},          {"\"'\"", "\"'\""}, {"", ""},
      {"\"\\\\\"x", "\"\\\\\""},
  };
  for (const auto &c : cases)
    EXPECT_EQ(c.literal, quotedLiteral(c.text)) << c.text;
}

TEST_F(TokenizerTest, IncludeNamesInAngleBracketsAreOneToken) {
  const ColumnCase cases[] = {
      {"#include <stdio.h>", {"#", "include", "<stdio.h>"}, {0, 1, 9}},
      {"# include<a.h> x", {"#", "include", "<a.h>", "x"}, {0, 2, 9, 15}},
      {"  #  include   <sys/types.h>", {"#", "include", "<sys/types.h>"}, {2, 5, 15}},
      {"#include", {"#", "include"}, {0, 1}},
      {"#include \"a.h\"", {"#", "include", "\"a.h\""}, {0, 1, 9}},
      {"#include <a.h", {"#", "include", "<", "a", ".", "h"}, {0, 1, 9, 10, 11, 12}},
      {"#include <a b.h>", {"#", "include", "<a b.h>"}, {0, 1, 9}},
      {"#include <a>>", {"#", "include", "<a>", ">"}, {0, 1, 9, 12}},
      {"x #include <a.h>", {"x", "#", "include", "<a.h>"}, {0, 2, 3, 11}},
      {"#include_next <a.h>", {"#", "include_next", "<", "a", ".", "h", ">"}, {0, 1, 14, 15, 16, 17, 18}},
      {"#includes <a.h>", {"#", "includes", "<", "a", ".", "h", ">"}, {0, 1, 10, 11, 12, 13, 14}},
      {"#\tinclude\t<a.h>", {"#", "include", "<a.h>"}, {0, 8, 16}},
      {"#include<>", {"#", "include", "<>"}, {0, 1, 8}},
      {"#define <a.h>", {"#", "define", "<", "a", ".", "h", ">"}, {0, 1, 8, 9, 10, 11, 12}},
  };
  expectTokensAndColumns(cases);
}

// Where a token ends inside a punctuation run (a literal, an ellipsis, a
// point before a digit) the rest of the run is split from there, and an
// include directive without its ">" is plain tokens wherever it stands.
TEST_F(TokenizerTest, TokensThatEndInsideARunOrAnOpenIncludeDirective) {
  const ColumnCase cases[] = {
      {"''''''", {"''", "''", "''"}, {0, 2, 4}},
      {"'''", {"''", "'"}, {0, 2}},
      {R"("a"'b'"c")", {R"("a")", "'b'", R"("c")"}, {0, 3, 6}},
      {R"('\''x)", {R"('\'')", "x"}, {0, 4}},
      {R"(("x"))", {"(", R"("x")", ")"}, {0, 1, 4}},
      {".......", {"...", "...", "."}, {0, 3, 6}},
      {"a ... .. . b", {"a", "...", ".", ".", ".", "b"}, {0, 2, 6, 7, 9, 11}},
      {"..5", {".", ".5"}, {0, 1}},
      {"=.5.5", {"=", ".5", ".5"}, {0, 1, 3}},
      {"-.-.-", {"-", ".", "-", ".", "-"}, {0, 1, 2, 3, 4}},
      {"<<<=>>>=", {"<<", "<=", ">>", ">="}, {0, 2, 4, 6}},
      {"% :%:%", {"%", ":", "%:", "%"}, {0, 2, 3, 5}},
      {"x = #include <y #include <z> w",
       {"x", "=", "#", "include", "<y #include <z>", "w"},
       {0, 2, 4, 5, 13, 29}},
      {"#include <a #include <b",
       {"#", "include", "<", "a", "#", "include", "<", "b"},
       {0, 1, 9, 10, 12, 13, 21, 22}},
      {"#include<a.h>#include <b.h>",
       {"#", "include", "<a.h>", "#", "include", "<b.h>"},
       {0, 1, 8, 13, 14, 22}},
  };
  expectTokensAndColumns(cases);
}

// The same on lines of many thousand tokens: each token as on a short line.
TEST_F(TokenizerTest, LongLinesOfShortTokens) {
  const struct Case {
    std::string unit;
    Tokens unitTokens;
  } cases[] = {
      {"''", {"''"}},
      {"...", {"..."}},
      {"#include <", {"#", "include", "<"}},
      {"x=-.5;", {"x", "=", "-", ".5", ";"}},
      {"\ta\t", {"a"}},
  };
  for (const Case &c : cases) {
    std::string line;
    Tokens expected;
    for (int i = 0; i < 20000; ++i) {
      line += c.unit;
      expected.insert(expected.end(), c.unitTokens.begin(), c.unitTokens.end());
    }
    EXPECT_EQ(expected, streamedTokens(line, eceEUC).first) << c.unit;
  }
}

TEST_F(TokenizerTest, ParseIncludeDirectiveGivesColumnsInItsText) {
  int consumed = -1;
  Tokens tokens{"old"};
  Columns columns{99};
  parseIncludeDirective("#  include <a.h> rest", consumed, tokens, columns);
  EXPECT_EQ((Tokens{"#", "include", "<a.h>"}), tokens);
  EXPECT_EQ((Columns{0, 3, 11}), columns);
  EXPECT_EQ(16, consumed);
  const std::string noDirectives[] = {
      "", "#", "#inc", "#include", "#include \"a.h\"", " #include <a>", "#include <a"};
  for (const std::string &text : noDirectives) {
    parseIncludeDirective(text, consumed, tokens, columns);
    EXPECT_TRUE(tokens.empty() && columns.empty()) << text;
    EXPECT_EQ(0, consumed) << text;
  }
}

TEST_F(TokenizerTest, ColumnsCountBytesOfTheTabExpandedLine) {
  const ColumnCase cases[] = {
      {"a+=b;", {"a", "+=", "b", ";"}, {0, 1, 3, 4}},
      {"\ta", {"a"}, {8}},
      {"a\tb", {"a", "b"}, {0, 8}},
      {"abcdefgh\tx", {"abcdefgh", "x"}, {0, 16}},
      {"abcdefg\tx", {"abcdefg", "x"}, {0, 8}},
      {" \t \tx", {"x"}, {16}},
      {"  s = \"a;b\";", {"s", "=", "\"a;b\"", ";"}, {2, 4, 6, 11}},
      {"x  =\t\"\t\"", {"x", "=", "\"       \""}, {0, 3, 8}},
      {"f (a ,b )", {"f", "(", "a", ",", "b", ")"}, {0, 2, 3, 5, 6, 8}},
      {"x=-.5", {"x", "=", "-", ".5"}, {0, 1, 2, 3}},
  };
  expectTokensAndColumns(cases);
}

TEST_F(TokenizerTest, ExpandTabsFillsToTheNextMultipleOfTheWidth) {
  const struct {
    std::string line;
    int width;
    std::string expanded;
  } cases[] = {
      {"\tx", 8, "        x"}, {"ab\tx", 4, "ab  x"}, {"abcd\tx", 4, "abcd    x"}, {"\t\t", 2, "    "},
      {"x", 8, "x"},           {"", 8, ""},           {"a\tb", 0, "a b"},          {"a\tb", -3, "a b"},
  };
  for (const auto &c : cases)
    EXPECT_EQ(c.expanded, expandTabs(c.line, c.width)) << printable(c.line) << " width " << c.width;
}

TEST_F(TokenizerTest, CommentMarkersArePunctuatorsOnly) {
  const TokenCase cases[] = {
      {"a /* b */ c", {"a", "/*", "b", "*", "/", "c"}},
      {"x // y z", {"x", "//", "y", "z"}},
      {"/**/", {"/*", "*", "/"}},
      {"*/", {"*", "/"}},
      {"/*   */", {"/*", "*", "/"}},
      {"a//b", {"a", "//", "b"}},
      {"a/=b", {"a", "/=", "b"}},
      {"x = \"/* no */\";", {"x", "=", "\"/* no */\"", ";"}},
  };
  expectTokens(cases);
}

TEST_F(TokenizerTest, ContinuationLinesAsTheTokenizerSeesThem) {
  const TokenCase cases[] = {
      {"#define X \\", {"#", "define", "X", "\\"}},
      {"#define X \\  ", {"#", "define", "X", "\\"}},
      {"#define X\\", {"#", "define", "X", "\\"}},
      {"\\", {"\\"}},
      {"  1 + 2 \\", {"1", "+", "2", "\\"}},
      {"#define M(x) \\", {"#", "define", "M", "(", "x", ")", "\\"}},
      {"s = \"abc\\", {"s", "=", "\"abc\\"}},
      {"c = '\\", {"c", "=", "'\\"}},
      {"// note \\", {"//", "note", "\\"}},
      {"x ==\\", {"x", "==", "\\"}},
  };
  expectTokens(cases);
}

TEST_F(TokenizerTest, WhiteSpaceOtherThanBlanksIsNotSkipped) {
  const TokenCase cases[] = {
      {"", {}},
      {"    ", {}},
      {"\t \t", {}},
      {"a\vb", {"a", "\v", "b"}},
      {"a\fb", {"a", "\f", "b"}},
      {"a;\r", {"a", ";", "\r"}},
      {"+\r=", {"+", "\r", "="}},
      {"\r", {"\r"}},
      {"x \n y", {"x", "\n", "y"}},
      {"+=\v", {"+=", "\v"}},
  };
  expectTokens(cases);
}

TEST_F(TokenizerTest, AnEmptyTableMakesEveryPunctuationCharacterAToken) {
  punctuatorTable().clear();
  const TokenCase cases[] = {
      {"a+=b;", {"a", "+", "=", "b", ";"}},
      {"x->*y", {"x", "-", ">", "*", "y"}},
      {"x=-.5", {"x", "=", "-", ".5"}},
      {"a...b", {"a", "...", "b"}},
      {"#include <a.h>", {"#", "include", "<a.h>"}},
      {"f(\"a\")", {"f", "(", "\"a\"", ")"}},
  };
  expectTokens(cases);
}

TEST_F(TokenizerTest, EucJapaneseCharactersAreWholePunctuationTokens) {
  // "kan" and "ji" in EUC-JP, a half-width katakana (0x8E) and a character
  // of the supplementary set (0x8F).
  const std::string kan = BYTES("\xB4\xC1");
  const std::string ji = BYTES("\xBB\xFA");
  const std::string halfWidth = BYTES("\x8E\xB1");
  const std::string supplementary = BYTES("\x8F\xB0\xA1");
  const TokenCase cases[] = {
      {"s = \"" + kan + ji + "\";", {"s", "=", "\"" + kan + ji + "\"", ";"}},
      {"x = " + kan + ";", {"x", "=", kan, ";"}},
      {"a" + kan + "b", {"a", kan, "b"}},
      {kan + ji, {kan, ji}},
      {kan + "==" + ji, {kan, "==", ji}},
      {"'" + kan + "'", {"'" + kan + "'"}},
      {halfWidth + supplementary + "x", {halfWidth, supplementary, "x"}},
      {"/* " + kan + " */", {"/*", kan, "*", "/"}},
      {"#include <" + kan + ".h>", {"#", "include", "<" + kan + ".h>"}},
      // A lone byte from 0x80 is one punctuation character.
      {BYTES("a\xA4"), {"a", BYTES("\xA4")}},
      {BYTES("\x80\x80"), {BYTES("\x80"), BYTES("\x80")}},
  };
  expectTokens(cases, eceEUC);
}

TEST_F(TokenizerTest, ShiftJisSecondBytesAreNeverAsciiCharacters) {
  // "hyou" (0x95 0x5C) and "so" (0x83 0x5C) end in a backslash byte, "a"
  // (0x83 0x41) in a capital A, "tei" (0x92 0x7B) in a brace.
  const std::string hyou = BYTES("\x95\x5C");
  const std::string so = BYTES("\x83\x5C");
  const std::string katakanaA = BYTES("\x83\x41");
  const std::string tei = BYTES("\x92\x7B");
  const TokenCase cases[] = {
      {"s = \"" + hyou + "\";", {"s", "=", "\"" + hyou + "\"", ";"}},
      {"c = '" + so + "';", {"c", "=", "'" + so + "'", ";"}},
      {"#define X " + hyou, {"#", "define", "X", hyou}},
      {"x=" + katakanaA + ";", {"x", "=", katakanaA, ";"}},
      {"f(" + tei + ")", {"f", "(", tei, ")"}},
      {hyou + hyou, {hyou, hyou}},
      {"\"" + hyou + "\\\"" + so + "\" x", {"\"" + hyou + "\\\"" + so + "\"", "x"}},
      {"\"\\" + hyou + "\"", {"\"\\" + hyou + "\""}},
      // Half-width katakana are single bytes; a lead byte without a second
      // byte is one character.
      {BYTES("\xB1=\xB2"), {BYTES("\xB1"), "=", BYTES("\xB2")}},
      {BYTES("x\x95"), {"x", BYTES("\x95")}},
      {BYTES("\x95 \\"), {BYTES("\x95"), "\\"}},
  };
  expectTokens(cases, eceSJIS);
  // Read as EUC, the same bytes hold a backslash that escapes the quote.
  EXPECT_EQ((Tokens{"s", "=", "\"" + hyou + "\";"}), tokenizeLineToStrings("s = \"" + hyou + "\";", eceEUC));
  EXPECT_EQ((Tokens{"x", "=", BYTES("\x83"), "A", ";"}),
            tokenizeLineToStrings("x=" + katakanaA + ";", eceNone));
}

TEST_F(TokenizerTest, Utf8CharactersAreWholePunctuationTokens) {
  const std::string eAcute = BYTES("\xC3\xA9");
  const std::string kanUtf8 = BYTES("\xE6\xBC\xA2");
  const TokenCase cases[] = {
      {"caf" + eAcute + " x", {"caf", eAcute, "x"}},
      {kanUtf8 + "=" + kanUtf8, {kanUtf8, "=", kanUtf8}},
      {BYTES("\xE6\xBC") + "x", {BYTES("\xE6"), BYTES("\xBC"), "x"}},
  };
  expectTokens(cases, eceUTF);
}

TEST_F(TokenizerTest, TokenLengthMeasuresWordAndPunctuationRuns) {
  const struct {
    std::string text;
    int pos;
    int length;
  } cases[] = {
      {"abc+=d", 0, 3}, {"abc+=d", 3, 2}, {"a_@$9 x", 0, 5}, {"+= x", 0, 2}, {"(\"x", 0, 2}, {"+\r", 0, 1},
      {"\r\r", 0, 1},   {"", 0, 0},       {"abc", 3, 0},     {"abc", -1, 0}, {"abc", 99, 0}, {"-._", 0, 2},
  };
  for (const auto &c : cases)
    EXPECT_EQ(c.length, tokenLength(c.text, c.pos)) << printable(c.text) << " at " << c.pos;
  EXPECT_EQ(3, tokenLength(BYTES("\x83\x41=x"), 0, eceSJIS));
  EXPECT_EQ(1, tokenLength(BYTES("\x83\x41=x"), 0, eceNone));
}

TEST_F(TokenizerTest, IsIdentifierUsesAsciiRules) {
  const struct {
    std::string text;
    bool identifier;
  } cases[] = {
      {"x", true},
      {"_x1", true},
      {"@a", true},
      {"$", true},
      {"a$b@c_", true},
      {"", false},
      {"1x", false},
      {"x-y", false},
      {"x y", false},
      {BYTES("\xB4\xC1"), false},
      {BYTES("a\xC1"), false},
      {BYTES("\xE9t\xE9"), false},
      {"a.b", false},
  };
  for (const auto &c : cases)
    EXPECT_EQ(c.identifier, isIdentifier(c.text)) << printable(c.text);
}

TEST_F(TokenizerTest, TokenizingClearsItsOutputsFirst) {
  Tokens tokens{"x", "y"};
  Columns columns{1, 2};
  tokenizeLine("", tokens, columns);
  EXPECT_TRUE(tokens.empty());
  EXPECT_TRUE(columns.empty());
}

} // namespace

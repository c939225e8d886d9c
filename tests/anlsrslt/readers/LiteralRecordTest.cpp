#include "anlsrslt/readers/LiteralRecord.h"

#include "anlsrslt/model/SymbolTable.h"
#include "anlsrslt/readers/DefineRecord.h"
#include "anlsrslt/readers/SourceFileReader.h"
#include "foundation/FileIdentity.h"
#include "foundation/StringStore.h"
#include "support/CurrentArguments.h"
#include "support/ListenerListsReset.h"
#include "support/ScratchDirectory.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

U_RefPtr<FilenameProxy> proxyOf(const std::string &path) {
  return P_filenameProxyFor(QL_Filename::fromPath(path));
}

// "file:line:column text" of each literal of the set, in set order.
std::vector<std::string> positions(const P_LiteralSet &set) {
  std::vector<std::string> result;
  for (const LiteralPtr &literal : set)
    result.push_back(std::string(P_literalFileName(literal.pointer())) + ":" +
                     std::to_string(P_literalLine(literal.pointer())) + ":" +
                     std::to_string(P_literalColumn(literal.pointer())) + " " +
                     P_literalText(literal.pointer()));
  return result;
}

TEST(LiteralRecordTest, EachFieldOfALine) {
  const struct Case {
    std::string line;
    std::string text, suffix;
    std::uint8_t suffixFlags;
    std::uint32_t mark;
    std::string file;
    std::int32_t number, column;
    std::uint32_t inclusion;
    std::uint16_t litType;
    std::string entity;
    std::uint8_t scope, typeLetter;
  } cases[] = {
      {"<LIT> 10 - - /s/a.c 3 8 N DN x F T", "10", "-", 1, 1, "/s/a.c", 3, 8, 4, 0x004, "x", 1, 2},
      // The kind words the writer writes; E in first place and N in second
      // set nothing, nor do other letters.
      {"<LIT> 0x1F - - /s/a.c 1 1 N HN x F T", "0x1F", "-", 1, 1, "/s/a.c", 1, 1, 4, 0x010, "x", 1, 2},
      {"<LIT> 017 - - /s/a.c 1 1 N ON x F T", "017", "-", 1, 1, "/s/a.c", 1, 1, 4, 0x040, "x", 1, 2},
      {"<LIT> 1.5 - - /s/a.c 1 1 N FN x F D", "1.5", "-", 1, 1, "/s/a.c", 1, 1, 4, 0x008, "x", 1, 3},
      {"<LIT> 'c' - - /s/a.c 1 1 N CN x F C", "'c'", "-", 1, 1, "/s/a.c", 1, 1, 4, 0x002, "x", 1, 11},
      {"<LIT> \"s\" - - /s/a.c 1 1 N SN x F P", "\"s\"", "-", 1, 1, "/s/a.c", 1, 1, 4, 0x080, "x", 1, 10},
      {"<LIT> '\\n' - - /s/a.c 1 1 N CE x F C", "'\\n'", "-", 1, 1, "/s/a.c", 1, 1, 4, 0x102, "x", 1, 11},
      {"<LIT> 0x1 - - /s/a.c 1 1 N HE x F T", "0x1", "-", 1, 1, "/s/a.c", 1, 1, 4, 0x110, "x", 1, 2},
      {"<LIT> 01 - - /s/a.c 1 1 N OE x F T", "01", "-", 1, 1, "/s/a.c", 1, 1, 4, 0x140, "x", 1, 2},
      {"<LIT> L'w' - - /s/a.c 1 1 N CW x F U", "L'w'", "-", 1, 1, "/s/a.c", 1, 1, 4, 0x202, "x", 1, 9},
      {"<LIT> L\"a b\" - - /s/a.c 1 1 N SW x F P", "L\"a b\"", "-", 1, 1, "/s/a.c", 1, 1, 4, 0x280, "x", 1,
       10},
      {"<LIT> 1L L - /s/a.c 1 1 N LN x F T", "1L", "L", 2, 1, "/s/a.c", 1, 1, 4, 0x020, "x", 1, 2},
      {"<LIT> 1 - - /s/a.c 1 1 N BN x F B", "1", "-", 1, 1, "/s/a.c", 1, 1, 4, 0x001, "x", 1, 4},
      {"<LIT> 1 - - /s/a.c 1 1 N EN x F E", "1", "-", 1, 1, "/s/a.c", 1, 1, 4, 0, "x", 1, 5},
      {"<LIT> 1 - - /s/a.c 1 1 N ZQ x F E", "1", "-", 1, 1, "/s/a.c", 1, 1, 4, 0, "x", 1, 5},
      // Suffix words: letter case does not count; "u" adds to the size.
      {"<LIT> 1u u - /s/a.c 1 1 N DN x F U", "1u", "u", 8, 1, "/s/a.c", 1, 1, 4, 0x004, "x", 1, 9},
      {"<LIT> 1UL UL - /s/a.c 1 1 N DN x F U", "1UL", "UL", 10, 1, "/s/a.c", 1, 1, 4, 0x004, "x", 1, 9},
      {"<LIT> 1ull ull - /s/a.c 1 1 N DN x F U", "1ull", "ull", 12, 1, "/s/a.c", 1, 1, 4, 0x004, "x", 1, 9},
      {"<LIT> 1.0f f - /s/a.c 1 1 N FN x F D", "1.0f", "f", 16, 1, "/s/a.c", 1, 1, 4, 0x008, "x", 1, 3},
      {"<LIT> 1i64 i64 - /s/a.c 1 1 N DN x F T", "1i64", "i64", 4, 1, "/s/a.c", 1, 1, 4, 0x004, "x", 1, 2},
      // Mark letters.
      {"<LIT> 1 - P /s/a.c 1 1 N DN x F T", "1", "-", 1, 2, "/s/a.c", 1, 1, 4, 0x004, "x", 1, 2},
      {"<LIT> 1 - N /s/a.c 1 1 N DN x F T", "1", "-", 1, 4, "/s/a.c", 1, 1, 4, 0x004, "x", 1, 2},
      {"<LIT> 1 - ? /s/a.c 1 1 N DN x F T", "1", "-", 1, 2, "/s/a.c", 1, 1, 4, 0x004, "x", 1, 2},
      // Inclusion letters: only 'I' is an included file.
      {"<LIT> 1 - - /s/b.h 1 1 I DN x F T", "1", "-", 1, 1, "/s/b.h", 1, 1, 2, 0x004, "x", 1, 2},
      {"<LIT> 1 - - /s/a.c 1 1 x DN x F T", "1", "-", 1, 1, "/s/a.c", 1, 1, 4, 0x004, "x", 1, 2},
      // Scope letters, by the record character code.
      {"<LIT> 1 - - /s/a.c 1 1 N DN x B T", "1", "-", 1, 1, "/s/a.c", 1, 1, 4, 0x004, "x", 2, 2},
      {"<LIT> 1 - - /s/a.c 1 1 N DN x C T", "1", "-", 1, 1, "/s/a.c", 1, 1, 4, 0x004, "x", 4, 2},
      {"<LIT> 1 - - /s/a.c 1 1 N DN x P T", "1", "-", 1, 1, "/s/a.c", 1, 1, 4, 0x004, "x", 3, 2},
      {"<LIT> 1 - - /s/a.c 1 1 N DN x T T", "1", "-", 1, 1, "/s/a.c", 1, 1, 4, 0x004, "x", 5, 2},
      {"<LIT> 1 - - /s/a.c 1 1 N DN x R T", "1", "-", 1, 1, "/s/a.c", 1, 1, 4, 0x004, "x", 6, 2},
      {"<LIT> 1 - - /s/a.c 1 1 N DN x S T", "1", "-", 1, 1, "/s/a.c", 1, 1, 4, 0x004, "x", 7, 2},
      {"<LIT> 1 - - /s/a.c 1 1 N DN x - T", "1", "-", 1, 1, "/s/a.c", 1, 1, 4, 0x004, "x", 8, 2},
      {"<LIT> 1 - - /s/a.c 1 1 N DN x N T", "1", "-", 1, 1, "/s/a.c", 1, 1, 4, 0x004, "x", 0, 2},
      {"<LIT> 1 - - /s/a.c 1 1 N DN x Z T", "1", "-", 1, 1, "/s/a.c", 1, 1, 4, 0x004, "x", 1, 2},
      // Type letters; the writer's X and ? have no code of their own.
      {"<LIT> 1 - - /s/a.c 1 1 N DN x F M", "1", "-", 1, 1, "/s/a.c", 1, 1, 4, 0x004, "x", 1, 0},
      {"<LIT> 1 - - /s/a.c 1 1 N DN x F F", "1", "-", 1, 1, "/s/a.c", 1, 1, 4, 0x004, "x", 1, 1},
      {"<LIT> 1 - - /s/a.c 1 1 N DN x F O", "1", "-", 1, 1, "/s/a.c", 1, 1, 4, 0x004, "x", 1, 6},
      {"<LIT> 1 - - /s/a.c 1 1 N DN x F A", "1", "-", 1, 1, "/s/a.c", 1, 1, 4, 0x004, "x", 1, 7},
      {"<LIT> 1 - - /s/a.c 1 1 N DN x F S", "1", "-", 1, 1, "/s/a.c", 1, 1, 4, 0x004, "x", 1, 8},
      {"<LIT> 1 - - /s/a.c 1 1 N DN x F X", "1", "-", 1, 1, "/s/a.c", 1, 1, 4, 0x004, "x", 1, 12},
      {"<LIT> 1 - - /s/a.c 1 1 N DN x F ?", "1", "-", 1, 1, "/s/a.c", 1, 1, 4, 0x004, "x", 1, 12},
      // Texts keep quotes, escapes and blanks inside quotes; file names may be
      // quoted; numbers are signed; text after the type letter is not read.
      {"<LIT> \"a \\\" b\" - - /s/a.c 1 1 N SN x F P", "\"a \\\" b\"", "-", 1, 1, "/s/a.c", 1, 1, 4, 0x080,
       "x", 1, 10},
      {"<LIT> 1 - - \"/s/my dir/a.c\" -5 -2147483648 N DN f(ni) F T more", "1", "-", 1, 1, "/s/my dir/a.c",
       -5, -2147483647 - 1, 4, 0x004, "f(ni)", 1, 2},
      // Tabs separate fields too, but for the text and the file name, which
      // only blanks delimit.
      {"<LIT> 1 - - /s/a.c 7\t9\tN\tDN\tx\tF\tT", "1", "-", 1, 1, "/s/a.c", 7, 9, 4, 0x004, "x", 1, 2},
  };
  for (const Case &c : cases) {
    const LiteralPtr literal = readLiteralRecord(c.line);
    ASSERT_TRUE(literal.isSet()) << c.line;
    EXPECT_EQ(c.text, literal->m_text) << c.line;
    EXPECT_EQ(internString(c.text.c_str()), literal->m_text) << c.line << ": the text is interned";
    EXPECT_EQ(internString(c.suffix.c_str()), literal->m_suffix) << c.line;
    EXPECT_EQ(c.suffixFlags, literal->m_suffixFlags) << c.line;
    EXPECT_EQ(c.mark, literal->m_mark) << c.line;
    EXPECT_EQ(proxyOf(c.file), literal->m_file) << c.line;
    EXPECT_EQ(c.number, literal->m_line) << c.line;
    EXPECT_EQ(c.column, literal->m_column) << c.line;
    EXPECT_EQ(c.inclusion, literal->m_inclusion) << c.line;
    EXPECT_EQ(c.litType, literal->m_litType) << c.line;
    EXPECT_EQ(internString(c.entity.c_str()), literal->m_entity) << c.line;
    EXPECT_EQ(c.scope, literal->m_scope) << c.line;
    EXPECT_EQ(c.typeLetter, literal->m_typeLetter) << c.line;
  }
}

TEST(LiteralRecordTest, SuffixFlags) {
  const struct {
    const char *suffix;
    std::uint8_t flags;
  } cases[] = {
      {"-", 1},     {"U", 8},   {"ul", 10}, {"LU", 10}, {"ull", 12}, {"LL", 4},  {"L", 2},  {"F", 16},
      {"ui64", 12}, {"I64", 4}, {"xyz", 0}, {"", 0},    {"--", 0},   {"uf", 24}, {"lf", 2}, {"\xC1L", 2},
  };
  for (const auto &c : cases)
    EXPECT_EQ(c.flags, literalSuffixFlags(c.suffix)) << c.suffix;
}

TEST(LiteralRecordTest, MalformedLinesGiveNoLiteral) {
  const char *const cases[] = {
      "",
      "<LIT>",
      "<LIT> 1",
      "<LIT> 1 -",
      "<LIT> 1 - -",
      "<LIT> 1 - - /s/a.c",
      "<LIT> 1 - - /s/a.c 3",
      "<LIT> 1 - - /s/a.c 3 4",
      "<LIT> 1 - - /s/a.c 3 4 N",
      "<LIT> 1 - - /s/a.c 3 4 N DN",
      "<LIT> 1 - - /s/a.c 3 4 N DN x",
      "<LIT> 1 - - /s/a.c 3 4 N DN x F",        // no type letter
      "<LIT> 1 - - /s/a.c 3 4 N DN x F ",       // nor here
      "<LIT> \"open - - /s/a.c 3 4 N DN x F T", // the quoted text never ends
      // The tag word.
      "<LIT>1 - - /s/a.c 3 4 N DN x F T",
      "<LITX> 1 - - /s/a.c 3 4 N DN x F T",
      "<DEFINE> 1 - - /s/a.c 3 4 N DN x F T",
      // Numbers.
      "<LIT> 1 - - /s/a.c three 4 N DN x F T",
      "<LIT> 1 - - /s/a.c 3 2147483648 N DN x F T",
      "<LIT> 1 - - /s/a.c - 4 N DN x F T",
      // Kind words that do not have two characters.
      "<LIT> 1 - - /s/a.c 3 4 N D x F T",
      "<LIT> 1 - - /s/a.c 3 4 N DNN x F T",
      // The writer's empty kind: the next words move up one place.
      "<LIT> 1 - - /s/a.c 3 4 N  x F T",
      "<LIT> 1 - - /s/a.c 3 4 N  ab F T",
      "<LIT> 1 - - /s/a.c 3 4 N  f(ni) - ?",
  };
  for (const char *line : cases)
    EXPECT_FALSE(readLiteralRecord(line).isSet()) << line;
  // A good line after a bad one is read as if nothing had come before.
  readLiteralRecord("<LIT> \"s\" UL P /s/q.c 3 4 I SW e S U");
  const LiteralPtr good = readLiteralRecord("<LIT> 7 - - /s/a.c 5 6 N DN y F T");
  ASSERT_TRUE(good.isSet());
  EXPECT_STREQ("7", good->m_text);
  EXPECT_EQ(1u, good->m_suffixFlags);
  EXPECT_EQ(1u, good->m_mark);
  EXPECT_EQ(4u, good->m_inclusion);
  EXPECT_EQ(0x004u, good->m_litType);
  EXPECT_EQ(1u, good->m_scope);
  EXPECT_EQ(2u, good->m_typeLetter);
}

// The name of every yes/no test that answers true for a literal.
std::string trueTests(const P_Literal *literal) {
  using Test = bool (*)(const P_Literal *);
  const struct {
    const char *name;
    Test test;
  } tests[] = {
      {"HasSuffix", P_literalHasSuffix},
      {"SuffixIsLong", P_literalSuffixIsLong},
      {"SuffixIsLongLong", P_literalSuffixIsLongLong},
      {"SuffixIsUnsigned", P_literalSuffixIsUnsigned},
      {"SuffixIsFloat", P_literalSuffixIsFloat},
      {"HasMark", P_literalHasMark},
      {"MarkIsP", P_literalMarkIsP},
      {"MarkIsN", P_literalMarkIsN},
      {"LitTypeIsD", P_literalLitTypeIsD},
      {"LitTypeIsL", P_literalLitTypeIsL},
      {"LitTypeIsH", P_literalLitTypeIsH},
      {"LitTypeIsO", P_literalLitTypeIsO},
      {"LitTypeIsC", P_literalLitTypeIsC},
      {"LitTypeIsS", P_literalLitTypeIsS},
      {"LitTypeIsF", P_literalLitTypeIsF},
      {"LitTypeIsB", P_literalLitTypeIsB},
      {"LitTypeIsE", P_literalLitTypeIsE},
      {"LitTypeIsW", P_literalLitTypeIsW},
      {"TypeLetterIsM", P_literalTypeLetterIsM},
      {"TypeLetterIsF", P_literalTypeLetterIsF},
      {"TypeLetterIsT", P_literalTypeLetterIsT},
      {"TypeLetterIsD", P_literalTypeLetterIsD},
      {"TypeLetterIsB", P_literalTypeLetterIsB},
      {"TypeLetterIsE", P_literalTypeLetterIsE},
      {"TypeLetterIsO", P_literalTypeLetterIsO},
      {"TypeLetterIsA", P_literalTypeLetterIsA},
      {"TypeLetterIsS", P_literalTypeLetterIsS},
      {"TypeLetterIsU", P_literalTypeLetterIsU},
      {"TypeLetterIsP", P_literalTypeLetterIsP},
      {"TypeLetterIsC", P_literalTypeLetterIsC},
      {"TypeLetterIsOther", P_literalTypeLetterIsOther},
      {"ScopeIsB", P_literalScopeIsB},
      {"ScopeIsC", P_literalScopeIsC},
      {"ScopeIsF", P_literalScopeIsF},
      {"ScopeIsS", P_literalScopeIsS},
      {"ScopeIsP", P_literalScopeIsP},
      {"ScopeIsT", P_literalScopeIsT},
      {"ScopeIsR", P_literalScopeIsR},
  };
  std::string names;
  for (const auto &t : tests)
    if (t.test(literal))
      names += std::string(names.empty() ? "" : " ") + t.name;
  return names;
}

TEST(LiteralRecordTest, YesNoTests) {
  const struct {
    const char *line;
    const char *expected;
  } cases[] = {
      {"<LIT> 1 - - /s/a.c 1 1 N EN x N ?", "TypeLetterIsOther"},
      {"<LIT> 1 - - /s/a.c 1 1 N EN x - X", "TypeLetterIsOther"},
      {"<LIT> 1UL UL P /s/a.c 1 1 N DN x F M",
       "HasSuffix SuffixIsLong SuffixIsUnsigned HasMark MarkIsP LitTypeIsD TypeLetterIsM ScopeIsF"},
      {"<LIT> 1ll ll N /s/a.c 1 1 N LN x B F", "HasSuffix SuffixIsLongLong HasMark MarkIsN LitTypeIsL "
                                               "TypeLetterIsF ScopeIsB"},
      {"<LIT> 1f f ? /s/a.c 1 1 N HE x C T",
       "HasSuffix SuffixIsFloat HasMark MarkIsP LitTypeIsH LitTypeIsE TypeLetterIsT ScopeIsC"},
      {"<LIT> 1z z - /s/a.c 1 1 N OW x S D", "HasSuffix LitTypeIsO LitTypeIsW TypeLetterIsD ScopeIsS"},
      {"<LIT> 'a' - - /s/a.c 1 1 N CN x P B", "LitTypeIsC TypeLetterIsB ScopeIsP"},
      {"<LIT> \"a\" - - /s/a.c 1 1 N SN x T E", "LitTypeIsS TypeLetterIsE ScopeIsT"},
      {"<LIT> 1.0 - - /s/a.c 1 1 N FN x R O", "LitTypeIsF TypeLetterIsO ScopeIsR"},
      {"<LIT> true - - /s/a.c 1 1 N BN x Q A", "LitTypeIsB TypeLetterIsA ScopeIsF"},
      {"<LIT> 1 - - /s/a.c 1 1 N EN x N S", "TypeLetterIsS"},
      {"<LIT> 1 - - /s/a.c 1 1 N EN x N U", "TypeLetterIsU"},
      {"<LIT> 1 - - /s/a.c 1 1 N EN x N P", "TypeLetterIsP"},
      {"<LIT> 1 - - /s/a.c 1 1 N EN x N C", "TypeLetterIsC"},
  };
  for (const auto &c : cases) {
    const LiteralPtr literal = readLiteralRecord(c.line);
    ASSERT_TRUE(literal.isSet()) << c.line;
    EXPECT_EQ(c.expected, trueTests(literal.pointer())) << c.line;
  }
}

TEST(LiteralRecordTest, FieldAccessors) {
  const LiteralPtr main = readLiteralRecord("<LIT> L\"x y\" - - /s/a.c 12 30 N SW f(ni) F P");
  const LiteralPtr included = readLiteralRecord("<LIT> 5u u - /s/b.h -1 0 I DN g F U");
  ASSERT_TRUE(main.isSet() && included.isSet());
  EXPECT_STREQ("L\"x y\"", P_literalText(main.pointer()));
  EXPECT_STREQ("-", P_literalSuffix(main.pointer()));
  EXPECT_STREQ("u", P_literalSuffix(included.pointer()));
  EXPECT_EQ(proxyOf("/s/a.c")->name(), P_literalFileName(main.pointer()));
  EXPECT_EQ(12, P_literalLine(main.pointer()));
  EXPECT_EQ(30, P_literalColumn(main.pointer()));
  EXPECT_EQ(-1, P_literalLine(included.pointer()));
  EXPECT_EQ(0u, P_literalHasI(main.pointer()));
  EXPECT_EQ(2u, P_literalHasI(included.pointer()));
  EXPECT_STREQ("f(ni)", P_literalEntity(main.pointer()));
  EXPECT_TRUE(P_isSameLiteral(main.pointer(), main.pointer()));
  EXPECT_FALSE(P_isSameLiteral(main.pointer(), included.pointer()));
  const LiteralPtr again = readLiteralRecord("<LIT> L\"x y\" - - /s/a.c 12 30 N SW f(ni) F P");
  EXPECT_FALSE(P_isSameLiteral(main.pointer(), again.pointer())) << "equal fields, another object";
}

TEST(LiteralRecordTest, ANullLiteralFailsTheTests) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(P_literalHasSuffix(nullptr), "Dont dereference 0.");
  EXPECT_DEATH(P_literalScopeIsR(nullptr), "Dont dereference 0.");
}

// The set orders by file in the order the names were first interned, then
// line, then column, and keeps the first literal of a position.
TEST(LiteralRecordTest, TheSetOrdersByPositionAndKeepsTheFirst) {
  proxyOf("/lit/order-z.c");
  proxyOf("/lit/order-a.c");
  P_LiteralSet set;
  for (const char *line : {
           "<LIT> a3 - - /lit/order-a.c 3 1 N DN x F T",
           "<LIT> z9 - - /lit/order-z.c 9 9 N DN x F T",
           "<LIT> a2c5 - - /lit/order-a.c 2 5 N DN x F T",
           "<LIT> a2c1 - - /lit/order-a.c 2 1 N DN x F T",
           "<LIT> second - - /lit/order-a.c 2 5 N HN y B D",
           "<LIT> a-1 - - /lit/order-a.c -1 7 N DN x F T",
           "<LIT> bad - - /lit/order-a.c 1 1 N D x F T",
       })
    readAndStoreLiteral(line, set);
  EXPECT_EQ(
      (std::vector<std::string>{"/lit/order-z.c:9:9 z9", "/lit/order-a.c:-1:7 a-1", "/lit/order-a.c:2:1 a2c1",
                                "/lit/order-a.c:2:5 a2c5", "/lit/order-a.c:3:1 a3"}),
      positions(set));
}

TEST(LiteralRecordTest, MalformedLinesAreSkippedAndReportedUnderTheDebugWord) {
  const std::vector<std::string> lines = {"<LIT> 1 - - /lit/debug.c 1 1 N DN x F T",
                                          "<LIT> 2 - - /lit/debug.c 2 1 N  x F T",
                                          "<LIT> 3 - - /lit/debug.c 3 1 N DN x F"};
  for (const bool debug : {false, true}) {
    test_support::CurrentArguments arguments(debug ? std::vector<std::string>{"-debug", "show-symbol-errors"}
                                                   : std::vector<std::string>{});
    P_LiteralSet set;
    testing::internal::CaptureStdout();
    for (const std::string &line : lines)
      readAndStoreLiteral(line, set);
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_EQ(std::vector<std::string>{"/lit/debug.c:1:1 1"}, positions(set)) << "debug " << debug;
    // Outside a record file the position is empty.
    EXPECT_EQ(debug ? ":0: malformed LIT record skipped\n:0: malformed LIT record skipped\n" : "", output)
        << "debug " << debug;
  }
}

// Literal lines are read only once the handler is registered; they then go
// into the run's set, whatever record file they come from.
TEST(LiteralRecordTest, TheHandlerFillsTheRunsSetFromRecordFiles) {
  test_support::ListenerListsReset::resetAll();
  test_support::CurrentArguments arguments;
  test_support::ScratchDirectory out;
  test_support::ScratchDirectory sources;
  const std::string lit = "<LIT> 1 - - /lit/run.c 4 2 N DN x F T\n<LIT> 2 - - /lit/run.c 1 8 N DN x F T\n";
  out.writeFile("a.c.met", lit);
  out.writeFile("b.c.met", "<LIT> 3 - - /lit/run.c 1 8 N DN y F T\n<LIT> 4 - - /lit/run.c 1 3 N DN y F T\n");
  SymbolTable symbols;
  const auto read = [&](const char *name) {
    readMetricFile(QL_Filename::fromPath(out.path()), QL_Filename::fromPath(sources / name), symbols);
  };
  const auto ofRunFile = [] {
    P_LiteralSet mine;
    for (const LiteralPtr &literal : literalRecords())
      if (std::string(P_literalFileName(literal.pointer())) == "/lit/run.c")
        mine.insert(literal);
    return positions(mine);
  };
  read("a.c");
  EXPECT_TRUE(ofRunFile().empty()) << "no handler, nothing read";
  registerLiteralHandler();
  registerLiteralHandler();
  read("a.c");
  read("b.c");
  EXPECT_EQ((std::vector<std::string>{"/lit/run.c:1:3 4", "/lit/run.c:1:8 2", "/lit/run.c:4:2 1"}),
            ofRunFile());
  test_support::ListenerListsReset::resetAll();
  setSymbolTableContext(nullptr);
}

} // namespace

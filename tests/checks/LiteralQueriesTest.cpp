#include "anlsrslt/include/LiteralQueries.h"

#include "RecordQueriesTest.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using test_support::QueryWalk;
using test_support::walkAll;

using Test = bool (*)(const P_Literal *);
struct Named {
  const char *name;
  Test test;
};

// The names of the tests of a group that answer yes, in the group's order.
template <std::size_t N> std::string yesOf(const P_Literal *literal, const Named (&tests)[N]) {
  std::string names;
  for (const Named &named : tests)
    if (named.test(literal))
      names += named.name;
  return names;
}

const Named suffixTests[] = {{"h", PI_hasLiteralSuffix},
                             {"L", PI_literalSuffixIsLong},
                             {"LL", PI_literalSuffixIsLongLong},
                             {"U", PI_literalSuffixIsUnsigned},
                             {"F", PI_literalSuffixIsFloat}};
const Named markTests[] = {{"h", PI_literalHasMark}, {"P", PI_literalMarkIsP}, {"N", PI_literalMarkIsN}};
const Named kindTests[] = {{"D", PI_literalLitTypeIsD}, {"L", PI_literalLitTypeIsL},
                           {"H", PI_literalLitTypeIsH}, {"O", PI_literalLitTypeIsO},
                           {"C", PI_literalLitTypeIsC}, {"S", PI_literalLitTypeIsS},
                           {"F", PI_literalLitTypeIsF}, {"B", PI_literalLitTypeIsB},
                           {"E", PI_literalLitTypeIsE}, {"W", PI_literalLitTypeIsW}};
const Named typeTests[] = {
    {"M", PI_literalTypeLetterIsM},        {"F", PI_literalTypeLetterIsF}, {"T", PI_literalTypeLetterIsT},
    {"D", PI_literalTypeLetterIsD},        {"B", PI_literalTypeLetterIsB}, {"E", PI_literalTypeLetterIsE},
    {"O", PI_literalTypeLetterIsO},        {"A", PI_literalTypeLetterIsA}, {"S", PI_literalTypeLetterIsS},
    {"U", PI_literalTypeLetterIsU},        {"P", PI_literalTypeLetterIsP}, {"C", PI_literalTypeLetterIsC},
    {"Other", PI_literalTypeLetterIsOther}};
const Named scopeTests[] = {{"B", PI_literalScopeIsB}, {"C", PI_literalScopeIsC}, {"F", PI_literalScopeIsF},
                            {"S", PI_literalScopeIsS}, {"P", PI_literalScopeIsP}, {"T", PI_literalScopeIsT},
                            {"R", PI_literalScopeIsR}};

// A literal as "<text>@<file>:<line>:<column> <entity> s:<suffix tests>
// m:<mark tests> k:<kind tests> t:<type tests> c:<scope tests>", and " I"
// when it lies in an included file.
std::string describe(const P_Literal *literal) {
  return std::string(PI_literalText(literal)) + "@" + PI_literalFileName(literal) + ":" +
         std::to_string(PI_literalLine(literal)) + ":" + std::to_string(PI_literalColumn(literal)) + " " +
         PI_literalEntity(literal) + " s:" + yesOf(literal, suffixTests) + " m:" + yesOf(literal, markTests) +
         " k:" + yesOf(literal, kindTests) + " t:" + yesOf(literal, typeTests) +
         " c:" + yesOf(literal, scopeTests) + (PI_literalHasI(literal) ? " I" : "");
}

const QueryWalk<P_Literal *> literals = {PI_literalsAtEnd, PI_currentLiteral, PI_nextLiteral};

std::vector<P_Literal *> allLiterals() { return walkAll(PI_beginLiterals(), literals); }

using LiteralQueriesTest = test_support::RecordQueriesTest;

TEST_F(LiteralQueriesTest, EveryLetterOfEveryFieldThroughItsTest) {
  const struct Case {
    const char *line;
    std::string literal;
  } cases[] = {
      {"<LIT> 10 - - /q/l.c 1 1 N DN lq_x F T", "10@/q/l.c:1:1 lq_x s: m: k:D t:T c:F"},
      {"<LIT> 1UL UL N /q/l.c 2 1 I DN lq_y B M", "1UL@/q/l.c:2:1 lq_y s:hLU m:hN k:D t:M c:B I"},
      {"<LIT> 1ull ull P /q/l.c 3 1 N LN lq_x C F", "1ull@/q/l.c:3:1 lq_x s:hLLU m:hP k:L t:F c:C"},
      {"<LIT> 1.5f f x /q/l.c 4 1 N FE lq_x S D", "1.5f@/q/l.c:4:1 lq_x s:hF m:hP k:FE t:D c:S"},
      {"<LIT> 0x1 i64 - /q/l.c 5 1 N HW lq_x P B", "0x1@/q/l.c:5:1 lq_x s:hLL m: k:HW t:B c:P"},
      {"<LIT> 017 xyz - /q/l.c 6 1 N ON lq_x T E", "017@/q/l.c:6:1 lq_x s:h m: k:O t:E c:T"},
      {"<LIT> 'c' - - /q/l.c 7 1 N CN lq_x R O", "'c'@/q/l.c:7:1 lq_x s: m: k:C t:O c:R"},
      {"<LIT> \"s t\" - - /q/l.c 8 1 N SN lq_x N A", "\"s t\"@/q/l.c:8:1 lq_x s: m: k:S t:A c:"},
      {"<LIT> 0b1 - - /q/l.c 9 1 N BN lq_x - S", "0b1@/q/l.c:9:1 lq_x s: m: k:B t:S c:"},
      {"<LIT> L'w' - - /q/l.c 10 1 N CW lq_x Q U", "L'w'@/q/l.c:10:1 lq_x s: m: k:CW t:U c:F"},
      {"<LIT> 1 - - /q/l.c 11 1 N DN lq_x F P", "1@/q/l.c:11:1 lq_x s: m: k:D t:P c:F"},
      {"<LIT> 'x' - - /q/l.c 12 1 N CN lq_x F C", "'x'@/q/l.c:12:1 lq_x s: m: k:C t:C c:F"},
      {"<LIT> 2 - - /q/l.c 13 1 N DN lq_x F Z", "2@/q/l.c:13:1 lq_x s: m: k:D t:Other c:F"},
  };
  PI_registerLiteralHandler();
  for (const Case &c : cases) {
    literalRecords().clear();
    readRecordFile("l.c", {c.line});
    const std::vector<P_Literal *> read = allLiterals();
    ASSERT_EQ(1u, read.size()) << c.line;
    EXPECT_EQ(c.literal, describe(read[0])) << c.line;
  }
}

TEST_F(LiteralQueriesTest, TheWalkGoesByFileLineAndColumnOverEveryRecordFile) {
  readRecordFile("l.c", {"<LIT> 1 - - /q/l.c 2 1 N DN lq_x F T"});
  EXPECT_TRUE(allLiterals().empty()) << "read only once registered";

  PI_registerLiteralHandler();
  readRecordFile("l.c", {"<LIT> 3 - - /q/l.c 2 5 N DN lq_x F T", "<LIT> 1 - - /q/l.c 1 9 N DN lq_x F T",
                         "<LIT> 2 - - /q/l.c 2 1 N DN lq_x F T",
                         // The first literal read at a place stays.
                         "<LIT> 4 - - /q/l.c 2 1 N DN lq_x F T"});
  readRecordFile("m.c", {"<LIT> 5 - - /q/m.c 1 1 N DN lq_x F T", "<LIT> 0 - - /q/l.c 1 1 N DN lq_x F T"});
  std::vector<std::string> texts;
  for (const P_Literal *literal : allLiterals())
    texts.push_back(std::string(PI_literalText(literal)) + "@" + PI_literalFileName(literal) + ":" +
                    std::to_string(PI_literalLine(literal)) + ":" +
                    std::to_string(PI_literalColumn(literal)));
  EXPECT_EQ((std::vector<std::string>{"0@/q/l.c:1:1", "1@/q/l.c:1:9", "2@/q/l.c:2:1", "3@/q/l.c:2:5",
                                      "5@/q/m.c:1:1"}),
            texts);
}

TEST_F(LiteralQueriesTest, TheSuffixTextAndTheSameLiteral) {
  PI_registerLiteralHandler();
  readRecordFile("l.c", {"<LIT> 1UL UL - /q/l.c 1 1 N DN lq_x F T", "<LIT> 7 - - /q/l.c 2 1 N DN lq_x F T"});
  const std::vector<P_Literal *> read = allLiterals();
  ASSERT_EQ(2u, read.size());
  EXPECT_STREQ("UL", PI_literalSuffix(read[0]));
  EXPECT_FALSE(PI_hasLiteralSuffix(read[1]));
  EXPECT_TRUE(PI_isSameLiteral(read[0], read[0]));
  EXPECT_FALSE(PI_isSameLiteral(read[0], read[1]));
  EXPECT_TRUE(PI_isSameLiteral(read[1], allLiterals()[1])) << "every walk gives the same objects";
}

TEST_F(LiteralQueriesTest, NestedAndAbandonedWalksOfLiterals) {
  PI_registerLiteralHandler();
  readRecordFile("l.c", {"<LIT> 1 - - /q/l.c 1 1 N DN lq_x F T", "<LIT> 2 - - /q/l.c 2 1 N DN lq_x F T"});
  std::vector<std::string> pairs;
  const std::int32_t outer = PI_beginLiterals();
  std::int32_t inner = -1;
  while (!PI_literalsAtEnd(outer)) {
    inner = PI_beginLiterals();
    EXPECT_NE(outer, inner);
    for (const P_Literal *literal : walkAll(inner, literals))
      pairs.push_back(std::string(PI_literalText(PI_currentLiteral(outer))) + PI_literalText(literal));
    if (PI_nextLiteral(outer))
      break;
  }
  EXPECT_EQ((std::vector<std::string>{"11", "12", "21", "22"}), pairs);
  EXPECT_EQ(nullptr, PI_currentLiteral(outer)) << "null at the end";
  EXPECT_EQ(outer, PI_beginLiterals()) << "the id freed last comes first";
  EXPECT_EQ(inner, PI_beginLiterals());
  const std::int32_t fresh = PI_beginLiterals();
  EXPECT_NE(outer, fresh) << "walks left before their ends keep their ids";
  EXPECT_NE(inner, fresh);
}

using LiteralQueriesDeathTest = LiteralQueriesTest;

TEST_F(LiteralQueriesDeathTest, TheSuffixOfALiteralWithoutOne) {
  PI_registerLiteralHandler();
  readRecordFile("l.c", {"<LIT> 7 - - /q/l.c 2 1 N DN lq_x F T"});
  P_Literal *literal = allLiterals().at(0);
  EXPECT_DEATH(
      PI_literalSuffix(literal),
      "Assertion at LiteralQueries.cpp:[0-9]+: Assertion 'PI_hasLiteralSuffix \\(han\\) && \"Only try to "
      "get a suffix if there was one\"' failed.");
}

TEST_F(LiteralQueriesDeathTest, ANullLiteralAndAnIdNeverHandedOut) {
  EXPECT_DEATH(PI_literalSuffix(nullptr), "Assertion '0 != literal && \"Dont dereference 0.\"' failed");
  EXPECT_DEATH(PI_literalScopeIsR(nullptr), "Dont dereference 0.");
  EXPECT_DEATH(PI_literalsAtEnd(1 << 30), "Iterator Id is out of range.");
}

} // namespace

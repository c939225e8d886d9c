#include "anlsrslt/include/TypeScopeQueries.h"

#include "anlsrslt/include/DefineQueries.h"
#include "anlsrslt/include/QueryInterface.h"
#include "foundation/StringStore.h"

#include "RecordQueriesTest.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

TEST(TypeScopeQueriesTest, ArrayTypes) {
  const struct Case {
    const char *type;
    bool array;
    bool undimensioned;
    const char *element;
    std::uint32_t dimension; // asked of dimensioned arrays only
  } cases[] = {
      {"[10,ni]", true, false, "ni", 10}, {"[3,[4,ni]]", true, false, "[4,ni]", 3},
      {"[?,pc]", true, true, "pc", 0},    {"[0,pc]", true, true, "pc", 0},
      {"[-2,ni]", true, false, "ni", 0},  {"ni", false, false, nullptr, 0},
      {"pc", false, false, nullptr, 0},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(c.array, PI_isTypeArray(c.type)) << c.type;
    if (!c.array)
      continue;
    EXPECT_EQ(c.undimensioned, PI_isUndimArray(c.type)) << c.type;
    EXPECT_STREQ(c.element, PI_typeArrayElement(c.type)) << c.type;
    EXPECT_EQ(internString(c.element), PI_typeArrayElement(c.type)) << c.type << ": pooled";
    if (!c.undimensioned) {
      EXPECT_EQ(c.dimension, PI_typeArrayDimension(c.type)) << c.type;
    }
  }
}

TEST(TypeScopeQueriesDeathTest, TypesThatAreNotArraysOrAreTooShort) {
  EXPECT_DEATH(PI_isTypeArray(""), "Our type string should have a length greater than 0");
  EXPECT_DEATH(PI_isTypeArray("[1,]"), "Our array type string should have a length greater than 4");
  EXPECT_DEATH(PI_typeArrayElement("ni"), "We should only ask array types for their element types");
  EXPECT_DEATH(PI_typeArrayDimension("[?,ni]"), "We should only ask dimensioned arrays for their dimensions");
}

// What the listener found for each new symbol's scope: "<define>:<enclosing
// symbol's define>".
std::vector<std::string> found;

std::string nameOf(const P_Define *define) { return PI_displayName(PI_defineName(define)); }

void askEnclosing(P_Symbol *, P_Define *define) {
  const P_Symbol *enclosing = PI_scopeEnclosingSymbol(PI_defineScopeName(define));
  found.push_back(nameOf(define) + ":" + (enclosing ? nameOf(PI_symbolDefine(enclosing)) : "(none)"));
}

using ScopeQueriesTest = test_support::RecordQueriesTest;

TEST_F(ScopeQueriesTest, TheSymbolEnclosingAScopeWhileItsUnitIsRead) {
  found.clear();
  const std::vector<std::string> lines = {"<DEFINE> ::tq_f(v) /q/t.c 1 N DF OF F X v -",
                                          "<DEFINE> ::tq_f(v)::@BL1::x /q/t.c 2 N DF OV B N ni -",
                                          "<DEFINE> ::tq_N::tq_g(v) /q/t.c 3 N DF OF N X v -"};
  PI_registerNewSymbolListener(askEnclosing);
  readRecordFile("t.c", lines);
  EXPECT_EQ(
      (std::vector<std::string>{"::tq_f(v):(none)", "::tq_f(v)::@BL1::x:(none)", "::tq_N::tq_g(v):(none)"}),
      found)
      << "nothing is kept before the registration";

  found.clear();
  PI_registerScopeEnclosingSymbols();
  // The listener registered first asks before the new symbol's scope is
  // kept; a later symbol of the same scope finds it.
  readRecordFile("u.c", {"<DEFINE> ::tq_h(v) /q/u.c 1 N DF OF F I v -",
                         "<DEFINE> ::tq_h(v)::@BL1::y /q/u.c 2 N DF OV B N ni -",
                         "<DEFINE> ::tq_h(v)::@BL1::z /q/u.c 3 N DF OV B N ni -"});
  EXPECT_EQ((std::vector<std::string>{"::tq_h(v):(none)", "::tq_h(v)::@BL1::y:(none)",
                                      "::tq_h(v)::@BL1::z:::tq_h(v)"}),
            found);
}

} // namespace

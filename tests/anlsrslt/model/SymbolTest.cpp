#include "anlsrslt/model/Symbol.h"

#include "foundation/Exception.h"
#include "support/ModelDump.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using test_support::defineOf;
using test_support::describeSymbol;

TEST(SymbolTest, ASymbolOfADeclarationOrADefinition) {
  const DefinePtr declaration = defineOf("x /symbol/a.c 1 N DC OV F X ni -");
  const U_RefPtr<P_Symbol> declared(new P_Symbol(declaration));
  EXPECT_EQ("x: {a.c:1 C} cur a.c:1 C", describeSymbol(*declared));
  EXPECT_EQ(declaration.pointer(), declared->define());

  const DefinePtr definition = defineOf("x /symbol/a.c 1 N DF OV F X ni -");
  const U_RefPtr<P_Symbol> defined(new P_Symbol(definition));
  EXPECT_EQ("x: {a.c:1 F} def a.c:1 F cur a.c:1 F", describeSymbol(*defined));
  EXPECT_EQ(definition.pointer(), P_symbolDefine(defined.pointer()));
  EXPECT_EQ(&defined->m_declarations, P_symbolDeclarations(defined.pointer()));

  testing::internal::CaptureStderr();
  EXPECT_THROW((void)P_Symbol(DefinePtr{}), U_AssertException);
  EXPECT_EQ("Assertion at P_Symbol:41: Assertion 'def.isSet () && \"Trying to create symbol from unset "
            "pointer.\"' failed.\n",
            testing::internal::GetCapturedStderr());
}

TEST(SymbolTest, AddingDefinesAndWhetherTheyBecomeTheCurrentDeclaration) {
  const U_RefPtr<P_Symbol> symbol(new P_Symbol(defineOf("x /symbol/a.c 1 N DC OV F X ni S")));
  EXPECT_FALSE(symbol->addDefine(defineOf("x /symbol/a.c 1 N DF OV F X ni A"))) << "absorbed";
  const DefinePtr declared = defineOf("x /symbol/a.c 4 N DC OV F X ni -");
  EXPECT_TRUE(symbol->addDefine(declared));
  const DefinePtr again = defineOf("x /symbol/a.c 4 N DC OV F X ni -");
  EXPECT_TRUE(symbol->addDefine(again)) << "the entry at its place stands for it";
  EXPECT_EQ(declared, symbol->m_declaration);
  EXPECT_EQ(1u, again->referenceCount()) << "kept nowhere";
  EXPECT_EQ("x: {a.c:1 CF SA, a.c:4 C} def a.c:1 CF SA cur a.c:4 C", describeSymbol(*symbol));
  EXPECT_TRUE(symbol->addDefine(defineOf("x /symbol/a.c 7 N DF OV F X ni -")));
  EXPECT_EQ("x: {a.c:1 CF SA, a.c:4 C, a.c:7 F} def a.c:7 F cur a.c:7 F", describeSymbol(*symbol));
  EXPECT_EQ(2u, declared->referenceCount()) << "held by this test and the set, no longer as current";

  // A declaration after a definition leaves the definition as it is.
  EXPECT_TRUE(symbol->addDefine(defineOf("x /symbol/a.c 9 N DC OV F X ni -")));
  EXPECT_EQ("x: {a.c:1 CF SA, a.c:4 C, a.c:7 F, a.c:9 C} def a.c:7 F cur a.c:9 C", describeSymbol(*symbol));
  EXPECT_EQ(symbol->m_definition.pointer(), symbol->define());
}

// A define is absorbed by the current declaration when it defines the entity
// at that file and line (unless it is the first of its id in its unit), else
// by the entry at its place, else it goes into the set; either way the set
// holds one entry a place, and the current declaration and the definition
// are entries.
TEST(SymbolTest, ADefineIsAbsorbedOrGoesIn) {
  const struct Case {
    std::vector<std::string> before; // the first makes the symbol
    std::string added;
    bool firstInUnit;
    bool answer;
    bool kept; // the added define is an entry of the set
    std::string symbol;
  } cases[] = {
      {{"x /symbol/a.c 1 N DC OV F X ni S"},
       "x /symbol/a.c 1 N DF OV F X ni A",
       false,
       false,
       false,
       "x: {a.c:1 CF SA} def a.c:1 CF SA cur a.c:1 CF SA"},
      // The current declaration's file and line are enough: here it was
      // included, the definition is in the main file.
      {{"x /symbol/a.c 1 I DC OV F X ni -"},
       "x /symbol/a.c 1 N DF OV F X ni -",
       false,
       false,
       false,
       "x: {a.c:1 CF} def a.c:1 CF cur a.c:1 CF"},
      {{"x /symbol/a.c 1 I DC OV F X ni -"},
       "x /symbol/a.c 1 N DF OV F X ni -",
       true,
       true,
       true,
       "x: {a.c:1 C, a.c:1 F} def a.c:1 F cur a.c:1 F"},
      {{"x /symbol/a.c 1 N DC OV F X ni S"},
       "x /symbol/a.c 1 N DF OV F X ni A",
       true,
       true,
       false,
       "x: {a.c:1 CF SA} def a.c:1 CF SA cur a.c:1 CF SA"},
      {{"x /symbol/a.c 1 N DC OV F X ni -", "x /symbol/a.c 4 N DC OV F X ni -"},
       "x /symbol/a.c 1 N DF OV F X ni -",
       false,
       true,
       false,
       "x: {a.c:1 CF, a.c:4 C} def a.c:1 CF cur a.c:1 CF"},
      {{"x /symbol/a.c 1 N DC OV F X ni -", "x /symbol/a.c 4 N DF OV F X ni -"},
       "x /symbol/a.c 4 N DC OV F X ni S",
       false,
       true,
       false,
       "x: {a.c:1 C, a.c:4 CF S} def a.c:4 CF S cur a.c:4 CF S"},
      // Kind bits other than declaration and definition make another place.
      {{"x /symbol/a.c 1 N DC OV F X ni -"},
       "x /symbol/a.c 1 N DS OV F X ni -",
       false,
       true,
       true,
       "x: {a.c:1 C, a.c:1 S} cur a.c:1 S"},
      {{"x /symbol/a.c 1 N DC OV F X ni -"},
       "x /symbol/a.c 7 N DF OV F X ni -",
       false,
       true,
       true,
       "x: {a.c:1 C, a.c:7 F} def a.c:7 F cur a.c:7 F"},
  };
  for (const Case &c : cases) {
    const U_RefPtr<P_Symbol> symbol(new P_Symbol(defineOf(c.before[0])));
    for (std::size_t i = 1; i < c.before.size(); ++i)
      symbol->addDefine(defineOf(c.before[i]));
    const DefinePtr added = defineOf(c.added);
    EXPECT_EQ(c.answer, symbol->addDefine(added, c.firstInUnit)) << c.added << " " << c.firstInUnit;
    EXPECT_EQ(c.kept, symbol->m_declarations.contains(added.pointer())) << c.added << " " << c.firstInUnit;
    EXPECT_EQ(c.symbol, describeSymbol(*symbol)) << c.added << " " << c.firstInUnit;
  }
}

TEST(SymbolTest, RedeclarationsAreFoundUnderTheDeclarationTheyCameAfter) {
  const DefinePtr declaration = defineOf("x /symbol/a.c 1 N DC OV F X ni -");
  const DefinePtr redeclaration = defineOf("x /symbol/a.c 2 N DR OV F X ni -");
  const U_RefPtr<P_Symbol> symbol(new P_Symbol(declaration));
  EXPECT_FALSE(P_symbolHasRedeclarations(symbol.pointer(), declaration));
  symbol->addRedeclaration(redeclaration);
  symbol->addRedeclaration(defineOf("x /symbol/a.c 2 N DR OV F X ni -")) /* equivalent: one entry */;
  symbol->addRedeclaration(defineOf("x /symbol/a.c 3 N DR OV F X ni -"));
  EXPECT_TRUE(P_symbolHasRedeclarations(symbol.pointer(), declaration));
  EXPECT_FALSE(P_symbolHasRedeclarations(symbol.pointer(), redeclaration));
  EXPECT_EQ("{a.c:2 R, a.c:3 R}",
            test_support::describeDefines(*P_symbolRedeclarations(symbol.pointer(), declaration)));
  EXPECT_EQ("x: {a.c:1 C} cur a.c:1 C redecl a.c:1 C {a.c:2 R, a.c:3 R}", describeSymbol(*symbol));
}

TEST(SymbolTest, MisuseIsAnAssertionThatEndsTheProcess) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const DefinePtr declaration = defineOf("x /symbol/a.c 1 N DC OV F X ni -");
  const DefinePtr redeclaration = defineOf("x /symbol/a.c 2 N DR OV F X ni -");
  const U_RefPtr<P_Symbol> symbol(new P_Symbol(declaration));
  const char *unset = "Assertion 'def.isSet \\(\\) && \"Trying to add unset pointer to symbol.\"' failed.";
  EXPECT_DEATH(symbol->addDefine(DefinePtr()), std::string("P_Symbol:57: ") + unset);
  EXPECT_DEATH(symbol->addRedeclaration(DefinePtr()), std::string("P_Symbol:88: ") + unset);
  EXPECT_DEATH(symbol->hasRedeclarations(DefinePtr()), std::string("P_Symbol:115: ") + unset);
  EXPECT_DEATH(symbol->redeclarations(DefinePtr()), std::string("P_Symbol:121: ") + unset);
  EXPECT_DEATH(
      symbol->redeclarations(declaration),
      "P_Symbol:123: Assertion 'iter != m_redeclList.end \\(\\) && \"We have no redeclarations for this "
      "symbol/define\"' failed.");
  symbol->addRedeclaration(redeclaration);
  EXPECT_DEATH(P_symbolRedeclarations(symbol.pointer(), redeclaration), "P_Symbol:123");

  const char *null = "Assertion '0 != han && \"Dont dereference 0.\"' failed.";
  const char *nullOrUnset = "Assertion '0 != han && def.isSet \\(\\) && \"Dont dereference 0.\"' failed.";
  EXPECT_DEATH(P_symbolDeclarations(nullptr), std::string("P_Symbol:140: ") + null);
  EXPECT_DEATH(P_symbolDefine(nullptr), std::string("P_Symbol:158: ") + null);
  EXPECT_DEATH(P_symbolHasRedeclarations(nullptr, declaration), std::string("P_Symbol:146: ") + nullOrUnset);
  EXPECT_DEATH(P_symbolHasRedeclarations(symbol.pointer(), DefinePtr()), "P_Symbol:146");
  EXPECT_DEATH(P_symbolRedeclarations(nullptr, declaration), std::string("P_Symbol:152: ") + nullOrUnset);
  EXPECT_DEATH(P_symbolRedeclarations(symbol.pointer(), DefinePtr()), "P_Symbol:152");
}

} // namespace

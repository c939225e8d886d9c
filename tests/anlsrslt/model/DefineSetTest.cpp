// The order of defines, the define sets and changes of defines filed in them.
#include "anlsrslt/model/DefineSet.h"

#include "anlsrslt/model/Symbol.h"
#include "support/ModelDump.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

namespace {

using test_support::defineOf;
using test_support::describeDefines;
using test_support::describeSymbol;

class DefineSetTest : public testing::Test {
protected:
  // Files and types known in this order, whichever test runs first.
  static void SetUpTestSuite() {
    for (const char *path : {"/defset/a.c", "/defset/b.c"})
      P_filenameProxyFor(QL_Filename::fromPath(path));
    for (const char *type : {"defset-t1", "defset-t2"})
      internString(type);
  }
};

TEST_F(DefineSetTest, DefinesOrderFieldByFieldButNotByName) {
  const struct Case {
    const char *a;
    const char *b;
    int order; // of a against b
  } cases[] = {
      {"x /defset/a.c 9 N DC OV F X defset-t2 -", "x /defset/b.c 1 N DC OV F X defset-t1 -", -1},
      {"x /defset/a.c 1 N DC OV F X defset-t2 -", "x /defset/a.c 2 N DC OV F X defset-t1 -", -1},
      {"x /defset/a.c 2 N DF OV F X defset-t1 -", "x /defset/a.c 2 N DC OV F X defset-t2 -", -1},
      {"x /defset/a.c 2 N DF OV F X defset-t1 -", "x /defset/a.c 2 N DC OV F X defset-t1 -", 1},
      {"x /defset/a.c 2 I DC OV F X defset-t1 -", "x /defset/a.c 2 N DC OV F X defset-t1 -", -1},
      {"x /defset/a.c 2 N DC TG F X defset-t1 -", "x /defset/a.c 2 N DC OV F X defset-t1 -", -1},
      {"x /defset/a.c 2 N DC OV N X defset-t1 -", "x /defset/a.c 2 N DC OV F X defset-t1 -", -1},
      {"x /defset/a.c 2 N DC OV F I defset-t1 -", "x /defset/a.c 2 N DC OV F X defset-t1 -", -1},
      {"x /defset/a.c 2 N DC OV F X defset-t1 S", "x /defset/a.c 2 N DC OV F X defset-t1 F", 1},
      {"x /defset/a.c 2 N DC OV F X defset-t1 S", "y /defset/a.c 2 N DC OV F X defset-t1 S", 0},
      {"x<int> /defset/a.c 2 N DC OV F X defset-t1 -", "y /defset/a.c 2 N DC OV F X defset-t1 -", 0},
  };
  for (const Case &c : cases) {
    const DefinePtr a = defineOf(c.a);
    const DefinePtr b = defineOf(c.b);
    EXPECT_EQ(c.order, P_compareDefines(*a, *b)) << c.a << " against " << c.b;
    EXPECT_EQ(-c.order, P_compareDefines(*b, *a)) << c.b << " against " << c.a;
    EXPECT_EQ(c.order < 0, isDefineLess(*a, *b)) << c.a;
  }
}

TEST_F(DefineSetTest, EquivalentDefinesAreOneEntryTheFirstStays) {
  P_DefineSet set;
  const DefinePtr first = defineOf("x /defset/a.c 2 N DC OV F X defset-t1 -");
  const DefinePtr same = defineOf("y /defset/a.c 2 N DC OV F X defset-t1 -");
  const DefinePtr other = defineOf("x /defset/a.c 1 N DC OV F X defset-t1 -");
  EXPECT_EQ(first.pointer(), set.insert(first));
  EXPECT_EQ(first.pointer(), set.insert(same)) << "the entry it is equivalent to";
  EXPECT_EQ(other.pointer(), set.insert(other));
  EXPECT_EQ("{a.c:1 C, a.c:2 C}", describeDefines(set));
  EXPECT_TRUE(set.contains(first.pointer()));
  EXPECT_FALSE(set.contains(same.pointer()));
  EXPECT_EQ(2u, first->referenceCount()) << "held by the test and the set";
  EXPECT_EQ(1u, same->referenceCount());
}

// A changed define is taken out of every set that holds it and put back
// where it now belongs; where an equivalent define is there by then, that
// one stays and the changed define is no longer in that set.
TEST_F(DefineSetTest, AChangedDefineMovesToItsPlaceInEverySetThatHoldsIt) {
  const DefinePtr changing = defineOf("x /defset/a.c 2 N DC OV F X defset-t1 -");
  const DefinePtr settled = defineOf("x /defset/a.c 2 N DC OV F X defset-t1 S");
  const DefinePtr later = defineOf("x /defset/a.c 2 N DF OV F X defset-t1 -");
  P_DefineSet both;
  P_DefineSet alone;
  for (const DefinePtr &def : {changing, settled, later})
    both.insert(def);
  alone.insert(changing);
  EXPECT_EQ("{a.c:2 C, a.c:2 C S, a.c:2 F}", describeDefines(both));

  P_changeDefine(*changing, P_kindDefinition, 0);
  EXPECT_EQ("{a.c:2 C S, a.c:2 F}", describeDefines(both)) << "an equivalent define was there";
  EXPECT_TRUE(both.contains(later.pointer()));
  EXPECT_FALSE(both.contains(changing.pointer()));
  EXPECT_EQ("{a.c:2 F}", describeDefines(alone));
  EXPECT_TRUE(alone.contains(changing.pointer()));

  P_changeDefine(*changing, P_kindDefinition | P_kindDeclaration, P_flagS | P_flagU);
  EXPECT_EQ("{a.c:2 CF SU}", describeDefines(alone));
  EXPECT_EQ("{a.c:2 C S, a.c:2 F}", describeDefines(both)) << "no longer held there";

  // A set that goes lets go of its defines: they change without it.
  {
    P_DefineSet passing;
    passing.insert(later);
  }
  P_changeDefine(*later, P_kindDeclaration, P_flagS);
  EXPECT_EQ("{a.c:2 C S}", describeDefines(both)) << "now equivalent to the settled one";
  EXPECT_EQ(1u, later->referenceCount()) << "no set holds it";
}

// A declaration that changes into the equivalent of another declaration of
// its symbol hands the symbol's roles and its redeclarations to that one.
TEST_F(DefineSetTest, TheSymbolOfAMergedDeclarationHandsItsRolesOver) {
  const DefinePtr kept = defineOf("x /defset/a.c 2 N DC OV F X defset-t1 S");
  const DefinePtr gone = defineOf("x /defset/a.c 2 N DC OV F X defset-t1 -");
  const U_RefPtr<P_Symbol> symbol(new P_Symbol(kept));
  symbol->addRedeclaration(defineOf("x /defset/a.c 3 N DR OV F X defset-t1 -"));
  symbol->addDefine(gone);
  symbol->addRedeclaration(defineOf("x /defset/a.c 4 N DR OV F X defset-t1 -"));
  EXPECT_EQ("x: {a.c:2 C, a.c:2 C S} cur a.c:2 C redecl a.c:2 C {a.c:4 R} redecl a.c:2 C S {a.c:3 R}",
            describeSymbol(*symbol));

  P_changeDefine(*gone, gone->m_kind, P_flagS);
  EXPECT_EQ("x: {a.c:2 C S} cur a.c:2 C S redecl a.c:2 C S {a.c:3 R, a.c:4 R}", describeSymbol(*symbol));
  EXPECT_EQ(kept, symbol->m_declaration);
  EXPECT_EQ(1u, gone->referenceCount()) << "the symbol keeps nothing of it";
}

// A current declaration outside the set changes without the set; the entry
// that stands for it hands its role to the define it merges into, so that
// redeclarations still go where a walk of the declarations finds them.
TEST_F(DefineSetTest, AStandInThatMergesHandsItsRoleOver) {
  const DefinePtr kept = defineOf("x /defset/a.c 2 N DC OV F X defset-t1 S");
  const DefinePtr standIn = defineOf("x /defset/a.c 2 N DC OV F X defset-t1 -");
  const DefinePtr current = defineOf("x /defset/a.c 2 N DC OV F X defset-t1 -");
  const U_RefPtr<P_Symbol> symbol(new P_Symbol(kept));
  symbol->addDefine(standIn);
  symbol->addDefine(current);
  symbol->addRedeclaration(defineOf("x /defset/a.c 3 N DR OV F X defset-t1 -"));
  EXPECT_EQ("x: {a.c:2 C, a.c:2 C S} cur a.c:2 C outside redecl a.c:2 C {a.c:3 R}", describeSymbol(*symbol));

  P_changeDefine(*current, current->m_kind, P_flagA);
  EXPECT_EQ("x: {a.c:2 C, a.c:2 C S} cur a.c:2 C A outside redecl a.c:2 C {a.c:3 R}",
            describeSymbol(*symbol));

  P_changeDefine(*standIn, standIn->m_kind, P_flagS);
  symbol->addRedeclaration(defineOf("x /defset/a.c 4 N DR OV F X defset-t1 -"));
  EXPECT_EQ("x: {a.c:2 C S} cur a.c:2 C A outside redecl a.c:2 C S {a.c:3 R, a.c:4 R}",
            describeSymbol(*symbol));
  EXPECT_EQ(current, symbol->m_declaration);
  EXPECT_EQ(1u, standIn->referenceCount()) << "the symbol keeps nothing of it";
}

} // namespace

namespace {

// The lines of the defines of a set, in its order.
std::vector<std::int32_t> linesOf(const P_DefineSet &set) {
  std::vector<std::int32_t> lines;
  for (const P_Define *def : set)
    lines.push_back(def->m_line);
  return lines;
}

// Sets of many defines keep them in a tree: the same order, the same
// answers, whatever order the defines come in.
TEST_F(DefineSetTest, LargeSetsKeepTheirOrderAndTheirAnswers) {
  for (const std::uint32_t count : {P_DefineSet::kArrayLimit, P_DefineSet::kArrayLimit + 1, 300u}) {
    P_DefineSet set;
    std::vector<DefinePtr> defines;
    std::vector<std::int32_t> expected;
    for (std::uint32_t n = 0; n < count; ++n) {
      // Lines from both ends towards the middle.
      const std::int32_t line = static_cast<std::int32_t>(n % 2 ? n : 1000 - n);
      defines.push_back(defineOf("x /defset/a.c " + std::to_string(line) + " N DC OV F X defset-t1 -"));
      EXPECT_EQ(defines.back().pointer(), set.insert(defines.back()));
      expected.push_back(line);
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, linesOf(set)) << count;
    EXPECT_EQ(count, set.size());
    const DefinePtr again = defineOf("y /defset/a.c 1000 N DC OV F X defset-t1 -");
    EXPECT_EQ(defines[0].pointer(), set.insert(again)) << count;
    EXPECT_TRUE(set.contains(defines[1].pointer()));
    EXPECT_FALSE(set.contains(again.pointer()));

    // A define that changes moves to its place; one that becomes equivalent
    // to another leaves the set.
    P_changeDefine(*defines[0], P_kindDefinition, 0);
    P_changeDefine(*defines[1], P_kindDeclaration, P_flagS);
    EXPECT_EQ(defines[1].pointer(), *std::next(set.begin(), 0)) << "line 1 stays first";
    EXPECT_EQ(defines[0].pointer(), *std::prev(std::vector<P_Define *>(set.begin(), set.end()).end()))
        << count << ": the definition of the last line comes after its declaration";
    const DefinePtr declared = defineOf("x /defset/a.c 3 N DC OV F X defset-t1 S");
    set.insert(declared);
    P_changeDefine(*defines[3], P_kindDeclaration, P_flagS);
    EXPECT_FALSE(set.contains(defines[3].pointer())) << count;
    EXPECT_TRUE(set.contains(declared.pointer()));
    EXPECT_EQ(count + 1 - 1, set.size());
  }
}

} // namespace

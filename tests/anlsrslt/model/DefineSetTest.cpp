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

// A declaration that changes to the place of another entry of its symbol
// (here by losing kind bit 4, as a redeclaration of nothing in its unit
// does) is absorbed by that entry, which takes over its roles and its
// redeclarations. Another symbol that holds the absorbing entry keeps it in
// order.
TEST_F(DefineSetTest, ADeclarationThatChangesToAPlaceHeldIsAbsorbedByItsEntry) {
  const DefinePtr kept = defineOf("x /defset/a.c 2 N DC OV F X defset-t1 S");
  const DefinePtr gone = defineOf("x /defset/a.c 2 N DR OV F X defset-t1 A");
  P_changeDefine(*gone, P_kindRedeclaration | P_kindDefinition, gone->m_flags);
  const U_RefPtr<P_Symbol> symbol(new P_Symbol(kept));
  symbol->addRedeclaration(defineOf("x /defset/a.c 3 N DR OV F X defset-t1 -"));
  symbol->addDefine(gone, true);
  symbol->addRedeclaration(defineOf("x /defset/a.c 4 N DR OV F X defset-t1 -"));
  EXPECT_EQ(
      "x: {a.c:2 C S, a.c:2 FR A} def a.c:2 FR A cur a.c:2 FR A redecl a.c:2 C S {a.c:3 R} redecl a.c:2 "
      "FR A {a.c:4 R}",
      describeSymbol(*symbol));
  const U_RefPtr<P_Symbol> other(new P_Symbol(defineOf("x /defset/a.c 2 I DF OV F X defset-t1 -")));
  other->addDefine(kept);
  P_DefineSet plain;
  plain.insert(gone);
  EXPECT_EQ("x: {a.c:2 C S, a.c:2 F} def a.c:2 F cur a.c:2 C S", describeSymbol(*other));

  P_changeDefine(*gone, P_kindDeclaration | P_kindDefinition, gone->m_flags);
  EXPECT_EQ("x: {a.c:2 CF SA} def a.c:2 CF SA cur a.c:2 CF SA redecl a.c:2 CF SA {a.c:3 R, a.c:4 R}",
            describeSymbol(*symbol));
  EXPECT_EQ("x: {a.c:2 F, a.c:2 CF SA} def a.c:2 F cur a.c:2 CF SA", describeSymbol(*other))
      << "the absorbing entry moved to its place in the other symbol";
  EXPECT_EQ("{a.c:2 CF A}", describeDefines(plain)) << "a set without owner keeps the changed define";
  EXPECT_EQ(2u, gone->referenceCount()) << "held by this test and the plain set only";
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

// The entry at a define's place is found in small and large sets: whether it
// declares or defines and its flags do not matter, every other field does.
TEST_F(DefineSetTest, TheEntryAtAPlace) {
  for (const std::uint32_t count : {1u, P_DefineSet::kArrayLimit / 2, P_DefineSet::kArrayLimit, 300u}) {
    P_DefineSet set;
    // Per line an entry of the main file (a declaration, a definition or a
    // specialisation) and a definition in an included file.
    std::vector<DefinePtr> main;
    std::vector<DefinePtr> included;
    for (std::uint32_t n = 0; n < count / 2 + 1; ++n) {
      const std::string at = "x /defset/a.c " + std::to_string(n);
      const char *kind = n % 3 == 0 ? "DS" : (n % 3 == 1 ? "DC" : "DF");
      main.push_back(defineOf(at + " N " + kind + " OV F X defset-t1 " + (n % 2 ? "S" : "-")));
      included.push_back(defineOf(at + " I DF OV F X defset-t1 -"));
      set.insert(main.back());
      set.insert(included.back());
    }
    for (std::uint32_t n = 0; n < main.size(); ++n) {
      const std::string at = "x /defset/a.c " + std::to_string(n);
      const P_Define *special = n % 3 == 0 ? main[n].pointer() : nullptr;
      const P_Define *plain = n % 3 == 0 ? nullptr : main[n].pointer();
      const struct Probe {
        std::string fields;
        const P_Define *found;
      } probes[] = {
          {at + " N DF OV F X defset-t1 A", plain},
          {at + " N DC OV F X defset-t1 -", plain},
          {at + " N DS OV F X defset-t1 D", special},
          {at + " I DC OV F X defset-t1 S", included[n].pointer()},
          {at + " N DC OV F X defset-t2 -", nullptr},
          {at + " N DC TG F X defset-t1 -", nullptr},
          {at + " N DR OV F X defset-t1 -", nullptr},
          {"x /defset/b.c " + std::to_string(n) + " N DC OV F X defset-t1 -", nullptr},
      };
      for (const Probe &probe : probes)
        EXPECT_EQ(probe.found, set.atPlace(*defineOf(probe.fields))) << count << ": " << probe.fields;
    }
  }
}

} // namespace

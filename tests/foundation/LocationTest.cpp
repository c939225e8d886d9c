#include "foundation/Location.h"
#include "platform/FileSystem.h"
#include "resultfiles/EntityDisplayName.h"
#include "resultfiles/MacroHistory.h"
#include "support/SmallStack.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <typeinfo>
#include <vector>

namespace {

// A display name that counts the live ones and logs its destruction.
struct TrackedName : U_EntityDisplayName {
  static int alive;
  static std::vector<std::string> destroyed;
  explicit TrackedName(std::string name) : m_name(std::move(name)) { ++alive; }
  ~TrackedName() override {
    --alive;
    destroyed.push_back(m_name);
  }
  std::string text() const override { return m_name; }
  std::string text2() const override { return m_name; }
  std::string text3() const override { return m_name; }
  std::string text4() const override { return m_name; }
  std::string text5() const override { return m_name; }
  std::string m_name;
};
int TrackedName::alive = 0;
std::vector<std::string> TrackedName::destroyed;

U_RefPtr<U_EntityDisplayName> entity(const std::string &name) {
  return U_RefPtr<U_EntityDisplayName>(new TrackedName(name));
}

class LocationTest : public testing::Test {
protected:
  void SetUp() override {
    TrackedName::alive = 0;
    TrackedName::destroyed.clear();
  }
  void TearDown() override { EXPECT_EQ(0, TrackedName::alive) << "a display name outlived its locations"; }

  const QL_Filename main{"/loc/main.c", "main.c"};
  const QL_Filename mainAsWritten{"/loc/main.c", "../loc/main.c"};
  const QL_Filename header{"/loc/inc/a.h", "inc/a.h"};
  const QL_Filename shown{"/loc/gen.y", "gen.y"};
  const U_RefPtr<U_MacroHistory> noMacro;
};

struct Presence {
  bool incl, macro, hl, inst, called;
};

void expectPresence(const Presence &expected, const U_Location &loc, const std::string &what) {
  EXPECT_EQ(expected.incl, loc.hasInclLoc()) << what;
  EXPECT_EQ(expected.macro, loc.hasMacroHist()) << what;
  EXPECT_EQ(expected.hl, loc.hasHLLoc()) << what;
  EXPECT_EQ(expected.inst, loc.hasInstFromLoc()) << what;
  EXPECT_EQ(expected.called, loc.hasCalledFromLoc()) << what;
}

TEST_F(LocationTest, ConstructorsBuildOnlyThePartsOfSetHandles) {
  const U_Location site(main, 3, 0);
  struct Case {
    const char *what;
    U_Location loc;
    bool incl;
  };
  const Case cases[] = {
      {"file, line, column", U_Location(header, 12, 4), false},
      {"null include location", U_Location(U_Location(), header, 12, 4), false},
      {"include location", U_Location(site, header, 12, 4), true},
      {"null macro history", U_Location(header, 12, 4, noMacro), false},
      {"include location, null macro history", U_Location(site, header, 12, 4, noMacro), true},
      {"both null", U_Location(U_Location(), header, 12, 4, noMacro), false},
  };
  for (const Case &c : cases) {
    ASSERT_TRUE(c.loc.isSet()) << c.what;
    expectPresence({c.incl, false, false, false, false}, c.loc, c.what);
    EXPECT_EQ(header, c.loc.getFile()) << c.what;
    EXPECT_EQ(12, c.loc.getLine()) << c.what;
    EXPECT_EQ(4, c.loc.getColumn()) << c.what;
    EXPECT_EQ(c.incl ? site : U_Location(), c.loc.getInclLoc()) << c.what;
  }
}

TEST_F(LocationTest, LinesAndColumnsAreSignedAndKept) {
  struct Case {
    std::int32_t line, column;
  };
  const Case cases[] = {{-1, -1}, {0, 0}, {INT32_MIN, INT32_MAX}, {INT32_MAX, INT32_MIN}};
  for (const Case &c : cases) {
    const U_Location loc(main, c.line, c.column);
    EXPECT_EQ(c.line, loc.getLine());
    EXPECT_EQ(c.column, loc.getColumn());
    const U_Location derived = loc.withHLLoc(shown, c.line);
    EXPECT_EQ(c.line, derived.getHLLine());
    EXPECT_EQ(c.column, derived.getColumn());
  }
}

TEST_F(LocationTest, FileKeepsBothNames) {
  const U_Location loc(mainAsWritten, 1, 1);
  EXPECT_EQ(mainAsWritten.canonical(), loc.getFile().canonical());
  EXPECT_EQ(mainAsWritten.given(), loc.getFile().given());
  EXPECT_STREQ("../loc/main.c", loc.getFile().given().c_str());
}

TEST_F(LocationTest, CopyAddsAReferenceAndBuildsNothing) {
  const U_Location loc(main, 1, 2);
  EXPECT_EQ(1u, loc.data()->referenceCount());
  {
    const U_Location copy = loc;
    EXPECT_EQ(loc, copy);
    EXPECT_EQ(loc.data(), copy.data());
    EXPECT_EQ(2u, loc.data()->referenceCount());
  }
  EXPECT_EQ(1u, loc.data()->referenceCount());
  U_Location null;
  EXPECT_FALSE(U_Location(null).isSet());
  EXPECT_EQ(U_Location(), null);
}

TEST_F(LocationTest, DerivationsAddOnePartAndLeaveTheSourceAlone) {
  const U_Location site(main, 3, 0);
  const U_Location instFrom(main, 40, 2);
  const U_Location caller(main, 77, 5);
  const U_Location source(site, header, 12, 4);
  const U_RefPtr<U_EntityDisplayName> name = entity("f<int>");

  struct Case {
    const char *what;
    U_Location derived;
    Presence parts;
  };
  const Case cases[] = {
      {"HL", source.withHLLoc(shown, 100), {true, false, true, false, false}},
      {"instantiated from", source.withInstFromLoc(instFrom, name), {true, false, false, true, false}},
      {"called from", source.withCalledFromLoc(caller), {true, false, false, false, true}},
      {"all three",
       source.withHLLoc(shown, 100).withInstFromLoc(instFrom, name).withCalledFromLoc(caller),
       {true, false, true, true, true}},
  };
  for (const Case &c : cases) {
    expectPresence(c.parts, c.derived, c.what);
    EXPECT_NE(source, c.derived) << c.what;
    EXPECT_EQ(header, c.derived.getFile()) << c.what;
    EXPECT_EQ(12, c.derived.getLine()) << c.what;
    EXPECT_EQ(4, c.derived.getColumn()) << c.what;
    EXPECT_EQ(site, c.derived.getInclLoc()) << "shared include location: " << c.what;
    if (c.parts.hl) {
      EXPECT_EQ(shown, c.derived.getHLFile()) << c.what;
      EXPECT_EQ(100, c.derived.getHLLine()) << c.what;
    }
    if (c.parts.inst) {
      EXPECT_EQ(instFrom, c.derived.getInstFromLoc()) << c.what;
      EXPECT_EQ(name, c.derived.getInstEntity()) << c.what;
      EXPECT_EQ(1u, c.derived.getInstDepth()) << c.what;
    }
    if (c.parts.called) {
      EXPECT_EQ(caller, c.derived.getCalledFromLoc()) << c.what;
    }
  }
  expectPresence({true, false, false, false, false}, source, "source after the derivations");
  EXPECT_EQ(site, source.getInclLoc());
}

TEST_F(LocationTest, HLPositionIsShownBesideThePhysicalOne) {
  const U_Location loc = U_Location(main, 8, 3).withHLLoc(shown, 120);
  EXPECT_EQ(main, loc.getFile());
  EXPECT_EQ(8, loc.getLine());
  EXPECT_EQ(3, loc.getColumn());
  EXPECT_EQ(shown, loc.getHLFile());
  EXPECT_EQ(120, loc.getHLLine());

  const U_Location again = loc.withHLLoc(header, 7);
  EXPECT_EQ(header, again.getHLFile());
  EXPECT_EQ(7, again.getHLLine());
  EXPECT_EQ(typeid(*loc.data()), typeid(*again.data()));
  EXPECT_EQ(shown, loc.getHLFile());
}

TEST_F(LocationTest, InstantiationDepthCountsTheSteps) {
  const U_Location plain(main, 1, 0);
  // chain[k] has depth k: each is instantiated from the one before.
  std::vector<U_Location> chain{plain};
  for (std::int32_t k = 1; k <= 5; ++k)
    chain.push_back(U_Location(main, 10 + k, 0).withInstFromLoc(chain.back(), entity("step")));
  for (std::uint32_t k = 1; k <= 5; ++k)
    ASSERT_EQ(k, chain[k].getInstDepth());
  const U_Location &depth5 = chain[5];

  struct Case {
    U_Location instFrom;
    std::uint32_t depth;
  };
  const Case cases[] = {{plain, 1}, {chain[1], 2}, {chain[2], 3}, {depth5, 6}};
  for (const Case &c : cases) {
    EXPECT_EQ(c.depth, instantiationDepth(c.instFrom));
    // Replacing an instantiation part computes the depth from the new
    // instantiated-from location only.
    const U_RefPtr<U_EntityDisplayName> name = entity("g");
    const U_Location replaced = depth5.withInstFromLoc(c.instFrom, name);
    EXPECT_EQ(c.depth, replaced.getInstDepth());
    EXPECT_EQ(c.instFrom, replaced.getInstFromLoc());
    EXPECT_EQ(name, replaced.getInstEntity());
    EXPECT_EQ(typeid(*depth5.data()), typeid(*replaced.data()));
  }
  EXPECT_EQ(5u, depth5.getInstDepth());
}

TEST_F(LocationTest, CalledFromLocationGoesToTheFarEndOfTheChain) {
  const U_Location last(main, 90, 1);
  const U_Location plain(header, 5, 5);
  EXPECT_EQ(last, plain.withCalledFromLoc(last).getCalledFromLoc());

  // X -> A -> B, where A has an HL part and B an include part.
  const U_Location site(main, 2, 0);
  const U_Location b(site, header, 30, 3);
  const U_Location a = U_Location(main, 20, 2).withHLLoc(shown, 200).withCalledFromLoc(b);
  const U_Location x = U_Location(header, 10, 1).withCalledFromLoc(a);

  const U_Location derived = x.withCalledFromLoc(last);
  std::vector<U_Location> oldChain{x, a, b};
  std::vector<U_Location> newChain;
  for (U_Location step = derived; step.isSet();
       step = step.hasCalledFromLoc() ? step.getCalledFromLoc() : U_Location())
    newChain.push_back(step);
  ASSERT_EQ(4u, newChain.size());
  EXPECT_EQ(last, newChain[3]) << "the location given is shared, not copied";
  for (std::size_t i = 0; i < 3; ++i) {
    const U_Location &before = oldChain[i];
    const U_Location &after = newChain[i];
    EXPECT_NE(before, after) << "step " << i << " is rebuilt";
    EXPECT_TRUE(U_sameLocation(before, after)) << i;
    EXPECT_EQ(before.hasInclLoc(), after.hasInclLoc()) << i;
    EXPECT_EQ(before.getInclLoc(), after.getInclLoc()) << i;
    EXPECT_EQ(before.hasHLLoc(), after.hasHLLoc()) << i;
    EXPECT_TRUE(after.hasCalledFromLoc()) << i;
  }
  EXPECT_EQ(shown, newChain[1].getHLFile());
  // The old chain is as it was.
  EXPECT_EQ(a, x.getCalledFromLoc());
  EXPECT_EQ(b, a.getCalledFromLoc());
  EXPECT_FALSE(b.hasCalledFromLoc());
}

TEST_F(LocationTest, NullCalledFromStepIsReplacedByTheNextOne) {
  const U_Location last(main, 90, 1);
  const U_Location withNull = U_Location(header, 1, 1).withCalledFromLoc(U_Location());
  ASSERT_TRUE(withNull.hasCalledFromLoc());
  EXPECT_FALSE(withNull.getCalledFromLoc().isSet());
  const U_Location extended = withNull.withCalledFromLoc(last);
  EXPECT_EQ(last, extended.getCalledFromLoc());
}

TEST_F(LocationTest, SameFileComparesCanonicalNamesOnly) {
  const U_Location loc(main, 1, 1);
  struct Case {
    const char *what;
    U_Location a, b;
    bool same;
  };
  const Case cases[] = {
      {"two null locations", U_Location(), U_Location(), true},
      {"null and set", U_Location(), loc, false},
      {"set and null", loc, U_Location(), false},
      {"one handle", loc, loc, true},
      {"built twice", U_Location(main, 1, 1), U_Location(main, 1, 1), true},
      {"spelled differently, other line", U_Location(main, 1, 1), U_Location(mainAsWritten, 50, 2), true},
      {"other file, same line and column", U_Location(main, 1, 1), U_Location(header, 1, 1), false},
      {"HL part in the other file", U_Location(header, 1, 1).withHLLoc(main, 1), U_Location(main, 1, 1),
       false},
  };
  for (const Case &c : cases)
    EXPECT_EQ(c.same, U_Location::sameFile(c.a, c.b)) << c.what;
}

TEST_F(LocationTest, MainFileLocationIsTheOutermostIncludeSite) {
  const U_Location top(main, 3, 0);
  const U_Location middle(top, header, 7, 0);
  const U_Location inner(middle, QL_Filename("/loc/inc/b.h", "b.h"), 12, 4);
  struct Case {
    U_Location loc;
    U_Location main;
  };
  const Case cases[] = {{top, top}, {middle, top}, {inner, top}, {inner.withHLLoc(shown, 1), top}};
  for (const Case &c : cases)
    EXPECT_EQ(c.main, U_Location::mainFileLocation(c.loc));
  EXPECT_FALSE(top.getInclLoc().isSet());
}

TEST_F(LocationTest, ComparisonsByContents) {
  // Interned in this order, so that the files' order (that of interning)
  // and the order of their names differ.
  const QL_Filename zFile("/cmp/z.c", "z.c");
  const QL_Filename aFile("/cmp/a.c", "a.c");
  const QL_Filename zAgain("/cmp/z.c", "./z.c");
  // Names that differ only after a NUL byte are different files.
  const QL_Filename nulX(std::string("/cmp/n\0x", 8), "nx");
  const QL_Filename nulY(std::string("/cmp/n\0y", 8), "ny");
  const U_Location z5(zFile, 5, 5);
  const U_Location withParts = U_Location(U_Location(aFile, 1, 0), zFile, 5, 5).withHLLoc(aFile, 9);

  struct Case {
    const char *what;
    U_Location a, b;
    int order, byName;
  };
  const Case cases[] = {
      {"one handle", z5, z5, 0, 0},
      {"built twice", z5, U_Location(zFile, 5, 5), 0, 0},
      {"spelled differently", z5, U_Location(zAgain, 5, 5), 0, 0},
      {"parts play no part", z5, withParts, 0, 0},
      {"names equal up to a NUL byte", U_Location(nulX, 5, 5), U_Location(nulY, 5, 5), -1, -1},
      {"line before", U_Location(zFile, 4, 9), z5, -1, -1},
      {"line after", U_Location(zFile, 6, 0), z5, 1, 1},
      {"negative line", U_Location(zFile, -1, 5), z5, -1, -1},
      {"column before", U_Location(zFile, 5, 4), z5, -1, -1},
      {"negative column", U_Location(zFile, 5, -4), z5, -1, -1},
      {"column after", U_Location(zFile, 5, 6), z5, 1, 1},
      {"file interned first, name after", U_Location(zFile, 9, 9), U_Location(aFile, 1, 1), -1, 1},
      {"file interned later, name before", U_Location(aFile, 1, 1), U_Location(zFile, 9, 9), 1, -1},
      {"null first", U_Location(), z5, -1, -1},
      {"two null", U_Location(), U_Location(), 0, 0},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(c.order, U_compareLocations(c.a, c.b)) << c.what;
    EXPECT_EQ(-c.order, U_compareLocations(c.b, c.a)) << c.what;
    EXPECT_EQ(c.byName, U_compareLocationsByName(c.a, c.b)) << c.what;
    EXPECT_EQ(-c.byName, U_compareLocationsByName(c.b, c.a)) << c.what;
    EXPECT_EQ(c.order == -1, U_isLocationLess(c.a, c.b)) << c.what;
    EXPECT_EQ(c.order == 0, U_sameLocation(c.a, c.b)) << c.what;
    EXPECT_EQ(c.order == 0, U_sameLocation(c.b, c.a)) << c.what;
  }
  EXPECT_NE(z5, U_Location(zFile, 5, 5)) << "handles compare by object";
}

TEST_F(LocationTest, FileNamesDifferingInLetterCaseFollowTheFileNameStore) {
  const QL_Filename lower("/case/dir/file.c", "file.c");
  const QL_Filename upper("/CASE/Dir/FILE.C", "FILE.C");
  const bool oneFile = platform::fileNamesIgnoreCase;
  ASSERT_EQ(oneFile, lower.canonical() == upper.canonical());
  struct Case {
    std::int32_t line, column;
    int order; // of (lower, line 5, column 5) against (upper, line, column) when both are one file
  };
  const Case cases[] = {{5, 5, 0}, {6, 0, -1}, {5, 1, 1}, {-3, 9, 1}};
  for (const Case &c : cases) {
    const U_Location a(lower, 5, 5);
    const U_Location b(upper, c.line, c.column);
    EXPECT_EQ(oneFile, U_Location::sameFile(a, b)) << c.line << ":" << c.column;
    if (oneFile) {
      EXPECT_EQ(c.order, U_compareLocations(a, b)) << c.line << ":" << c.column;
      EXPECT_EQ(c.order, U_compareLocationsByName(a, b)) << c.line << ":" << c.column;
      EXPECT_EQ(c.order == 0, U_sameLocation(a, b)) << c.line << ":" << c.column;
    } else {
      // Interned later, and 'C' comes before 'c'.
      EXPECT_EQ(-1, U_compareLocations(a, b)) << c.line << ":" << c.column;
      EXPECT_EQ(1, U_compareLocationsByName(a, b)) << c.line << ":" << c.column;
      EXPECT_FALSE(U_sameLocation(a, b)) << c.line << ":" << c.column;
    }
  }
}

TEST_F(LocationTest, LastHolderDestroysTheHistory) {
  U_Location derived;
  const U_Location kept(main, 1, 0);
  {
    // Include, instantiated-from and called-from locations that only the
    // derived location holds, each with a display name that shows its end.
    const U_Location site = U_Location(main, 3, 0).withInstFromLoc(kept, entity("site"));
    const U_Location instFrom = U_Location(main, 40, 0).withInstFromLoc(kept, entity("instFrom"));
    const U_Location caller = U_Location(main, 77, 0).withInstFromLoc(kept, entity("caller"));
    derived = U_Location(site, header, 12, 4)
                  .withInstFromLoc(instFrom, entity("entity"))
                  .withCalledFromLoc(caller)
                  .withHLLoc(shown, 2);
    EXPECT_EQ(2u, site.data()->referenceCount());
  }
  EXPECT_EQ(4, TrackedName::alive);
  EXPECT_EQ(4u, kept.data()->referenceCount());
  U_Location copy = derived;
  derived = U_Location();
  EXPECT_EQ(4, TrackedName::alive) << "a copy still holds the history";
  copy = U_Location();
  EXPECT_EQ(0, TrackedName::alive);
  // Parts are released from called-from back to include; the entity before
  // its instantiated-from location.
  const std::vector<std::string> order{"caller", "entity", "instFrom", "site"};
  EXPECT_EQ(order, TrackedName::destroyed);
  EXPECT_EQ(1u, kept.data()->referenceCount());
}

// Include chains, instantiation chains and macro histories of 100000 steps
// go with their last handle on a stack far too small for one nested
// destruction per step. The last step's display name shows that all went.
TEST_F(LocationTest, LongChainsGoWithoutNestedDestructions) {
  struct Case {
    const char *what;
    std::function<U_Location(const U_Location &step, int line)> grow;
  };
  const Case cases[] = {
      {"include chain", [&](const U_Location &step, int line) { return U_Location(step, header, line, 0); }},
      {"instantiation chain",
       [&](const U_Location &step, int line) {
         return U_Location(header, line, 0).withInstFromLoc(step, entity("step"));
       }},
      {"macro history",
       [&](const U_Location &step, int line) {
         const U_RefPtr<U_MacroHistory> history = step.hasMacroHist() ? step.getMacroHist() : noMacro;
         return U_Location(main, line, 0,
                           U_RefPtr<U_MacroHistory>(new U_MacroHistory(step, U_Identifier("M"), history)));
       }},
  };
  for (const Case &c : cases) {
    test_support::runWithStack(256 * 1024, [&] {
      U_Location chain = U_Location(main, 0, 0).withInstFromLoc(U_Location(main, 1, 0), entity("first"));
      for (int line = 1; line <= 100000; ++line)
        chain = c.grow(chain, line);
      chain = U_Location();
    });
    EXPECT_EQ(0, TrackedName::alive) << c.what;
    EXPECT_EQ("first", TrackedName::destroyed.back()) << c.what;
  }
}

TEST_F(LocationTest, DerivedLocationSharesPartsWithItsSource) {
  const U_Location instFrom(main, 40, 0);
  const U_RefPtr<U_EntityDisplayName> name = entity("shared");
  U_Location source = U_Location(header, 1, 1).withInstFromLoc(instFrom, name);
  EXPECT_EQ(2u, instFrom.data()->referenceCount());
  EXPECT_EQ(2u, name->referenceCount());
  U_Location derived = source.withHLLoc(shown, 3);
  EXPECT_EQ(3u, instFrom.data()->referenceCount());
  EXPECT_EQ(3u, name->referenceCount());
  derived = U_Location();
  EXPECT_EQ(2u, name->referenceCount());
  EXPECT_EQ(name, source.getInstEntity()) << "the source is unaffected";
}

TEST_F(LocationTest, MisuseEndsTheProcessWithAnAssertion) {
  const U_Location plain(main, 1, 1);
  EXPECT_DEATH(plain.getHLLine(), "Ask for the part first");
  EXPECT_DEATH(plain.getInstEntity(), "Ask for the part first");
  EXPECT_DEATH(plain.getCalledFromLoc(), "Ask for the part first");
  EXPECT_DEATH(U_Location().getLine(), "Dont dereference 0");
  EXPECT_DEATH(U_Location().withHLLoc(shown, 1), "Dont dereference 0");
  EXPECT_DEATH(plain.withInstFromLoc(U_Location(), entity("x")), "instantiated from");
}

} // namespace

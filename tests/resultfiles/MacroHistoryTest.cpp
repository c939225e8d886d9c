#include "resultfiles/MacroHistory.h"
#include "resultfiles/EntityDisplayName.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// A display name that logs its destruction, to see when a location goes.
struct LoggedName : U_EntityDisplayName {
  static std::vector<std::string> destroyed;
  explicit LoggedName(std::string name) : m_name(std::move(name)) {}
  ~LoggedName() override { destroyed.push_back(m_name); }
  std::string text() const override { return m_name; }
  std::string text2() const override { return m_name; }
  std::string text3() const override { return m_name; }
  std::string text4() const override { return m_name; }
  std::string text5() const override { return m_name; }
  std::string m_name;
};
std::vector<std::string> LoggedName::destroyed;

class MacroHistoryTest : public testing::Test {
protected:
  void SetUp() override { LoggedName::destroyed.clear(); }

  // A location whose end shows in the log under the name given.
  U_Location logged(const std::string &name, std::int32_t line) const {
    return U_Location(file, line, 0).withInstFromLoc(U_Location(file, 1, 0), new LoggedName(name));
  }

  const QL_Filename file{"/mh/main.c", "main.c"};
  const QL_Filename header{"/mh/a.h", "a.h"};
};

TEST_F(MacroHistoryTest, ElementHoldsLocationNameAndParent) {
  const U_Location outerSite(file, 10, 4);
  const U_Location innerSite(file, 10, 9);
  U_RefPtr<U_MacroHistory> outer(
      new U_MacroHistory(outerSite, U_Identifier("MAX"), U_RefPtr<U_MacroHistory>()));
  U_RefPtr<U_MacroHistory> inner(new U_MacroHistory(innerSite, U_Identifier("CMP"), outer));
  EXPECT_EQ(innerSite, inner->m_location);
  EXPECT_EQ(U_Identifier("CMP"), inner->m_macroName);
  EXPECT_EQ(outer, inner->m_parent);
  EXPECT_FALSE(outer->m_parent.isSet());
  EXPECT_EQ(2u, outer->referenceCount());
  EXPECT_EQ(2u, innerSite.data()->referenceCount());
  inner.reset();
  EXPECT_EQ(1u, outer->referenceCount());
  EXPECT_EQ(1u, innerSite.data()->referenceCount());
}

TEST_F(MacroHistoryTest, ParentGoesBeforeTheLocation) {
  U_RefPtr<U_MacroHistory> parent(
      new U_MacroHistory(logged("parent location", 5), U_Identifier("OUTER"), nullptr));
  U_RefPtr<U_MacroHistory> element(
      new U_MacroHistory(logged("own location", 6), U_Identifier("INNER"), parent));
  parent.reset();
  EXPECT_TRUE(LoggedName::destroyed.empty());
  element.reset();
  const std::vector<std::string> order{"parent location", "own location"};
  EXPECT_EQ(order, LoggedName::destroyed);
}

TEST_F(MacroHistoryTest, LocationsHoldAMacroHistoryOnlyWhenSet) {
  const U_Location site(file, 3, 0);
  const U_RefPtr<U_MacroHistory> macro(
      new U_MacroHistory(U_Location(header, 8, 2), U_Identifier("M"), nullptr));
  struct Case {
    const char *what;
    U_Location loc;
    bool incl;
  };
  const Case cases[] = {
      {"file, line, column, macro history", U_Location(header, 8, 2, macro), false},
      {"include location and macro history", U_Location(site, header, 8, 2, macro), true},
      {"null include location, macro history", U_Location(U_Location(), header, 8, 2, macro), false},
  };
  for (const Case &c : cases) {
    EXPECT_TRUE(c.loc.hasMacroHist()) << c.what;
    EXPECT_EQ(macro, c.loc.getMacroHist()) << c.what;
    EXPECT_EQ(c.incl, c.loc.hasInclLoc()) << c.what;
    EXPECT_EQ(c.incl ? site : U_Location(), c.loc.getInclLoc()) << c.what;
    EXPECT_FALSE(c.loc.hasHLLoc() || c.loc.hasInstFromLoc() || c.loc.hasCalledFromLoc()) << c.what;
    EXPECT_EQ(8, c.loc.getLine()) << c.what;
  }
}

TEST_F(MacroHistoryTest, DerivationsKeepTheMacroHistory) {
  const U_Location site(file, 3, 0);
  const U_RefPtr<U_MacroHistory> macro(
      new U_MacroHistory(U_Location(header, 8, 2), U_Identifier("M"), nullptr));
  const U_Location source(site, header, 8, 2, macro);
  const U_Location derived = source.withHLLoc(QL_Filename("/mh/gen.y", "gen.y"), 40)
                                 .withCalledFromLoc(U_Location(file, 50, 1))
                                 .withInstFromLoc(U_Location(file, 60, 1), makeEntityDisplayName("T"));
  EXPECT_TRUE(derived.hasInclLoc() && derived.hasMacroHist() && derived.hasHLLoc() &&
              derived.hasCalledFromLoc() && derived.hasInstFromLoc());
  EXPECT_EQ(macro, derived.getMacroHist());
  EXPECT_EQ(site, derived.getInclLoc());
  EXPECT_EQ(8, derived.getLine());
  EXPECT_EQ(40, derived.getHLLine());
  EXPECT_FALSE(source.hasHLLoc());
  EXPECT_FALSE(source.hasCalledFromLoc());
  EXPECT_EQ(3u, macro->referenceCount());
}

TEST_F(MacroHistoryTest, LocationReleasesItsPartsFromCalledFromBackToInclude) {
  U_Location derived;
  {
    const U_RefPtr<U_MacroHistory> macro(new U_MacroHistory(logged("macro", 5), U_Identifier("M"), nullptr));
    derived = U_Location(logged("include", 3), header, 12, 4, macro)
                  .withInstFromLoc(logged("instantiated from", 40), new LoggedName("entity"))
                  .withCalledFromLoc(logged("called from", 77));
  }
  EXPECT_TRUE(LoggedName::destroyed.empty()) << "the location holds every part";
  derived = U_Location();
  const std::vector<std::string> order{"called from", "entity", "instantiated from", "macro", "include"};
  EXPECT_EQ(order, LoggedName::destroyed);
}

} // namespace

// Interned locations: one model location per file, line and column for the
// whole process, with the getters of the pointers handed out.
#include "foundation/InternedLocation.h"

#include "anlsrslt/model/ModelLocation.h"
#include "foundation/Location.h"
#include "support/Locations.h"

#include <gtest/gtest.h>

namespace {

using test_support::at;
using test_support::includedAt;

TEST(InternedLocationTest, TheNullLocationInternsAsNull) { EXPECT_EQ(nullptr, internLocation(U_Location())); }

TEST(InternedLocationTest, EqualPositionsShareTheFirstInternedLocation) {
  const U_Location first = includedAt(at("/interned/main.c", 3), "/interned/a.h", 10, 2);
  P_Location *interned = internLocation(first);
  ASSERT_NE(nullptr, interned);
  EXPECT_EQ(first, interned->m_location) << "the location itself is kept";
  EXPECT_STREQ("/interned/a.h", P_locationFileName(interned));
  EXPECT_EQ(10, P_locationLine(interned));
  EXPECT_EQ(2, P_locationColumn(interned));

  struct Case {
    const char *what;
    U_Location location;
  };
  const Case equal[] = {
      {"the same location again", first},
      {"a separately built one", at("/interned/a.h", 10, 2)},
      {"one with another include location", includedAt(at("/interned/other.c", 8), "/interned/a.h", 10, 2)},
  };
  for (const Case &c : equal) {
    EXPECT_EQ(interned, internLocation(c.location)) << c.what;
    EXPECT_EQ(3, interned->m_location.getInclLoc().getLine()) << c.what << ": the first one's parts stay";
  }

  const Case different[] = {
      {"another column", at("/interned/a.h", 10, 3)},
      {"another line", at("/interned/a.h", 11, 2)},
      {"another file", at("/interned/b.h", 10, 2)},
  };
  for (const Case &c : different) {
    P_Location *other = internLocation(c.location);
    EXPECT_NE(interned, other) << c.what;
    EXPECT_EQ(other, internLocation(c.location)) << c.what;
  }
}

TEST(InternedLocationTest, InternedLocationsLiveOnWithoutTheirSources) {
  P_Location *interned = nullptr;
  {
    const U_Location location = at("/interned/kept.c", 5, 1);
    interned = internLocation(location);
    EXPECT_EQ(1u, interned->referenceCount()) << "held by the set alone";
    EXPECT_EQ(2u, location.data()->referenceCount()) << "this handle and the interned one";
  }
  EXPECT_EQ(interned, internLocation(at("/interned/kept.c", 5, 1)));
  EXPECT_EQ(5, P_locationLine(interned));
}

TEST(InternedLocationTest, OrderIsFileInInterningOrderThenLineThenColumn) {
  // Interned in this order, against the order of the texts.
  const U_Location zFile = at("/order-z/first.c", 9, 9);
  const U_Location aFile = at("/order-a/second.c", 1, 1);
  struct Case {
    const char *what;
    U_Location a;
    U_Location b;
    bool less;
  };
  const Case cases[] = {
      {"earlier interned file", zFile, aFile, true},
      {"later interned file", aFile, zFile, false},
      {"smaller line", at("/order-z/first.c", -2, 5), zFile, true},
      {"smaller column", at("/order-z/first.c", 9, -1), zFile, true},
      {"equal", at("/order-z/first.c", 9, 9), zFile, false},
  };
  for (const Case &c : cases)
    EXPECT_EQ(c.less, P_IsLocationLess(new P_Location(c.a), new P_Location(c.b))) << c.what;
}

TEST(InternedLocationTest, GettersOfNoLocationEndTheRun) {
  EXPECT_DEATH(P_locationFileName(nullptr),
               "at Location:28: Assertion '0 != loc && \"Dont dereference 0.\"'");
  EXPECT_DEATH(P_locationLine(nullptr), "at Location:34: Assertion '0 != loc && \"Dont dereference 0.\"'");
  EXPECT_DEATH(P_locationColumn(nullptr), "at Location:40: Assertion '0 != loc && \"Dont dereference 0.\"'");
}

} // namespace

// Suppression records as the query interface sees them: one pooled object per
// distinct record, with pooled locations, name and ranges.
#include "anlsrslt/suppression/SuppressionRecord.h"
#include "anlsrslt/model/MessageRange.h"
#include "anlsrslt/model/ModelLocation.h"
#include "foundation/InternedLocation.h"
#include "support/Locations.h"
#include "support/SuppressionRecords.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using test_support::at;
using test_support::suppressionRecord;

// Where the records of these tests are written and the region they cover.
U_Location written() { return at("/supp/main.c", 3, 2); }
U_Location start() { return at("/supp/main.c", 10, 5); }
U_Location end() { return at("/supp/main.c", 20, 8); }

TEST(SuppressionRecordTest, GivesItsPooledPartsAndReadsItsKindFromTheRecord) {
  const U_RefPtr<M_SuppressionRecord> record =
      suppressionRecord(1, written(), {{"7", "9"}, {"12", ""}, {"7", "9"}}, start(), end(), "first");
  P_SuppressionRecord *supp = addSuppressionRecord(record);
  ASSERT_NE(nullptr, supp);
  EXPECT_EQ(internLocation(written()), P_SuppressionRecord::getLocation(supp));
  EXPECT_EQ(internLocation(start()), P_SuppressionRecord::getStartLocation(supp));
  EXPECT_EQ(internLocation(end()), P_SuppressionRecord::getEndLocation(supp));
  EXPECT_EQ(10, P_locationLine(P_SuppressionRecord::getStartLocation(supp)));
  EXPECT_EQ(1u, P_SuppressionRecord::getKind(supp));
  EXPECT_EQ(internString("first"), P_SuppressionRecord::getName(supp)) << "a pooled text";
  EXPECT_EQ(record, supp->source());

  ASSERT_EQ(3u, P_SuppressionRecord::getMessageRangeCount(supp)) << "one entry per pair, in order";
  const std::int32_t expected[][2] = {{7, 9}, {12, 12}, {7, 9}};
  for (std::uint32_t index = 0; index < 3; ++index) {
    EXPECT_EQ(expected[index][0], P_SuppressionRecord::getMessageRangeFrom(supp, index)) << index;
    EXPECT_EQ(expected[index][1], P_SuppressionRecord::getMessageRangeTo(supp, index)) << index;
  }
}

TEST(SuppressionRecordTest, ARecordWithoutEndOrRangesHasANullEndAndNoRanges) {
  P_SuppressionRecord *supp =
      addSuppressionRecord(suppressionRecord(2, written(), {}, start(), U_Location(), "open"));
  EXPECT_EQ(nullptr, P_SuppressionRecord::getEndLocation(supp));
  EXPECT_EQ(0u, P_SuppressionRecord::getMessageRangeCount(supp));
  EXPECT_EQ(2u, P_SuppressionRecord::getKind(supp));
}

TEST(SuppressionRecordTest, ARecordMetAgainGivesTheFirstObject) {
  // Same six keys, in a record object of its own, with the pairs reordered.
  P_SuppressionRecord *first =
      addSuppressionRecord(suppressionRecord(1, written(), {{"1", "5"}, {"9", ""}}, start(), end(), "again"));
  const U_RefPtr<M_SuppressionRecord> later =
      suppressionRecord(1, at("/supp/main.c", 3, 2), {{"9", ""}, {"1", "5"}}, start(), end(), "again");
  EXPECT_EQ(first, addSuppressionRecord(later));
  EXPECT_EQ(1, P_SuppressionRecord::getMessageRangeFrom(first, 0)) << "the first record's order stays";
  EXPECT_NE(later, first->source());
}

TEST(SuppressionRecordTest, RecordsDifferingInOneKeyAreDifferentObjects) {
  const M_SuppressionRecord::Ranges ranges = {{"1", ""}};
  P_SuppressionRecord *base =
      addSuppressionRecord(suppressionRecord(1, written(), ranges, start(), end(), "key"));
  struct Case {
    const char *what;
    U_RefPtr<M_SuppressionRecord> record;
  };
  const Case cases[] = {
      {"region start", suppressionRecord(1, written(), ranges, at("/supp/main.c", 10, 6), end(), "key")},
      {"no region end", suppressionRecord(1, written(), ranges, start(), U_Location(), "key")},
      {"record location", suppressionRecord(1, at("/supp/other.c", 3, 2), ranges, start(), end(), "key")},
      {"no record location", suppressionRecord(1, U_Location(), ranges, start(), end(), "key")},
      {"kind", suppressionRecord(2, written(), ranges, start(), end(), "key")},
      {"name letter case", suppressionRecord(1, written(), ranges, start(), end(), "Key")},
      // Texts decide, not numbers: both pairs make the range (1, 1).
      {"range texts", suppressionRecord(1, written(), {{"1", "1"}}, start(), end(), "key")},
      {"one pair more", suppressionRecord(1, written(), {{"1", ""}, {"1", ""}}, start(), end(), "key")},
  };
  for (const Case &c : cases) {
    P_SuppressionRecord *other = addSuppressionRecord(c.record);
    EXPECT_NE(base, other) << c.what;
    EXPECT_EQ(other, addSuppressionRecord(c.record)) << c.what;
  }
  EXPECT_EQ(P_SuppressionRecord::getMessageRangeFrom(base, 0),
            P_SuppressionRecord::getMessageRangeFrom(addSuppressionRecord(cases[6].record), 0));
}

TEST(SuppressionRecordTest, OrderGoesKeyByKeyWithMissingLocationsFirst) {
  const M_SuppressionRecord::Ranges ranges = {{"1", ""}};
  struct Case {
    const char *what;
    U_RefPtr<M_SuppressionRecord> less, greater;
  };
  const Case cases[] = {
      {"no record location first", suppressionRecord(1, U_Location(), ranges, start(), end()),
       suppressionRecord(1, written(), ranges, start(), end())},
      {"no end first", suppressionRecord(1, written(), ranges, start()),
       suppressionRecord(0, written(), ranges, start(), end())},
      {"start before end", suppressionRecord(9, written(), ranges, at("/supp/main.c", 10, 4), end()),
       suppressionRecord(0, written(), ranges, start(), at("/supp/main.c", 1, 1))},
      {"kind before name", suppressionRecord(1, written(), ranges, start(), end(), "z"),
       suppressionRecord(2, written(), ranges, start(), end(), "a")},
      {"name bytes", suppressionRecord(1, written(), ranges, start(), end(), "B"),
       suppressionRecord(1, written(), ranges, start(), end(), "a")},
      {"name prefix", suppressionRecord(1, written(), ranges, start(), end(), "ab"),
       suppressionRecord(1, written(), ranges, start(), end(), "abc")},
      {"sorted pairs", suppressionRecord(1, written(), {{"2", ""}, {"10", ""}}, start(), end()),
       suppressionRecord(1, written(), {{"3", ""}}, start(), end())},
      {"pair list prefix", suppressionRecord(1, written(), {{"1", ""}}, start(), end()),
       suppressionRecord(1, written(), {{"1", ""}, {"1", "2"}}, start(), end())},
  };
  for (const Case &c : cases) {
    const U_RefPtr<P_SuppressionRecord> less = new P_SuppressionRecord(c.less);
    const U_RefPtr<P_SuppressionRecord> greater = new P_SuppressionRecord(c.greater);
    EXPECT_TRUE(isSuppressionRecordLess(*less, *greater)) << c.what;
    EXPECT_FALSE(isSuppressionRecordLess(*greater, *less)) << c.what;
  }
}

TEST(SuppressionRecordDeathTest, NullRecordsAndIndexesOutOfRangeAreFailedAssertions) {
  P_SuppressionRecord *empty = addSuppressionRecord(suppressionRecord(1, written(), {}, start()));
  P_SuppressionRecord *one = addSuppressionRecord(suppressionRecord(1, written(), {{"4", ""}}, start()));
  const std::string dereference = "0 != supp && \"Dont dereference 0.\"";
  const std::string nil = "0 != supp && \"Suppression record handle is nil\"";
  const std::string index = "index < supp->m_messageRanges.size\\(\\) && \"Index out of range\"";
  EXPECT_DEATH(P_SuppressionRecord::getLocation(nullptr), dereference);
  EXPECT_DEATH(P_SuppressionRecord::getStartLocation(nullptr), dereference);
  EXPECT_DEATH(P_SuppressionRecord::getEndLocation(nullptr), dereference);
  EXPECT_DEATH(P_SuppressionRecord::getKind(nullptr), "0 != supp && \"Suppression record handle is 0\"");
  EXPECT_DEATH(P_SuppressionRecord::getName(nullptr), nil);
  EXPECT_DEATH(P_SuppressionRecord::getMessageRangeCount(nullptr), nil);
  EXPECT_DEATH(P_SuppressionRecord::getMessageRangeFrom(nullptr, 0), nil);
  EXPECT_DEATH(P_SuppressionRecord::getMessageRangeTo(nullptr, 0), "Assertion at SuppressionRecord:[0-9]+: ");
  EXPECT_DEATH(P_SuppressionRecord::getMessageRangeFrom(empty, 0), index);
  EXPECT_DEATH(P_SuppressionRecord::getMessageRangeTo(one, 1), index);
}

} // namespace

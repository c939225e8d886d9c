// The suppression record as read from an error file.
#include "messages/SuppressionRecord.h"
#include "support/CurrentArguments.h"
#include "support/Locations.h"

#include <gtest/gtest.h>

namespace {

using test_support::at;

class SuppressionRecordTest : public test_support::CurrentArgumentsTest {};

TEST_F(SuppressionRecordTest, KeepsWhatItIsMadeOfAndReleasesItsLocations) {
  const U_Location written = at("/s/a.c", 3), start = at("/s/a.c", 10, 1), end = at("/s/a.c", 20, 2);
  const M_SuppressionRecord::Ranges ranges = {{"100", "0"}, {"x", "200"}, {"", ""}};
  {
    const U_RefPtr<M_SuppressionRecord> record =
        new M_SuppressionRecord(1, written, "name", ranges, start, end);
    EXPECT_EQ(1u, record->getKind());
    EXPECT_EQ(written, record->getLocation());
    EXPECT_EQ("name", record->getName());
    EXPECT_EQ(ranges, record->getMessageRanges());
    EXPECT_EQ(start, record->getStartLocation());
    EXPECT_EQ(end, record->getEndLocation());
    EXPECT_EQ("", record->getAuxText());
    record->setAuxText("aux");
    EXPECT_EQ("aux", record->getAuxText());
    EXPECT_EQ(2u, start.data()->referenceCount());
  }
  EXPECT_EQ(1u, start.data()->referenceCount());
  EXPECT_EQ(1u, end.data()->referenceCount());
  EXPECT_EQ(1u, written.data()->referenceCount());

  const M_SuppressionRecord open(0, written, "", {}, start, U_Location());
  EXPECT_FALSE(open.getEndLocation().isSet());
  EXPECT_TRUE(open.getMessageRanges().empty());
}

} // namespace

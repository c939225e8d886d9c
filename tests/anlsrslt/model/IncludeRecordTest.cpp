// Include records and the two small value records of the model.
#include "anlsrslt/model/IncludeRecord.h"
#include "anlsrslt/model/ControlGraphEdge.h"
#include "anlsrslt/model/CountedPtr.h"
#include "anlsrslt/model/MessageRange.h"

#include <gtest/gtest.h>

namespace {

TEST(IncludeRecordTest, NewRecordIsEmptyAndReleasesItsFilesWithItsLastHandle) {
  const U_RefPtr<FilenameProxy> from = P_filenameProxyFor(QL_Filename("/records/main.c", "main.c"));
  const U_RefPtr<FilenameProxy> to = P_filenameProxyFor(QL_Filename("/records/a.h", "a.h"));
  const std::uint32_t fromCount = from->referenceCount();
  const std::uint32_t toCount = to->referenceCount();
  {
    P_CountedPtr<P_IncludeRecord> record = P_makeCounted<P_IncludeRecord>();
    EXPECT_FALSE(record->m_from.isSet());
    EXPECT_FALSE(record->m_to.isSet());
    EXPECT_EQ(0, record->m_line);
    EXPECT_EQ(0u, record->m_flags);

    record->m_from = from;
    record->m_to = to;
    record->m_line = -4;
    record->m_flags = P_IncludeRecord::FlagS;
    EXPECT_EQ(-4, record->m_line) << "a signed line";

    const P_CountedPtr<P_IncludeRecord> copy = record;
    record.release();
    EXPECT_EQ(fromCount + 1, from->referenceCount()) << "the copy keeps the record";
    EXPECT_EQ(to, copy->m_to);
  }
  EXPECT_EQ(fromCount, from->referenceCount());
  EXPECT_EQ(toCount, to->referenceCount());
}

TEST(IncludeRecordTest, MessageRangesOrderByFromThenToAsSignedNumbers) {
  struct Case {
    std::int32_t fromA, toA, fromB, toB;
    bool less;
  };
  const Case cases[] = {
      {1, 5, 2, 0, true},   {2, 0, 1, 5, false},  {3, 4, 3, 5, true},   {3, 5, 3, 4, false},
      {3, 4, 3, 4, false},  {-1, 0, 0, 0, true},  {0, 0, -1, 0, false}, {7, -2, 7, 1, true},
      {-5, 9, -4, 0, true}, {7, 1, 7, -2, false},
  };
  for (const Case &c : cases) {
    const U_RefPtr<P_MessageRange> a = new P_MessageRange(c.fromA, c.toA);
    const U_RefPtr<P_MessageRange> b = new P_MessageRange(c.fromB, c.toB);
    EXPECT_EQ(c.less, P_isMessageRangeLess(*a, *b))
        << "(" << c.fromA << "," << c.toA << ") < (" << c.fromB << "," << c.toB << ")";
  }
}

TEST(IncludeRecordTest, EdgeCopiesAreObjectsOfTheirOwn) {
  const P_CountedPtr<P_ControlGraphEdge> edge = P_makeCounted<P_ControlGraphEdge>(3u, 8u);
  EXPECT_EQ(0u, edge->referenceCount()) << "the counted handle keeps its count apart";

  const U_RefPtr<P_ControlGraphEdge> copy = new P_ControlGraphEdge(*edge);
  EXPECT_EQ(1u, copy->referenceCount()) << "a new object: its count is its handles'";
  EXPECT_EQ(4711, copy->marker());
  EXPECT_EQ(3u, copy->m_from);
  EXPECT_EQ(8u, copy->m_to);

  P_ControlGraphEdge other(0, 0);
  other = *copy;
  P_ControlGraphEdge &same = other;
  other = same;
  EXPECT_EQ(3u, other.m_from);
  EXPECT_EQ(8u, other.m_to);
  EXPECT_EQ(0u, other.referenceCount()) << "assignment copies no count";
}

} // namespace

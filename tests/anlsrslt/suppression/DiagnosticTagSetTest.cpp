// The diagnostic tag set: which suppression records it takes, its answers for
// diagnostics read back, and the tags it gives numbers, places and
// diagnostics.
#include "anlsrslt/suppression/DiagnosticTagSet.h"
#include "support/CurrentArguments.h"
#include "support/Diagnostics.h"
#include "support/Locations.h"
#include "support/SuppressionRecords.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

namespace {

using test_support::at;
using test_support::diagnostic;
using test_support::suppressionRecord;

class DiagnosticTagSetTest : public test_support::CurrentArgumentsTest {};

TEST_F(DiagnosticTagSetTest, TakesRegionAndPositionRecordsOutsideQuietFiles) {
  setArguments({"-quiet", "/tags/quiet"});
  const U_Location plain = at("/tags/main.c", 1);
  const U_Location quiet = at("/tags/quiet/a.h", 1);
  struct Case {
    const char *what;
    std::uint32_t kind;
    U_Location written, start;
    bool withPositionRecords, taken;
  };
  const Case cases[] = {
      {"region", 1, plain, at("/tags/main.c", 5, 0), false, true},
      {"position, without position records", 2, plain, at("/tags/main.c", 5, 0), false, false},
      {"position, with position records", 2, plain, at("/tags/main.c", 5, 0), true, true},
      {"location record", 0, plain, at("/tags/main.c", 5, 0), true, false},
      {"unknown kind", 7, plain, at("/tags/main.c", 5, 0), true, false},
      {"written in a quiet file", 1, quiet, at("/tags/main.c", 5, 0), true, false},
      {"pointing into a quiet file", 1, plain, at("/tags/quiet/a.h", 5, 0), true, false},
      {"position pointing into a quiet file", 2, plain, at("/tags/quiet/a.h", 5, 0), true, false},
      {"written nowhere", 1, U_Location(), at("/tags/main.c", 5, 0), true, false},
      {"pointing nowhere", 1, plain, U_Location(), true, false},
  };
  for (const Case &c : cases) {
    P_DiagnosticTagSet tags;
    const std::vector<U_RefPtr<M_SuppressionRecord>> records = {
        suppressionRecord(c.kind, c.written, {{"5013", ""}}, c.start)};
    tags.addSuppressionRecords(records.begin(), records.end(), c.withPositionRecords);
    const U_RefPtr<M_Diagnostic> found = diagnostic(5013, c.start.isSet() ? c.start : plain);
    EXPECT_EQ(c.taken, tags.isSuppressed(found)) << c.what;
    EXPECT_EQ(c.taken, tags.suppressionRecordsFor(found, true) == records) << c.what;
    EXPECT_EQ(c.taken && c.kind == 1, tags.isSuppressedByRegion(found)) << c.what;
    EXPECT_EQ(c.taken && c.kind == 2, tags.isSuppressedAtPosition(found)) << c.what;
  }
}

TEST_F(DiagnosticTagSetTest, OneRecordWithoutTheFilterAndClearing) {
  setArguments({"-quiet", "/tags/quiet"});
  P_DiagnosticTagSet tags;
  const U_Location start = at("/tags/quiet/a.h", 5, 0);
  tags.addSuppressionRecord(suppressionRecord(1, start, {{"1", "9"}}, start));
  tags.addSuppressionRecord(suppressionRecord(0, start, {{"1", "9"}}, at("/tags/quiet/a.h", 9, 0)));
  EXPECT_TRUE(tags.isSuppressed(diagnostic(3, start))) << "the quiet-file filter is not applied";
  EXPECT_FALSE(tags.isSuppressed(diagnostic(3, at("/tags/quiet/a.h", 9, 0)))) << "kind 0 is never indexed";
  tags.clearSuppressions();
  EXPECT_FALSE(tags.isSuppressed(diagnostic(3, start)));
}

TEST_F(DiagnosticTagSetTest, RecordsOfEveryErrorFileReadCountForLaterOnes) {
  P_DiagnosticTagSet &tags = P_DiagnosticTagSet::instance();
  EXPECT_EQ(&tags, &P_DiagnosticTagSet::instance());
  // The first input's error file holds a region of the header both include.
  const U_Location header = at("/tags/shared.h", 10, 0);
  const std::vector<U_RefPtr<M_SuppressionRecord>> first = {
      suppressionRecord(1, at("/tags/first.c", 1), {{"5013", ""}}, header, at("/tags/shared.h", 20, 0))};
  const std::vector<U_RefPtr<M_SuppressionRecord>> second = {
      suppressionRecord(2, at("/tags/second.c", 1), {{"4800", ""}}, at("/tags/second.c", 3, 3))};
  tags.addSuppressionRecords(first.begin(), first.end(), true);
  tags.addSuppressionRecords(second.begin(), second.end(), true);
  const U_Location fromSecond = test_support::includedAt(at("/tags/second.c", 2, 0), "/tags/shared.h", 15, 4);
  EXPECT_TRUE(tags.isSuppressed(diagnostic(5013, fromSecond)));
  EXPECT_EQ(first, tags.suppressionRecordsFor(diagnostic(5013, fromSecond), true));
  EXPECT_TRUE(tags.suppressionRecordsFor(diagnostic(4800, at("/tags/second.c", 3, 3)), false).empty());
  EXPECT_EQ(second, tags.suppressionRecordsFor(diagnostic(4800, at("/tags/second.c", 3, 3)), true));
  tags.clearSuppressions();
}

TEST_F(DiagnosticTagSetTest, ErrorsAreNeitherSuppressedNorTagged) {
  P_DiagnosticTagSet tags;
  const U_Location place = at("/tags/main.c", 5, 5);
  tags.addSuppressionRecord(suppressionRecord(1, place, {{"1", "9999"}}, at("/tags/main.c", 1, 0)));
  tags.addSuppressionRecord(suppressionRecord(2, place, {{"1", "9999"}}, place));
  tags.defineTag("t", "n", "n");
  tags.addMessageTag("n", 7);
  tags.addLocationTag("n", place);
  tags.addFilenameTag("n", place.getFile());
  const U_RefPtr<M_Diagnostic> error = test_support::flaggedDiagnostic(7, false, true, place);
  EXPECT_FALSE(tags.isSuppressed(error));
  EXPECT_FALSE(tags.isSuppressedByRegion(error));
  EXPECT_FALSE(tags.isSuppressedAtPosition(error));
  EXPECT_TRUE(tags.suppressionRecordsFor(error, true).empty());
  EXPECT_TRUE(tags.tagsOf(error).empty());
  EXPECT_EQ((P_TagList{"t", "t"}), tags.tagsOf(diagnostic(7, place))) << "by its location, then by its file";
}

TEST(DiagnosticTagSetTagTest, NothingDefinedGivesNoTags) {
  P_DiagnosticTagSet tags;
  const U_Location place = at("/tags/main.c", 5, 5);
  tags.addMessageTag("n", 7);
  tags.addLocationTag("n", place);
  EXPECT_TRUE(tags.tagsByMessage(7).empty()) << "a name that translates into nothing";
  EXPECT_TRUE(tags.tagsByLocation(place).empty());
  EXPECT_TRUE(tags.tagsByLocationRange(place).empty());
  EXPECT_TRUE(tags.tagsByFile(place.getFile()).empty());
  EXPECT_TRUE(tags.tagsOf(diagnostic(7, place)).empty());
}

TEST(DiagnosticTagSetTagTest, NamesAndTagsAreFiledOnceAndTranslatedPerName) {
  P_DiagnosticTagSet tags;
  tags.defineTag("a", "n", "p");
  tags.defineTag("a", "n", "p");
  tags.defineTag("b", "n", "p");
  tags.defineTag("a", "m", "p");
  tags.addMessageTag("n", 7);
  tags.addMessageTag("n", 7);
  EXPECT_EQ(1u, tags.getMessageTagCont().find(7)->size());
  EXPECT_EQ((P_TagList{"a", "b"}), tags.tagsByMessage(7));
  // Tags are not merged across names: a tag of two names comes twice.
  tags.addMessageTag("m", 7);
  EXPECT_EQ((P_TagList{"a", "a", "b"}), tags.tagsByMessage(7));
  EXPECT_TRUE(tags.tagsByMessage(8).empty());
  tags.addMessageTag("n", -8);
  EXPECT_EQ((P_TagList{"a", "b"}), tags.tagsByMessage(-8));
}

TEST(DiagnosticTagSetTagTest, LocationsAreKeyedByFileLineAndColumnOnly) {
  P_DiagnosticTagSet tags;
  tags.defineTag("t", "", "p");
  const U_Location plain = at("/tags/main.c", 5, 5);
  tags.addLocationTag("p", plain);
  const U_Location included = test_support::includedAt(at("/tags/top.c", 1), "/tags/main.c", 5, 5);
  const U_Location expanded = test_support::withMacros(plain, {{at("/tags/m.h", 2, 2), "M"}});
  tags.addLocationTag("p", expanded);
  EXPECT_EQ(1u, tags.getLocationTagCont().keyTags().size());
  EXPECT_EQ(P_TagList{"t"}, tags.tagsByLocation(included));
  EXPECT_EQ(P_TagList{"t"}, tags.tagsByLocation(expanded));
  EXPECT_TRUE(tags.tagsByLocation(at("/tags/main.c", 5, 6)).empty());
}

TEST(DiagnosticTagSetTagTest, ADiagnosticHasTheTagsItsNumberSharesWithItsPlace) {
  P_DiagnosticTagSet tags;
  tags.defineTag("a", "n", "n");
  tags.defineTag("c", "n", "x");
  tags.defineTag("b", "y", "n");
  const QL_Filename file = QL_Filename::fromPath("/tags/f.c");
  tags.addMessageTag("n", 7);
  tags.addFilenameTag("n", file);
  // The message side gives (a, c), the file side (a, b).
  EXPECT_EQ(P_TagList{"a"}, tags.tagsOf(diagnostic(7, U_Location(file, 3, 1))));
  EXPECT_TRUE(tags.tagsOf(diagnostic(8, U_Location(file, 3, 1))).empty());
  EXPECT_TRUE(tags.tagsOf(diagnostic(7, at("/tags/g.c", 3, 1))).empty());

  // Location, then range, then file: one tag may come from each.
  tags.addLocationTag("n", U_Location(file, 3, 1));
  tags.addLocationRangeTag("n", {U_Location(file, 1, 0), U_Location(file, 9, 0)});
  EXPECT_EQ((P_TagList{"a", "a", "a"}), tags.tagsOf(diagnostic(7, U_Location(file, 3, 1))));
}

TEST(DiagnosticTagSetTagTest, ARangeTagsTheLocationsFromItsFirstToItsSecond) {
  P_DiagnosticTagSet tags;
  const std::string f = "/tags/range.c";
  const U_Location location = at(f, 10, 5);
  struct Case {
    U_Location first, second;
    bool tags;
  };
  const Case cases[] = {
      {at(f, 3, 1), at(f, 20, 0), true},
      {at(f, 3, 1), at(f, 9, 0), false}, // ended before the location
      {at(f, 3, 1), at(f, 10, 4), false},
      {at(f, 3, 1), at(f, 10, 5), true},
      {at(f, 10, 5), at(f, 10, 5), true},
      {at(f, 10, 5), at(f, 10, 4), false},
      {at(f, 10, 6), at(f, 30, 0), false}, // starts after the location
      {at(f, 11, 0), at(f, 11, 0), false},
      {at(f, 11, 0), at(f, 11, 1), false},
      {at(f, 0, 0), at(f, 10, 4), false},
      {at(f, 0, 0), at(f, 10, 5), true},
      {at("/tags/other.c", 3, 1), at("/tags/other.c", 20, 0), false},
      {at(f, 3, 1), at("/tags/other.c", 20, 0), false}, // a range across files holds nothing
  };
  P_TagList expected;
  for (std::size_t index = 0; index < std::size(cases); ++index) {
    // Tag names that sort against the order of the cases.
    const std::string name = std::string("n").append(std::to_string(index));
    const std::string tag = std::string("t").append(std::to_string(99 - index));
    tags.defineTag(tag, "", name);
    tags.addLocationRangeTag(name, {cases[index].first, cases[index].second});
    if (cases[index].tags)
      expected.insert(expected.begin(), tag);
  }
  EXPECT_EQ(expected, tags.tagsByLocationRange(location));
  // The same name on a second range gives its tags again.
  tags.addLocationRangeTag("n0", {at(f, 1, 0), at(f, 99, 0)});
  expected.push_back(expected.back());
  EXPECT_EQ(expected, tags.tagsByLocationRange(location));
}

TEST(DiagnosticTagSetTagTest, LinesAtTheEndsOf32BitsDoNotWrap) {
  P_DiagnosticTagSet tags;
  const std::string f = "/tags/long.c";
  const std::int32_t intMax = std::numeric_limits<std::int32_t>::max();
  const std::int32_t allBits = static_cast<std::int32_t>(0xFFFFFFFFu);
  tags.defineTag("last", "", "last");
  tags.defineTag("allbits", "", "allbits");
  tags.defineTag("early", "", "early");
  tags.addLocationRangeTag("last", {at(f, intMax, 0), at(f, intMax, 9)});
  tags.addLocationRangeTag("allbits", {at(f, allBits, 0), at(f, allBits, 9)});
  tags.addLocationRangeTag("early", {at(f, 0, 0), at(f, 5, 0)});
  EXPECT_EQ(P_TagList{"last"}, tags.tagsByLocationRange(at(f, intMax, 5)));
  EXPECT_EQ(P_TagList{"allbits"}, tags.tagsByLocationRange(at(f, allBits, 5)));
  EXPECT_EQ(P_TagList{"early"}, tags.tagsByLocationRange(at(f, 0, 0)));
}

TEST(DiagnosticTagSetTagTest, APlaceThatIsNowhereHasNoTags) {
  P_DiagnosticTagSet tags;
  tags.defineTag("t", "n", "n");
  tags.addMessageTag("n", 7);
  tags.addLocationTag("n", U_Location());
  tags.addLocationRangeTag("n", {U_Location(), at("/tags/main.c", 9, 0)});
  tags.addLocationRangeTag("n", {at("/tags/main.c", 1, 0), U_Location()});
  EXPECT_TRUE(tags.getLocationTagCont().keyTags().empty());
  EXPECT_TRUE(tags.getLocationRangeTagCont().keyTags().empty());
  EXPECT_TRUE(tags.tagsByLocation(U_Location()).empty());
  EXPECT_TRUE(tags.tagsByLocationRange(U_Location()).empty());
  EXPECT_TRUE(tags.tagsOf(diagnostic(7)).empty());
}

TEST(DiagnosticTagSetTagTest, IntersectionsOfTagLists) {
  struct Case {
    P_TagList a, b, common;
  };
  const Case cases[] = {
      {{"a", "b", "b"}, {"b", "b", "c"}, {"b"}},
      {{"b", "a"}, {"a"}, {"a"}},
      {{"c", "a", "b"}, {"b", "c", "c"}, {"b", "c"}},
      {{}, {"a"}, {}},
      {{"a"}, {}, {}},
      {{"a"}, {"A"}, {}},
      {{"ab", "a"}, {"a", "abc"}, {"a"}},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(c.common, intersectTagLists(c.a, c.b))
        << testing::PrintToString(c.a) << " and " << testing::PrintToString(c.b);
    EXPECT_EQ(c.common, intersectTagLists(c.b, c.a))
        << testing::PrintToString(c.b) << " and " << testing::PrintToString(c.a);
  }
}

} // namespace

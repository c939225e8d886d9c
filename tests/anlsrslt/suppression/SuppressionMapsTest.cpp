// The suppression maps: the region test, the decision for each kind of record
// over a table of records and diagnostics, include locations, the records that
// suppress a diagnostic, damaged records, and the interval index checked
// against an index that files every number of every range on its own.
#include "anlsrslt/suppression/SuppressionMaps.h"
#include "support/Diagnostics.h"
#include "support/Locations.h"
#include "support/SuppressionRecords.h"

#include <cstdint>
#include <cstdlib>
#include <gtest/gtest.h>
#include <limits>
#include <map>
#include <new>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

// Counts the bytes that the test binary allocates, so that a test can tell how
// much memory an operation needed without timing it.
namespace {
std::size_t allocatedBytes = 0;
} // namespace

void *operator new(std::size_t size) {
  allocatedBytes += size;
  if (void *memory = std::malloc(size ? size : 1))
    return memory;
  throw std::bad_alloc();
}
void operator delete(void *memory) noexcept { std::free(memory); }
void operator delete(void *memory, std::size_t) noexcept { std::free(memory); }

namespace {

using test_support::at;
using test_support::diagnostic;
using test_support::includedAt;
using test_support::suppressionRecord;

constexpr std::int32_t intMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t intMin = std::numeric_limits<std::int32_t>::min();

const char *const mainFile = "/maps/main.c";

TEST(SuppressionMapsTest, RegionTestAsWritten) {
  struct Case {
    std::int32_t line, column, startLine, startColumn, endLine, endColumn;
    bool inside, exact;
  };
  const Case cases[] = {
      // Several lines: the start line whole, the end line up to its column.
      {10, 1, 10, 5, 20, 8, true, false},
      {15, 99, 10, 5, 20, 8, true, false},
      {20, 8, 10, 5, 20, 8, true, false},
      {20, 9, 10, 5, 20, 8, false, false},
      {9, 99, 10, 5, 20, 8, false, false},
      {21, 1, 10, 5, 20, 8, false, false},
      // End column 0: the region ends with the line before, unbounded there.
      {19, 500, 10, 5, 20, 0, true, false},
      {20, 0, 10, 5, 20, 0, false, false},
      {20, 1, 10, 5, 20, 0, false, false},
      // End column -1: no bound on the end line.
      {20, 9999, 10, 5, 20, -1, true, false},
      // One line: outside only what is after the end and before the start.
      {10, 1, 10, 30, 10, 40, true, false},
      {10, 35, 10, 30, 10, 40, true, false},
      {10, 50, 10, 30, 10, 40, true, false},
      {10, 35, 10, 40, 10, 30, false, false},
      {10, 30, 10, 40, 10, 30, true, false},
      {10, 41, 10, 40, 10, 30, true, false},
      // A one-line region ending at column 0 is a region like any other.
      {10, 7, 10, 5, 10, 0, true, false},
      // An end before the start holds nothing.
      {7, 3, 7, 3, 5, 1, false, false},
      // Line bounds without overflow.
      {intMin, 0, intMin + 1, 0, intMin, 0, false, false},
      {intMin, 0, intMin, 0, intMin + 1, 0, true, false},
      {intMax, intMax, 0, 0, intMax, intMax, true, false},
      // The exact form: the region's start, and only while the region holds it.
      {7, 3, 7, 3, 7, 3, true, true},
      {7, 3, 7, 3, 9, 0, true, true},
      {7, 4, 7, 3, 9, 0, false, true},
      {8, 0, 7, 3, 9, 0, false, true},
      {7, 3, 7, 3, 5, 1, false, true},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(c.inside, isPositionInRegion(c.line, c.column, c.startLine, c.startColumn, c.endLine,
                                           c.endColumn, c.exact))
        << "(" << c.line << "," << c.column << ") in (" << c.startLine << "," << c.startColumn << ")-("
        << c.endLine << "," << c.endColumn << ")" << (c.exact ? " exactly" : "");
  }
}

TEST(SuppressionMapsTest, RangeTextsIndexDistinctRangesWithoutFromZero) {
  const std::set<P_NumberRange> expected = {{-3, -3}, {5, 5}, {9, 3}, {12, 12}, {100, intMax}};
  EXPECT_EQ(expected, toNumberRanges({{"0", "5"},
                                      {"12", ""},
                                      {"9", "3"},
                                      {"5", "0"},
                                      {"5", "5"},
                                      {"-3", ""},
                                      {"", "7"},
                                      {"x", "y"},
                                      {"100", "99999999999"}}));
}

// One record against one diagnostic, in a fresh index.
struct DecisionCase {
  const char *what;
  std::uint32_t kind;
  M_SuppressionRecord::Ranges ranges;
  std::int32_t startLine, startColumn;
  std::optional<std::pair<std::int32_t, std::int32_t>> end;
  std::uint32_t number;
  std::int32_t line, column;
  bool suppressed;
};

void checkDecision(const DecisionCase &c, const U_Location &place) {
  SCOPED_TRACE(c.what);
  P_SuppressionMaps maps;
  const U_Location end = c.end ? at(mainFile, c.end->first, c.end->second) : U_Location();
  maps.add(
      suppressionRecord(c.kind, at(mainFile, 1), c.ranges, at(mainFile, c.startLine, c.startColumn), end));
  const U_RefPtr<M_Diagnostic> found = diagnostic(c.number, place);
  EXPECT_EQ(c.suppressed, maps.isSuppressed(found));
  EXPECT_EQ(c.suppressed && c.kind == 1, maps.isSuppressedByRegion(found));
  EXPECT_EQ(c.suppressed && c.kind == 2, maps.isSuppressedAtPosition(found));
  EXPECT_EQ(c.suppressed, maps.recordsFor(found, true).size() == 1);
  EXPECT_EQ(c.suppressed && c.kind == 1, maps.recordsFor(found, false).size() == 1);
}

TEST(SuppressionMapsTest, DecisionForEachKindOfRecord) {
  const M_SuppressionRecord::Ranges only5013 = {{"5013", ""}};
  const auto to = [](std::int32_t line, std::int32_t column) { return std::make_pair(line, column); };
  const DecisionCase cases[] = {
      {"region, inside", 1, only5013, 10, 5, to(20, 8), 5013, 10, 1, true},
      {"region, middle line", 1, only5013, 10, 5, to(20, 8), 5013, 15, 99, true},
      {"region, last column", 1, only5013, 10, 5, to(20, 8), 5013, 20, 8, true},
      {"region, after the end", 1, only5013, 10, 5, to(20, 8), 5013, 20, 9, false},
      {"region, before the start", 1, only5013, 10, 5, to(20, 8), 5013, 9, 99, false},
      {"region, after the end line", 1, only5013, 10, 5, to(20, 8), 5013, 21, 1, false},
      {"region, other number", 1, only5013, 10, 5, to(20, 8), 5014, 15, 1, false},
      {"end column 0, line before", 1, only5013, 10, 5, to(20, 0), 5013, 19, 500, true},
      {"end column 0, end line", 1, only5013, 10, 5, to(20, 0), 5013, 20, 1, false},
      {"no end, start line", 1, only5013, 10, 5, {}, 5013, 10, 999, true},
      {"no end, before the start column", 1, only5013, 10, 5, {}, 5013, 10, 0, true},
      {"no end, next line", 1, only5013, 10, 5, {}, 5013, 11, 0, false},
      {"one line, before", 1, only5013, 10, 30, to(10, 40), 5013, 10, 1, true},
      {"one line, within", 1, only5013, 10, 30, to(10, 40), 5013, 10, 35, true},
      {"one line, after", 1, only5013, 10, 30, to(10, 40), 5013, 10, 50, true},
      {"position, exactly", 2, only5013, 7, 3, {}, 5013, 7, 3, true},
      {"position, next column", 2, only5013, 7, 3, {}, 5013, 7, 4, false},
      {"position, other number", 2, only5013, 7, 3, {}, 5012, 7, 3, false},
      {"position with an end, inside", 2, only5013, 7, 3, to(9, 1), 5013, 8, 0, false},
      {"position with an end before it", 2, only5013, 7, 3, to(5, 1), 5013, 7, 3, false},
      {"location record", 0, only5013, 10, 5, to(20, 8), 5013, 15, 1, false},
      {"unknown kind", 3, only5013, 10, 5, to(20, 8), 5013, 15, 1, false},
      {"from 0 dropped", 1, {{"0", "5"}}, 10, 5, to(20, 8), 3, 15, 1, false},
      {"from 0 dropped, number 0", 1, {{"0", "5"}}, 10, 5, to(20, 8), 0, 15, 1, false},
      {"empty to", 1, {{"12", ""}}, 10, 5, to(20, 8), 12, 15, 1, true},
      {"empty to, next number", 1, {{"12", ""}}, 10, 5, to(20, 8), 13, 15, 1, false},
      {"reversed range, from", 1, {{"9", "3"}}, 10, 5, to(20, 8), 9, 15, 1, false},
      {"reversed range, between", 1, {{"9", "3"}}, 10, 5, to(20, 8), 5, 15, 1, false},
      {"range, within", 1, {{"5000", "5020"}}, 10, 5, to(20, 8), 5013, 15, 1, true},
      {"second pair", 1, {{"1", "2"}, {"5013", ""}}, 10, 5, to(20, 8), 5013, 15, 1, true},
      {"negative number", 1, {{"-3", ""}}, 10, 5, to(20, 8), 0xFFFFFFFDu, 15, 1, true},
      {"range to INT_MAX", 1, {{"2147483000", "2147483647"}}, 10, 5, to(20, 8), 0x7FFFFFFFu, 15, 1, true},
      {"saturated to", 1, {{"2147483000", "99999999999"}}, 10, 5, to(20, 8), 0x7FFFFFFFu, 15, 1, true},
      {"above INT_MAX is negative", 1, {{"1", "99999999999"}}, 10, 5, to(20, 8), 0x80000000u, 15, 1, false},
  };
  for (const DecisionCase &c : cases)
    checkDecision(c, at(mainFile, c.line, c.column));
  // The same regions in another file suppress nothing.
  for (const DecisionCase &c : cases)
    checkDecision(DecisionCase{c.what, c.kind, c.ranges, c.startLine, c.startColumn, c.end, c.number, c.line,
                               c.column, false},
                  at("/maps/other.c", c.line, c.column));
}

TEST(SuppressionMapsTest, IncludeLocationsOutwardTakePart) {
  P_SuppressionMaps maps;
  const U_RefPtr<M_SuppressionRecord> region =
      suppressionRecord(1, at(mainFile, 1), {{"5013", ""}}, at(mainFile, 5, 0), at(mainFile, 10, 40));
  const U_RefPtr<M_SuppressionRecord> position =
      suppressionRecord(2, at(mainFile, 1), {{"5013", ""}}, at(mainFile, 12, 0));
  const U_RefPtr<M_SuppressionRecord> own =
      suppressionRecord(1, at("/maps/a.h", 1), {{"5000", "5020"}}, at("/maps/a.h", 3, 0));
  for (const auto &record : {region, position, own})
    maps.add(record);

  struct Case {
    const char *what;
    U_Location place;
    bool suppressed;
    P_SuppressionRecordSet records, regionRecords;
  };
  const U_Location insideRegion = includedAt(at(mainFile, 7, 0), "/maps/a.h", 20, 1);
  const Case cases[] = {
      {"header included inside the region", insideRegion, true, {region}, {region}},
      {"two levels down", includedAt(insideRegion, "/maps/b.h", 2, 2), true, {region}, {region}},
      {"header included at the position",
       includedAt(at(mainFile, 12, 0), "/maps/a.h", 20, 1),
       true,
       {position},
       {}},
      {"header included elsewhere", includedAt(at(mainFile, 11, 0), "/maps/a.h", 20, 1), false, {}, {}},
      // Every record along the way, in the order the maps received them.
      {"own region and the including one",
       includedAt(at(mainFile, 7, 0), "/maps/a.h", 3, 9),
       true,
       {region, own},
       {region, own}},
  };
  for (const Case &c : cases) {
    const U_RefPtr<M_Diagnostic> found = diagnostic(5013, c.place);
    EXPECT_EQ(c.suppressed, maps.isSuppressed(found)) << c.what;
    EXPECT_EQ(c.records, maps.recordsFor(found, true)) << c.what;
    EXPECT_EQ(c.regionRecords, maps.recordsFor(found, false)) << c.what;
  }
}

TEST(SuppressionMapsTest, RecordsComeOnceInTheOrderTheyFirstArrived) {
  P_SuppressionMaps maps;
  const U_RefPtr<M_SuppressionRecord> later =
      suppressionRecord(1, at(mainFile, 1), {{"7", ""}}, at(mainFile, 2, 0), at(mainFile, 9, 0));
  const U_RefPtr<M_SuppressionRecord> first =
      suppressionRecord(1, at(mainFile, 1), {{"1", "9"}, {"7", ""}}, at(mainFile, 3, 0), at(mainFile, 4, 0));
  const std::uint32_t held = first->referenceCount();
  maps.add(first);
  maps.add(later);
  maps.add(first);
  EXPECT_EQ(held + 4, first->referenceCount()) << "held each time it came, under each of its two ranges";
  EXPECT_EQ((P_SuppressionRecordSet{first, later}), maps.recordsFor(diagnostic(7, at(mainFile, 3, 5)), true));

  maps.clear();
  EXPECT_EQ(held, first->referenceCount());
  EXPECT_FALSE(maps.isSuppressed(diagnostic(7, at(mainFile, 3, 5))));
}

TEST(SuppressionMapsTest, ErrorsAndDiagnosticsWithoutLocationAreNeverSuppressed) {
  P_SuppressionMaps maps;
  maps.add(suppressionRecord(1, at(mainFile, 1), {{"1", "9999"}}, at(mainFile, 1, 0), at(mainFile, 99, 0)));
  maps.add(suppressionRecord(2, at(mainFile, 1), {{"1", "9999"}}, at(mainFile, 5, 5)));
  const U_RefPtr<M_Diagnostic> error = test_support::flaggedDiagnostic(5013, false, true, at(mainFile, 5, 5));
  const U_RefPtr<M_Diagnostic> nowhere = diagnostic(5013);
  for (const auto &found : {error, nowhere}) {
    EXPECT_FALSE(maps.isSuppressed(found));
    EXPECT_FALSE(maps.isSuppressedByRegion(found));
    EXPECT_FALSE(maps.isSuppressedAtPosition(found));
    EXPECT_TRUE(maps.recordsFor(found, true).empty());
  }
  EXPECT_TRUE(maps.isSuppressed(diagnostic(5013, at(mainFile, 5, 5))));
}

TEST(SuppressionMapsTest, RecordsWithoutTheirPlacesArePassedOver) {
  P_SuppressionMaps maps;
  const M_SuppressionRecord::Ranges all = {{"-2147483648", "2147483647"}};
  maps.add(U_RefPtr<M_SuppressionRecord>());
  maps.add(suppressionRecord(1, at(mainFile, 1), all, U_Location(), at(mainFile, 99, 0)));
  maps.add(suppressionRecord(1, U_Location(), all, at(mainFile, 1, 0), at(mainFile, 99, 0)));
  maps.add(suppressionRecord(2, U_Location(), all, at(mainFile, 5, 5)));
  const U_RefPtr<M_Diagnostic> found = diagnostic(5013, at(mainFile, 5, 5));
  EXPECT_FALSE(maps.isSuppressed(found));
  EXPECT_TRUE(maps.recordsFor(found, true).empty());
}

// A damaged error file may name ranges as wide as 32 bits allow: one record
// costs the same whatever its ranges' widths.
TEST(SuppressionMapsTest, HugeRangesAreDecidedInBoundedMemory) {
  P_SuppressionMaps maps;
  const U_RefPtr<M_SuppressionRecord> damaged =
      suppressionRecord(1, at(mainFile, 1),
                        {{"1", "2000000000"}, {"2147483000", "99999999999"}, {"-99999999999", "-2000000000"}},
                        at(mainFile, 1, 0), at(mainFile, 50, 0));
  struct Case {
    std::uint32_t number;
    bool suppressed;
  };
  const Case cases[] = {{0, false},           {1, true},           {5013, true},        {2000000000, true},
                        {2000000001, false},  {2147483647, true},  {0x80000000u, true}, {0x88CA6C00u, true},
                        {0x88CA6C01u, false}, {0xFFFFFFFFu, false}};
  bool answers[std::size(cases)];
  const U_Location place = at(mainFile, 10, 10);
  std::vector<U_RefPtr<M_Diagnostic>> diagnostics;
  for (const Case &c : cases)
    diagnostics.push_back(diagnostic(c.number, place));

  const std::size_t before = allocatedBytes;
  maps.add(damaged);
  for (std::size_t index = 0; index < std::size(cases); ++index)
    answers[index] =
        maps.isSuppressed(diagnostics[index]) && maps.recordsFor(diagnostics[index], true).size() == 1;
  const std::size_t used = allocatedBytes - before;

  EXPECT_LT(used, 64u * 1024u) << "bytes allocated for one record and its decisions";
  for (std::size_t index = 0; index < std::size(cases); ++index)
    EXPECT_EQ(cases[index].suppressed, answers[index]) << cases[index].number;
}

// The decision as the maps made it when they filed every number of a range on
// its own: a literal reading, kept simple, to check the interval index against.
class PerNumberIndex {
public:
  void add(const U_RefPtr<M_SuppressionRecord> &record) {
    const std::uint32_t kind = record->getKind();
    if ((kind != 1 && kind != 2) || !record->getLocation().isSet() || !record->getStartLocation().isSet())
      return;
    const U_Location &start = record->getStartLocation();
    const U_Location &end = record->getEndLocation().isSet() ? record->getEndLocation() : start;
    for (const auto &[fromText, toText] : record->getMessageRanges()) {
      const int from = std::atoi(fromText.c_str());
      const int to = std::atoi(toText.c_str()) == 0 ? from : std::atoi(toText.c_str());
      for (int number = from; from != 0 && number <= to; ++number)
        m_entries.emplace(number, Entry{kind, start.getFile(), start.getLine(), start.getColumn(),
                                        end.getLine(), end.getColumn(), record});
    }
  }

  // The records of the kind that suppress the diagnostic.
  std::set<M_SuppressionRecord *> recordsFor(const U_RefPtr<M_Diagnostic> &found, std::uint32_t kind) const {
    std::set<M_SuppressionRecord *> records;
    if (found->isError())
      return records;
    const auto number = static_cast<std::int32_t>(found->getNumber());
    for (U_Location place = found->getLocation(); place.isSet(); place = place.getInclLoc()) {
      const auto [first, last] = m_entries.equal_range(number);
      for (auto entry = first; entry != last; ++entry) {
        const Entry &e = entry->second;
        if (e.kind == kind && e.file == place.getFile() &&
            inRegion(e, place.getLine(), place.getColumn(), kind == 2))
          records.insert(e.record.pointer());
      }
    }
    return records;
  }

private:
  struct Entry {
    std::uint32_t kind;
    QL_Filename file;
    int sl, sc, el, ec;
    U_RefPtr<M_SuppressionRecord> record;
  };

  static bool inRegion(const Entry &e, int line, int column, bool exact) {
    int el = e.el, ec = e.ec;
    if (e.el != e.sl && e.ec == 0) {
      el = e.el - 1;
      ec = -1;
    }
    if (line < e.sl || line > el)
      return false;
    if (line == el && ec != -1 && column > ec && (line != e.sl || column < e.sc))
      return false;
    return !exact || (line == e.sl && column == e.sc);
  }

  std::multimap<int, Entry> m_entries;
};

std::set<M_SuppressionRecord *> pointersOf(const P_SuppressionRecordSet &records) {
  std::set<M_SuppressionRecord *> pointers;
  for (const auto &record : records)
    pointers.insert(record.pointer());
  return pointers;
}

// How the records and diagnostics of the random rounds are drawn.
struct RandomShape {
  const char *what;
  int rounds;
  int fewestRecords, mostRecords;
  // The texts of the records' ranges.
  std::vector<std::string> numberTexts;
  // The numbers of the diagnostics.
  int lowestNumber, highestNumber;
  // How often each kind must suppress over all rounds at least.
  int fewestAnswers;
};

// Rounds of records and diagnostics at random, each round in fresh maps and a
// fresh per-number index, every answer of the maps against the index's.
void checkAgainstPerNumberIndex(const RandomShape &shape, std::uint32_t seed) {
  SCOPED_TRACE(shape.what);
  std::mt19937 random(seed);
  const auto pick = [&random](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  const char *const files[] = {"/prop/a.c", "/prop/b.h", "/prop/c.h"};
  const int lastText = static_cast<int>(shape.numberTexts.size()) - 1;
  // A location in one of the files, reached through up to two include
  // directives.
  const auto place = [&]() {
    U_Location location;
    for (int depth = pick(0, 2); depth >= 0; --depth) {
      const char *file = files[pick(0, 2)];
      location = location.isSet() ? includedAt(location, file, pick(0, 6), pick(0, 6))
                                  : at(file, pick(0, 6), pick(0, 6));
    }
    return location;
  };

  // How often each kind suppressed: the rounds must meet both.
  int regionAnswers = 0;
  int positionAnswers = 0;
  for (int round = 0; round < shape.rounds; ++round) {
    P_SuppressionMaps maps;
    PerNumberIndex reference;
    std::vector<U_RefPtr<M_SuppressionRecord>> records;
    for (int count = pick(shape.fewestRecords, shape.mostRecords); count > 0; --count) {
      const char *file = files[pick(0, 2)];
      M_SuppressionRecord::Ranges ranges;
      for (int pairs = pick(0, 3); pairs > 0; --pairs)
        ranges.emplace_back(shape.numberTexts[pick(0, lastText)], shape.numberTexts[pick(0, lastText)]);
      const std::uint32_t kinds[] = {0, 1, 1, 1, 2, 2, 3};
      const U_Location written = pick(0, 9) ? at(file, 0) : U_Location();
      const U_Location start = pick(0, 9) ? at(file, pick(0, 6), pick(0, 6)) : U_Location();
      const U_Location end = pick(0, 2) ? at(file, pick(0, 6), pick(-1, 6)) : U_Location();
      records.push_back(suppressionRecord(kinds[pick(0, 6)], written, ranges, start, end));
      // Now and then a record comes again.
      for (int times = pick(0, 5) ? 1 : 2; times > 0; --times) {
        maps.add(records.back());
        reference.add(records.back());
      }
    }
    for (int count = 0; count < 40; ++count) {
      // Often at a record's start, or in a file included there.
      U_Location where = place();
      const U_Location &start = records[pick(0, static_cast<int>(records.size()) - 1)]->getStartLocation();
      if (start.isSet() && pick(0, 1))
        where = pick(0, 1) ? start : includedAt(start, files[pick(0, 2)], pick(0, 6), pick(0, 6));
      const U_RefPtr<M_Diagnostic> found =
          diagnostic(static_cast<std::uint32_t>(pick(shape.lowestNumber, shape.highestNumber)), where);
      found->setError(pick(0, 9) == 0);
      const auto regions = reference.recordsFor(found, 1);
      const auto positions = reference.recordsFor(found, 2);
      std::set<M_SuppressionRecord *> both = regions;
      both.insert(positions.begin(), positions.end());
      SCOPED_TRACE("round " + std::to_string(round) + ", diagnostic " + std::to_string(count));
      ASSERT_EQ(regions, pointersOf(maps.recordsFor(found, false)));
      ASSERT_EQ(both, pointersOf(maps.recordsFor(found, true)));
      ASSERT_EQ(!regions.empty(), maps.isSuppressedByRegion(found));
      ASSERT_EQ(!positions.empty(), maps.isSuppressedAtPosition(found));
      ASSERT_EQ(!both.empty(), maps.isSuppressed(found));
      ASSERT_EQ(both.size(), maps.recordsFor(found, true).size()) << "each record once";
      regionAnswers += !regions.empty();
      positionAnswers += !positions.empty();
    }
  }
  EXPECT_GT(regionAnswers, shape.fewestAnswers);
  EXPECT_GT(positionAnswers, shape.fewestAnswers);
}

TEST(SuppressionMapsTest, IntervalIndexAnswersAsAPerNumberIndexOnRandomSmallRanges) {
  checkAgainstPerNumberIndex({"few records, small ranges",
                              300,
                              1,
                              8,
                              {"", "0", "1", "2", "3", "4", "5", "6", "-1", "-2", " 3x", "x"},
                              -2,
                              7,
                              100},
                             2512);
}

// Hundreds of distinct ranges, nested and overlapping, in one index.
TEST(SuppressionMapsTest, IntervalIndexAnswersAsAPerNumberIndexOnManyOverlappingRanges) {
  std::vector<std::string> texts = {"", "0", " 3x", "x"};
  for (int number = -40; number <= 40; ++number)
    texts.push_back(std::to_string(number));
  checkAgainstPerNumberIndex({"many records, overlapping ranges", 40, 60, 200, texts, -45, 45, 40}, 4113);
}

} // namespace

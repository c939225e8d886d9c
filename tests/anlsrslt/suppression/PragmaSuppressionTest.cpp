// Pragma regions: the include-chain order, the regions pragmas open and close
// per message number and range, and the answers the output path and the query
// interface get from them.
#include "anlsrslt/suppression/PragmaSuppression.h"
#include "anlsrslt/model/ModelDiagnostic.h"
#include "foundation/Location.h"
#include "messages/Output.h"
#include "support/CurrentArguments.h"
#include "support/IncludeRecords.h"
#include "support/Locations.h"
#include "support/PragmaSuppressStateReset.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using test_support::at;

constexpr std::int32_t IntMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t IntMin = std::numeric_limits<std::int32_t>::min();

// A place in a source as the innermost file and line first, then the include
// directives outwards: {{"a.h", 8}, {"main.c", 10}} is line 8 of a.h included
// at line 10 of main.c. Names are taken under the directory given.
using Place = std::vector<std::pair<std::string, std::int32_t>>;

U_Location locationOf(const std::string &directory, const Place &place) {
  U_Location location;
  for (auto level = place.rbegin(); level != place.rend(); ++level) {
    const std::string path = directory + "/" + level->first;
    location =
        location.isSet() ? test_support::includedAt(location, path, level->second) : at(path, level->second);
  }
  return location;
}

std::string describe(const Place &place) {
  std::string text;
  for (const auto &[file, line] : place)
    text += (text.empty() ? "" : " <- ") + file + ":" + std::to_string(line);
  return text.empty() ? "(none)" : text;
}

// The pragma's words after its own word, as one blank-separated text.
P_PragmaRecord pragmaRecord(const std::string &path, std::int32_t line, const std::string &arguments) {
  P_PragmaRecord record;
  record.m_file = P_filenameProxyFor(QL_Filename::fromPath(path));
  record.m_line = line;
  record.m_tokens.push_back("suppress");
  std::istringstream words(arguments);
  for (std::string word; words >> word;)
    record.m_tokens.push_back(word);
  return record;
}

// The state as text: per-message entries, range entries, then "*" and the
// all-messages regions; each region as the lines of its innermost start and
// end ("10-" while open).
std::string stateText(const PragmaSuppressState &state) {
  const auto regionsText = [](const PragmaRegionList &regions) {
    std::string text = "{";
    for (const PragmaRegion &region : regions) {
      text += text.size() > 1 ? " " : "";
      text += std::to_string(region.m_start.front().getLine()) + "-";
      if (!region.isOpen())
        text += std::to_string(region.m_end.front().getLine());
    }
    return text + "}";
  };
  std::string text;
  for (const PragmaMessageEntry &entry : state.messageEntries())
    text += std::to_string(entry.m_number) + regionsText(entry.m_regions) + " ";
  for (const PragmaRangeEntry &entry : state.rangeEntries())
    text += std::to_string(entry.m_first) + ".." + std::to_string(entry.m_last) +
            regionsText(entry.m_regions) + " ";
  return text + "*" + regionsText(state.allMessagesRegions());
}

// What every pragma sequence leaves: entries in order, no number in two
// entries, ranges of at least two numbers, regions that start before they end
// and at most one open region per list, the last.
void expectSoundState(const PragmaSuppressState &state, const std::string &input) {
  const auto expectSoundRegions = [&input](const PragmaRegionList &regions) {
    for (std::size_t i = 0; i < regions.size(); ++i) {
      EXPECT_FALSE(regions[i].m_start.empty()) << input;
      if (i + 1 < regions.size()) {
        EXPECT_FALSE(regions[i].isOpen()) << input << ": only the last region can be open";
      }
      if (!regions[i].isOpen()) {
        EXPECT_TRUE(isIncludeChainLessEqual(regions[i].m_start, regions[i].m_end)) << input;
      }
    }
  };
  const auto &messages = state.messageEntries();
  const auto &ranges = state.rangeEntries();
  for (std::size_t i = 0; i < messages.size(); ++i) {
    if (i > 0) {
      EXPECT_LT(messages[i - 1].m_number, messages[i].m_number) << input;
    }
    for (const PragmaRangeEntry &range : ranges) {
      EXPECT_FALSE(range.m_first <= messages[i].m_number && messages[i].m_number <= range.m_last)
          << input << ": " << messages[i].m_number << " has two entries";
    }
    expectSoundRegions(messages[i].m_regions);
  }
  for (std::size_t i = 0; i < ranges.size(); ++i) {
    EXPECT_LT(ranges[i].m_first, ranges[i].m_last) << input;
    if (i > 0) {
      EXPECT_LT(ranges[i - 1].m_last, ranges[i].m_first) << input << ": ranges overlap";
    }
    expectSoundRegions(ranges[i].m_regions);
  }
  expectSoundRegions(state.allMessagesRegions());
}

class PragmaSuppressionTest : public testing::Test {
protected:
  void SetUp() override { test_support::PragmaSuppressStateReset::resetAll(); }
  void TearDown() override { test_support::PragmaSuppressStateReset::resetAll(); }

  PragmaSuppressState &state() { return PragmaSuppressState::instance(); }
};

TEST_F(PragmaSuppressionTest, TheEmptyStateSuppressesNothing) {
  EXPECT_EQ(&state(), &PragmaSuppressState::instance());
  const U_Location located = at("/pragma/empty/a.c", 3, 1);
  for (const std::uint32_t number : {0u, 1540u, 4294967295u}) {
    SCOPED_TRACE(number);
    EXPECT_FALSE(state().isSuppressed(number, located));
    EXPECT_FALSE(state().isSuppressed(number, U_Location()));
  }
}

TEST(IncludeChainTest, ChainRunsFromTheLocationOutToTheMainFile) {
  const U_Location inner = locationOf("/pragma/chain", {{"b.h", 2}, {"a.h", 3}, {"main.c", 10}});
  const IncludeChain chain = makeIncludeChain(inner);
  ASSERT_EQ(3u, chain.size());
  EXPECT_EQ(inner, chain[0]);
  EXPECT_EQ(3, chain[1].getLine());
  EXPECT_EQ(10, chain[2].getLine());
  EXPECT_EQ("/pragma/chain/main.c", chain[2].getFile().canonical().str());
  EXPECT_TRUE(makeIncludeChain(U_Location()).empty());
}

TEST(IncludeChainTest, OrderComparesFromTheOutermostFileAndStopsAtTheFirstDifferentLine) {
  struct Case {
    Place a;
    Place b;
    bool notAfter;
  };
  const Case cases[] = {
      {{}, {{"main.c", 5}}, false},
      {{{"main.c", 5}}, {}, true},
      {{}, {}, false},
      {{{"main.c", 5}}, {{"main.c", 7}}, true},
      {{{"main.c", 7}}, {{"main.c", 5}}, false},
      {{{"main.c", 5}}, {{"main.c", 5}}, true},
      {{{"main.c", -5}}, {{"main.c", 3}}, true},
      {{{"main.c", IntMax}}, {{"main.c", IntMin}}, false},
      // The same header at two include sites: the sites decide, whatever the
      // lines inside the header.
      {{{"a.h", 8}, {"main.c", 10}}, {{"a.h", 5}, {"main.c", 30}}, true},
      {{{"a.h", 5}, {"main.c", 30}}, {{"a.h", 8}, {"main.c", 10}}, false},
      {{{"a.h", 5}, {"main.c", 10}}, {{"a.h", 8}, {"main.c", 10}}, true},
      {{{"a.h", 8}, {"main.c", 10}}, {{"a.h", 5}, {"main.c", 10}}, false},
      {{{"c.h", 9}, {"a.h", 2}, {"main.c", 10}}, {{"c.h", 1}, {"a.h", 4}, {"main.c", 10}}, true},
      // One chain ends, or the files part: neither is after the other.
      {{{"a.h", 5}, {"main.c", 10}}, {{"main.c", 10}}, true},
      {{{"main.c", 10}}, {{"a.h", 5}, {"main.c", 10}}, true},
      {{{"a.h", 9}, {"main.c", 10}}, {{"b.h", 1}, {"main.c", 10}}, true},
      {{{"b.h", 1}, {"main.c", 10}}, {{"a.h", 9}, {"main.c", 10}}, true},
      {{{"other.c", 9}}, {{"main.c", 1}}, true},
  };
  for (const Case &c : cases) {
    const IncludeChain a = makeIncludeChain(locationOf("/pragma/order", c.a));
    const IncludeChain b = makeIncludeChain(locationOf("/pragma/order", c.b));
    EXPECT_EQ(c.notAfter, isIncludeChainLessEqual(a, b)) << describe(c.a) << " vs " << describe(c.b);
  }
}

TEST(IncludeChainTest, RegionHoldsBothEndsAndAnOpenEndHoldsEverythingAfterTheStart) {
  const std::string dir = "/pragma/regions";
  const auto chain = [&dir](std::int32_t line) { return makeIncludeChain(at(dir + "/main.c", line)); };
  const PragmaRegionList regions = {{chain(10), chain(20)}, {chain(30), {}}};
  struct Case {
    std::int32_t line;
    bool inside;
  };
  const Case cases[] = {{9, false},  {10, true},  {15, true}, {20, true},
                        {21, false}, {29, false}, {30, true}, {IntMax, true}};
  for (const Case &c : cases)
    EXPECT_EQ(c.inside, isChainInRegions(chain(c.line), regions)) << "line " << c.line;
  EXPECT_FALSE(isChainInRegions(IncludeChain(), regions)) << "no location lies in a region";
  EXPECT_FALSE(isChainInRegions(chain(15), PragmaRegionList()));
}

// The pragma's words decide which numbers it names.
TEST_F(PragmaSuppressionTest, ArgumentWordsNameNumbersListsAndRanges) {
  struct Case {
    std::string arguments;
    std::vector<std::uint32_t> suppressed;
    std::vector<std::uint32_t> notSuppressed;
  };
  const Case cases[] = {
      {"", {0, 1, 5, 4800, 4294967295u}, {}},
      {"5", {5}, {4, 6, 0}},
      {"1 , 2", {1, 2}, {0, 3}},
      {"1 , 2 , 10 - 12", {1, 2, 10, 11, 12}, {3, 9, 13}},
      {"3 -", {3}, {2, 4}},
      {"3 x 4", {4}, {3}},
      {"3 x", {}, {3, 0}},
      {"7-9", {7}, {8, 9}},
      {"x", {0}, {1}},
      {"1 ,", {1}, {0, 2}},
      {"10 - 12 , 20", {10, 11, 12}, {9, 13, 20}},
      {"5 - 3", {3, 4, 5}, {2, 6}},
      {"99999999999", {0}, {1}},
      {"-1", {4294967295u}, {0, 1}},
      {"2147483647", {2147483647u}, {2147483646u, 2147483648u}},
      {"-2147483648", {2147483648u}, {2147483647u, 2147483649u}},
      {"-2147483648 - 2147483647", {0, 1, 2147483647u, 2147483648u, 4294967295u}, {}},
      {"2147483647 - -2147483648", {0, 2147483647u, 2147483648u}, {}},
  };
  for (const Case &c : cases) {
    test_support::PragmaSuppressStateReset::resetAll();
    handlePragmaSuppressOn(pragmaRecord("/pragma/words/main.c", 10, c.arguments));
    const U_Location inside = at("/pragma/words/main.c", 15);
    const U_Location before = at("/pragma/words/main.c", 5);
    for (const std::uint32_t number : c.suppressed) {
      EXPECT_TRUE(state().isSuppressed(number, inside)) << "\"" << c.arguments << "\": " << number;
      EXPECT_FALSE(state().isSuppressed(number, before)) << "\"" << c.arguments << "\": " << number;
    }
    for (const std::uint32_t number : c.notSuppressed)
      EXPECT_FALSE(state().isSuppressed(number, inside)) << "\"" << c.arguments << "\": " << number;
    expectSoundState(state(), c.arguments);
  }
}

// One pragma of a sequence in the main file: on or off, its arguments, its line.
struct Pragma {
  bool on;
  std::string arguments;
  std::int32_t line;
};

std::string describe(const std::vector<Pragma> &pragmas) {
  std::string text;
  for (const Pragma &pragma : pragmas)
    text += std::string(pragma.on ? "on" : "off") + "(" + pragma.arguments + ")@" +
            std::to_string(pragma.line) + " ";
  return text;
}

void handleAll(const std::string &path, const std::vector<Pragma> &pragmas) {
  for (const Pragma &pragma : pragmas)
    handlePragmaSuppression(pragmaRecord(path, pragma.line, pragma.arguments), pragma.on);
}

TEST_F(PragmaSuppressionTest, PragmaSequencesOpenAndCloseRegionsPerNumber) {
  struct Query {
    std::uint32_t number;
    std::int32_t line;
    bool suppressed;
  };
  struct Case {
    std::vector<Pragma> pragmas;
    std::vector<Query> queries;
  };
  const Case cases[] = {
      // One number; both pragma lines lie inside.
      {{{true, "5", 10}, {false, "5", 20}},
       {{5, 15, true}, {5, 10, true}, {5, 20, true}, {5, 9, false}, {5, 25, false}, {6, 15, false}}},
      // An off-pragma for one number takes it out of an open all-messages region.
      {{{true, "", 10}, {false, "5", 20}}, {{5, 15, true}, {5, 25, false}, {6, 25, true}}},
      {{{true, "1 - 10", 10}, {false, "5", 20}},
       {{5, 15, true},
        {5, 25, false},
        {1, 25, true},
        {4, 25, true},
        {6, 25, true},
        {10, 25, true},
        {11, 25, false}}},
      // A second on inside an open region and an off without one change nothing.
      {{{false, "5", 5}, {true, "5", 10}, {true, "5", 15}, {false, "5", 20}, {false, "5", 25}},
       {{5, 7, false}, {5, 12, true}, {5, 22, false}}},
      {{{true, "5", 10}, {false, "5", 20}, {true, "5", 30}, {false, "5", 40}},
       {{5, 15, true}, {5, 25, false}, {5, 35, true}, {5, 45, false}}},
      // A region never closed reaches to the end.
      {{{true, "5", 10}}, {{5, 1000000, true}, {5, IntMax, true}, {5, 9, false}}},
      // Nested: a number inside an all-messages region, a range inside a range.
      {{{true, "", 10}, {true, "5", 20}, {false, "5", 30}, {false, "", 40}},
       {{5, 25, true}, {5, 35, false}, {6, 35, true}, {6, 45, false}, {5, 15, true}}},
      {{{true, "1 - 10", 10}, {true, "3 - 5", 20}, {false, "3 - 5", 30}, {false, "1 - 10", 40}},
       {{4, 25, true}, {4, 35, false}, {2, 35, true}, {7, 35, true}, {2, 45, false}}},
      // Overlapping ranges: the shared numbers keep the region opened first.
      {{{true, "1 - 10", 10}, {true, "5 - 15", 20}, {false, "1 - 10", 30}, {false, "5 - 15", 40}},
       {{3, 25, true},
        {3, 35, false},
        {7, 15, true},
        {7, 35, false},
        {12, 15, false},
        {12, 35, true},
        {16, 35, false}}},
      {{{true, "1 - 10", 10}, {false, "5 - 15", 20}},
       {{3, 25, true}, {7, 15, true}, {7, 25, false}, {12, 15, false}}},
      // Reversed ranges mean the same numbers.
      {{{true, "3 - 9", 10}, {false, "9 - 3", 20}},
       {{3, 15, true}, {3, 25, false}, {6, 25, false}, {9, 25, false}}},
      {{{true, "1 - 10", 10}, {false, "8 - 4", 20}},
       {{3, 25, true}, {4, 25, false}, {6, 25, false}, {8, 25, false}, {9, 25, true}}},
      // Extreme numbers split at the bounds of the number range.
      {{{true, "2147483640 - 2147483647", 10}, {false, "2147483647", 20}},
       {{2147483647u, 15, true}, {2147483647u, 25, false}, {2147483646u, 25, true}, {2147483640u, 25, true}}},
      {{{true, "-2147483648 - -2147483640", 10}, {false, "-2147483648", 20}},
       {{2147483648u, 25, false}, {2147483649u, 25, true}, {2147483656u, 25, true}}},
      {{{true, "2147483647", 10},
        {true, "-2147483648 - 2147483647", 20},
        {false, "-2147483648 - 2147483647", 30}},
       {{2147483647u, 15, true}, {0, 15, false}, {0, 25, true}, {2147483648u, 25, true}, {0, 35, false}}},
      {{{true, "-2147483648 - 2147483647", 10}, {false, "-2147483648 , 2147483647", 20}},
       {{2147483648u, 25, false}, {2147483647u, 25, false}, {5, 25, true}, {4294967295u, 25, true}}},
      {{{true, "5", IntMin}, {false, "5", IntMax}}, {{5, 0, true}, {5, IntMax, true}}},
  };
  const std::string path = "/pragma/sequence/main.c";
  for (const Case &c : cases) {
    test_support::PragmaSuppressStateReset::resetAll();
    handleAll(path, c.pragmas);
    for (const Query &query : c.queries)
      EXPECT_EQ(query.suppressed, state().isSuppressed(query.number, at(path, query.line)))
          << describe(c.pragmas) << "| " << query.number << " at line " << query.line;
    expectSoundState(state(), describe(c.pragmas));
  }
}

TEST_F(PragmaSuppressionTest, EntriesCarryTheHistoryOfTheirNumbers) {
  struct Case {
    std::vector<Pragma> pragmas;
    std::string state;
  };
  const Case cases[] = {
      {{{true, "5", 10}, {true, "3 - 6", 20}}, "5{10-} 6{20-} 3..4{20-} *{}"},
      {{{true, "", 10}, {false, "5", 20}}, "5{10-20} *{10-}"},
      {{{true, "1 - 10", 10}, {false, "5", 20}}, "5{10-20} 1..4{10-} 6..10{10-} *{}"},
      {{{true, "5", 10}, {true, "5", 15}, {false, "5", 20}, {false, "5", 25}}, "5{10-20} *{}"},
      {{{false, "5", 5}}, "5{} *{}"},
      {{{false, "", 5}}, "*{}"},
      {{{true, "5 - 5", 10}}, "5{10-} *{}"},
      {{{true, "9 - 3", 10}}, "3..9{10-} *{}"},
      {{{true, "1 - 10", 10}, {false, "8 - 4", 20}}, "1..3{10-} 4..8{10-20} 9..10{10-} *{}"},
      {{{true, "1 - 10", 10}, {true, "5 - 15", 20}}, "1..4{10-} 5..10{10-} 11..15{20-} *{}"},
      {{{true, "1 - 3", 10}, {true, "5 - 7", 10}, {true, "0 - 10", 20}},
       "0{20-} 4{20-} 1..3{10-} 5..7{10-} 8..10{20-} *{}"},
      {{{true, "1 - 3", 10}, {true, "5", 10}, {true, "0 - 10", 20}},
       "0{20-} 4{20-} 5{10-} 1..3{10-} 6..10{20-} *{}"},
      {{{true, "4 - 6", 10}, {false, "2 - 8", 20}}, "2..3{} 4..6{10-20} 7..8{} *{}"},
      {{{true, "", 10}, {true, "3", 20}, {false, "", 30}}, "3{10-30} *{10-30}"},
      {{{true, "2147483647", 10}, {true, "-2147483648 - 2147483647", 20}},
       "2147483647{10-} -2147483648..2147483646{20-} *{}"},
      {{{true, "-2147483648", 10}, {true, "-2147483648 - 2147483647", 20}},
       "-2147483648{10-} -2147483647..2147483647{20-} *{}"},
      {{{true, "-2147483648 - 2147483647", 10}, {false, "-2147483648 , 2147483647", 20}},
       "-2147483648{10-20} 2147483647{10-20} -2147483647..2147483646{10-} *{}"},
      {{{true, "2147483646 - 2147483647", 10}, {false, "2147483647 - 2147483647", 20}},
       "2147483646{10-} 2147483647{10-20} *{}"},
  };
  for (const Case &c : cases) {
    test_support::PragmaSuppressStateReset::resetAll();
    handleAll("/pragma/entries/main.c", c.pragmas);
    EXPECT_EQ(c.state, stateText(state())) << describe(c.pragmas);
    expectSoundState(state(), describe(c.pragmas));
  }
}

TEST_F(PragmaSuppressionTest, AddRangeEntryDropsEmptyRangesAndFilesSingleNumbersAsMessages) {
  EXPECT_FALSE(state().addRangeEntry(PragmaRangeEntry{9, 3, {}}));
  EXPECT_FALSE(state().addRangeEntry(PragmaRangeEntry{4, 4, {}}));
  EXPECT_TRUE(state().addRangeEntry(PragmaRangeEntry{20, 30, {}}));
  EXPECT_TRUE(state().addRangeEntry(PragmaRangeEntry{10, 12, {}}));
  EXPECT_FALSE(state().addRangeEntry(PragmaRangeEntry{IntMin, IntMin, {}}));
  EXPECT_EQ("-2147483648{} 4{} 10..12{} 20..30{} *{}", stateText(state()));
}

// Pragmas in headers: the chain of each pragma reaches out through the include
// sites recorded so far, so a header read twice has two sets of positions.
TEST_F(PragmaSuppressionTest, RegionsFollowIncludeChainsAcrossHeaders) {
  struct Step {
    // An include record when `included` is set, else a pragma in `file`.
    std::string file;
    std::int32_t line;
    std::string included;
    bool on;
    std::string arguments;
  };
  struct Query {
    std::uint32_t number;
    Place place;
    bool suppressed;
  };
  struct Case {
    std::string name;
    std::vector<Step> steps;
    std::vector<Query> queries;
  };
  const Case cases[] = {
      {"opened-in-header",
       {{"main.c", 20, "a.h", true, ""}, {"main.c", 30, "b.h", true, ""}, {"a.h", 5, "", true, "5"}},
       {{5, {{"a.h", 7}, {"main.c", 20}}, true},
        {5, {{"a.h", 3}, {"main.c", 20}}, false},
        {5, {{"main.c", 25}}, true},
        {5, {{"main.c", 15}}, false},
        {5, {{"b.h", 1}, {"main.c", 30}}, true},
        {6, {{"a.h", 7}, {"main.c", 20}}, false}}},
      {"closed-in-main",
       {{"main.c", 20, "a.h", true, ""}, {"a.h", 5, "", true, ""}, {"main.c", 40, "", false, ""}},
       {{1, {{"a.h", 9}, {"main.c", 20}}, true}, {1, {{"main.c", 30}}, true}, {1, {{"main.c", 45}}, false}}},
      {"nested-headers",
       {{"main.c", 10, "a.h", true, ""},
        {"a.h", 3, "b.h", true, ""},
        {"b.h", 2, "", true, "5"},
        {"main.c", 50, "", false, "5"}},
       {{5, {{"b.h", 4}, {"a.h", 3}, {"main.c", 10}}, true},
        {5, {{"b.h", 1}, {"a.h", 3}, {"main.c", 10}}, false},
        {5, {{"a.h", 5}, {"main.c", 10}}, true},
        {5, {{"a.h", 2}, {"main.c", 10}}, false},
        {5, {{"main.c", 9}}, false},
        {5, {{"main.c", 51}}, false}}},
      // Closed in the header's second inclusion: its first inclusion lies
      // before that, whatever the lines inside the header.
      {"closed-in-second-inclusion",
       {{"main.c", 5, "", true, ""},
        {"main.c", 10, "a.h", true, ""},
        {"main.c", 30, "a.h", true, ""},
        {"a.h", 5, "", false, ""}},
       {{1, {{"a.h", 8}, {"main.c", 10}}, true},
        {1, {{"a.h", 3}, {"main.c", 30}}, true},
        {1, {{"a.h", 6}, {"main.c", 30}}, false},
        {1, {{"main.c", 20}}, true},
        {1, {{"main.c", 35}}, false}}},
      // Opened and closed in the first inclusion: the second is outside.
      {"region-in-first-inclusion",
       {{"main.c", 10, "a.h", true, ""},
        {"a.h", 5, "", true, "7"},
        {"a.h", 6, "", false, "7"},
        {"main.c", 30, "a.h", true, ""}},
       {{7, {{"a.h", 5}, {"main.c", 10}}, true},
        {7, {{"a.h", 7}, {"main.c", 10}}, false},
        {7, {{"a.h", 5}, {"main.c", 30}}, false},
        {7, {{"main.c", 20}}, false}}},
      // Opened in the second inclusion: the first one is before the region.
      {"opened-in-second-inclusion",
       {{"main.c", 10, "a.h", true, ""}, {"main.c", 30, "a.h", true, ""}, {"a.h", 5, "", true, "7"}},
       {{7, {{"a.h", 8}, {"main.c", 10}}, false},
        {7, {{"a.h", 8}, {"main.c", 30}}, true},
        {7, {{"a.h", 2}, {"main.c", 30}}, false},
        {7, {{"main.c", 31}}, true}}},
  };
  for (const Case &c : cases) {
    const std::string dir = "/pragma/headers/" + c.name;
    for (const Step &step : c.steps) {
      if (!step.included.empty())
        test_support::readIncludeRecord(QL_Filename::fromPath(dir + "/" + step.file),
                                        QL_Filename::fromPath(dir + "/" + step.included), step.line);
      else
        handlePragmaSuppression(pragmaRecord(dir + "/" + step.file, step.line, step.arguments), step.on);
    }
    for (const Query &query : c.queries)
      EXPECT_EQ(query.suppressed, state().isSuppressed(query.number, locationOf(dir, query.place)))
          << c.name << ": " << query.number << " at " << describe(query.place);
    expectSoundState(state(), c.name);
    test_support::PragmaSuppressStateReset::resetAll();
  }
}

TEST_F(PragmaSuppressionTest, NoLocationIsNeverSuppressed) {
  handlePragmaSuppressOn(pragmaRecord("/pragma/null/main.c", 1, ""));
  handlePragmaSuppressOn(pragmaRecord("/pragma/null/main.c", 1, "5"));
  for (const std::uint32_t number : {0u, 5u, 6u}) {
    EXPECT_FALSE(state().isSuppressed(number, U_Location())) << number;
    EXPECT_FALSE(P_isPragmaSuppressed(U_Location(), number)) << number;
  }
  const test_support::CurrentArguments arguments;
  const U_RefPtr<P_Diagnostic> unlocated = new P_Diagnostic(U_RefPtr<M_Diagnostic>(new M_Diagnostic(5)));
  EXPECT_FALSE(P_isDiagnosticPragmaSuppressed(unlocated.pointer()));
}

TEST_F(PragmaSuppressionTest, PragmaAtNoLocationChangesNothing) {
  state().suppressAll(U_Location(), true);
  state().suppressMessage(5, U_Location(), true);
  state().suppressRange(1, 9, U_Location(), true);
  EXPECT_EQ("*{}", stateText(state()));
  state().suppressMessage(5, at("/pragma/null/main.c", 10), true);
  state().suppressMessage(5, U_Location(), false);
  EXPECT_EQ("5{10-} *{}", stateText(state())) << "an off-pragma at no location closes nothing";
}

TEST_F(PragmaSuppressionTest, QueryInterfaceAndOutputPathAskTheProcessState) {
  const std::string path = "/pragma/callers/main.c";
  handlePragmaSuppressOn(pragmaRecord(path, 10, "5"));
  handlePragmaSuppressOff(pragmaRecord(path, 20, "5"));
  struct Case {
    std::uint32_t number;
    std::int32_t line;
    bool suppressed;
  };
  const Case cases[] = {{5, 15, true}, {5, 25, false}, {6, 15, false}};
  for (const Case &c : cases) {
    const U_Location location = at(path, c.line);
    const U_RefPtr<P_Diagnostic> finding = new P_Diagnostic(c.number, path.c_str(), c.line, 0);
    const U_RefPtr<M_Diagnostic> sent = new M_Diagnostic(c.number, location);
    EXPECT_EQ(c.suppressed, P_isPragmaSuppressed(location, c.number)) << c.number << "@" << c.line;
    EXPECT_EQ(c.suppressed, P_isDiagnosticPragmaSuppressed(finding.pointer())) << c.number << "@" << c.line;
    EXPECT_EQ(c.suppressed, M_isPragmaSuppressed(sent)) << c.number << "@" << c.line;
  }
}

TEST(PragmaSuppressionDeathTest, PragmaRecordWithoutWordsIsAFailedAssertion) {
  P_PragmaRecord record;
  record.m_file = P_filenameProxyFor(QL_Filename::fromPath("/pragma/death/main.c"));
  record.m_line = 1;
  EXPECT_DEATH(handlePragmaSuppressOn(record), "Assertion 'rec.m_tokens.size\\(\\) >= 1' failed");
}

TEST_F(PragmaSuppressionTest, RegisteringTheHandlersLeavesTheStateEmpty) {
  registerPragmaSuppressHandlers();
  EXPECT_EQ("*{}", stateText(state()));
  EXPECT_FALSE(state().isSuppressed(1, at("/pragma/register/main.c", 1)));
}

} // namespace

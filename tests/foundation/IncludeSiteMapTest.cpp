// The include site of every included file: built from include records in the
// order they are read, and given to positions named by file, line and column.
#include "foundation/IncludeSiteMap.h"

#include "anlsrslt/model/CountedPtr.h"
#include "anlsrslt/model/IncludeRecord.h"
#include "anlsrslt/readers/RelationInclude.h"
#include "support/IncludeRecords.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

// The entries last for the run, so every test (and every case of a table)
// names files of its own: their canonical names lie in a directory of their
// own, while the given name is the bare name.
class IncludeSiteMapTest : public testing::Test {
protected:
  QL_Filename file(const std::string &name) const {
    const std::string test = testing::UnitTest::GetInstance()->current_test_info()->name();
    return QL_Filename("/sites/" + test + "/" + m_case + "/" + name, name);
  }

  void include(const std::string &from, const std::string &to, std::int32_t line) const {
    test_support::readIncludeRecord(file(from), file(to), line);
  }

  // The location and its include chain as "name:line:column" steps, the
  // location's own first, each step's file by its given name.
  static std::string chain(U_Location location) {
    std::ostringstream out;
    for (const char *separator = ""; location.isSet(); separator = " < ", location = location.getInclLoc())
      out << separator << location.getFile().given() << ":" << location.getLine() << ":"
          << location.getColumn();
    return out.str();
  }

  std::string m_case;
};

TEST_F(IncludeSiteMapTest, PositionsGetTheIncludeChainAsFarAsTheRecordsReadKnewIt) {
  struct Case {
    const char *records; // "from>to@line", in the order read
    const char *position;
    const char *expected;
  };
  const Case cases[] = {
      {"main.c>a.h@3 a.h>b.h@7", "b.h", "b.h:12:4 < a.h:7:0 < main.c:3:0"},
      {"a.h>b.h@7 main.c>a.h@3", "b.h", "b.h:12:4 < a.h:7:0"},
      {"main.c>a.h@3 a.h>b.h@7", "a.h", "a.h:12:4 < main.c:3:0"},
      {"main.c>a.h@3", "main.c", "main.c:12:4"},
      {"", "unknown.h", "unknown.h:12:4"},
      // A header included twice, from two files: the last record read wins.
      {"x.c>c.h@2 y.c>c.h@9", "c.h", "c.h:12:4 < y.c:9:0"},
      {"x.c>c.h@2 x.c>c.h@5", "c.h", "c.h:12:4 < x.c:5:0"},
      // Replacing an including file's site later leaves entries made from the
      // earlier one as they are.
      {"x.c>a.h@1 a.h>b.h@2 y.c>a.h@3", "b.h", "b.h:12:4 < a.h:2:0 < x.c:1:0"},
      {"x.c>a.h@1 a.h>b.h@2 y.c>a.h@3", "a.h", "a.h:12:4 < y.c:3:0"},
      // A file that includes itself takes its previous site along; no cycle.
      {"m.c>s.h@4 s.h>s.h@8", "s.h", "s.h:12:4 < s.h:8:0 < m.c:4:0"},
      {"s.h>s.h@8", "s.h", "s.h:12:4 < s.h:8:0"},
  };
  int caseNumber = 0;
  for (const Case &c : cases) {
    m_case = "case" + std::to_string(++caseNumber);
    std::istringstream records(c.records);
    for (std::string record; records >> record;) {
      const std::size_t arrow = record.find('>');
      const std::size_t at = record.find('@');
      include(record.substr(0, arrow), record.substr(arrow + 1, at - arrow - 1),
              std::stoi(record.substr(at + 1)));
    }
    EXPECT_EQ(c.expected, chain(makeIncludedLocation(file(c.position), 12, 4)))
        << c.records << " for " << c.position;
  }
}

// A file that includes itself, or a cycle of includes, read over and over
// makes its chain one step longer with each record, up to the depth that an
// error file carries: a position nests U_maxLocationDepth levels at most. The
// record that would make a site deeper starts its chain again from itself.
TEST_F(IncludeSiteMapTest, ChainsStayWithinTheDepthThatErrorFilesCarry) {
  constexpr std::uint32_t limit = U_maxLocationDepth;
  struct Case {
    const char *what;
    std::vector<std::pair<const char *, const char *>> cycle; // from, to; read in turn
    std::uint32_t records;
    const char *position;
    std::uint32_t levels;
  };
  const Case cases[] = {
      {"a self-include up to the limit", {{"s.h", "s.h"}}, limit - 1, "s.h", limit},
      {"a self-include one past the limit", {{"s.h", "s.h"}}, limit, "s.h", 2},
      {"a self-include far past the limit", {{"s.h", "s.h"}}, 3 * (limit - 1) + 5, "s.h", 6},
      {"a cycle up to the limit", {{"a.h", "b.h"}, {"b.h", "a.h"}}, limit - 1, "b.h", limit},
      {"a cycle one past the limit", {{"a.h", "b.h"}, {"b.h", "a.h"}}, limit, "a.h", 2},
  };
  int caseNumber = 0;
  for (const Case &c : cases) {
    m_case = "deep" + std::to_string(++caseNumber);
    for (std::uint32_t record = 0; record < c.records; ++record) {
      const auto &[from, to] = c.cycle[record % c.cycle.size()];
      include(from, to, static_cast<std::int32_t>(record + 1));
    }
    const U_Location position = makeIncludedLocation(file(c.position), 12, 4);
    std::uint32_t levels = 0;
    for (U_Location step = position; step.isSet(); step = step.getInclLoc())
      ++levels;
    EXPECT_EQ(c.levels, levels) << c.what;
    ASSERT_TRUE(position.hasInclLoc()) << c.what;
    EXPECT_EQ(static_cast<std::int32_t>(c.records), position.getInclLoc().getLine())
        << c.what << ": the last record read is the position's site";
  }
}

TEST_F(IncludeSiteMapTest, OnlyTheCanonicalNameFindsTheEntry) {
  include("main.c", "a.h", 3);
  const QL_Filename recorded = file("a.h");
  const U_Location otherGiven =
      makeIncludedLocation(QL_Filename(recorded.canonical().str(), "elsewhere/a.h"), 1, 0);
  ASSERT_TRUE(otherGiven.hasInclLoc()) << "the given name plays no part";
  EXPECT_EQ(3, otherGiven.getInclLoc().getLine());
  EXPECT_EQ("elsewhere/a.h", otherGiven.getFile().given().str())
      << "the position keeps the identity it was given";

  const U_Location notCanonical = makeIncludedLocation(QL_Filename("a.h", "a.h"), 1, 0);
  EXPECT_FALSE(notCanonical.hasInclLoc()) << "a name never made canonical is another file";
}

TEST_F(IncludeSiteMapTest, ThePositionSharesTheRecordedSite) {
  include("main.c", "a.h", 3);
  const U_Location first = makeIncludedLocation(file("a.h"), 1, 0);
  const U_Location second = makeIncludedLocation(file("a.h"), 2, 0);
  EXPECT_EQ(first.getInclLoc(), second.getInclLoc()) << "one site object, not a copy per position";
  EXPECT_NE(first, makeIncludedLocation(file("a.h"), 1, 0)) << "every call makes a new location";
}

TEST_F(IncludeSiteMapTest, RecordsWithoutFilesChangeNothing) {
  include("main.c", "a.h", 3);
  P_CountedPtr<P_IncludeRecord> noFrom = P_makeCounted<P_IncludeRecord>();
  noFrom->m_to = P_filenameProxyFor(file("a.h"));
  noFrom->m_line = 9;
  onIncludeRelation(noFrom);
  onIncludeRelation(P_CountedPtr<P_IncludeRecord>());
  EXPECT_EQ("main.c", makeIncludedLocation(file("a.h"), 1, 0).getInclLoc().getFile().given().str());
}

TEST_F(IncludeSiteMapTest, RegistersItsListenerWithTheRecordReader) {
  registerIncludeRelationHandler();
  EXPECT_TRUE(isIncludeListener(onIncludeRelation));
}

} // namespace

#include "anlsrslt/readers/ExternVarRecord.h"

#include "RecordReaderTest.h"

#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace {

// The defines of the entities that the records name.
const std::vector<std::string> defines = {
    "<DEFINE> f /s/a.c 1 N DC OF F X v -",       "<DEFINE> g /s/a.c 2 N DC OF F X v -",
    "<DEFINE> v /s/a.c 3 N DC OV F X ni -",      "<DEFINE> w /s/a.c 4 N DC OV F I ni -",
    "<DEFINE> ::f(ni) /s/a.c 5 N DC OF F X v -",
};

std::vector<std::string> withDefines(const std::vector<std::string> &lines) {
  return test_support::linesThen(defines, lines);
}

// The records filed, by second name: "<first name> <line>" in their order.
using Filed = std::map<std::string, std::vector<std::string>>;

Filed filedRecords() {
  Filed filed;
  for (const auto &[key, record] : externVarRecords())
    filed[key].push_back(std::string(record->m_firstName) + " " + std::to_string(record->m_line));
  return filed;
}

class ExternVarRecordTest : public test_support::RecordReaderTest {};

TEST_F(ExternVarRecordTest, EachLineShapeAndWhatIsFiled) {
  const struct Case {
    std::vector<std::string> lines;
    Filed filed;
  } cases[] = {
      {{"<EXTV> f v 12"}, {{"v", {"f 12"}}}},
      {{"<EXTV> f v 12", "<EXTV> g v 30", "<EXTV> f w 1"}, {{"v", {"f 12", "g 30"}}, {"w", {"f 1"}}}},
      {{"<EXTV> f v -7", "<EXTV>\tg\tv\t+8", "<EXTV> f v 5 more words"}, {{"v", {"f -7", "g 8", "f 5"}}}},
      // Names are kept marked.
      {{"<EXTV> ::f(ni) v 3"}, {{"v", {"::f\x8Eni\x8F 3"}}}},
      // A line number that is missing or not a number is 0.
      {{"<EXTV> f v", "<EXTV> f v x", "<EXTV> f v 2147483648", "<EXTV> f v -"},
       {{"v", {"f 0", "f 0", "f 0", "f 0"}}}},
      // A name without a symbol drops the record, as does a missing name (and
      // the writer's line for an empty name, whose fields shift).
      {{"<EXTV> f undefinedName 12", "<EXTV> undefinedName v 12", "<EXTV> f", "<EXTV>", "<EXTV>  v 12",
        "<EXTV> F v 1"},
       {}},
  };
  for (const Case &c : cases) {
    test_support::RecordStoresReset::resetAll();
    registerExternVarHandler();
    readRecordFile("a.c", withDefines(c.lines));
    std::string input;
    for (const std::string &line : c.lines)
      input += line + " / ";
    EXPECT_EQ(c.filed, filedRecords()) << input;
  }
}

TEST_F(ExternVarRecordTest, RecordsHoldTheSymbolsOfTheirUnit) {
  registerExternVarHandler();
  readRecordFile("a.c", withDefines({"<EXTV> f v 12"}));
  ASSERT_EQ(1u, externVarRecords().size());
  const auto &[key, record] = *externVarRecords().begin();
  EXPECT_EQ(internString("v"), key);
  EXPECT_EQ(internString("f"), P_externVarFirstName(record.pointer()));
  EXPECT_EQ(internString("v"), P_externVarSecondName(record.pointer()));
  EXPECT_EQ(12, P_externVarLine(record.pointer()));
  ASSERT_NE(nullptr, P_externVarFirstSymbol(record.pointer()));
  EXPECT_EQ(P_findSymbol(internString("f")), P_externVarFirstSymbol(record.pointer()));
  EXPECT_EQ(P_findSymbol(internString("v")), P_externVarSecondSymbol(record.pointer()));
}

// Only what the same record file defined before the line resolves; records
// of every file are kept.
TEST_F(ExternVarRecordTest, NamesResolveInTheirOwnRecordFileOnly) {
  registerExternVarHandler();
  readRecordFile("a.c", {"<EXTV> f v 1", "<DEFINE> f /s/a.c 1 N DC OF F X v -",
                         "<DEFINE> v /s/a.c 3 N DC OV F X ni -", "<EXTV> f v 2"});
  readRecordFile("b.c", {"<EXTV> f v 3", "<DEFINE> g /s/b.c 1 N DC OF F X v -",
                         "<DEFINE> v /s/b.c 3 N DC OV F X ni -", "<EXTV> g v 4"});
  EXPECT_EQ((Filed{{"v", {"f 2", "g 4"}}}), filedRecords());
  const auto records = externVarRecords().equal_range(internString("v"));
  ASSERT_EQ(2, std::distance(records.first, records.second));
  EXPECT_EQ(2u, externVarRecords().count(internString("v")));
}

TEST_F(ExternVarRecordTest, DroppedRecordsReportedUnderTheDebugWord) {
  registerExternVarHandler();
  for (const bool debug : {false, true}) {
    setArguments(debug ? std::vector<std::string>{"-debug", "show-extv-errors"} : std::vector<std::string>{});
    const std::string output = readRecordFileOutput(
        "a.c", withDefines({"<EXTV> f undefinedName 12", "<EXTV> f v 1", "<EXTV> \xA4\xA2 v\t1"}));
    EXPECT_EQ(debug ? "Undefined symbol for extv record: <EXTV> f undefinedName 12\n"
                      "Undefined symbol for extv record: <EXTV> \xA4\xA2 v\t1\n"
                    : "",
              output)
        << debug;
  }
  EXPECT_EQ((Filed{{"v", {"f 1", "f 1"}}}), filedRecords()) << "the run goes on";
}

TEST_F(ExternVarRecordTest, LinesArePassedOverUntilSwitchedOn) {
  readRecordFile("a.c", withDefines({"<EXTV> f v 12"}));
  EXPECT_TRUE(externVarRecords().empty());
}

} // namespace

#include "anlsrslt/readers/AllocRecord.h"

#include "RecordReaderTest.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const std::vector<std::string> defines = {
    "<DEFINE> p /s/a.c 1 N DC OV F X pi -",
    "<DEFINE> ::f(ni) /s/a.c 2 N DC OF F X v -",
};

std::vector<std::string> withDefines(const std::vector<std::string> &lines) {
  return test_support::linesThen(defines, lines);
}

std::vector<const P_AllocRecord *> told;

void onAlloc(P_AllocRecord *record) { told.push_back(record); }
void onAllocToo(P_AllocRecord *record) { told.push_back(record); }
void throwing(P_AllocRecord *) { throw std::runtime_error("listener failed"); }

const char *fileName(const std::string &path) {
  return P_filenameProxyFor(QL_Filename::fromPath(path))->name();
}

class AllocRecordTest : public test_support::RecordReaderTest {
protected:
  void SetUp() override {
    RecordReaderTest::SetUp();
    told.clear();
  }
};

TEST_F(AllocRecordTest, EachLineShapeAndWhatIsFiled) {
  const struct Case {
    std::string line;
    bool filed;
    std::string name; // marked
    AllocKind kind;
    std::string file;
    std::int32_t number, column;
  } cases[] = {
      {"<ALLOC> p array /s/a.c 10 5", true, "p", P_allocArray, "/s/a.c", 10, 5},
      {"<ALLOC> p plain /s/a.c 10 5", true, "p", P_allocPlain, "/s/a.c", 10, 5},
      {"<ALLOC> p old /s/b.c -1 -2", true, "p", P_allocOld, "/s/b.c", -1, -2},
      {"<ALLOC> ::f(ni) old /s/a.c 1 2", true, "::f\x8Eni\x8F", P_allocOld, "/s/a.c", 1, 2},
      // Kind words are exact; any other is the other kind.
      {"<ALLOC> p Array /s/a.c 10 5", true, "p", P_allocOther, "/s/a.c", 10, 5},
      {"<ALLOC> p arrays /s/a.c 10 5", true, "p", P_allocOther, "/s/a.c", 10, 5},
      // The writer's line for a kind without a word: two blanks after the
      // name; a line with two blanks that reads whole is read as it stands.
      {"<ALLOC> p  /s/a.c 10 5", true, "p", P_allocOther, "/s/a.c", 10, 5},
      {"<ALLOC> p  plain /s/a.c 10 5", true, "p", P_allocPlain, "/s/a.c", 10, 5},
      {"<ALLOC> p  \"/s/my dir/a.c\" 10 5", true, "p", P_allocOther, "/s/my dir/a.c", 10, 5},
      // Quoted file names; tabs separate the other fields.
      {"<ALLOC> p plain \"/s/my dir/a.c\" 10 5", true, "p", P_allocPlain, "/s/my dir/a.c", 10, 5},
      {"<ALLOC>\tp\tplain /s/a.c 10\t5", true, "p", P_allocPlain, "/s/a.c", 10, 5},
      // A line or column that is missing or not a number is 0; a missing
      // file is the empty path.
      {"<ALLOC> p plain /s/a.c 10", true, "p", P_allocPlain, "/s/a.c", 10, 0},
      {"<ALLOC> p plain /s/a.c 10 y", true, "p", P_allocPlain, "/s/a.c", 10, 0},
      {"<ALLOC> p plain /s/a.c x 5", true, "p", P_allocPlain, "/s/a.c", 0, 0},
      {"<ALLOC> p plain /s/a.c", true, "p", P_allocPlain, "/s/a.c", 0, 0},
      {"<ALLOC> p plain", true, "p", P_allocPlain, "", 0, 0},
      {"<ALLOC> p", true, "p", P_allocOther, "", 0, 0},
      // No symbol, no record.
      {"<ALLOC> undefinedName plain /s/a.c 10 5", false, "", P_allocPlain, "", 0, 0},
      {"<ALLOC> P plain /s/a.c 10 5", false, "", P_allocPlain, "", 0, 0},
      {"<ALLOC>", false, "", P_allocPlain, "", 0, 0},
      {"<ALLOC>  plain /s/a.c 10 5", false, "", P_allocPlain, "", 0, 0},
  };
  registerAllocListener(onAlloc);
  for (const Case &c : cases) {
    test_support::RecordStoresReset::resetAll();
    told.clear();
    readRecordFile("a.c", withDefines({c.line}));
    ASSERT_EQ(c.filed ? 1u : 0u, allocRecords().size()) << c.line;
    ASSERT_EQ(c.filed ? 1u : 0u, told.size()) << c.line;
    if (!c.filed)
      continue;
    const P_AllocRecord *record = allocRecords().front().pointer();
    EXPECT_EQ(record, told.front()) << c.line;
    EXPECT_EQ(internString(c.name.c_str()), P_allocName(record)) << c.line;
    EXPECT_EQ(c.kind, record->m_kind) << c.line;
    EXPECT_EQ(fileName(c.file), P_allocFileName(record)) << c.line;
    EXPECT_EQ(c.number, P_allocLine(record)) << c.line;
    EXPECT_EQ(c.column, P_allocColumn(record)) << c.line;
    EXPECT_EQ(P_findSymbol(internString(c.name.c_str())), P_allocSymbol(record)) << c.line;
  }
}

TEST_F(AllocRecordTest, KindWords) {
  const struct Case {
    std::string word;
    AllocKind kind;
  } cases[] = {
      {"plain", P_allocPlain}, {"array", P_allocArray},  {"old", P_allocOld},  {"", P_allocOther},
      {"Plain", P_allocOther}, {"arrays", P_allocOther}, {"ol", P_allocOther}, {"plain ", P_allocOther},
  };
  for (const Case &c : cases)
    EXPECT_EQ(c.kind, allocKindFromWord(c.word)) << "'" << c.word << "'";
}

// Each listener is told once of each record, in reading order; records of
// every file are kept, and names resolve in their own file only.
TEST_F(AllocRecordTest, ListenersAndRecordsOverRecordFiles) {
  registerAllocListener(onAlloc);
  registerAllocListener(onAllocToo);
  registerAllocListener(onAlloc);
  readRecordFile("a.c", withDefines({"<ALLOC> p plain /s/a.c 1 1", "<ALLOC> p array /s/a.c 2 1"}));
  readRecordFile("b.c", {"<ALLOC> p plain /s/b.c 3 1", "<DEFINE> p /s/b.c 1 N DC OV F I pi -",
                         "<ALLOC> p old /s/b.c 4 1"});
  ASSERT_EQ(3u, allocRecords().size());
  std::vector<const P_AllocRecord *> expected;
  std::vector<std::int32_t> lines;
  for (const auto &record : allocRecords()) {
    expected.insert(expected.end(), {record.pointer(), record.pointer()});
    lines.push_back(record->m_line);
  }
  EXPECT_EQ(expected, told);
  EXPECT_EQ((std::vector<std::int32_t>{1, 2, 4}), lines);
  EXPECT_NE(allocRecords()[0]->m_symbol, allocRecords()[2]->m_symbol)
      << "an internal p of b.c is a symbol of its own";
}

TEST_F(AllocRecordTest, ListenerExceptionPassesOnAndTheRecordStays) {
  registerAllocListener(throwing);
  setSymbolTableContext(&SymbolTable::instance());
  SymbolTable::instance().clearTranslationUnit();
  handleDefineRecord(defines[0]);
  EXPECT_THROW(handleAllocRecord("<ALLOC> p plain /s/a.c 1 1"), std::runtime_error);
  EXPECT_EQ(1u, allocRecords().size());
}

TEST_F(AllocRecordTest, ReadingIsSwitchedOnByARegistration) {
  readRecordFile("a.c", withDefines({"<ALLOC> p plain /s/a.c 1 1"}));
  EXPECT_TRUE(allocRecords().empty());
  // A listener under a key switches the reading on and is never called.
  registerAllocListener("key", onAlloc);
  readRecordFile("a.c", withDefines({"<ALLOC> p plain /s/a.c 1 1"}));
  EXPECT_EQ(1u, allocRecords().size());
  EXPECT_TRUE(told.empty());
}

} // namespace

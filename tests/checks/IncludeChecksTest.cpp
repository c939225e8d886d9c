// The checks over include records, with the records and defines read from
// record lines as a run reads them.
#include "checks/LibraryChecks.h"

#include "anlsrslt/model/SymbolTable.h"
#include "anlsrslt/readers/DefineRecord.h"
#include "anlsrslt/readers/RelationRecord.h"
#include "checks/ComplianceIds.h"
#include "checks/SourceRescan.h"
#include "support/CurrentArguments.h"
#include "support/ListenerListsReset.h"
#include "support/RecordingOutput.h"
#include "support/RelationStoresReset.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

// Each case's file names lie in a directory of their own: the symbol table
// keeps the defines of every case.
class IncludeChecksTest : public test_support::CurrentArgumentsTest {
protected:
  void SetUp() override {
    reset();
    setSymbolTableContext(&SymbolTable::instance());
    for (const char *entry : {"0026:5087", "0034:5123", "0035:5124", "0036:5127"})
      Qmsg::add(entry);
    initIncludeAfterCodeCheck();
    initSignalHCheck();
    initStdioHCheck();
    initTimeHCheck();
  }
  void TearDown() override {
    reset();
    setSymbolTableContext(nullptr);
  }
  static void reset() {
    test_support::ListenerListsReset::resetAll();
    test_support::RelationStoresReset::resetAll();
    resetSourceRescan();
  }

  // Reads the record lines of one record file, "@" standing for the
  // directory.
  static void readRecords(const Lines &records, const std::string &directory) {
    SymbolTable::instance().clearTranslationUnit();
    for (std::string line : records) {
      for (std::size_t at = line.find('@'); at != std::string::npos; at = line.find('@', at))
        line.replace(at, 1, directory);
      if (line.rfind("<DEFINE>", 0) == 0)
        handleDefineRecord(line);
      else
        handleRelationRecord(line);
    }
  }

  test_support::RecordingOutput m_output;
};

TEST_F(IncludeChecksTest, IncludeAfterTheFirstDeclaration) {
  const struct Case {
    const char *name;
    Lines records;
    Lines expected;
  } cases[] = {
      {"includes before, on and after the line of the first declaration",
       {"<DEFINE> ::y @/a.c 11 N DC OV F X ni -", "<DEFINE> ::x @/a.c 10 N DC OV F X ni -",
        "<R>I @/a.c @/b.h 3 -", "<R>I @/a.c @/c.h 10 -", "<R>I @/a.c @/d.h 12 S"},
       {"5087 @/a.c:12"}},
      {"macros and defines of other files do not count",
       {"<DEFINE> M @/a.c 2 N DF OM F N - -", "<DEFINE> ::h @/b.h 1 I DC OV F X ni -",
        "<DEFINE> ::x @/a.c 5 N DF OV F X ni -", "<R>I @/a.c @/b.h 3 -", "<R>I @/b.h @/c.h 9 -"},
       {}},
      {"a file that declares only macros",
       {"<DEFINE> M @/a.c 2 N DF OM F N - -", "<R>I @/a.c @/b.h 3 -"},
       {}},
      // A define on line 0 makes the first declaration line 0, which switches
      // the check off for the file.
      {"a declaration on line 0",
       {"<DEFINE> ::x @/a.c 0 N DC OV F X ni -", "<DEFINE> ::y @/a.c 4 N DC OV F X ni -",
        "<R>I @/a.c @/b.h 7 -"},
       {}},
      {"each include after it, the same header twice",
       {"<DEFINE> ::f(v) @/a.c 2 N DC OF F X v -", "<R>I @/a.c @/b.h 5 -", "<R>I @/a.c @/b.h 6 -"},
       {"5087 @/a.c:5", "5087 @/a.c:6"}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    test_support::ScratchDirectory dir;
    test_support::RelationStoresReset::resetAll();
    readRecords(c.records, dir.path());
    currentSourceFile() = dir / "a.c";
    checkIncludeAfterCode();
    Lines expected;
    for (std::string line : c.expected)
      expected.push_back(line.replace(line.find('@'), 1, dir.path()));
    EXPECT_EQ(expected, m_output.take());
  }
}

TEST_F(IncludeChecksTest, FirstDeclarationLineOfTheCurrentSourceOnly) {
  test_support::ScratchDirectory dir;
  readRecords({"<DEFINE> ::x @/a.c 7 N DC OV F X ni -", "<DEFINE> ::y @/b.c 3 N DC OV F X ni -"}, dir.path());
  currentSourceFile() = dir / "a.c";
  EXPECT_EQ(7, firstDeclarationLine());
  currentSourceFile() = dir / "b.c";
  EXPECT_EQ(3, firstDeclarationLine());
  currentSourceFile() = dir / "c.c";
  EXPECT_EQ(0, firstDeclarationLine());
  EXPECT_EQ(0, checkIncludeAfterCode());
}

TEST_F(IncludeChecksTest, HeaderInclusionByBaseName) {
  test_support::ScratchDirectory dir;
  readRecords({"<R>I @/a.c /usr/include/sys/time.h 1 S", "<R>I @/a.c @/time.h 2 -",
               "<R>I @/a.c /usr/include/Time.h 3 S", "<R>I @/a.c /usr/include/time.hpp 4 S",
               "<R>I @/a.c /usr/include/signal.h 5 S", "<R>I @/h.h /usr/include/stdio.h 6 S"},
              dir.path());
  checkSignalHInclude();
  checkStdioHInclude();
  checkTimeHInclude();
  const std::string d = dir.path();
  EXPECT_EQ(
      (Lines{"5123 " + d + "/a.c:5", "5124 " + d + "/h.h:6", "5127 " + d + "/a.c:1", "5127 " + d + "/a.c:2"}),
      m_output.take());
}

TEST_F(IncludeChecksTest, IncludedFilesJoinTheCheckedFilesOnceUnlessQuiet) {
  test_support::ScratchDirectory dir;
  dir.makeDirectory("sys");
  setArguments({"-quiet", dir / "sys", dir / "a.c"});
  initSourceRescan();
  readRecords({"<R>I @/a.c @/x.h 1 -", "<R>I @/a.c @/sys/q.h 2 S", "<R>I @/x.h @/a.c 3 -",
               "<R>I @/b.c @/x.h 1 -", "<R>I @/x.h @/y.h 4 -"},
              dir.path());
  CheckedFileList().push_back(dir / "a.c");
  addNonQuietIncludedFiles();
  // Each included file once, in the order first met among the records, which
  // are grouped by including file.
  EXPECT_EQ((Lines{dir / "a.c", dir / "x.h", dir / "a.c", dir / "y.h"}),
            Lines(CheckedFileList().begin(), CheckedFileList().end()));
}

} // namespace

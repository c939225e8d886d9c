// Quiet files over a temporary tree: prefixes without regard to letter case
// and without a separator, named files, the kept answers and their slots.
#include "messages/QuietFiles.h"
#include "cmdline/CmdArgs.h"
#include "foundation/FileIdentity.h"
#include "support/CurrentArguments.h"
#include "support/Locations.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace {

class QuietFilesTest : public test_support::CurrentArgumentsTest {
protected:
  QuietFilesTest() {
    for (const char *file :
         {"inc/a.h", "include/b.h", "inc2.h", "INC/c.h", "Include/d.h", "other/inc/e.h", "in.h", "main.c"}) {
      const std::string path = m_tree / file;
      std::filesystem::create_directories(std::filesystem::path(path).parent_path());
      m_tree.writeFile(file);
    }
  }

  QL_Filename file(const std::string &relative) const { return QL_Filename::fromPath(m_tree / relative); }

  test_support::ScratchDirectory m_tree;
};

TEST_F(QuietFilesTest, EntriesArePrefixesOfCanonicalNamesWithoutRegardToCase) {
  struct Case {
    std::vector<std::string> quiet; // entries, relative to the tree
    std::vector<std::string> quietFiles;
  };
  const std::vector<std::string> all = {"inc/a.h",     "include/b.h",   "inc2.h", "INC/c.h",
                                        "Include/d.h", "other/inc/e.h", "in.h",   "main.c"};
  const Case cases[] = {
      {{}, {}},
      {{"inc"}, {"inc/a.h", "include/b.h", "inc2.h", "INC/c.h", "Include/d.h"}},
      {{"INC"}, {"inc/a.h", "include/b.h", "inc2.h", "INC/c.h", "Include/d.h"}},
      // The canonical name of an entry has no separator at its end.
      {{"inc/"}, {"inc/a.h", "include/b.h", "inc2.h", "INC/c.h", "Include/d.h"}},
      {{"inc/a.h"}, {"inc/a.h"}},
      {{"inc/a.h/more"}, {}},
      {{"include"}, {"include/b.h", "Include/d.h"}},
      {{"in"}, {"inc/a.h", "include/b.h", "inc2.h", "INC/c.h", "Include/d.h", "in.h"}},
      {{"other/inc", "inc2"}, {"inc2.h", "other/inc/e.h"}},
      {{"nothing"}, {}},
      // The named file is never quiet, whatever prefix covers it.
      {{"main"}, {}},
      {{"."}, {"inc/a.h", "include/b.h", "inc2.h", "INC/c.h", "Include/d.h", "other/inc/e.h", "in.h"}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.quiet));
    std::vector<std::string> words;
    for (const std::string &entry : c.quiet) {
      words.push_back("-quiet");
      words.push_back(m_tree / entry);
    }
    words.push_back(m_tree / "main.c");
    setArguments(words);
    for (const std::string &name : all) {
      SCOPED_TRACE(name);
      const bool expected = std::find(c.quietFiles.begin(), c.quietFiles.end(), name) != c.quietFiles.end();
      EXPECT_EQ(expected, isQuietFilename(file(name)));
      EXPECT_EQ(expected, isQuietLocation(U_Location(file(name), 1, 0)));
      EXPECT_EQ(expected, isQuietLocation(m_arguments.args(), U_Location(file(name), 1, 0)));
      EXPECT_EQ(expected, isQuietFile(m_arguments.args(), file(name)));
      if (name != "main.c") {
        EXPECT_EQ(expected, hasQuietPrefix(m_arguments.args(), file(name)));
      }
    }
  }
}

TEST_F(QuietFilesTest, TheNamedFileHasAQuietPrefixButIsNotQuiet) {
  setArguments({"-quiet", m_tree.path(), m_tree / "main.c"});
  EXPECT_TRUE(hasQuietPrefix(m_arguments.args(), file("main.c")));
  EXPECT_FALSE(isQuietFilename(file("main.c")));
  EXPECT_TRUE(isQuietFilename(file("in.h")));
}

TEST_F(QuietFilesTest, AnUnsetLocationIsInNoQuietFile) {
  setArguments({"-quiet", "/"});
  EXPECT_TRUE(isQuietLocation(test_support::at("/x/y.h", 1)));
  EXPECT_FALSE(isQuietLocation(U_Location()));
  EXPECT_FALSE(isQuietLocation(m_arguments.args(), U_Location()));
}

TEST_F(QuietFilesTest, AnswersAreKeptAcrossArgumentSetsUnlessAlwaysFirstIsGiven) {
  setArguments({"-quiet", m_tree / "inc"});
  const C_CmdArgs quietArgs = m_arguments.args();
  const C_CmdArgs plainArgs("lyr", 0, nullptr);
  EXPECT_TRUE(isQuietFile(quietArgs, file("inc/a.h")));
  // The kept answer wins over the other argument set's options.
  EXPECT_TRUE(isQuietFile(plainArgs, file("inc/a.h")));
  EXPECT_FALSE(hasQuietPrefix(plainArgs, file("inc/a.h")));
  // An argument set with "always-first" computes every answer afresh and
  // leaves nothing behind for the file.
  C_CmdArgs alwaysFirst("lyr", 0, nullptr);
  std::istringstream word("always-first");
  C_optDebug(*alwaysFirst.options()).set(word, true);
  EXPECT_FALSE(isQuietFile(alwaysFirst, file("inc/a.h")));
  EXPECT_TRUE(isQuietFile(quietArgs, file("inc/a.h")));
  EXPECT_FALSE(isQuietFile(alwaysFirst, file("inc/a.h")));
  EXPECT_FALSE(isQuietFile(plainArgs, file("inc/a.h")));
}

TEST_F(QuietFilesTest, FilesOfOneSlotTakeItOverAndTheAnswersStayRight) {
  setArguments({"-quiet", m_tree / "inc"});
  const C_CmdArgs quietArgs = m_arguments.args();
  const C_CmdArgs plainArgs("lyr", 0, nullptr);
  const QL_Filename first = file("inc/a.h");
  // A file whose canonical name was interned 511 names after the first one's
  // falls into the same slot.
  QL_Filename second;
  for (int i = 0;
       !second.canonical().isSet() || second.canonical().sequence() < first.canonical().sequence() + 511; ++i)
    second = QL_Filename::fromPath(m_tree / ("inc/filler" + std::to_string(i) + ".h"));
  ASSERT_EQ(first.canonical().sequence() + 511, second.canonical().sequence());
  const QL_Filename neighbour = QL_Filename::fromPath(m_tree / "inc/neighbour.h");

  EXPECT_TRUE(isQuietFile(quietArgs, first));
  EXPECT_TRUE(isQuietFile(quietArgs, neighbour));
  // Another slot's file keeps the first answer; a file of the same slot
  // takes it over, so the first file is asked afresh.
  EXPECT_TRUE(isQuietFile(plainArgs, first));
  EXPECT_FALSE(isQuietFile(plainArgs, second));
  EXPECT_FALSE(isQuietFile(plainArgs, first));
  EXPECT_TRUE(isQuietFile(plainArgs, neighbour));
  EXPECT_TRUE(isQuietFile(quietArgs, second));
}

} // namespace

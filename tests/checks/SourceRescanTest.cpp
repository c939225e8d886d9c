#include "checks/SourceRescan.h"

#include "anlsrslt/model/CurrentFile.h"
#include "anlsrslt/model/FilenameProxy.h"
#include "anlsrslt/readers/Source.h"
#include "support/CurrentArguments.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>

namespace {

using Names = std::deque<std::string>;

class SourceRescanTest : public test_support::CurrentArgumentsTest {
protected:
  void SetUp() override {
    resetSourceRescan();
    m_savedMainFile = P_currentFilenames();
    m_savedOutputDirectory = P_outputDirectory();
  }
  void TearDown() override {
    resetSourceRescan();
    P_currentFilenames() = m_savedMainFile;
    P_outputDirectory() = m_savedOutputDirectory;
  }

  // The driver's announcement of input file number of count.
  static void announce(const std::string &path, std::uint32_t number, std::uint32_t count) {
    const U_RefPtr<P_Source> source =
        new P_Source(number, count, P_filenameProxyFor(QL_Filename::fromPath(path)));
    sourceFileStartListener(source.pointer());
  }

  QL_Filename m_savedMainFile;
  std::string m_savedOutputDirectory;
};

TEST_F(SourceRescanTest, EachSourceIsRecordedWithItsPreprocessedFile) {
  P_currentFilenames() = QL_Filename::fromPath("/src/a.c");
  P_outputDirectory() = "/out";
  EXPECT_TRUE(currentSourceFile().empty());
  announce("/src/a.c", 1, 1);
  EXPECT_EQ("/src/a.c", currentSourceFile());
  EXPECT_EQ("/out/a.c.i", currentPreprocessedFile());
  EXPECT_EQ(Names{"/src/a.c"}, CheckedFileList());
}

TEST_F(SourceRescanTest, PreprocessedFileInTheCurrentDirectory) {
  P_currentFilenames() = QL_Filename::fromPath("/src/sub/b.cpp");
  P_outputDirectory() = std::string(".");
  announce("/src/sub/b.cpp", 1, 1);
  EXPECT_EQ("b.cpp.i", currentPreprocessedFile());
}

// The cross-module analysis file, announced last, is no source: the list
// and the current source file stay those of the last real input file.
TEST_F(SourceRescanTest, CrossModuleFileIsNoSource) {
  setArguments({"-cmaf", "/src/m.cma", "/src/a.c", "/src/b.c"});
  P_currentFilenames() = QL_Filename::fromPath("/src/m.cma");
  P_outputDirectory() = "/out";
  announce("/src/a.c", 1, 3);
  announce("/src/b.c", 2, 3);
  announce("/src/m.cma", 3, 3);
  EXPECT_EQ((Names{"/src/a.c", "/src/b.c"}), CheckedFileList());
  EXPECT_EQ("/src/b.c", currentSourceFile());
  EXPECT_EQ("/out/b.c.i", currentPreprocessedFile());
}

TEST_F(SourceRescanTest, SourcesAnnouncedTwiceAreListedTwice) {
  P_currentFilenames() = QL_Filename::fromPath("/src/a.c");
  P_outputDirectory() = "/out";
  announce("/src/a.c", 1, 1);
  announce("/src/a.c", 1, 1);
  EXPECT_EQ((Names{"/src/a.c", "/src/a.c"}), CheckedFileList());
}

} // namespace

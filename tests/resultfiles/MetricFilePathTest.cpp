#include "resultfiles/MetricFilePath.h"

#include "cmdline/CmdArgs.h"
#include "cmdline/Product.h"
#include "foundation/Language.h"
#include "foundation/TagLineIterator.h"
#include "support/Bytes.h"
#include "support/ScratchDirectory.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using test_support::EnvironmentVariable;
using test_support::ScratchDirectory;

TEST(MetricFilePathTest, DirectoryAndLastComponentWithItsExtension) {
  struct Case {
    std::string directory;
    std::string file;
    std::string expected;
  };
  const Case cases[] = {
      {"/out", "/src/a.c", "/out/a.c.met"},
      {"out", "src/main.c", "out/main.c.met"},
      {"/out/", "a.cpp", "/out/a.cpp.met"},
      {".", "sub/a.c", "a.c.met"},
      {"", "a.c", "a.c.met"},
      {"/out", "/src/noext", "/out/noext.met"},
      {"/out", "/src.d/a.b.c", "/out/a.b.c.met"},
      {"C:/out", "C:/src/a.c", "C:/out/a.c.met"},
      {"/o", BYTES("/s/\xA4\xA2.c"), BYTES("/o/\xA4\xA2.c.met")},
  };
  for (const Case &c : cases)
    EXPECT_EQ(c.expected, metricFilePath(c.directory, c.file)) << c.directory << " " << c.file;
}

TEST(MetricFilePathTest, RecordFileOfASourceIsOpenedInTheDirectory) {
  ScratchDirectory install;
  ScratchDirectory out;
  EnvironmentVariable bin("LYRBIN", install.path());
  EnvironmentVariable lang("LANG", "ja_JP.eucJP");
  EnvironmentVariable noCache("NO_LANG_CACHE", "1");
  EnvironmentVariable tempFiles("LYRTEMPFILES", out.path());
  QL_resetLanguageCaches();
  C_Product product("lyr");
  out.writeFile("a.c.met", "<DEFINE> X\n");

  TagLineIterator it;
  ASSERT_TRUE(it.openRecordFile("/elsewhere/a.c", out.path()));
  EXPECT_EQ("DEFINE", it.m_current.m_tag);
  EXPECT_EQ("<DEFINE> X", it.m_current.m_line);

  TagLineIterator missing;
  EXPECT_FALSE(missing.openRecordFile("/elsewhere/b.c", out.path()));
  QL_resetLanguageCaches();
}

TEST(MetricFilePathTest, RecordFileDefaultsToTheOutputDirectory) {
  ScratchDirectory install;
  ScratchDirectory out;
  EnvironmentVariable bin("LYRBIN", install.path());
  EnvironmentVariable outPath("LYROUTPATH", out.path());
  out.writeFile("a.c.met", "<S> x\n");
  C_setCurrentCmdArgs(C_CmdArgs("lyr", 0, nullptr));

  TagLineIterator it;
  ASSERT_TRUE(it.openRecordFile("/src/a.c"));
  EXPECT_EQ("S", it.m_current.m_tag);
  EXPECT_FALSE(TagLineIterator().openRecordFile("/src/b.c"));
}

} // namespace

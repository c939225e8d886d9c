#include "foundation/NamedFiles.h"

#include "cmdline/CmdArgs.h"
#include "cmdline/ProductEnvironment.h"
#include "foundation/Location.h"
#include "support/ScratchDirectory.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using test_support::CurrentDirectory;
using test_support::EnvironmentVariable;
using test_support::ScratchDirectory;

class NamedFilesTest : public testing::Test {
protected:
  void SetUp() override {
    clearNamedFiles();
    resetImplicitHeaderIdentity();
    resetImplicitHeaderLocations();
    m_scratch.makeDirectory("bin");
    m_scratch.makeDirectory("src");
    m_scratch.writeFile("src/a.c");
    m_scratch.writeFile("src/b.c");
  }
  void TearDown() override {
    clearNamedFiles();
    resetImplicitHeaderIdentity();
    resetImplicitHeaderLocations();
  }

  ScratchDirectory m_scratch;
  EnvironmentVariable m_bin{"LYRBIN", m_scratch.path() + "/bin"};
};

TEST_F(NamedFilesTest, NamedFilesAreFoundByIdentity) {
  CurrentDirectory here(m_scratch.path());
  const C_CmdArgs args("lyr", 0, nullptr);
  addNamedFile(QL_Filename::fromPath("src/a.c"));
  EXPECT_TRUE(isNamedFile(args, QL_Filename::fromPath("src/a.c")));
  EXPECT_TRUE(isNamedFile(args, QL_Filename::fromPath("src/../src/a.c")));
  EXPECT_TRUE(isNamedFile(args, QL_Filename::fromPath(m_scratch.path() + "/src/a.c")));
  EXPECT_FALSE(isNamedFile(args, QL_Filename::fromPath("src/b.c")));
  EXPECT_FALSE(isNamedFile(args, QL_Filename::fromPath("src/A.c")));
  clearNamedFiles();
  EXPECT_FALSE(isNamedFile(args, QL_Filename::fromPath("src/a.c")));
}

TEST_F(NamedFilesTest, ImplicitHeaderIsNeverNamed) {
  const C_CmdArgs args("lyr", 0, nullptr);
  const QL_Filename header = QL_Filename::fromAbsolutePath(m_scratch.path() + "/bin/implicit.h");
  const QL_Filename other = QL_Filename::fromPath(m_scratch.path() + "/bin/other.h");
  addNamedFile(header);
  addNamedFile(QL_Filename::fromPath(m_scratch.path() + "/bin/../bin/implicit.h"));
  addNamedFile(other);
  EXPECT_FALSE(isNamedFile(args, header));
  EXPECT_TRUE(isNamedFile(args, other));
  // The identity is kept for the process, whatever the environment says later.
  m_bin.set(m_scratch.path() + "/src");
  EXPECT_FALSE(isNamedFile(args, header));
}

TEST_F(NamedFilesTest, CurrentArgumentSetForm) {
  C_setCurrentCmdArgs(C_CmdArgs("lyr", 0, nullptr));
  const QL_Filename header = QL_Filename::fromAbsolutePath(m_scratch.path() + "/bin/implicit.h");
  const QL_Filename source = QL_Filename::fromPath(m_scratch.path() + "/src/a.c");
  addNamedFile(header);
  addNamedFile(source);
  EXPECT_FALSE(isNamedFile(header));
  EXPECT_TRUE(isNamedFile(source));
}

TEST_F(NamedFilesTest, WithoutInstallationDirectoryNothingIsExcludedYet) {
  m_bin.set(std::nullopt);
  const C_CmdArgs args("lyr", 0, nullptr);
  const QL_Filename header = QL_Filename::fromAbsolutePath(m_scratch.path() + "/bin/implicit.h");
  addNamedFile(header);
  EXPECT_TRUE(isNamedFile(args, header)); // no error: the look-up is retried later
  m_bin.set(m_scratch.path() + "/bin");
  EXPECT_FALSE(isNamedFile(args, header));
}

TEST_F(NamedFilesTest, LocationIsNamedByItsFile) {
  CurrentDirectory here(m_scratch.path());
  C_setCurrentCmdArgs(C_CmdArgs("lyr", 0, nullptr));
  addNamedFile(QL_Filename::fromPath("src/a.c"));
  EXPECT_FALSE(isNamedFileLocation(U_Location()));
  EXPECT_TRUE(isNamedFileLocation(U_Location(QL_Filename::fromPath("src/a.c"), 3, 1)));
  EXPECT_FALSE(isNamedFileLocation(U_Location(QL_Filename::fromPath("src/b.c"), 3, 1)));
}

} // namespace

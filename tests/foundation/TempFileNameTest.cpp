#include "foundation/TempFileName.h"

#include "support/ScratchDirectory.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <unistd.h>

namespace {

using test_support::EnvironmentVariable;
using test_support::ScratchDirectory;

TEST(TempFileNameTest, FreshNamesWithThePrefix) {
  ScratchDirectory scratch;
  const std::string prefix = scratch.path() + "/zut" + std::to_string(getpid());
  std::set<std::string> names;
  for (int i = 0; i < 10; ++i) {
    const std::string name = makeTempFileName(scratch.path());
    EXPECT_EQ(0u, name.rfind(prefix, 0)) << name;
    EXPECT_GT(name.size(), prefix.size());
    // Created, so that no other process can take the name.
    EXPECT_TRUE(std::filesystem::is_regular_file(name)) << name;
    names.insert(name);
  }
  EXPECT_EQ(10u, names.size());
}

TEST(TempFileNameTest, WithoutDirectoryUsesTmp) {
  ScratchDirectory scratch;
  EnvironmentVariable tmp("TMP", scratch.path());
  const std::string name = makeTempFileName("");
  EXPECT_EQ(0u, name.rfind(scratch.path() + "/zut", 0)) << name;
}

TEST(TempFileNameTest, NoNameWhereNoFileCanBeMade) {
  ScratchDirectory scratch;
  EXPECT_EQ("", makeTempFileName(scratch.path() + "/missing"));
  EXPECT_EQ("", makeTempFileName(scratch.writeFile("plain")));
}

TEST(TempFileNameTest, UsableTempDir) {
  ScratchDirectory scratch;
  const std::string file = scratch.writeFile("plain");
  const std::string locked = scratch.makeDirectory("locked");
  std::filesystem::permissions(locked,
                               std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  EXPECT_TRUE(QL_isUsableTempDir(scratch.path()));
  EXPECT_FALSE(QL_isUsableTempDir(scratch.path() + "/missing"));
  EXPECT_FALSE(QL_isUsableTempDir(file));
  EXPECT_FALSE(QL_isUsableTempDir(""));
  if (access(locked.c_str(), W_OK) != 0) {
    EXPECT_FALSE(QL_isUsableTempDir(locked));
  }
  // The test leaves no file behind.
  EXPECT_EQ(2, std::distance(std::filesystem::directory_iterator(scratch.path()),
                             std::filesystem::directory_iterator()));
}

} // namespace

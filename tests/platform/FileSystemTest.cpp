#include "platform/FileSystem.h"
#include "platform/Environment.h"
#include "platform/TempFile.h"
#include "support/ScratchDirectory.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// A directory holding "sub/" and "f.c", current for the test.
class PlatformFileSystemTest : public testing::Test {
protected:
  PlatformFileSystemTest() {
    m_scratch.makeDirectory("sub");
    m_scratch.writeFile("f.c", "x");
  }

  test_support::ScratchDirectory m_scratch;
  const std::string m_dir = m_scratch.path();
  test_support::CurrentDirectory m_current{m_dir};
};

TEST_F(PlatformFileSystemTest, FullPathIsAbsoluteAndNormalised) {
  const struct {
    std::string path;
    std::string expected; // "@" stands for the current directory
  } cases[] = {
      {"f.c", "@/f.c"},
      {"sub/../f.c", "@/f.c"},
      {"./sub/./x", "@/sub/x"},
      {"sub/", "@/sub"},
      {"missing/dir/../y", "@/missing/y"}, // need not exist
      {"", "@"},
      {".", "@"},
      {"/a//b/./c/", "/a/b/c"},
      {"/../..", "/"},
      {"/", "/"},
      {"/x/../../y", "/y"},
  };
  for (const auto &c : cases) {
    std::string expected = c.expected;
    if (expected[0] == '@')
      expected = m_dir + expected.substr(1);
    EXPECT_EQ(expected, platform::fullPath(c.path).value_or("<none>")) << c.path;
  }
}

TEST_F(PlatformFileSystemTest, FullPathDoesNotResolveLinks) {
  fs::create_directory_symlink(m_dir + "/sub", m_dir + "/link");
  EXPECT_EQ(m_dir + "/link/x", platform::fullPath("link/x").value_or(""));
  EXPECT_EQ(m_dir, platform::fullPath("link/..").value_or(""));
}

TEST_F(PlatformFileSystemTest, CurrentDirectoryHasNoLengthLimit) {
  EXPECT_EQ(m_dir, platform::currentDirectory().value_or(""));
  std::string deep = m_dir;
  for (int i = 0; i < 30; ++i) {
    deep += "/" + std::string(20, static_cast<char>('a' + i % 26));
    fs::create_directory(deep);
  }
  ASSERT_GT(deep.size(), 600u);
  fs::current_path(deep);
  EXPECT_EQ(deep, platform::currentDirectory().value_or(""));
  EXPECT_EQ(deep + "/f", platform::fullPath("f").value_or(""));
}

TEST_F(PlatformFileSystemTest, ProgramFileIsThisTestProgram) {
  const std::string program = platform::programFileName().value_or("");
  ASSERT_FALSE(program.empty());
  EXPECT_EQ('/', program[0]);
  EXPECT_EQ("platform_tests", fs::path(program).filename().string());
}

TEST_F(PlatformFileSystemTest, AccessAndKind) {
  EXPECT_TRUE(platform::canAccess("f.c", platform::Access::exists));
  EXPECT_TRUE(platform::canAccess("f.c", platform::Access::readable));
  EXPECT_TRUE(platform::canAccess("sub", platform::Access::exists));
  EXPECT_FALSE(platform::canAccess("nothing", platform::Access::exists));
  EXPECT_EQ(platform::FileKind::regular, platform::fileKind("f.c"));
  EXPECT_EQ(platform::FileKind::directory, platform::fileKind("sub"));
  EXPECT_EQ(platform::FileKind::directory, platform::fileKind("sub/"));
  EXPECT_EQ(platform::FileKind::none, platform::fileKind("nothing"));
  EXPECT_EQ(platform::FileKind::none, platform::fileKind(""));
  EXPECT_EQ(platform::FileKind::other, platform::fileKind("/dev/null"));
  EXPECT_EQ("f.c", platform::longPathName("f.c").value_or(""));
  EXPECT_FALSE(platform::longPathName("nothing").has_value());
  EXPECT_TRUE(platform::removeFile("f.c"));
  EXPECT_FALSE(platform::removeFile("f.c"));
}

TEST_F(PlatformFileSystemTest, TempFilesAreCreatedExclusively) {
  std::set<std::string> names;
  for (int i = 0; i < 20; ++i) {
    const std::optional<std::string> name = platform::createTempFile(m_dir + "/sub", "zut42");
    ASSERT_TRUE(name.has_value());
    EXPECT_EQ(0u, name->rfind(m_dir + "/sub/zut42", 0)) << *name;
    EXPECT_EQ(platform::FileKind::regular, platform::fileKind(*name));
    EXPECT_EQ(0u, fs::file_size(*name));
    names.insert(*name);
  }
  EXPECT_EQ(20u, names.size());
  const std::optional<std::string> slashed = platform::createTempFile(m_dir + "/sub/", "p");
  ASSERT_TRUE(slashed.has_value());
  EXPECT_EQ(0u, slashed->rfind(m_dir + "/sub/p", 0)) << *slashed;
  EXPECT_FALSE(platform::createTempFile(m_dir + "/missing", "zut").has_value());
}

TEST_F(PlatformFileSystemTest, DefaultTempDirectoryFollowsTmp) {
  const char *saved = std::getenv("TMP");
  const std::string savedValue = saved ? saved : "";
  setenv("TMP", (m_dir + "/sub").c_str(), 1);
  EXPECT_EQ(m_dir + "/sub", platform::defaultTempDirectory());
  const std::optional<std::string> name = platform::createTempFile("", "zut");
  ASSERT_TRUE(name.has_value());
  EXPECT_EQ(0u, name->rfind(m_dir + "/sub/zut", 0)) << *name;
  setenv("TMP", (m_dir + "/missing").c_str(), 1);
  EXPECT_NE(m_dir + "/missing", platform::defaultTempDirectory());
  if (saved)
    setenv("TMP", savedValue.c_str(), 1);
  else
    unsetenv("TMP");
}

TEST_F(PlatformFileSystemTest, Environment) {
  setenv("LYR_PLATFORM_TEST_VAR", "", 1);
  EXPECT_EQ("", platform::environmentValue("LYR_PLATFORM_TEST_VAR").value_or("<unset>"));
  unsetenv("LYR_PLATFORM_TEST_VAR");
  EXPECT_FALSE(platform::environmentValue("LYR_PLATFORM_TEST_VAR").has_value());
  EXPECT_EQ(static_cast<long>(getpid()), platform::processId());
}

} // namespace

#include "foundation/FileSystem.h"

#include "support/ScratchDirectory.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace {

using test_support::CurrentDirectory;
using test_support::ScratchDirectory;

class FileSystemTest : public testing::Test {
protected:
  void SetUp() override {
    m_scratch.makeDirectory("sub/deeper");
    m_scratch.writeFile("f.c", "x");
    m_scratch.writeFile("sub/g.h");
  }

  ScratchDirectory m_scratch;
  // The scratch directory, "@" in the tables below.
  std::string expand(const std::string &text) const {
    return text.rfind('@', 0) == 0 ? m_scratch.path() + text.substr(1) : text;
  }
};

TEST_F(FileSystemTest, CanonicalPath) {
  CurrentDirectory here(m_scratch.path());
  const struct {
    std::string path;
    std::string expected;
  } cases[] = {
      {"f.c", "@/f.c"},
      {"sub/../f.c", "@/f.c"},
      {"./f.c", "@/f.c"},
      {"sub", "@/sub"},
      {"sub/", "@/sub"},
      {"sub/deeper/..", "@/sub"},
      {"sub/g.h", "@/sub/g.h"},
      {"missing.c", "@/missing.c"},         // bare name: joined to the current directory
      {"sub/missing.c", "@/sub/missing.c"}, // existing directory: made absolute
      {"nodir/x.c", "nodir/x.c"},           // missing directory: unchanged
      {"nodir/../f.c", "nodir/../f.c"},     //
      {"", "@"},                            // empty name: the current directory
      {".", "@"},                           //
      {"F.C", "@/F.C"},                     // letter case is kept as written
      {"@/sub/../sub/g.h", "@/sub/g.h"},    //
      {"/", "/"},                           //
  };
  for (const auto &c : cases)
    EXPECT_EQ(expand(c.expected), QL_canonicalPath(expand(c.path))) << c.path;
}

TEST_F(FileSystemTest, IsCanonicalPath) {
  CurrentDirectory here(m_scratch.path());
  const struct {
    std::string path;
    bool canonical;
  } cases[] = {
      {"@/f.c", true},          {"@/sub/missing.c", true},
      {"/nodir/x.c", true},     {"/", true},
      {"@/sub", true},          {"f.c", false},
      {"sub/g.h", false},       {"nodir/x.c", false},
      {"@/sub/../f.c", false},  {"@/./f.c", false},
      {"/nodir/../x.c", false}, {"@//f.c", false},
      {"@/sub/", false},        {"", false},
      {"@\\f.c", false},
  };
  for (const auto &c : cases)
    EXPECT_EQ(c.canonical, QL_isCanonicalPath(expand(c.path))) << c.path;
}

TEST_F(FileSystemTest, AbsolutePath) {
  CurrentDirectory here(m_scratch.path() + "/sub");
  const struct {
    std::string path;
    std::string expected;
  } cases[] = {
      {"g.h", "@/sub/g.h"},   {"../f.c", "@/f.c"}, {"deeper", "@/sub/deeper"},   {"..", "@"},
      {"nodir/x", "nodir/x"}, {"", "@/sub"},       {"@/sub/./g.h", "@/sub/g.h"}, {"new.c", "@/sub/new.c"},
  };
  for (const auto &c : cases)
    EXPECT_EQ(expand(c.expected), U_absolutePath(expand(c.path))) << c.path;
}

TEST_F(FileSystemTest, CurrentAndProgramDirectories) {
  CurrentDirectory here(m_scratch.path());
  EXPECT_EQ(m_scratch.path(), U_currentDirectory());
  EXPECT_EQ(m_scratch.path(), QL_currentDirectory());
  const std::string program = U_programDirectory();
  ASSERT_FALSE(program.empty());
  EXPECT_TRUE(std::filesystem::exists(program + "/foundation_tests")) << program;
}

TEST_F(FileSystemTest, FileTests) {
  CurrentDirectory here(m_scratch.path());
  std::filesystem::create_symlink("f.c", "link.c");
  std::filesystem::create_symlink("sub", "linkdir");
  const struct {
    std::string path;
    bool exists;
    bool readable;
    bool directory;
    bool regular;
  } cases[] = {
      {"f.c", true, true, false, true},     {"sub", true, true, true, false},
      {"sub/", true, true, true, false},    {"missing", false, false, false, false},
      {"", false, false, false, false},     {"link.c", true, true, false, true},
      {"linkdir", true, true, true, false}, {"/dev/null", true, true, false, false},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(c.exists, U_fileExists(c.path)) << c.path;
    EXPECT_EQ(c.exists, QL_exists(c.path)) << c.path;
    EXPECT_EQ(c.readable, U_isReadable(c.path)) << c.path;
    EXPECT_EQ(c.directory, U_isDirectory(c.path)) << c.path;
    EXPECT_EQ(c.directory, QL_isDirectory(c.path)) << c.path;
    EXPECT_EQ(c.regular, U_isRegularFile(c.path)) << c.path;
    EXPECT_EQ(c.regular, QL_isRegularFile(c.path)) << c.path;
    EXPECT_EQ(c.readable && !c.directory, QL_isReadableFile(c.path)) << c.path;
  }
}

TEST_F(FileSystemTest, UnreadableFile) {
  const std::string path = m_scratch.writeFile("secret", "x");
  std::filesystem::permissions(path, std::filesystem::perms::none);
  if (U_isReadable(path))
    GTEST_SKIP() << "running with rights that read every file";
  EXPECT_TRUE(U_fileExists(path));
  EXPECT_FALSE(QL_isReadableFile(path));
  EXPECT_EQ("", U_findInPathList(m_scratch.path(), "secret"));
}

TEST_F(FileSystemTest, FindInPathList) {
  CurrentDirectory here(m_scratch.path());
  m_scratch.makeDirectory("a");
  m_scratch.makeDirectory("b");
  m_scratch.makeDirectory("a/dir.rc"); // a directory is never a match
  m_scratch.writeFile("b/dir.rc");
  m_scratch.writeFile("b/n");
  m_scratch.writeFile("n");
  m_scratch.writeFile("a/only-a");
  const struct {
    std::string list;
    std::string name;
    std::string expected;
  } cases[] = {
      {"a;;b", "n", "n"},            // a/n is missing, then the name itself
      {"a;b", "n", "b/n"},           //
      {"b;a", "only-a", "a/only-a"}, //
      {"a;b", "dir.rc", "b/dir.rc"}, //
      {"", "n", ""},                 // empty list
      {"a;", "n", ""},               // an empty element after a final ";" is not tried
      {";", "n", "n"},               // but a leading one is
      {"a;b", "missing", ""},        //
      {"@/b", "n", "@/b/n"},         //
      {"a/;./b", "only-a", "a/only-a"},
  };
  for (const auto &c : cases)
    EXPECT_EQ(expand(c.expected), U_findInPathList(expand(c.list), c.name)) << c.list << " " << c.name;
}

} // namespace

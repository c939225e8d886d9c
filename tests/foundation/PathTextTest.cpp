#include "foundation/PathText.h"
#include "cmdline/CmdArgs.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct UnaryCase {
  std::string input;
  std::string expected;
};

TEST(PathTextTest, Dirname) {
  const UnaryCase cases[] = {
      {"C:", "C:/"}, {"C:/", "C:/"},     {"C:/a", "C:/"}, {"C:/a/b", "C:/a"}, {"/a", "/"},
      {"/", "/"},    {"a/", "."},        {"abc", "."},    {"a/b/", "a"},      {"a/b", "a"},
      {"", "."},     {"/a/b/c", "/a/b"}, {"C:a", "."},    {"a//b", "a/"},     {"x:/", "x:/"},
      {"/a/", "/"},  {"C:/a/", "C:/"},   {"/:", "/:/"},
  };
  for (const UnaryCase &c : cases) {
    EXPECT_EQ(c.expected, U_dirname(c.input)) << c.input;
    EXPECT_EQ(c.expected, QL_dirname(c.input)) << c.input;
  }
}

TEST(PathTextTest, Basename) {
  const UnaryCase cases[] = {
      {"a/b/", "b"}, {"/", ""}, {"abc", "abc"}, {"a/b", "b"}, {"", ""}, {"a//", ""}, {"C:/x.c", "x.c"},
  };
  for (const UnaryCase &c : cases) {
    EXPECT_EQ(c.expected, U_basename(c.input)) << c.input;
    EXPECT_EQ(c.expected, QL_basename(c.input)) << c.input;
    EXPECT_EQ(c.expected, U_basenameView(c.input)) << c.input;
  }
}

TEST(PathTextTest, Extensions) {
  const struct {
    std::string path;
    std::string extension;
    std::string removed;
    std::string baseNoExtension;
  } cases[] = {
      {"d.x/f", "", "d.x/f", "f"}, {"f.tar.gz", "gz", "f.tar", "f.tar"},
      {".c", "c", "", ""},         {"dir/a.c", "c", "dir/a", "a"},
      {"a.", "", "a", "a"},        {"noext", "", "noext", "noext"},
      {"d.x/.c", "c", "d.x/", ""}, {"", "", "", ""},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(c.extension, U_extension(c.path)) << c.path;
    EXPECT_EQ(c.removed, U_removeExtension(c.path)) << c.path;
    EXPECT_EQ(c.baseNoExtension, U_basenameNoExtension(c.path)) << c.path;
  }
}

struct BinaryCase {
  std::string first;
  std::string second;
  std::string expected;
};

TEST(PathTextTest, AddExtension) {
  const BinaryCase cases[] = {
      {"f", "c", "f.c"},
      {"f", ".c", "f.c"},
      {"f.", "c", "f.c"},
      {"f", "", "f"},
      {"", "c", ".c"},
      {"f.", ".c", "f..c"},
      {"lyr.jp.euc", "msg", "lyr.jp.euc.msg"},
  };
  for (const BinaryCase &c : cases) {
    EXPECT_EQ(c.expected, U_addExtension(c.first, c.second)) << c.first << " + " << c.second;
    EXPECT_EQ(c.expected, QL_addExtension(c.first, c.second)) << c.first << " + " << c.second;
  }
  EXPECT_EQ("qjpcodecs4.dll", U_pluginFileName("qjpcodecs"));
}

TEST(PathTextTest, JoinPath) {
  const BinaryCase cases[] = {
      {"", "a", "a"},      {".", "a", "a"},   {"./", "a", "a"}, {"d/", "a", "d/a"}, {"d", "", "d"},
      {"d", "/a", "d//a"}, {"d", "a", "d/a"}, {"/", "a", "/a"}, {"", "", ""},       {"..", "a", "../a"},
  };
  for (const BinaryCase &c : cases) {
    EXPECT_EQ(c.expected, U_joinPath(c.first, c.second)) << c.first << " + " << c.second;
    EXPECT_EQ(c.expected, QL_joinPath(c.first, c.second)) << c.first << " + " << c.second;
  }
}

TEST(PathTextTest, Slashes) {
  EXPECT_EQ("C:/a/b/", U_toForwardSlashes("C:\\a\\b\\"));
  EXPECT_EQ("C:/a/b/", QL_toForwardSlashes("C:\\a/b\\"));
  EXPECT_EQ("C:\\a\\b", U_toBackslashes("C:/a/b"));
  // Bytes above 0x7F are never separators.
  EXPECT_EQ("\xA4\xA2/x", U_toForwardSlashes("\xA4\xA2\\x"));
}

TEST(PathTextTest, CaseInsensitiveComparisons) {
  EXPECT_TRUE(U_equalNoCase("Dir/File.C", "dir/file.c"));
  EXPECT_FALSE(U_equalNoCase("abc", "abcd"));
  EXPECT_FALSE(U_equalNoCase("[", "{")); // only letters fold
  EXPECT_FALSE(U_equalNoCase("\xC4", "\xE4"));
  EXPECT_TRUE(U_equalNoCase("", ""));

  EXPECT_TRUE(U_hasPrefixNoCase("/USR/Include", "/usr/include/stdio.h"));
  EXPECT_TRUE(QL_hasPrefixNoCase("", "x"));
  EXPECT_TRUE(U_hasPrefixNoCase("abc", "ABC"));
  EXPECT_FALSE(U_hasPrefixNoCase("abcd", "abc"));
  EXPECT_FALSE(U_hasPrefixNoCase("/usr/lib", "/usr/include"));

  EXPECT_EQ(0, U_strnicmp("LYRpp", "lyrPP", 5));
  EXPECT_EQ(0, U_strnicmp("lyrX", "LYRy", 3));
  EXPECT_LT(U_strnicmp("abc", "abd", 3), 0);
  EXPECT_GT(U_strnicmp("abd", "ABC", 3), 0);
  EXPECT_LT(U_strnicmp("ab", "abc", 5), 0); // stops at the end of the shorter text
  EXPECT_EQ(0, U_strnicmp("ab", "ab", 10));
  EXPECT_GT(U_strnicmp("\xE4", "a", 1), 0); // bytes compare unsigned
  EXPECT_EQ(0, U_strnicmp("x", "y", 0));

  std::string s = "previous";
  U_assignChar(s, 'c');
  EXPECT_EQ("c", s);
}

class NativeSlashesTest : public testing::Test {
protected:
  void SetUp() override { resetNativeSlashLookup(); }
  void TearDown() override { resetNativeSlashLookup(); }

  // Makes an argument set with these debug words current.
  static void setDebugWords(const std::vector<std::string> &words) {
    C_CmdArgs args("lyr", 0, nullptr);
    for (const std::string &word : words)
      args.options()->debug().add(word);
    C_setCurrentCmdArgs(args);
  }
};

TEST_F(NativeSlashesTest, ForwardSlashesStayOnLinux) {
  setDebugWords({});
  EXPECT_EQ("C:/dir/a.c", toNativeSlashes("C:/dir/a.c"));
  EXPECT_EQ("a\\b/c", QL_toNativeSlashes("a\\b/c"));
  setDebugWords({"os-independent-slash"});
  resetNativeSlashLookup();
  EXPECT_EQ("C:/dir/a.c", toNativeSlashes("C:/dir/a.c"));
}

} // namespace

#include "anlsrslt/model/RecordTokens.h"

#include "foundation/ScratchText.h"
#include "platform/FileSystem.h"
#include "support/ScratchDirectory.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>

namespace {

using test_support::CurrentDirectory;
using test_support::ScratchDirectory;

U_RefPtr<FilenameProxy> proxyOfPath(const std::string &path) {
  return P_filenameProxyFor(QL_Filename::fromPath(path));
}

U_RefPtr<FilenameProxy> readFileToken(const std::string &line) {
  std::istringstream in(line);
  U_RefPtr<FilenameProxy> file;
  in >> file;
  return file;
}

TEST(RecordTokensTest, NameTokenKeepsTheMarkedFormOfEachWord) {
  P_NameToken token;
  EXPECT_EQ("", token.str());
  token.assign("::f(ni)");
  EXPECT_EQ("::f\x8Eni\x8F", token.str());

  std::istringstream in("  ::A<int>::b\t::g(v,pc)\n");
  in >> token;
  EXPECT_EQ("::A\x8Cint\x8D::b", token.str());
  in >> token;
  EXPECT_EQ("::g\x8Ev\x90pc\x8F", token.str());
  in >> token;
  EXPECT_TRUE(in.fail());
  EXPECT_EQ("", token.str()) << "nothing left to read";
}

TEST(RecordTokensTest, FilenameTokens) {
  ScratchDirectory scratch;
  CurrentDirectory inScratch(scratch.path());
  const struct {
    std::string line;
    std::string path; // the path whose proxy the token gives
  } cases[] = {
      {"\"src/a.c\" 12", "src/a.c"},
      {"src/a.c 12", "src/a.c"},
      {"  src\\a.c", "src/a.c"},
      {"\"src\\a.c\"", "src/a.c"},
      {"\"\" 1", ""},
      {"", ""}, // nothing to read: the empty path
      {"'src/a.c'", "'src/a.c'"},
      {"L\"src/a.c\"", "L\"src/a.c\""},
      {"\"my dir/a b.c\" 3", "my dir/a b.c"},
      {"\"q\\\"uote.c\"", "q/\"uote.c"}, // the escaping backslash stays and becomes "/"
      {"\"", "\""},                      // a lone quote is not a pair
  };
  for (const auto &c : cases) {
    const U_RefPtr<FilenameProxy> file = readFileToken(c.line);
    ASSERT_TRUE(file.isSet()) << c.line;
    EXPECT_EQ(proxyOfPath(c.path), file) << c.line << " gives " << file->name();
  }

  // The line goes on after the token.
  std::istringstream in("\"src/a.c\" 12 I");
  U_RefPtr<FilenameProxy> file;
  int line = 0;
  std::string letter;
  in >> file >> line >> letter;
  EXPECT_EQ(12, line);
  EXPECT_EQ("I", letter);
}

// The previous token's proxy is reused without resolving the path again:
// after a change of the current directory a relative name still gives the
// proxy it gave before, until another name comes between.
TEST(RecordTokensTest, TheLastTokenIsRemembered) {
  ScratchDirectory scratch;
  const std::string first = scratch.makeDirectory("first");
  const std::string second = scratch.makeDirectory("second");
  U_RefPtr<FilenameProxy> before;
  {
    CurrentDirectory inFirst(first);
    before = readFileToken("remembered.c");
    EXPECT_STREQ((first + "/remembered.c").c_str(), before->name());
  }
  CurrentDirectory inSecond(second);
  EXPECT_EQ(before, readFileToken("\"remembered.c\"")) << "the same text, quoted or not";
  U_RefPtr<FilenameProxy> out = readFileToken("other.c");
  P_readFilenameProxy("remembered.c", out);
  EXPECT_STREQ((second + "/remembered.c").c_str(), out->name()) << "resolved afresh after another name";
}

// A name longer than the room kept for the last one gives, quoted or not,
// read once or again, the proxy of its path; the name read next is resolved
// as usual.
TEST(RecordTokensTest, ALongNameGivesTheProxyOfItsPath) {
  const std::string longName = "/s/" + std::string(U_scratchTextKeep, 'd') + "/a.c";
  const U_RefPtr<FilenameProxy> expected = proxyOfPath(longName);
  EXPECT_TRUE(expected == readFileToken(longName));
  EXPECT_TRUE(expected == readFileToken(longName));
  EXPECT_TRUE(expected == readFileToken("\"" + longName + "\""));
  EXPECT_TRUE(proxyOfPath("/s/a.c") == readFileToken("/s/a.c"));
  EXPECT_TRUE(expected == readFileToken(longName + " 12"));
}

// Names that differ in letter case are one file only where the file system
// says so; elsewhere the second is resolved as a file of its own.
TEST(RecordTokensTest, LetterCaseOfTheRememberedTokenCountsAsTheFileSystemCounts) {
  const U_RefPtr<FilenameProxy> lower = readFileToken("/case/src/a.c");
  const U_RefPtr<FilenameProxy> upper = readFileToken("/case/SRC/A.C");
  if (platform::fileNamesIgnoreCase) {
    EXPECT_EQ(lower, upper);
  } else {
    EXPECT_NE(lower, upper);
    EXPECT_STREQ("/case/SRC/A.C", upper->name());
  }
}

TEST(RecordTokensTest, RecordCharacterCodes) {
  const struct {
    char c;
    int code;
  } cases[] = {{'N', 0}, {'F', 1}, {'n', 1}, {'\0', 1}, {'B', 2}, {'P', 3},
               {'C', 4}, {'T', 5}, {'R', 6}, {'S', 7},  {'-', 8}, {'\xA4', 1}};
  for (const auto &c : cases)
    EXPECT_EQ(c.code, P_decodeRecordChar(c.c)) << static_cast<int>(c.c);
}

} // namespace

#include "checks/SourceLines.h"

#include "checks/SourceRescanExit.h"
#include "support/CurrentArguments.h"
#include "support/ScratchDirectory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;
using test_support::ScratchDirectory;

// Blanked lines are read in the encoding of the current product.
class SourceLinesTest : public test_support::CurrentArgumentsTest {
protected:
  void SetUp() override { resetSourceLineCaches(); }
  void TearDown() override { resetSourceLineCaches(); }

  // The text of the exit that reading the name raises; empty when none.
  static std::string exitText(const std::string &name) {
    try {
      sourceLines(name);
    } catch (const P_SourceRescanExit &exit) {
      return exit.what();
    }
    return std::string();
  }

  ScratchDirectory m_dir;
};

TEST_F(SourceLinesTest, LinesWithoutTheirEnds) {
  const struct Case {
    std::string bytes;
    Lines expected;
  } cases[] = {
      {"", {}},
      {"\n", {""}},
      {"a\nb\n", {"a", "b"}},
      {"a\nb", {"a", "b"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\r\r\n\r\nb\n\n", {"a", "", "b", ""}},
      {"a\rb\n", {"a\rb"}},
      {"\xA4\xA2\t\\\n", {"\xA4\xA2\t\\"}},
  };
  int n = 0;
  for (const Case &c : cases) {
    const std::string name = m_dir.writeFile("f" + std::to_string(n++) + ".c", c.bytes);
    EXPECT_EQ(c.expected, readSourceFile(name)) << c.bytes;
  }
  // A NUL byte is a byte of the line like any other.
  const std::string nul = m_dir.writeFile("nul.c", std::string("x\0y\n", 4));
  EXPECT_EQ(Lines{std::string("x\0y", 3)}, readSourceFile(nul));
}

TEST_F(SourceLinesTest, StripLineEnd) {
  const struct Case {
    std::string line;
    std::string expected;
  } cases[] = {
      {"", ""}, {"\r", ""}, {"\r\n\n\r", ""}, {"a\n\r\r", "a"}, {"a\rb", "a\rb"}, {" a \t", " a \t"},
  };
  for (const Case &c : cases)
    EXPECT_EQ(c.expected, stripLineEnd(c.line)) << c.line;
}

TEST_F(SourceLinesTest, EachFileIsReadOnceAndKept) {
  const std::string name = m_dir.writeFile("a.c", "int a; /* x */\n");
  const Lines &first = sourceLines(name);
  EXPECT_EQ(Lines{"int a; /* x */"}, first);
  m_dir.writeFile("a.c", "changed\n");
  EXPECT_EQ(&first, &sourceLines(name));
  EXPECT_EQ(Lines{"int a; /* x */"}, sourceLines(name));
  const Lines &blanked = blankedSourceLines(name);
  EXPECT_EQ(Lines{"int a; /*   */"}, blanked);
  EXPECT_EQ(&blanked, &blankedSourceLines(name));
  // The lines themselves are not blanked.
  EXPECT_EQ(Lines{"int a; /* x */"}, sourceLines(name));
}

TEST_F(SourceLinesTest, NamesAreKeysByteForByte) {
  const std::string name = m_dir.writeFile("a.c", "one\n");
  const std::string other = m_dir.path() + "/./a.c";
  EXPECT_EQ(Lines{"one"}, sourceLines(name));
  m_dir.writeFile("a.c", "two\n");
  EXPECT_EQ(Lines{"two"}, sourceLines(other));
}

TEST_F(SourceLinesTest, BlankingAnEmptyFile) {
  const std::string name = m_dir.writeFile("e.c");
  EXPECT_TRUE(blankedSourceLines(name).empty());
}

TEST_F(SourceLinesTest, MissingFileEndsTheRun) {
  const std::string name = m_dir / "missing.c";
  EXPECT_EQ(name + " does not exist.\n", exitText(name));
  // Nothing was kept: a file made afterwards is read.
  m_dir.writeFile("missing.c", "now\n");
  EXPECT_EQ(Lines{"now"}, sourceLines(name));
}

TEST_F(SourceLinesTest, DirectoryCannotBeOpened) {
  const std::string name = m_dir.makeDirectory("dir.c");
  EXPECT_EQ("cannot open file " + name + "\n", exitText(name));
  try {
    blankedSourceLines(name);
    ADD_FAILURE() << "no exit";
  } catch (const P_SourceRescanExit &exit) {
    EXPECT_EQ("cannot open file " + name + "\n", std::string(exit.what()));
  }
}

// /proc/self/mem opens and fails its first read (also for root): a source
// that cannot be read whole is not re-scanned in part.
TEST_F(SourceLinesTest, ReadErrorEndsTheRunLikeAFileThatDoesNotOpen) {
  EXPECT_EQ("cannot open file /proc/self/mem\n", exitText("/proc/self/mem"));
}

} // namespace

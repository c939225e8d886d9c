#include "foundation/TagLineIterator.h"

#include "cmdline/Product.h"
#include "foundation/Exception.h"
#include "foundation/Language.h"
#include "foundation/ScratchText.h"
#include "foundation/TranStreambuf.h"
#include "support/Bytes.h"
#include "support/ProductFixture.h"
#include "support/ScratchDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace {

using test_support::EnvironmentVariable;
using test_support::ScratchDirectory;

using Records = std::vector<std::pair<std::string, std::string>>;

std::size_t entryCount(const ScratchDirectory &directory) {
  const std::filesystem::directory_iterator entries(directory.path());
  return static_cast<std::size_t>(std::distance(begin(entries), end(entries)));
}

// Every record of an open iterator, in the way the record-file reader walks
// them.
Records walk(TagLineIterator &it) {
  Records records;
  const TagLineIterator end;
  while (it != end) {
    records.emplace_back(it.m_current.m_tag, it.m_current.m_line);
    ++it;
  }
  return records;
}

class TagLineIteratorTest : public test_support::ProductFixture {};

TEST_F(TagLineIteratorTest, RecordsOfAFile) {
  struct Case {
    const char *label;
    std::string file;
    Records expected;
  };
  const std::string longText(itranstreambuf::dataSize + 3000, 'x');
  // Past the room a read buffer keeps from line to line.
  const std::string veryLongText(U_scratchTextKeep + 3000, 'y');
  const Case cases[] = {
      {"records among other lines",
       "plain\n<A> 1 2\n <B> blank first\n<C no close\n\nC> no open\n<D> 3\n",
       {{"A", "<A> 1 2"}, {"D", "<D> 3"}}},
      {"empty tag", "<>\n<> rest\n", {{"", "<>"}, {"", "<> rest"}}},
      {"tag ends at the first >", "<S>x>y\n<<T>>\n", {{"S", "<S>x>y"}, {"<T", "<<T>>"}}},
      {"CR LF line ends", "<A> 1\r\n\r\nplain\r\n<B> 2\r\n", {{"A", "<A> 1"}, {"B", "<B> 2"}}},
      {"lone CR stays", "<A\r> 1\r\n<B> x\ry\n", {{"A\r", "<A\r> 1"}, {"B", "<B> x\ry"}}},
      {"last line without line end", "<A> 1\n<B> 2", {{"A", "<A> 1"}, {"B", "<B> 2"}}},
      {"last line is not a record", "<A> 1\nplain", {{"A", "<A> 1"}}},
      {"only record has no line end", "<A>", {{"A", "<A>"}}},
      {"empty file", "", {}},
      {"no records", "a\n<b\n\n>\n", {}},
      {"internal encoding as it is",
       BYTES("<\xA4\xA2> \xFF\xB0\xA1\x8E\xB1\n"),
       {{BYTES("\xA4\xA2"), BYTES("<\xA4\xA2> \xFF\xB0\xA1\x8E\xB1")}}},
      {"long lines across the read buffer",
       "<L> " + longText + "\n" + longText + "\n<M>\n",
       {{"L", "<L> " + longText}, {"M", "<M>"}}},
      {"short records around lines longer than the kept room",
       "<S> 1\n<L> " + veryLongText + "\n<S> 2\n" + veryLongText + "\n<L> " + veryLongText + "\n<L>" +
           veryLongText + "\n<S> 3\n",
       {{"S", "<S> 1"},
        {"L", "<L> " + veryLongText},
        {"S", "<S> 2"},
        {"L", "<L> " + veryLongText},
        {"L", "<L>" + veryLongText},
        {"S", "<S> 3"}}},
  };
  for (const Case &c : cases) {
    TagLineIterator it;
    ASSERT_TRUE(it.open(fixture(c.file))) << c.label;
    EXPECT_EQ(c.expected, walk(it)) << c.label;
  }
}

TEST_F(TagLineIteratorTest, EndAndComparison) {
  const TagLineIterator end;
  const TagLineIterator otherEnd;
  EXPECT_TRUE(end == otherEnd);
  EXPECT_FALSE(end != otherEnd);

  TagLineIterator it;
  ASSERT_TRUE(it.open(fixture("<A> 1\n<B> 2\nplain\n")));
  EXPECT_TRUE(it != end);
  EXPECT_TRUE(it == it);
  ++it;
  EXPECT_EQ("B", it.m_current.m_tag);
  ++it;
  EXPECT_TRUE(it == end);
  EXPECT_TRUE(it.atEnd());
  // The last record stays; stepping on at the end stays at the end.
  EXPECT_EQ("<B> 2", it.m_current.m_line);
  ++it;
  EXPECT_TRUE(it == end);

  // Two live iterators never compare equal.
  TagLineIterator second;
  ASSERT_TRUE(second.open(fixture("<A> 1\n")));
  TagLineIterator third;
  ASSERT_TRUE(third.open(fixture("<A> 1\n")));
  EXPECT_TRUE(second != third);
}

TEST_F(TagLineIteratorTest, MissingFileLeavesTheIteratorAsItWas) {
  TagLineIterator fresh;
  EXPECT_FALSE(fresh.open(m_files / "missing.met"));
  EXPECT_TRUE(fresh == TagLineIterator());

  TagLineIterator live;
  ASSERT_TRUE(live.open(fixture("<A> 1\n<B> 2\n")));
  EXPECT_FALSE(live.open(m_files / "missing.met"));
  EXPECT_EQ("A", live.m_current.m_tag);
  ++live;
  EXPECT_EQ("B", live.m_current.m_tag);
}

TEST_F(TagLineIteratorTest, ReadErrorIsReportedAndEndsTheIteration) {
  // The process's own memory file opens but fails its first read.
  const std::string unreadable = "/proc/self/mem";
  TagLineIterator it;
  try {
    it.open(unreadable);
    ADD_FAILURE() << "no exception";
  } catch (const U_UserException &e) {
    EXPECT_EQ("Cannot read file: '" + unreadable + "'.", std::string(e.what()));
  }
  EXPECT_TRUE(it == TagLineIterator());
}

TEST_F(TagLineIteratorTest, DirectoryIsAFileThatCannotBeOpened) {
  TagLineIterator it;
  EXPECT_FALSE(it.open(m_files.makeDirectory("dir.met")));
  EXPECT_TRUE(it == TagLineIterator());
}

TEST_F(TagLineIteratorTest, ShiftJisProductReadsAShiftJisRecordFile) {
  m_lang.set("ja_JP.SJIS");
  // The file's name and its text are in Shift_JIS on disk; the iterator takes
  // and gives the internal encoding.
  m_files.writeFile(BYTES("\x82\xA0\x83\x5C.c.met"),
                    BYTES("plain \x83\x5C\r\n<\x82\xA0> \x83\x5C 1\r\n<R> \xB1"));
  {
    TagLineIterator it;
    ASSERT_TRUE(it.open(m_files / BYTES("\xA4\xA2\xA5\xBD.c.met")));
    EXPECT_EQ((Records{{BYTES("\xA4\xA2"), BYTES("<\xA4\xA2> \xA5\xBD 1")}, {"R", BYTES("<R> \x8E\xB1")}}),
              walk(it));
  }
  // The translated copy went with the iterator.
  EXPECT_EQ(0u, entryCount(m_temp));
}

} // namespace

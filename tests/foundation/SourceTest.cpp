#include "foundation/Source.h"

#include "support/ScratchDirectory.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

// Reads until the end, and once more past it.
std::vector<int> drain(Source &source) {
  std::vector<int> bytes;
  for (int c = source.Get(); c != -1; c = source.Get())
    bytes.push_back(c);
  bytes.push_back(source.Get());
  return bytes;
}

// A private directory for the files of one test.
class SourceFileTest : public ::testing::Test {
protected:
  std::string writeFile(const std::string &name, const std::string &bytes) {
    return m_dir.writeFile(name, bytes);
  }

  test_support::ScratchDirectory m_dir;
};

TEST(StringSourceTest, GivesBytesThenEndAndStepsBackOnUnget) {
  StringSource source;
  EXPECT_EQ(-1, source.Get()); // empty before any text
  EXPECT_TRUE(source.setText(CountedString("ab")));
  EXPECT_EQ('a', source.Get());
  EXPECT_EQ('b', source.Get());
  EXPECT_EQ(-1, source.Get());
  EXPECT_EQ(-1, source.Get());
  source.Unget('b');
  EXPECT_EQ('b', source.Get());
  source.Unget('b');
  source.Unget('a'); // two in a row
  EXPECT_EQ('a', source.Get());
  EXPECT_EQ('b', source.Get());
  source.Unget(-1); // the end gives nothing back
  EXPECT_EQ(-1, source.Get());
}

TEST(StringSourceTest, UngetAtStartDoesNothingAndBytesAreUnsigned) {
  StringSource source;
  source.setText(CountedString("\xA4\xA2"));
  source.Unget('x');
  EXPECT_EQ(0xA4, source.Get());
  EXPECT_EQ(0xA2, source.Get());
  EXPECT_EQ(-1, source.Get());

  source.setText(CountedString("z")); // starts over
  EXPECT_EQ('z', source.Get());
  source.Close();
  EXPECT_EQ(-1, source.Get());
}

TEST(StreamSourceTest, ReadsStreamAndTakesSeveralBytesBack) {
  std::istringstream in(std::string("\xFF\x00x", 3));
  StreamSource source(&in);
  EXPECT_EQ(0xFF, source.Get());
  EXPECT_EQ(0x00, source.Get());
  EXPECT_EQ('x', source.Get());
  EXPECT_EQ(-1, source.Get());
  // Given back after the end, two in a row: they come back last first.
  source.Unget('x');
  source.Unget(0x00);
  EXPECT_EQ(0x00, source.Get());
  EXPECT_EQ('x', source.Get());
  EXPECT_EQ(-1, source.Get());
  source.Close(); // the stream stays the caller's
  EXPECT_TRUE(in.eof());
}

TEST(StreamSourceTest, WithoutStreamIsEmpty) {
  StreamSource source(nullptr);
  source.Unget('a');
  EXPECT_EQ(-1, source.Get());
  EXPECT_EQ(-1, source.Get());
}

TEST_F(SourceFileTest, NeverOpenedOrMissingFileGivesEndSilently) {
  FileSource never;
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(-1, never.Get());
  EXPECT_EQ(-1, never.Get());
  FileSource missing;
  EXPECT_FALSE(missing.open(CountedString(m_dir / "missing.txt")));
  EXPECT_EQ(-1, missing.Get());
  EXPECT_EQ("", ::testing::internal::GetCapturedStderr());
  missing.Close();
  never.Close();
}

TEST_F(SourceFileTest, ReadsEveryByteIncludingFFAndZero) {
  struct Case {
    std::string bytes;
  };
  const Case cases[] = {
      {""},
      {std::string("\xFF", 1)},
      {std::string("\xA4\xA2\x00\xFF"
                   "a",
                   5)},
  };
  for (const Case &c : cases) {
    FileSource source;
    ASSERT_TRUE(source.open(CountedString(writeFile("in.txt", c.bytes))));
    std::vector<int> expected(c.bytes.begin(), c.bytes.end());
    for (int &b : expected)
      b = static_cast<unsigned char>(b);
    expected.push_back(-1);
    EXPECT_EQ(expected, drain(source));
    source.Close();
  }
}

TEST_F(SourceFileTest, UngetTwoInARowAlsoAfterTheEnd) {
  FileSource source;
  ASSERT_TRUE(source.open(CountedString(writeFile("in.txt", "\x8E\xB1z"))));
  EXPECT_EQ(0x8E, source.Get());
  EXPECT_EQ(0xB1, source.Get());
  source.Unget(0xB1);
  source.Unget(0x8E);
  EXPECT_EQ(0x8E, source.Get());
  EXPECT_EQ(0xB1, source.Get());
  EXPECT_EQ('z', source.Get());
  EXPECT_EQ(-1, source.Get());
  source.Unget('z');
  source.Unget(0xB1);
  source.Unget(-1); // nothing
  EXPECT_EQ(0xB1, source.Get());
  EXPECT_EQ('z', source.Get());
  EXPECT_EQ(-1, source.Get());
  EXPECT_EQ(-1, source.Get());
  source.Close();
}

TEST_F(SourceFileTest, CloseTwiceIsHarmlessAndEndsTheInput) {
  FileSource source;
  ASSERT_TRUE(source.open(CountedString(writeFile("in.txt", "abc"))));
  EXPECT_EQ('a', source.Get());
  source.Unget('a');
  source.Close();
  source.Close();
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(-1, source.Get());
  EXPECT_EQ("", ::testing::internal::GetCapturedStderr());

  // Opening again starts afresh; opening while open closes the first file.
  ASSERT_TRUE(source.open(CountedString(writeFile("other.txt", "xy"))));
  EXPECT_EQ('x', source.Get());
  ASSERT_TRUE(source.open(CountedString(writeFile("third.txt", "q"))));
  EXPECT_EQ('q', source.Get());
  EXPECT_EQ(-1, source.Get());
  source.Close();
}

// Reading a directory opened as a file fails on this platform with an error
// rather than an end of file: the error is reported, ends that call only and
// does not count as the end.
TEST_F(SourceFileTest, ReadErrorIsReportedAndEndsOnlyThatCall) {
  // A directory is no file; the process's own memory file opens but fails
  // every read.
  FileSource source;
  EXPECT_FALSE(source.open(CountedString(m_dir.path())));
  ASSERT_TRUE(source.open(CountedString("/proc/self/mem")));
  EXPECT_FALSE(source.readFailed());
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(-1, source.Get());
  EXPECT_EQ(-1, source.Get());
  std::string err = ::testing::internal::GetCapturedStderr();
  const std::string expected = "FileSource::Get got error ";
  ASSERT_EQ(0u, err.find(expected)) << err;
  EXPECT_NE(std::string::npos, err.find(expected, expected.size())) << "second call tried again: " << err;
  EXPECT_NE(std::string::npos, err.find(" (-1).\n")) << err;
  EXPECT_TRUE(source.readFailed());
  source.Close();
}

} // namespace

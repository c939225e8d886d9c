#include "platform/TextFile.h"

#include "platform/BinaryFile.h"
#include "support/ScratchDirectory.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <iterator>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

class TextFileTest : public testing::Test {
protected:
  std::string write(const std::string &bytes) {
    return m_dir.writeFile(std::string("f").append(std::to_string(m_count++)), bytes);
  }

  test_support::ScratchDirectory m_dir;
  int m_count = 0;
};

std::string readAllFile(std::FILE *file) {
  std::string text;
  char buffer[7]; // small reads cross every boundary
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
    text.append(buffer, n);
  return text;
}

struct Case {
  std::string bytes;
  std::string text;
};

// CR LF pairs at and around the 4096-byte refill of the filter.
std::string atBoundary(std::size_t crAt, const std::string &tail) {
  return std::string(crAt, 'x') + "\r" + tail;
}

const Case cases[] = {
    {"a\r\nb\r\n", "a\nb\n"},
    {"a\rb", "a\rb"},       // a lone CR stays
    {"a\r\r\nb", "a\r\nb"}, // CR before a CR LF stays
    {"a\n\r", "a\n\r"},     // CR at the end stays
    {"\r\n\r\n", "\n\n"},   //
    {"\n\r", "\n\r"},       // LF CR is not a pair
    {"no line end", "no line end"},
    {"", ""},
    {"\x8E\xB1\r\n\xA4\xA2", "\x8E\xB1\n\xA4\xA2"}, // bytes above 0x7F pass unchanged
    {atBoundary(4095, "\nz"), std::string(4095, 'x') + "\nz"},
    {atBoundary(4096, "\nz"), std::string(4096, 'x') + "\nz"},
    {atBoundary(4095, "z"), std::string(4095, 'x') + "\rz"},
    {atBoundary(4095, ""), std::string(4095, 'x') + "\r"},
    {atBoundary(8191, "\nz"), std::string(8191, 'x') + "\nz"},
    {atBoundary(8191, "\r\nz"), std::string(8191, 'x') + "\r\nz"},
};

TEST_F(TextFileTest, CStreamReadsCrLfAsNewline) {
  for (const Case &c : cases) {
    const std::string path = write(c.bytes);
    std::FILE *file = platform::openTextFile(path, "r");
    ASSERT_NE(nullptr, file);
    EXPECT_EQ(c.text, readAllFile(file)) << c.bytes.size();
    EXPECT_NE(0, std::feof(file));
    EXPECT_EQ(0, std::fclose(file));
  }
}

TEST_F(TextFileTest, CStreamJoinsPairsSplitBetweenReads) {
  // Small buffers of the C stream make the reads of the file end at every
  // position of the text.
  for (const std::size_t size : {1u, 2u, 3u, 5u}) {
    for (const Case &c : cases) {
      const std::string path = write(c.bytes);
      std::FILE *file = platform::openTextFile(path, "r");
      ASSERT_NE(nullptr, file);
      std::vector<char> buffer(size);
      ASSERT_EQ(0, std::setvbuf(file, buffer.data(), _IOFBF, size));
      EXPECT_EQ(c.text, readAllFile(file)) << size << " " << c.bytes.size();
      EXPECT_FALSE(std::ferror(file));
      std::fclose(file);
    }
  }
}

TEST_F(TextFileTest, CStreamLineReaders) {
  const std::string path = write("first\r\nsecond\rpart\r\n\r\nlast");
  std::FILE *file = platform::openTextFile(path, "rt");
  ASSERT_NE(nullptr, file);
  char line[64];
  std::string lines;
  while (std::fgets(line, sizeof line, file))
    lines += std::string("[") + line + "]";
  EXPECT_EQ("[first\n][second\rpart\n][\n][last]", lines);
  std::fclose(file);

  file = platform::openTextFile(path, "r");
  ASSERT_NE(nullptr, file);
  std::string chars;
  for (int c; (c = std::getc(file)) != EOF;)
    chars += static_cast<char>(c);
  EXPECT_EQ("first\nsecond\rpart\n\nlast", chars);
  std::fclose(file);
}

TEST_F(TextFileTest, StreamReadsCrLfAsNewline) {
  for (const Case &c : cases) {
    platform::TextInputFile in(write(c.bytes));
    ASSERT_TRUE(in.is_open());
    std::ostringstream text;
    text << in.rdbuf();
    EXPECT_EQ(c.text, text.str()) << c.bytes.size();
  }
  platform::TextInputFile in(write("a b\r\nc\r\n"));
  std::string line1, line2, line3;
  std::getline(in, line1);
  std::getline(in, line2);
  EXPECT_EQ("a b", line1);
  EXPECT_EQ("c", line2);
  EXPECT_FALSE(std::getline(in, line3));
}

TEST_F(TextFileTest, FilterOverAnyStreamBuffer) {
  for (const Case &c : cases) {
    std::stringbuf source(c.bytes);
    platform::TextReadBuffer text(&source);
    std::istream in(&text);
    std::string read((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(c.text, read) << c.bytes.size();
  }
}

TEST_F(TextFileTest, MissingFile) {
  errno = 0;
  EXPECT_EQ(nullptr, platform::openTextFile(m_dir / "missing", "r"));
  EXPECT_EQ(ENOENT, errno);
  platform::TextInputFile in(m_dir / "missing");
  EXPECT_FALSE(in.is_open());
  EXPECT_TRUE(in.fail());
  std::string line;
  EXPECT_FALSE(std::getline(in, line));
}

// A directory is no file: it cannot be opened, in any mode, as the C runtime
// the system was made for answers (Linux itself would open it for reading).
TEST_F(TextFileTest, DirectoryCannotBeOpened) {
  for (const char *mode : {"r", "rt", "rb", "r+", "a"}) {
    errno = 0;
    EXPECT_EQ(nullptr, platform::openTextFile(m_dir.path(), mode)) << mode;
    EXPECT_NE(0, errno) << mode;
  }
  platform::TextInputFile in(m_dir.path());
  EXPECT_FALSE(in.is_open());
  EXPECT_TRUE(in.fail());
}

// Only a regular file opens for reading: a FIFO, a device or a directory is
// refused at once. (A FIFO with no writer used to block the open itself;
// here one end is held open, so that the old answer shows as a success.)
TEST_F(TextFileTest, OnlyARegularFileOpensForReading) {
  const std::string fifo = m_dir / "fifo";
  ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
  const int held = ::open(fifo.c_str(), O_RDWR | O_CLOEXEC);
  ASSERT_GE(held, 0);
  for (const std::string &path : {fifo, std::string("/dev/null"), m_dir.path()}) {
    for (const char *mode : {"r", "rt", "rb"}) {
      errno = 0;
      std::FILE *file = platform::openTextFile(path, mode);
      EXPECT_EQ(nullptr, file) << path << " " << mode;
      EXPECT_NE(0, errno) << path << " " << mode;
      if (file)
        std::fclose(file);
    }
    EXPECT_GT(0, platform::openForReading(path)) << path;
    EXPECT_EQ(nullptr, platform::openBinaryFile(path, "rb")) << path;
    platform::TextInputFile text(path);
    EXPECT_FALSE(text.is_open()) << path;
    EXPECT_TRUE(text.fail()) << path;
    platform::InputFile bytes(path);
    EXPECT_FALSE(bytes.is_open()) << path;
    EXPECT_TRUE(bytes.fail()) << path;
  }
  ::close(held);
}

TEST_F(TextFileTest, InputFileReadsEveryByteAsItIs) {
  std::string bytes = "a\r\nb\rc\n";
  for (int b = 0; b < 256; ++b)
    bytes += static_cast<char>(b);
  bytes += std::string(100000, 'z'); // past one buffer
  platform::InputFile in(write(bytes));
  ASSERT_TRUE(in.is_open());
  EXPECT_EQ(0, in.tellg());
  char first[3];
  in.read(first, sizeof first);
  EXPECT_EQ(3, in.tellg()); // the position can be told
  EXPECT_EQ(bytes.substr(3), std::string(std::istreambuf_iterator<char>(in), {}));
  platform::InputFile missing(m_dir / "missing");
  EXPECT_FALSE(missing.is_open());
  EXPECT_TRUE(missing.fail());
}

TEST_F(TextFileTest, ReadErrorIsAnErrorNotTheEnd) {
  // The process's own memory file opens but fails its first read.
  std::FILE *file = platform::openTextFile("/proc/self/mem", "r");
  ASSERT_NE(nullptr, file);
  char buffer[16];
  EXPECT_EQ(0u, std::fread(buffer, 1, sizeof buffer, file));
  EXPECT_TRUE(std::ferror(file));
  EXPECT_FALSE(std::feof(file));
  std::fclose(file);
}

TEST_F(TextFileTest, SuccessLeavesErrnoAlone) {
  const std::string path = write("x");
  for (const char *mode : {"r", "a", "w"}) {
    errno = 0;
    std::FILE *file = platform::openTextFile(path, mode);
    ASSERT_NE(nullptr, file) << mode;
    EXPECT_EQ(0, errno) << mode;
    std::fclose(file);
  }
}

TEST_F(TextFileTest, WritingKeepsLinesAsGiven) {
  const std::string path = m_dir / "out";
  std::FILE *file = platform::openTextFile(path, "wt");
  ASSERT_NE(nullptr, file);
  std::fputs("a\nb\r\n", file);
  std::fclose(file);
  file = platform::openTextFile(path, "a");
  ASSERT_NE(nullptr, file);
  std::fputs("c\n", file);
  std::fclose(file);
  EXPECT_EQ("a\nb\r\nc\n", test_support::readFile(path));
  // Binary reading keeps every byte.
  file = platform::openTextFile(path, "rb");
  ASSERT_NE(nullptr, file);
  EXPECT_EQ("a\nb\r\nc\n", readAllFile(file));
  std::fclose(file);
}

} // namespace

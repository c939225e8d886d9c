#include "platform/BinaryFile.h"

#include "platform/WriteFault.h"
#include "support/ScratchDirectory.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class BinaryFileTest : public testing::Test {
protected:
  void TearDown() override { platform::setWriteFault(std::nullopt); }

  test_support::ScratchDirectory m_dir;
};

TEST_F(BinaryFileTest, OpensFilesButNotDirectories) {
  const std::string path = m_dir.writeFile("f.bin", std::string("a\r\nb\0", 5));
  errno = 1234;
  std::FILE *file = platform::openBinaryFile(path, "rb");
  ASSERT_TRUE(file);
  EXPECT_EQ(1234, errno) << "left as it was";
  char bytes[8];
  EXPECT_EQ(5u, std::fread(bytes, 1, sizeof bytes, file)) << "CR LF stays two bytes";
  std::fclose(file);

  EXPECT_FALSE(platform::openBinaryFile(m_dir.path(), "rb"));
  EXPECT_EQ(EISDIR, errno);
  EXPECT_FALSE(platform::openBinaryFile(m_dir / "missing", "rb"));
  EXPECT_EQ(ENOENT, errno);
  EXPECT_FALSE(platform::openBinaryFile(path, ""));
}

// Only a regular file opens for reading; anything else is refused at once,
// a FIFO without a writer included, and the descriptor then waits on reads.
TEST_F(BinaryFileTest, OpensOnlyRegularFilesForReading) {
  const std::string fifo = m_dir / "fifo";
  ASSERT_EQ(0, ::mkfifo(fifo.c_str(), 0600));
  const std::string file = m_dir.writeFile("f.bin", "bytes");
  const struct {
    std::string path;
    int error; // 0: it opens
  } cases[] = {
      {file, 0}, {m_dir / "missing", ENOENT}, {m_dir.path(), EISDIR}, {fifo, EINVAL}, {"/dev/null", EINVAL},
  };
  for (const auto &c : cases) {
    errno = 0;
    const int fd = platform::openForReading(c.path);
    if (c.error != 0) {
      EXPECT_EQ(-1, fd) << c.path;
      EXPECT_EQ(c.error, errno) << c.path;
      continue;
    }
    ASSERT_GE(fd, 0) << c.path;
    EXPECT_EQ(0, ::fcntl(fd, F_GETFL) & O_NONBLOCK) << c.path;
    EXPECT_NE(0, ::fcntl(fd, F_GETFD) & FD_CLOEXEC) << c.path;
    char bytes[8] = {};
    EXPECT_EQ(5, ::read(fd, bytes, sizeof bytes)) << c.path;
    EXPECT_EQ("bytes", std::string(bytes)) << c.path;
    ::close(fd);
  }
}

// Writing and appending, with or without a write fault: a new file is made,
// an existing one written anew or appended to, a directory refused, and a
// FIFO without a reader refused at once rather than waited on.
TEST_F(BinaryFileTest, OpensForWritingWithoutWaiting) {
  const std::string fifo = m_dir / "fifo";
  ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
  for (const bool fault : {false, true}) {
    platform::setWriteFault(fault ? std::optional(platform::WriteFault{.bytesBeforeFailure = 100})
                                  : std::nullopt);
    for (const char *mode : {"wb", "ab", "w", "a"}) {
      SCOPED_TRACE(std::string(mode) + (fault ? " with a fault" : ""));
      const std::string path = m_dir.writeFile("f.bin", "old");
      std::FILE *file = platform::openBinaryFile(path, mode);
      ASSERT_TRUE(file);
      std::fputs("new", file);
      EXPECT_EQ(0, std::fclose(file));
      EXPECT_EQ(mode[0] == 'a' ? "oldnew" : "new", test_support::readFile(path));

      std::FILE *made = platform::openBinaryFile(m_dir / "made.bin", mode);
      ASSERT_TRUE(made);
      std::fclose(made);
      std::filesystem::remove(m_dir / "made.bin");

      EXPECT_FALSE(platform::openBinaryFile(m_dir.path(), mode));
      EXPECT_EQ(EISDIR, errno);
      EXPECT_FALSE(platform::openBinaryFile(fifo, mode));
      EXPECT_EQ(ENXIO, errno);
    }
  }
  // With a reader the FIFO is written as a file is.
  const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(reader, 0);
  std::FILE *file = platform::openBinaryFile(fifo, "ab");
  ASSERT_TRUE(file);
  std::fputs("x", file);
  EXPECT_EQ(0, std::fclose(file));
  char byte = 0;
  EXPECT_EQ(1, ::read(reader, &byte, 1));
  EXPECT_EQ('x', byte);
  ::close(reader);
}

TEST_F(BinaryFileTest, Size) {
  const std::string path = m_dir.writeFile("f.bin", "0123456789");
  EXPECT_EQ(10u, platform::regularFileSize(path));
  EXPECT_FALSE(platform::regularFileSize(m_dir.path()));
  EXPECT_FALSE(platform::regularFileSize(m_dir / "missing"));
  EXPECT_FALSE(platform::regularFileSize("/dev/null")) << "only a regular file";
}

// With a fault, bytes reach the file up to the limit and then the stream
// fails as on a full disk.
TEST_F(BinaryFileTest, WriteFault) {
  const std::string path = m_dir.writeFile("f.bin", "old");
  platform::setWriteFault(platform::WriteFault{.bytesBeforeFailure = 5});
  std::FILE *file = platform::openBinaryFile(path, "ab");
  ASSERT_TRUE(file);
  EXPECT_EQ(1u, std::fwrite("0123456789", 10, 1, file)) << "still in the buffer";
  EXPECT_NE(0, std::fflush(file));
  EXPECT_EQ(ENOSPC, errno);
  EXPECT_TRUE(std::ferror(file));
  std::fclose(file); // the C runtime may drop what it could not write
  EXPECT_EQ("old01234", test_support::readFile(path));

  platform::setWriteFault(platform::WriteFault{.closeFails = true});
  file = platform::openBinaryFile(path, "wb");
  ASSERT_TRUE(file);
  EXPECT_EQ(1u, std::fwrite("new", 3, 1, file));
  EXPECT_NE(0, std::fclose(file));
  EXPECT_EQ(EIO, errno);
  EXPECT_EQ("new", test_support::readFile(path)) << "written whole; only the close fails";

  file = platform::openBinaryFile(path, "rb");
  ASSERT_TRUE(file) << "reading carries no fault";
  EXPECT_EQ(0, std::fclose(file));

  platform::setWriteFault(std::nullopt);
  file = platform::openBinaryFile(path, "ab");
  ASSERT_TRUE(file);
  EXPECT_EQ(1u, std::fwrite("!", 1, 1, file));
  EXPECT_EQ(0, std::fclose(file));
  EXPECT_EQ("new!", test_support::readFile(path));
}

} // namespace

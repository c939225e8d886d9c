#include "platform/TextFile.h"

#include "platform/BinaryFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace platform {

namespace {

// Turns each CR LF pair among the first count characters of the buffer into
// "\n"; gives the new count.
std::size_t joinCrLfPairs(char *buffer, std::size_t count) {
  char *const end = buffer + count;
  char *read = static_cast<char *>(std::memchr(buffer, '\r', count));
  if (!read)
    return count;
  char *write = read;
  while (read < end) {
    if (*read == '\r' && read + 1 < end && read[1] == '\n')
      ++read;
    *write++ = *read++;
  }
  return static_cast<std::size_t>(write - buffer);
}

} // namespace

TextReadBuffer::TextReadBuffer(std::streambuf *source) : m_source(source) {
  setg(m_buffer, m_buffer, m_buffer);
}

TextReadBuffer::int_type TextReadBuffer::underflow() {
  if (gptr() < egptr())
    return traits_type::to_int_type(*gptr());
  if (!m_source)
    return traits_type::eof();
  // Take what the source has at hand, at least one character, so that a
  // reader of a pipe gets its text without waiting for a full buffer.
  std::size_t count = 0;
  const std::streamsize available = m_source->in_avail();
  if (available > 0) {
    const std::streamsize wanted = std::min<std::streamsize>(available, sizeof m_buffer);
    count = static_cast<std::size_t>(std::max<std::streamsize>(m_source->sgetn(m_buffer, wanted), 0));
  }
  if (count == 0) {
    const int_type c = m_source->sbumpc();
    if (traits_type::eq_int_type(c, traits_type::eof())) {
      setg(m_buffer, m_buffer, m_buffer);
      return traits_type::eof();
    }
    m_buffer[count++] = traits_type::to_char_type(c);
  }
  count = joinCrLf(count);
  setg(m_buffer, m_buffer, m_buffer + count);
  return traits_type::to_int_type(m_buffer[0]);
}

std::size_t TextReadBuffer::joinCrLf(std::size_t count) {
  count = joinCrLfPairs(m_buffer, count);
  // A pair split between two reads of the source.
  if (m_buffer[count - 1] == '\r' && traits_type::eq_int_type(m_source->sgetc(), '\n')) {
    m_source->sbumpc();
    m_buffer[count - 1] = '\n';
  }
  return count;
}

namespace {

// What a C stream in text mode reads through: the file itself, and a byte
// read ahead to see whether a CR at the end of a read starts a CR LF pair.
struct TextCookie {
  int fd = -1;
  int held = -1;       // the byte read ahead, or -1
  bool failed = false; // a read failed after some text had been given
};

ssize_t readRetrying(int fd, char *buffer, std::size_t size) {
  ssize_t n;
  do
    n = ::read(fd, buffer, size);
  while (n < 0 && errno == EINTR);
  return n;
}

// Reads straight into the C stream's own buffer and joins CR LF pairs there.
// A read error of the file becomes the C stream's error, not its end.
ssize_t readText(void *cookie, char *buffer, std::size_t size) {
  TextCookie &text = *static_cast<TextCookie *>(cookie);
  if (text.failed)
    return -1;
  if (size == 0)
    return 0;
  std::size_t count = 0;
  if (text.held >= 0) {
    buffer[count++] = static_cast<char>(text.held);
    text.held = -1;
  }
  if (count < size) {
    const ssize_t n = readRetrying(text.fd, buffer + count, size - count);
    if (n < 0) {
      if (count == 0)
        return -1;
      text.failed = true;
      return static_cast<ssize_t>(count);
    }
    count += static_cast<std::size_t>(n);
  }
  if (count == 0)
    return 0;
  count = joinCrLfPairs(buffer, count);
  if (buffer[count - 1] == '\r') {
    char next;
    const ssize_t n = readRetrying(text.fd, &next, 1);
    if (n < 0)
      text.failed = true;
    else if (n == 1 && next == '\n')
      buffer[count - 1] = '\n';
    else if (n == 1)
      text.held = static_cast<unsigned char>(next);
  }
  return static_cast<ssize_t>(count);
}

int closeText(void *cookie) {
  std::unique_ptr<TextCookie> owned(static_cast<TextCookie *>(cookie));
  return ::close(owned->fd);
}

// "r" and "rt": reading in text mode.
bool readsText(const char *mode) {
  return mode[0] == 'r' && !std::strchr(mode, '+') && !std::strchr(mode, 'b');
}

// A C stream in text mode over a descriptor opened for reading; null (the
// descriptor closed) when it cannot be made.
std::FILE *textStream(int fd) {
  auto cookie = std::make_unique<TextCookie>();
  cookie->fd = fd;
  cookie_io_functions_t functions{};
  functions.read = readText;
  functions.close = closeText;
  std::FILE *file = fopencookie(cookie.get(), "r", functions);
  if (!file) {
    ::close(fd);
    return nullptr;
  }
  cookie.release();
  return file;
}

} // namespace

FileReadBuffer::FileReadBuffer(int fd) : m_fd(fd) {
  if (m_fd >= 0)
    m_buffer.resize(64 * 1024);
  setg(m_buffer.data(), m_buffer.data(), m_buffer.data());
}

FileReadBuffer::~FileReadBuffer() {
  if (m_fd >= 0)
    ::close(m_fd);
}

FileReadBuffer::int_type FileReadBuffer::underflow() {
  if (gptr() < egptr())
    return traits_type::to_int_type(*gptr());
  if (m_fd < 0)
    return traits_type::eof();
  const ssize_t n = readRetrying(m_fd, m_buffer.data(), m_buffer.size());
  if (n <= 0) {
    m_readFailed = n < 0;
    setg(m_buffer.data(), m_buffer.data(), m_buffer.data());
    return traits_type::eof();
  }
  m_read += n;
  setg(m_buffer.data(), m_buffer.data(), m_buffer.data() + n);
  return traits_type::to_int_type(*gptr());
}

FileReadBuffer::pos_type FileReadBuffer::seekoff(off_type offset, std::ios_base::seekdir direction,
                                                 std::ios_base::openmode which) {
  if (m_fd < 0 || offset != 0 || direction != std::ios_base::cur || !(which & std::ios_base::in))
    return pos_type(off_type(-1));
  return pos_type(m_read - (egptr() - gptr()));
}

std::FILE *openTextFile(const std::string &path, const char *mode) {
  const int savedErrno = errno;
  if (!mode || !*mode) {
    errno = EINVAL;
    return nullptr;
  }
  if (readsText(mode)) {
    const int fd = openForReading(path);
    if (fd < 0)
      return nullptr;
    std::FILE *file = textStream(fd);
    if (file)
      errno = savedErrno;
    return file;
  }
  std::string plain;
  for (const char *c = mode; *c; ++c)
    if (*c != 't')
      plain += *c;
  return openBinaryFile(path, plain.c_str());
}

InputFile::InputFile(const std::string &path) : std::istream(nullptr), m_file(openForReading(path)) {
  if (m_file.isOpen())
    rdbuf(&m_file);
  else
    setstate(std::ios::failbit);
}

TextInputFile::TextInputFile(const std::string &path)
    : std::istream(nullptr), m_file(openForReading(path)), m_text(&m_file) {
  if (m_file.isOpen())
    rdbuf(&m_text);
  else
    setstate(std::ios::failbit);
}

} // namespace platform

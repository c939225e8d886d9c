#include "platform/TextFile.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <sys/types.h>

namespace platform {

TextReadBuffer::TextReadBuffer(std::streambuf *source) : m_source(source) {
  setg(m_buffer, m_buffer, m_buffer);
}

TextReadBuffer::int_type TextReadBuffer::underflow() {
  if (gptr() < egptr())
    return traits_type::to_int_type(*gptr());
  if (!m_source)
    return traits_type::eof();
  std::size_t count = 0;
  // Take what the source has at hand (at least one character), so that a
  // reader of a pipe gets its text without waiting for a full buffer.
  while (count < sizeof m_buffer && (count == 0 || m_source->in_avail() > 0)) {
    int_type c = m_source->sbumpc();
    if (traits_type::eq_int_type(c, traits_type::eof()))
      break;
    if (traits_type::to_char_type(c) == '\r' && traits_type::eq_int_type(m_source->sgetc(), '\n')) {
      m_source->sbumpc();
      c = '\n';
    }
    m_buffer[count++] = traits_type::to_char_type(c);
  }
  setg(m_buffer, m_buffer, m_buffer + count);
  return count == 0 ? traits_type::eof() : traits_type::to_int_type(m_buffer[0]);
}

namespace {

// What a C stream in text mode reads through.
struct TextCookie {
  std::filebuf file;
  TextReadBuffer text{&file};
};

// A read error of the file (which the file buffer throws) becomes the C
// stream's error, not its end.
ssize_t readText(void *cookie, char *buffer, std::size_t size) {
  try {
    return static_cast<ssize_t>(
        static_cast<TextCookie *>(cookie)->text.sgetn(buffer, static_cast<std::streamsize>(size)));
  } catch (...) {
    if (errno == 0)
      errno = EIO;
    return -1;
  }
}

int closeText(void *cookie) {
  std::unique_ptr<TextCookie> owned(static_cast<TextCookie *>(cookie));
  return owned->file.close() ? 0 : -1;
}

bool readsOnly(const char *mode) {
  return mode[0] == 'r' && !std::strchr(mode, '+') && !std::strchr(mode, 'b');
}

} // namespace

std::FILE *openTextFile(const std::string &path, const char *mode) {
  const int savedErrno = errno;
  if (!mode || !*mode) {
    errno = EINVAL;
    return nullptr;
  }
  if (!readsOnly(mode)) {
    std::string plain;
    for (const char *c = mode; *c; ++c)
      if (*c != 't')
        plain += *c;
    std::FILE *file = std::fopen(path.c_str(), plain.c_str());
    if (file)
      errno = savedErrno;
    return file;
  }
  auto cookie = std::make_unique<TextCookie>();
  errno = 0;
  if (!cookie->file.open(path, std::ios::in | std::ios::binary)) {
    if (errno == 0)
      errno = ENOENT;
    return nullptr;
  }
  cookie_io_functions_t functions{};
  functions.read = readText;
  functions.close = closeText;
  std::FILE *file = fopencookie(cookie.get(), "r", functions);
  if (!file)
    return nullptr;
  cookie.release();
  errno = savedErrno;
  return file;
}

TextInputFile::TextInputFile(const std::string &path) : std::istream(nullptr), m_text(&m_file) {
  if (m_file.open(path, std::ios::in | std::ios::binary))
    rdbuf(&m_text);
  else
    setstate(std::ios::failbit);
}

} // namespace platform

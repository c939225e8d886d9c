#include "foundation/TranStreambuf.h"

#include "cmdline/ProductEnvironment.h"
#include "foundation/Language.h"

#include <algorithm>
#include <cstring>

itranstreambuf::itranstreambuf(QL_EncodingKind kind, const std::string &path)
    : m_translator(kind, currentTempDir()), m_file(m_translator.open(path, false)) {
  setg(dataArea(), dataArea(), dataArea());
}

itranstreambuf::~itranstreambuf() {
  if (m_file)
    m_translator.close();
}

itranstreambuf::int_type itranstreambuf::underflow() {
  if (gptr() < egptr())
    return traits_type::to_int_type(*gptr());
  if (!m_file || m_readFailed)
    return traits_type::eof();
  // Keep the last consumed characters in front of the data area, so that
  // they can be put back after the refill.
  const std::size_t kept = std::min(static_cast<std::size_t>(gptr() - eback()), putbackSize);
  std::memmove(dataArea() - kept, gptr() - kept, kept);
  // The get area follows the kept characters, so that they can be put back
  // also when no more input comes.
  setg(dataArea() - kept, dataArea(), dataArea());
  if (std::feof(m_file))
    return traits_type::eof();
  const std::size_t count = std::fread(dataArea(), 1, dataSize, m_file);
  if (count == 0) {
    // An error ends the input for good, so that no reader waits on it.
    m_readFailed = std::ferror(m_file) != 0;
    return traits_type::eof();
  }
  setg(dataArea() - kept, dataArea(), dataArea() + count);
  return traits_type::to_int_type(*gptr());
}

otranstreambuf::otranstreambuf(const std::string &path, bool append)
    : otranstreambuf(QL_defaultEncoding(), path, append) {}

otranstreambuf::otranstreambuf(QL_EncodingKind kind, const std::string &path, bool append)
    : m_translator(kind, currentTempDir(), append), m_file(m_translator.open(path)) {}

otranstreambuf::~otranstreambuf() {
  if (!m_file)
    return;
  try {
    close();
  } catch (...) {
    // A destructor cannot report; whoever wants the failure calls close.
  }
}

void otranstreambuf::close() {
  if (!m_file)
    return;
  m_file = nullptr;
  m_translator.close();
}

otranstreambuf::int_type otranstreambuf::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof()) || !m_file)
    return traits_type::eof();
  if (std::fputc(traits_type::to_char_type(c), m_file) == EOF)
    return traits_type::eof();
  return c;
}

std::streamsize otranstreambuf::xsputn(const char *text, std::streamsize count) {
  if (!m_file || count <= 0)
    return 0;
  return static_cast<std::streamsize>(std::fwrite(text, 1, static_cast<std::size_t>(count), m_file));
}

int otranstreambuf::sync() {
  if (!m_file)
    return 0;
  return std::fflush(m_file) == 0 ? 0 : -1;
}

#include "foundation/Source.h"

#include "platform/TextFile.h"

#include <cerrno>
#include <istream>

Source::~Source() = default;

void Source::Close() {}

FileSource::FileSource() = default;

bool FileSource::open(CountedString path) {
  Close();
  // Success is what fopen returns, whatever errno holds afterwards.
  pfile = platform::openTextFile(path.text(), "rb");
  m_atEnd = pfile == nullptr;
  m_readFailed = false;
  return pfile != nullptr;
}

void FileSource::Close() {
  m_atEnd = true;
  m_pushback.clear();
  if (pfile) {
    std::fclose(pfile);
    pfile = nullptr;
  }
}

int FileSource::Get() {
  if (!m_pushback.empty())
    return m_pushback.pop();
  if (m_atEnd)
    return -1;
  if (!pfile) {
    std::fputs("FileSource::Get called when pfile is null!\n", stderr);
    return -1;
  }
  errno = 0;
  int c = std::fgetc(pfile);
  if (c != EOF)
    return c;
  if (std::ferror(pfile)) {
    // A read error ends this call only: the next call tries again.
    std::fprintf(stderr, "FileSource::Get got error %d, char %c (%d).\n", errno, c, c);
    std::clearerr(pfile);
    m_readFailed = true;
    return -1;
  }
  m_atEnd = true;
  return -1;
}

void FileSource::Unget(int byte) {
  if (byte >= 0)
    m_pushback.push(byte);
}

bool StringSource::setText(CountedString text) {
  m_text = text;
  m_position = 0;
  return true;
}

void StringSource::Close() {
  m_text = CountedString();
  m_position = 0;
}

int StringSource::Get() {
  if (m_position >= m_text.length())
    return -1;
  return static_cast<unsigned char>(m_text.text()[m_position++]);
}

void StringSource::Unget(int byte) {
  if (byte >= 0 && m_position != 0)
    --m_position;
}

int StreamSource::Get() {
  if (!m_pushback.empty())
    return m_pushback.pop();
  if (!m_in)
    return -1;
  std::istream::int_type c = m_in->get();
  if (std::istream::traits_type::eq_int_type(c, std::istream::traits_type::eof()))
    return -1;
  return static_cast<unsigned char>(std::istream::traits_type::to_char_type(c));
}

void StreamSource::Unget(int byte) {
  if (m_in && byte >= 0)
    m_pushback.push(byte);
}

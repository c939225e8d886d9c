#include "foundation/TagLineIterator.h"

#include "foundation/Exception.h"
#include "foundation/Language.h"
#include "foundation/ScratchText.h"
#include "foundation/TextConversion.h"
#include "foundation/TranStreambuf.h"

#include <cstring>

TagLineIterator::TagLineIterator() = default;

TagLineIterator::~TagLineIterator() = default;

bool TagLineIterator::open(const std::string &path) {
  auto buffer = std::make_unique<itranstreambuf>(QL_defaultEncoding(), QL_fromInternal(path));
  if (!buffer->isOpen())
    return false;
  m_stream.reset();
  m_buffer = std::move(buffer);
  m_stream = std::make_unique<std::istream>(m_buffer.get());
  m_path = path;
  m_lineNumber = 0;
  m_atEnd = false;
  advance();
  return true;
}

void TagLineIterator::advance() {
  if (!m_stream) {
    m_atEnd = true;
    return;
  }
  for (;;) {
    // A last line without a line end still arrives here; only a read that
    // gets nothing at all fails.
    std::getline(*m_stream, m_scratch);
    if (m_buffer->readFailed() || m_stream->bad()) {
      m_atEnd = true;
      throw U_UserException("Cannot read file: '" + m_path + "'.");
    }
    if (m_stream->fail()) {
      m_atEnd = true;
      return;
    }
    ++m_lineNumber;
    if (m_scratch.empty() || m_scratch[0] != '<')
      continue;
    const void *close = std::memchr(m_scratch.data(), '>', m_scratch.size());
    if (!close)
      continue;
    const std::size_t tagEnd = static_cast<const char *>(close) - m_scratch.data();
    m_current.m_tag.assign(m_scratch, 1, tagEnd - 1);
    // The previous line's storage serves the next read, unless a long line
    // made it grow.
    m_current.m_line.swap(m_scratch);
    U_releaseLongScratch(m_scratch);
    return;
  }
}

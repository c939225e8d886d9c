#include "cmdline/CmdArgStreamBuffer.h"

#include "cmdline/ConfigurationException.h"

#include <algorithm>
#include <cstring>

C_CmdArgStreamBuffer::C_CmdArgStreamBuffer(const C_Product &product, QL_EncodingKind kind,
                                           const std::string &tempDir, C_ArgsSourceStack &stack)
    : m_product(product), m_encodingKind(kind), m_tempDir(tempDir), m_stack(&stack),
      m_baseSources(stack.size()) {
  char *getArea = m_buffer.data() + PutBackSize;
  setg(getArea, getArea, getArea);
}

void C_CmdArgStreamBuffer::pushFile(const std::string &path) {
  const std::string fileName = C_FileSource::fileName(path);
  // The sources above those of the parse's start are the pushed files; the
  // start sources may already be gone, which leaves more room.
  if (m_stack->isReading(fileName) || m_stack->size() >= m_baseSources + MaxNestedFiles ||
      m_pushedFiles >= MaxSettingsFiles) {
    if (m_refusedFiles.insert(fileName).second)
      throw C_ViaNestingException(path);
    return;
  }
  ++m_pushedFiles;
  m_stack->push(U_RefPtr<C_ArgsSource>(new C_FileSource(m_product, path, m_encodingKind, m_tempDir)));
}

C_CmdArgStreamBuffer::int_type C_CmdArgStreamBuffer::underflow() {
  if (gptr() < egptr())
    return traits_type::to_int_type(*gptr());

  // Keep the last characters handed out for putting back.
  const auto putBack = std::min<std::size_t>(static_cast<std::size_t>(gptr() - eback()), PutBackSize);
  char *getArea = m_buffer.data() + PutBackSize;
  std::memmove(getArea - putBack, gptr() - putBack, putBack);

  if (m_wordPosition >= m_word.size()) {
    m_wordPosition = 0;
    m_word.clear();
    if (!m_stack->nextWord(m_word)) {
      setg(getArea - putBack, getArea, getArea);
      return traits_type::eof();
    }
    m_word += '\n';
  }
  const std::size_t count = std::min(GetSize, m_word.size() - m_wordPosition);
  std::memcpy(getArea, m_word.data() + m_wordPosition, count);
  m_wordPosition += count;
  setg(getArea - putBack, getArea, getArea + count);
  return traits_type::to_int_type(*gptr());
}

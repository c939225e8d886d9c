#include "cmdline/LineBuffer.h"

#include <cstring>

bool isWordSpace(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

int C_LineBuffer::nextChar(std::FILE *file, bool expand) {
  // A line that expands to nothing gives no character: read on.
  while (m_position >= m_length) {
    do {
      if (!readConfigLine(m_line.data(), m_line.size(), file))
        return -1;
    } while (m_line[0] == '*');
    const bool endsLine = std::strchr(m_line.data(), '\n') != nullptr;
    expandConfigLine(m_line.data(), m_line.size(), false, expand, false);
    m_position = 0;
    m_length = static_cast<std::int32_t>(std::strlen(m_line.data()));
    // An expansion that lost its line end (cut to the buffer, or a badly
    // formed variable that drops the rest of the line) gets it back, so that
    // its last word does not run on into the next line. A full buffer gives
    // up its last character for it.
    if (endsLine && (m_length == 0 || m_line[static_cast<std::size_t>(m_length - 1)] != '\n')) {
      if (static_cast<std::size_t>(m_length) + 1 < m_line.size())
        ++m_length;
      m_line[static_cast<std::size_t>(m_length - 1)] = '\n';
      m_line[static_cast<std::size_t>(m_length)] = '\0';
    }
  }
  return static_cast<unsigned char>(m_line[static_cast<std::size_t>(m_position++)]);
}

int C_LineBuffer::skipWhiteSpace(std::FILE *file, bool expand) {
  int c = nextChar(file, expand);
  while (c != -1 && isWordSpace(c))
    c = nextChar(file, expand);
  return c;
}

std::optional<std::string> C_LineBuffer::readWord(std::FILE *file, bool expand) {
  int c = skipWhiteSpace(file, expand);
  if (c == -1)
    return std::nullopt;
  std::string word;
  while (c != -1 && !isWordSpace(c)) {
    if (c == '"' || c == '\'') {
      if (!readQuoted(file, c, word, expand))
        break;
    } else {
      word += static_cast<char>(c);
    }
    c = nextChar(file, expand);
  }
  return word;
}

bool C_LineBuffer::readQuoted(std::FILE *file, int quote, std::string &word, bool expand) {
  for (;;) {
    const int c = nextChar(file, expand);
    if (c == -1)
      return false;
    if (c == quote || c == '\n')
      return true;
    word += static_cast<char>(c);
  }
}

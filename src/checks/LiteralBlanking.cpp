#include "checks/LiteralBlanking.h"

#include "checks/FileTokens.h"
#include "checks/Tokenizer.h"

#include <cstddef>

namespace {

enum class Mode { code, blockComment, stringLiteral, charLiteral };

class Blanker {
public:
  explicit Blanker(QL_EncodingKind encoding) : m_encoding(encoding) {}
  void blankLine(std::string &line);

private:
  // One character of a literal closed by quote (0 for a multi-byte
  // character): the closing quote ends the literal and stays; any other
  // character becomes blanks, a backslash escaping the character after it.
  bool literalChar(char c, char quote);

  QL_EncodingKind m_encoding;
  Mode m_mode = Mode::code;
  bool m_escape = false;
  bool m_lineCommentGoesOn = false;
};

bool Blanker::literalChar(char c, char quote) {
  if (c == quote && !m_escape) {
    m_mode = Mode::code;
    return false;
  }
  m_escape = c == '\\' && !m_escape;
  return true;
}

void Blanker::blankLine(std::string &line) {
  if (m_lineCommentGoesOn) {
    m_lineCommentGoesOn = endsWithBackslash(line, m_encoding);
    line.assign(line.size(), ' ');
    return;
  }
  std::size_t i = 0;
  while (i < line.size()) {
    // A multi-byte character is never a marker, a quote or a backslash: a
    // Shift_JIS second byte 0x5C escapes nothing.
    const std::size_t length = characterLength(line, i, m_encoding);
    const char c = length == 1 ? line[i] : '\0';
    const char next = i + length < line.size() ? line[i + length] : '\n';
    bool blank = false;
    switch (m_mode) {
    case Mode::code:
      if (c == '/' && next == '*') {
        m_mode = Mode::blockComment;
        ++i;
      } else if (c == '/' && next == '/') {
        m_lineCommentGoesOn = endsWithBackslash(line, m_encoding);
        line.replace(i + 2, std::string::npos, line.size() - i - 2, ' ');
        return;
      } else if (c == '"') {
        m_mode = Mode::stringLiteral;
      } else if (c == '\'') {
        m_mode = Mode::charLiteral;
      }
      break;
    case Mode::blockComment:
      if (c == '*' && next == '/') {
        m_mode = Mode::code;
        ++i;
      } else {
        blank = true;
      }
      break;
    case Mode::stringLiteral:
      blank = literalChar(c, '"');
      break;
    case Mode::charLiteral:
      blank = literalChar(c, '\'');
      break;
    }
    if (blank)
      line.replace(i, length, length, ' ');
    i += length;
  }
}

} // namespace

void blankCommentsAndLiterals(std::vector<std::string> &lines, QL_EncodingKind encoding) {
  Blanker blanker(encoding);
  for (std::string &line : lines)
    blanker.blankLine(line);
}

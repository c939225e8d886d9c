#include "checks/LiteralBlanking.h"

#include <cstddef>

namespace {

enum class Mode { code, blockComment, stringLiteral, charLiteral };

// Whether the last character of the line that is not a blank or tab is a
// backslash.
bool endsInBackslash(const std::string &line) {
  const std::size_t last = line.find_last_not_of(" \t");
  return last != std::string::npos && line[last] == '\\';
}

class Blanker {
public:
  void blankLine(std::string &line);

private:
  // The state of one literal character: the closing quote ends the literal,
  // a backslash escapes the character after it, and the character becomes a
  // blank unless it is the closing quote.
  void literalChar(char &c, char quote);

  Mode m_mode = Mode::code;
  bool m_escape = false;
  bool m_lineCommentGoesOn = false;
};

void Blanker::literalChar(char &c, char quote) {
  if (c == quote && !m_escape) {
    m_mode = Mode::code;
    return;
  }
  m_escape = c == '\\' && !m_escape;
  c = ' ';
}

void Blanker::blankLine(std::string &line) {
  if (m_lineCommentGoesOn) {
    m_lineCommentGoesOn = endsInBackslash(line);
    line.assign(line.size(), ' ');
    return;
  }
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char next = i + 1 < line.size() ? line[i + 1] : '\n';
    char &c = line[i];
    switch (m_mode) {
    case Mode::code:
      if (c == '/' && next == '*') {
        m_mode = Mode::blockComment;
        ++i;
      } else if (c == '/' && next == '/') {
        m_lineCommentGoesOn = endsInBackslash(line);
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
        c = ' ';
      }
      break;
    case Mode::stringLiteral:
      literalChar(c, '"');
      break;
    case Mode::charLiteral:
      literalChar(c, '\'');
      break;
    }
  }
}

} // namespace

void blankCommentsAndLiterals(std::vector<std::string> &lines) {
  Blanker blanker;
  for (std::string &line : lines)
    blanker.blankLine(line);
}

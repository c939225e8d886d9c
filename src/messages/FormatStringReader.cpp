#include "messages/FormatStringReader.h"

#include "messages/DecimalDigits.h"
#include "messages/FormatParseException.h"
#include "messages/FormatStringLimits.h"

#include <algorithm>
#include <cstddef>
#include <utility>

namespace {

// Reads left to right; each step appends tokens and moves past what it read.
class FormatReader {
public:
  explicit FormatReader(const std::string &text) : m_text(text) {}

  FM_TokenList read() {
    while (!atEnd()) {
      if (current() == '%')
        lexPercent();
      else
        lexLiteral(m_pos);
    }
    return std::move(m_tokens);
  }

private:
  bool atEnd() const { return m_pos >= m_text.size(); }
  char current() const { return m_text[m_pos]; }
  char next() const { return m_pos + 1 < m_text.size() ? m_text[m_pos + 1] : '\0'; }

  [[noreturn]] void failFrom(std::size_t from) const { throw FM_ParseException(m_text.substr(from)); }
  [[noreturn]] static void unexpectedEnd() { throw FM_ParseException("Unexpected end"); }

  void add(FM_TokenKind kind) { m_tokens.emplace_back(new FM_LexToken(kind)); }
  void addLiteral(std::string text) { m_tokens.emplace_back(new FM_LexAlphaToken(std::move(text))); }

  // Skips the blanks (' ' only) at the current position.
  void skipBlanks() {
    while (!atEnd() && current() == ' ')
      ++m_pos;
  }

  // Literal text from `from` (taken whatever it is) up to the next '%'.
  void lexLiteral(std::size_t from) {
    const std::size_t end = std::min(m_text.find('%', from + 1), m_text.size());
    addLiteral(m_text.substr(from, end - from));
    m_pos = end;
  }

  // At a '%': a literal '%', a conditional's part, a conditional or a
  // directive.
  void lexPercent() {
    ++m_pos;
    if (atEnd() || current() == '%') {
      if (!atEnd())
        ++m_pos;
      addLiteral("%");
      return;
    }
    switch (current()) {
    case '(':
      ++m_pos;
      add(FM_TokenKind::thenPart);
      return;
    case ')':
      ++m_pos;
      add(FM_TokenKind::endConditional);
      return;
    case ':':
      ++m_pos;
      add(FM_TokenKind::elsePart);
      return;
    case '?':
      ++m_pos;
      add(FM_TokenKind::conditional);
      lexCondition();
      return;
    default:
      lexDirective();
    }
  }

  // After '%' (blanks allowed before the letter).
  void lexDirective() {
    const std::size_t start = m_pos;
    skipBlanks();
    if (atEnd())
      failFrom(start);
    const char letter = current();
    switch (letter) {
    case 'g':
    case 'n':
    case 'N':
    case 'f':
    case 'F':
    case 'B':
    case 'l':
    case 'c':
    case 'C':
    case '^':
    case 't':
    case 'v':
    case 'h':
    case 'u':
    case 'q':
    case 'Q':
      ++m_pos;
      add(textKind(letter));
      return;
    case 'w':
    case 'W':
    case 's':
      ++m_pos;
      add(textKind(letter));
      lexNumberArgument();
      return;
    case 'i':
      ++m_pos;
      add(FM_TokenKind::indent);
      lexIndentArgument();
      return;
    case 'R':
      ++m_pos;
      add(FM_TokenKind::repeat);
      lexRepeatArguments();
      return;
    case 'L':
    case '%':
      failFrom(m_pos);
    default:
      // No directive: the text keeps the '%' (or the last blank after it).
      lexLiteral(m_pos - 1);
    }
  }

  static FM_TokenKind textKind(char letter) {
    switch (letter) {
    case 'g':
      return FM_TokenKind::level;
    case 'n':
      return FM_TokenKind::messageNumber;
    case 'N':
      return FM_TokenKind::paddedNumber;
    case 'f':
      return FM_TokenKind::file;
    case 'F':
      return FM_TokenKind::canonicalFile;
    case 'B':
      return FM_TokenKind::baseName;
    case 'l':
      return FM_TokenKind::line;
    case 'c':
      return FM_TokenKind::column;
    case 'C':
      return FM_TokenKind::columnMinusOne;
    case '^':
      return FM_TokenKind::caret;
    case 't':
      return FM_TokenKind::text;
    case 'v':
      return FM_TokenKind::secondText;
    case 'h':
      return FM_TokenKind::errorFlag;
    case 'u':
      return FM_TokenKind::callerValue;
    case 'w':
      return FM_TokenKind::wrapHard;
    case 'W':
      return FM_TokenKind::wrapAtBlank;
    case 's':
      return FM_TokenKind::cut;
    case 'q':
      return FM_TokenKind::remember;
    default:
      return FM_TokenKind::forget;
    }
  }

  // After "%?": an operand, then an operator and a second operand, or the
  // truth test when a '%' follows the operand.
  void lexCondition() {
    if (atEnd())
      unexpectedEnd();
    lexOperand();
    if (atEnd())
      unexpectedEnd();
    if (!lexOperator())
      lexOperand();
  }

  // Gives true for the truth test, whose '%' stays for the next step.
  bool lexOperator() {
    skipBlanks();
    if (atEnd())
      unexpectedEnd();
    const char c = current();
    const bool equalFollows = next() == '=';
    switch (c) {
    case '<':
      add(equalFollows ? FM_TokenKind::lessEqual : FM_TokenKind::less);
      break;
    case '>':
      add(equalFollows ? FM_TokenKind::greaterEqual : FM_TokenKind::greater);
      break;
    case '=':
    case '!':
      if (!equalFollows)
        failFrom(m_pos + 1);
      add(c == '=' ? FM_TokenKind::equal : FM_TokenKind::notEqual);
      break;
    case '%':
      add(FM_TokenKind::truthTest);
      return true;
    default:
      failFrom(m_pos);
    }
    m_pos += equalFollows ? 2 : 1;
    return false;
  }

  // One operand of a condition: a letter without '%', or a literal up to the
  // next of "<>=!%".
  void lexOperand() {
    const std::size_t start = m_pos;
    skipBlanks();
    if (atEnd())
      failFrom(start);
    const char letter = current();
    switch (letter) {
    case 'g':
    case 'n':
    case 'N':
    case 'f':
    case 'B':
    case 'l':
    case 'c':
    case '^':
    case 't':
    case 'h':
    case 'u':
    case 'w':
    case 'W':
    case 's':
      ++m_pos;
      add(textKind(letter));
      return;
    case 'i':
      ++m_pos;
      add(FM_TokenKind::indent);
      return;
    case 'F':
    case 'L':
    case 'C':
    case 'v':
      ++m_pos;
      add(conditionKind(letter));
      return;
    case 'Q':
    case 'q':
    case 'R':
    case '%':
      failFrom(m_pos);
    default: {
      const std::size_t end = std::min(m_text.find_first_of("<>=!%", m_pos), m_text.size());
      if (end == m_pos)
        failFrom(m_pos);
      addLiteral(m_text.substr(m_pos, end - m_pos));
      m_pos = end;
    }
    }
  }

  static FM_TokenKind conditionKind(char letter) {
    switch (letter) {
    case 'F':
      return FM_TokenKind::fileChanged;
    case 'L':
      return FM_TokenKind::lineChanged;
    case 'C':
      return FM_TokenKind::placeChanged;
    default:
      return FM_TokenKind::hasSecondText;
    }
  }

  // A run of digits, or a text in parentheses that begins with one.
  void lexNumberArgument() {
    const std::size_t start = m_pos;
    skipBlanks();
    if (atEnd()) {
      if (m_pos > start)
        failFrom(start);
      unexpectedEnd();
    }
    std::int32_t value = 0;
    if (current() == '(') {
      const std::size_t close = m_text.find(')', m_pos + 1);
      if (close == std::string::npos)
        failFrom(m_pos);
      std::size_t digits = m_pos + 1;
      if (digits == close || !M_isDigit(m_text[digits]))
        failFrom(close + 1);
      value = M_readDigits(m_text, digits);
      m_pos = close + 1;
    } else if (M_isDigit(current())) {
      value = M_readDigits(m_text, m_pos);
    } else {
      failFrom(m_pos);
    }
    m_tokens.emplace_back(new FM_LexNumToken(value));
  }

  // One character (a blank too), or a text in parentheses.
  void lexIndentArgument() {
    if (atEnd())
      unexpectedEnd();
    if (current() != '(') {
      addLiteral(std::string(1, current()));
      ++m_pos;
      return;
    }
    const std::size_t close = m_text.find(')', m_pos + 1);
    if (close == std::string::npos)
      failFrom(m_pos);
    addLiteral(m_text.substr(m_pos + 1, close - m_pos - 1));
    m_pos = close + 1;
  }

  // "(count,text)": the count is a '%' construct or a number argument, the
  // text runs up to the next ')'.
  void lexRepeatArguments() {
    if (atEnd())
      unexpectedEnd();
    if (current() != '(')
      failFrom(m_pos);
    ++m_pos;
    if (atEnd())
      unexpectedEnd();
    if (current() == '%') {
      // The construct may be a repeat again: bound the nesting.
      if (m_depth == FM_nestingLimit)
        failFrom(m_pos);
      ++m_depth;
      lexPercent();
      --m_depth;
    } else {
      lexNumberArgument();
    }
    if (atEnd())
      unexpectedEnd();
    if (current() != ',')
      failFrom(m_pos);
    const std::size_t comma = m_pos;
    const std::size_t close = m_text.find(')', comma + 1);
    if (close == std::string::npos)
      failFrom(comma);
    addLiteral(m_text.substr(comma + 1, close - comma - 1));
    m_pos = close + 1;
  }

  const std::string &m_text;
  std::size_t m_pos = 0;
  int m_depth = 0;
  FM_TokenList m_tokens;
};

} // namespace

FM_TokenList lexFormatString(const std::string &text) { return FormatReader(text).read(); }

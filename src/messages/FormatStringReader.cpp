#include "messages/FormatStringReader.h"

#include "messages/DecimalDigits.h"
#include "messages/FormatParseException.h"
#include "messages/FormatStringLimits.h"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string_view>
#include <utility>

namespace {

struct LetterKind {
  char letter;
  FM_TokenKind kind;
};

// The directives after '%' in text.
constexpr LetterKind textLetters[] = {
    {'g', FM_TokenKind::level},     {'n', FM_TokenKind::messageNumber}, {'N', FM_TokenKind::paddedNumber},
    {'f', FM_TokenKind::file},      {'F', FM_TokenKind::canonicalFile}, {'B', FM_TokenKind::baseName},
    {'l', FM_TokenKind::line},      {'c', FM_TokenKind::column},        {'C', FM_TokenKind::columnMinusOne},
    {'^', FM_TokenKind::caret},     {'t', FM_TokenKind::text},          {'v', FM_TokenKind::secondText},
    {'h', FM_TokenKind::errorFlag}, {'u', FM_TokenKind::callerValue},   {'q', FM_TokenKind::remember},
    {'Q', FM_TokenKind::forget},    {'w', FM_TokenKind::wrapHard},      {'W', FM_TokenKind::wrapAtBlank},
    {'s', FM_TokenKind::cut},       {'i', FM_TokenKind::indent},        {'R', FM_TokenKind::repeat},
};

// The operands of a condition (letters without '%'): F, L, C and v are the
// condition forms.
constexpr LetterKind operandLetters[] = {
    {'g', FM_TokenKind::level},         {'n', FM_TokenKind::messageNumber}, {'N', FM_TokenKind::paddedNumber},
    {'f', FM_TokenKind::file},          {'F', FM_TokenKind::fileChanged},   {'B', FM_TokenKind::baseName},
    {'l', FM_TokenKind::line},          {'L', FM_TokenKind::lineChanged},   {'c', FM_TokenKind::column},
    {'C', FM_TokenKind::placeChanged},  {'^', FM_TokenKind::caret},         {'t', FM_TokenKind::text},
    {'v', FM_TokenKind::hasSecondText}, {'h', FM_TokenKind::errorFlag},     {'u', FM_TokenKind::callerValue},
    {'w', FM_TokenKind::wrapHard},      {'W', FM_TokenKind::wrapAtBlank},   {'s', FM_TokenKind::cut},
    {'i', FM_TokenKind::indent},
};

template <std::size_t N> std::optional<FM_TokenKind> kindOf(const LetterKind (&table)[N], char letter) {
  for (const LetterKind &entry : table)
    if (entry.letter == letter)
      return entry.kind;
  return std::nullopt;
}

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
    const std::optional<FM_TokenKind> kind = kindOf(textLetters, current());
    if (!kind) {
      if (current() == 'L' || current() == '%')
        failFrom(m_pos);
      // No directive: the text keeps the '%' (or the last blank after it).
      lexLiteral(m_pos - 1);
      return;
    }
    ++m_pos;
    add(*kind);
    switch (*kind) {
    case FM_TokenKind::wrapHard:
    case FM_TokenKind::wrapAtBlank:
    case FM_TokenKind::cut:
      lexNumberArgument();
      break;
    case FM_TokenKind::indent:
      lexIndentArgument();
      break;
    case FM_TokenKind::repeat:
      lexRepeatArguments();
      break;
    default:
      break;
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
    if (const std::optional<FM_TokenKind> kind = kindOf(operandLetters, current())) {
      ++m_pos;
      add(*kind);
      return;
    }
    // Settings, repeats and '%' are no operands.
    if (std::string_view("QqR%").find(current()) != std::string_view::npos)
      failFrom(m_pos);
    const std::size_t end = std::min(m_text.find_first_of("<>=!%", m_pos), m_text.size());
    if (end == m_pos)
      failFrom(m_pos);
    addLiteral(m_text.substr(m_pos, end - m_pos));
    m_pos = end;
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

// The tokens of a format string: what the reader makes of each directive,
// operator and piece of literal text, and the text that shows a token list
// (the "show-format" report and the text of an evaluation error).
#pragma once

#include "foundation/Ref.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// What a token stands for; the numbers are the kinds the token records.
enum class FM_TokenKind : std::uint32_t {
  conditional = 0,     // %?
  elsePart = 1,        // %:
  thenPart = 2,        // %(
  endConditional = 3,  // %)
  level = 4,           // %g, g
  messageNumber = 5,   // %n, n
  paddedNumber = 6,    // %N
  file = 7,            // %f
  canonicalFile = 8,   // %F in text
  baseName = 9,        // %B
  fileChanged = 10,    // F in a condition
  line = 11,           // %l, l
  lineChanged = 12,    // L in a condition
  column = 13,         // %c, c
  columnMinusOne = 14, // %C in text
  placeChanged = 15,   // C in a condition
  caret = 16,          // %^
  text = 17,           // %t
  hasSecondText = 18,  // v in a condition
  secondText = 19,     // %v in text
  errorFlag = 20,      // %h, h
  callerValue = 21,    // %u, u
  wrapHard = 22,       // %w
  wrapAtBlank = 23,    // %W
  cut = 24,            // %s
  indent = 25,         // %i
  remember = 26,       // %q
  forget = 27,         // %Q
  repeat = 28,         // %R
  lessEqual = 29,
  less = 30,
  greaterEqual = 31,
  greater = 32,
  equal = 33,
  notEqual = 34,
  truthTest = 35, // a condition without operator
  literal = 36,   // FM_LexAlphaToken
  number = 37,    // FM_LexNumToken
};

class FM_LexToken : public U_Ref {
public:
  explicit FM_LexToken(FM_TokenKind kind) : m_kind(kind) {}
  ~FM_LexToken() override;

  FM_TokenKind kind() const { return m_kind; }

private:
  FM_TokenKind m_kind;
};

// A number argument (of a wrap setting or a repeat count).
class FM_LexNumToken : public FM_LexToken {
public:
  explicit FM_LexNumToken(std::int32_t value) : FM_LexToken(FM_TokenKind::number), m_value(value) {}
  ~FM_LexNumToken() override;

  std::int32_t value() const { return m_value; }

private:
  std::int32_t m_value;
};

// Literal text: of the format, an operand, an indent or a repeated text.
class FM_LexAlphaToken : public FM_LexToken {
public:
  explicit FM_LexAlphaToken(std::string text) : FM_LexToken(FM_TokenKind::literal), m_text(std::move(text)) {}
  ~FM_LexAlphaToken() override;

  const std::string &text() const { return m_text; }

private:
  std::string m_text;
};

using FM_TokenList = std::vector<U_RefPtr<FM_LexToken>>;

// How a token shows in a token list: "%g" for the level, "u" for the caller's
// value, "F" for the file-changed condition, nothing for the truth test, a
// literal as its text ("%%" for a literal "%"), a number in decimal.
std::string FM_shownText(const FM_LexToken &token);
// The shown texts of the tokens from index first to the end, joined by single
// blanks.
std::string FM_tokenListText(const FM_TokenList &tokens, std::size_t first = 0);

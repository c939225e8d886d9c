// The line tokenizer of the token checks: splits one line of C source text
// into words, numbers, quoted literals, the header name of an angle-bracket
// include directive and punctuators, each with its column in the line after
// tab expansion. It knows nothing of preprocessing or comments ("/*" and "//"
// are punctuators) and accepts every byte value.
//
// Bytes are classified with ASCII rules only: letters, digits and "_@$" make
// words; space, tab, line feed, vertical tab, form feed and carriage return
// are white space; every other byte, each byte from 0x80 included, is
// punctuation. A multi-byte character of the line's encoding (EUC-JP,
// Shift_JIS or UTF-8) is one punctuation character that never combines with
// another, so a Shift_JIS second byte such as 0x5C is never read as a
// backslash, a letter or a bracket.
#pragma once

#include "foundation/EncodingKind.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// One first character of the punctuator table and the texts that may follow
// it to form a longer punctuator, tried in order.
struct PunctuatorRecord {
  char m_first = 0;
  int m_count = 0;
  std::vector<std::string> m_continuations;
};

// The process-wide punctuator table, empty until loadPunctuatorTable. While
// it is empty every punctuation character is a token of its own.
std::vector<PunctuatorRecord> &punctuatorTable();

// Appends the built-in punctuators (including trigraphs and digraphs) to the
// table; it does not clear the table first. Called once at start-up.
void loadPunctuatorTable();

// Receives the tokens of a line in order: the 0-based column of each in the
// tab-expanded line and its bytes, which live only during the call.
class TokenSink {
public:
  virtual void token(std::size_t column, std::string_view text) = 0;

protected:
  ~TokenSink() = default;
};

// Hands the tokens of tokenizeLine to the sink one by one, keeping none of
// them: the time and the room it takes grow with the line, not faster.
void forEachToken(std::string_view line, TokenSink &sink, QL_EncodingKind encoding = eceEUC);

// The same with a callable taking the column and the text of each token.
template <typename Callback>
void forEachToken(std::string_view line, QL_EncodingKind encoding, Callback callback) {
  class CallbackSink final : public TokenSink {
  public:
    explicit CallbackSink(Callback &callback) : m_callback(callback) {}
    void token(std::size_t column, std::string_view text) override { m_callback(column, text); }

  private:
    Callback &m_callback;
  } sink(callback);
  forEachToken(line, sink, encoding);
}

// Clears tokens and columns, then fills them in token order: the exact bytes
// of each token in the tab-expanded line (tabs to multiples of 8) and the
// 0-based index of its first byte there. encoding is that of the line; text in
// the internal encoding is EUC.
void tokenizeLine(const std::string &line, std::vector<std::string> &tokens, std::vector<int> &columns,
                  QL_EncodingKind encoding = eceEUC);
// The tokens of tokenizeLine without their columns.
std::vector<std::string> tokenizeLineToStrings(const std::string &line, QL_EncodingKind encoding = eceEUC);

// The length in bytes of the word or punctuation run that starts at pos; 0
// only when pos is not inside text.
int tokenLength(const std::string &text, int pos, QL_EncodingKind encoding = eceEUC);

// The longest prefix of text that is a number: "0x" or "0X" and hexadecimal
// digits, or decimal digits with an optional point, fraction and exponent
// ("1.5e-3", ".5", and "." alone). Empty when text starts with neither a digit
// nor a point.
std::string scanNumber(const std::string &text);

// For a text that starts with a quote, the literal up to and including its
// closing quote (a backslash escapes the character after it), or the whole
// text when it is not closed.
std::string quotedLiteral(const std::string &text, QL_EncodingKind encoding = eceEUC);

// When text starts with an include directive of the angle-bracket form
// ("#", blanks, "include", blanks, "<" ... ">"), fills the tokens "#",
// "include" and the header name with their columns in text and sets consumed
// to the length up to and including the ">". Otherwise leaves tokens and
// columns empty and consumed 0.
void parseIncludeDirective(const std::string &text, int &consumed, std::vector<std::string> &tokens,
                           std::vector<int> &columns);

// A copy of line with each tab replaced by blanks up to the next multiple of
// width columns (a width below 1 counts as 1).
std::string expandTabs(std::string_view line, int width);

// The number of bytes of the character that starts at text[at] in the
// encoding: 1 for an ASCII byte and for a byte that starts no complete
// multi-byte character; at must be inside text. Code that walks source text
// steps by it, so that a Shift_JIS second byte is never taken for ASCII.
std::size_t characterLength(std::string_view text, std::size_t at, QL_EncodingKind encoding);

// A non-empty text of an ASCII letter or one of "_@$", followed by ASCII
// letters, digits and "_@$".
bool isIdentifier(std::string_view text);

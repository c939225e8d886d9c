// Tokens of record lines and format strings: quoted or blank-delimited words,
// and the escape pairs of format texts.
#pragma once

#include <istream>
#include <string>

// Input manipulator: `in >> U_QuotedToken(target)` reads one token into target.
// Blanks (" " only) are skipped; an optional leading "L" is kept; a token that
// begins with a double quote or an apostrophe runs to the matching closing
// quote, which is kept; any other token runs to the next blank, which is
// consumed and not kept. A backslash stays in the token and protects the
// character after it. The end of the stream ends the token where it stands.
class U_QuotedToken {
public:
  // Empties the target.
  explicit U_QuotedToken(std::string &target);

  friend std::istream &operator>>(std::istream &in, U_QuotedToken token);

private:
  std::string *m_target;
};

// The token rules over any source of characters, for readers that hold their
// text otherwise than in a stream. The source gives the next character
// without taking it (peek) or takes it (take), each as an int, or -1 at the
// end. Appends the token to target; false when the end of the source ended
// it (or came before it), true when a blank or a closing quote did.
template <class Source> bool U_readQuotedToken(Source &source, std::string &target) {
  while (source.peek() == ' ')
    source.take();
  int next = source.take();
  if (next < 0)
    return false;
  if (next == 'L') {
    target += 'L';
    next = source.take();
    if (next < 0)
      return false;
  }
  char c = static_cast<char>(next);
  const char closing = (c == '"' || c == '\'') ? c : ' ';
  target += c;
  // A backslash escapes the character after it, the first one included.
  bool escaped = c == '\\';
  while ((next = source.take()) >= 0) {
    c = static_cast<char>(next);
    target += c;
    if (escaped) {
      escaped = false;
    } else if (c == closing) {
      if (closing == ' ')
        target.pop_back();
      return true;
    } else if (c == '\\') {
      escaped = true;
    }
  }
  return false;
}

// A copy in which backslash-n, backslash-t and two backslashes become a
// newline, a tab and one backslash; every other backslash stays as it is.
std::string U_unescape(const std::string &text);

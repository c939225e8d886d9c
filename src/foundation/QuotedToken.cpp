#include "foundation/QuotedToken.h"

U_QuotedToken::U_QuotedToken(std::string &target) : m_target(&target) { target.clear(); }

std::istream &operator>>(std::istream &in, U_QuotedToken token) {
  std::string &target = *token.m_target;
  while (in.peek() == ' ')
    in.get();
  char c;
  if (!in.get(c))
    return in;
  if (c == 'L') {
    target += c;
    if (!in.get(c))
      return in;
  }
  const char closing = (c == '"' || c == '\'') ? c : ' ';
  target += c;
  // A backslash escapes the character after it, the first one included.
  bool escaped = c == '\\';
  while (in.get(c)) {
    target += c;
    if (escaped) {
      escaped = false;
    } else if (c == closing) {
      if (closing == ' ')
        target.pop_back();
      break;
    } else if (c == '\\') {
      escaped = true;
    }
  }
  return in;
}

std::string U_unescape(const std::string &text) {
  std::string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      const char next = text[i + 1];
      if (next == 'n' || next == 't' || next == '\\') {
        result += next == 'n' ? '\n' : next == 't' ? '\t' : '\\';
        ++i;
        continue;
      }
    }
    result += text[i];
  }
  return result;
}

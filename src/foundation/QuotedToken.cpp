#include "foundation/QuotedToken.h"

U_QuotedToken::U_QuotedToken(std::string &target) : m_target(&target) { target.clear(); }

// Reads the stream buffer directly, a character at a time, as istream::get
// would, and leaves the stream in the state those calls would leave it: a
// token that the end of the input ends sets eofbit and failbit.
std::istream &operator>>(std::istream &in, U_QuotedToken token) {
  using Traits = std::char_traits<char>;
  std::string &target = *token.m_target;
  if (!in.good()) {
    in.setstate(std::ios::failbit);
    return in;
  }
  std::streambuf *buffer = in.rdbuf();
  const auto atEnd = [&in] {
    in.setstate(std::ios::eofbit | std::ios::failbit);
    return &in;
  };
  Traits::int_type next = buffer->sgetc();
  while (next == ' ')
    next = buffer->snextc();
  if (Traits::eq_int_type(next, Traits::eof()))
    return *atEnd();
  char c = Traits::to_char_type(buffer->sbumpc());
  if (c == 'L') {
    target += c;
    next = buffer->sbumpc();
    if (Traits::eq_int_type(next, Traits::eof()))
      return *atEnd();
    c = Traits::to_char_type(next);
  }
  const char closing = (c == '"' || c == '\'') ? c : ' ';
  target += c;
  // A backslash escapes the character after it, the first one included.
  bool escaped = c == '\\';
  for (;;) {
    next = buffer->sbumpc();
    if (Traits::eq_int_type(next, Traits::eof()))
      return *atEnd();
    c = Traits::to_char_type(next);
    target += c;
    if (escaped) {
      escaped = false;
    } else if (c == closing) {
      if (closing == ' ')
        target.pop_back();
      return in;
    } else if (c == '\\') {
      escaped = true;
    }
  }
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

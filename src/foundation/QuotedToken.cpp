#include "foundation/QuotedToken.h"

U_QuotedToken::U_QuotedToken(std::string &target) : m_target(&target) { target.clear(); }

namespace {

// The characters of a stream buffer, as istream::get would give them.
class BufferCharacters {
public:
  explicit BufferCharacters(std::streambuf &buffer) : m_buffer(buffer) {}
  int peek() { return asInt(m_buffer.sgetc()); }
  int take() { return asInt(m_buffer.sbumpc()); }

private:
  using Traits = std::char_traits<char>;
  static int asInt(Traits::int_type c) {
    return Traits::eq_int_type(c, Traits::eof()) ? -1 : static_cast<unsigned char>(Traits::to_char_type(c));
  }
  std::streambuf &m_buffer;
};

} // namespace

// Reads the stream buffer directly and leaves the stream in the state that
// reading with istream::get would leave it: a token that the end of the input
// ends sets eofbit and failbit.
std::istream &operator>>(std::istream &in, U_QuotedToken token) {
  if (!in.good()) {
    in.setstate(std::ios::failbit);
    return in;
  }
  BufferCharacters characters(*in.rdbuf());
  if (!U_readQuotedToken(characters, *token.m_target))
    in.setstate(std::ios::eofbit | std::ios::failbit);
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

#include "anlsrslt/readers/RecordFields.h"

#include "anlsrslt/model/RecordTokens.h"
#include "foundation/QuotedToken.h"
#include "foundation/ScratchText.h"

#include <limits>

namespace {

// White space of the "C" locale, which the record lines are read in.
bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

bool P_RecordFields::skipSpace() {
  if (m_failed)
    return false;
  while (m_at < m_line.size() && isSpace(m_line[m_at]))
    ++m_at;
  if (m_at == m_line.size())
    m_failed = true;
  return !m_failed;
}

std::string_view P_RecordFields::word() {
  if (!skipSpace())
    return {};
  const std::size_t begin = m_at;
  while (m_at < m_line.size() && !isSpace(m_line[m_at]))
    ++m_at;
  return m_line.substr(begin, m_at - begin);
}

P_RecordFields &P_RecordFields::word(std::string &out) {
  out.clear();
  out.append(word());
  return *this;
}

P_RecordFields &P_RecordFields::name(P_NameToken &out) {
  out.assign(word());
  return *this;
}

P_RecordFields &P_RecordFields::quoted(std::string &out) {
  out.clear();
  if (!m_failed && !U_readQuotedToken(*this, out))
    m_failed = true;
  return *this;
}

P_RecordFields &P_RecordFields::letter(char &out) {
  if (skipSpace())
    out = m_line[m_at++];
  return *this;
}

P_RecordFields &P_RecordFields::number(std::int32_t &out) {
  if (!skipSpace())
    return *this;
  bool negative = false;
  if (m_line[m_at] == '+' || m_line[m_at] == '-')
    negative = m_line[m_at++] == '-';
  // The magnitude in 64 bits; digits beyond the range still belong to the
  // number, which then does not fit.
  const std::int64_t limit = negative ? -static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::min())
                                      : std::numeric_limits<std::int32_t>::max();
  std::int64_t magnitude = 0;
  bool fits = true;
  const std::size_t digits = m_at;
  for (; m_at < m_line.size() && isDigit(m_line[m_at]); ++m_at) {
    magnitude = magnitude * 10 + (m_line[m_at] - '0');
    if (magnitude > limit) {
      fits = false;
      magnitude = limit;
    }
  }
  if (m_at == digits || !fits) {
    m_failed = true;
    return *this;
  }
  out = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
  return *this;
}

int P_RecordFields::peek() const {
  return m_at < m_line.size() ? static_cast<unsigned char>(m_line[m_at]) : -1;
}

int P_RecordFields::take() {
  const int c = peek();
  if (c >= 0)
    ++m_at;
  return c;
}

P_RecordFields &P_RecordFields::quoted(std::string_view &out, std::string &scratch) {
  out = {};
  scratch.clear();
  if (m_failed)
    return *this;
  while (m_at < m_line.size() && m_line[m_at] == ' ')
    ++m_at;
  // The common token, plain and ended by a blank, is taken whole.
  const std::size_t blank = m_line.find(' ', m_at);
  if (blank != std::string_view::npos && blank > m_at) {
    const std::string_view plain = m_line.substr(m_at, blank - m_at);
    if (plain.front() != '"' && plain.front() != '\'' && plain.front() != 'L' &&
        plain.find('\\') == std::string_view::npos) {
      out = plain;
      m_at = blank + 1;
      return *this;
    }
  }
  if (!U_readQuotedToken(*this, scratch))
    m_failed = true;
  out = scratch;
  return *this;
}

// A token that the end of the line ends keeps what was read of it, and the
// reading fails, as on a stream.
P_RecordFields &P_RecordFields::file(U_RefPtr<FilenameProxy> &out) {
  // One buffer for every quoted token: reading one allocates nothing once it
  // is large enough. A plain token is read where it stands in the line.
  static std::string scratch;
  std::string_view token;
  quoted(token, scratch);
  P_readFilenameProxy(token, out);
  U_releaseLongScratch(scratch);
  return *this;
}

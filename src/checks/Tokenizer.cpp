#include "checks/Tokenizer.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

namespace {

// Byte classes, one bit each.
enum : std::uint8_t {
  kLetterOrDigit = 1,
  kIdentifierExtra = 2,
  kWhiteSpace = 4,
  kNeverCombining = 8,
  kQuote = 16,
  kDecimalDigit = 32,
  kHexDigit = 64,
  kLetter = 128,
};

constexpr std::array<std::uint8_t, 256> makeClassTable() {
  std::array<std::uint8_t, 256> table{};
  for (int c = 'a'; c <= 'z'; ++c)
    table[c] |= kLetterOrDigit | kLetter;
  for (int c = 'A'; c <= 'Z'; ++c)
    table[c] |= kLetterOrDigit | kLetter;
  for (int c = '0'; c <= '9'; ++c)
    table[c] |= kLetterOrDigit | kDecimalDigit | kHexDigit;
  for (int c = 'a'; c <= 'f'; ++c)
    table[c] |= kHexDigit;
  for (int c = 'A'; c <= 'F'; ++c)
    table[c] |= kHexDigit;
  for (unsigned char c : std::string_view("_@$"))
    table[c] |= kIdentifierExtra;
  for (unsigned char c : std::string_view(" \t\n\v\f\r"))
    table[c] |= kWhiteSpace;
  for (unsigned char c : std::string_view(",;{}[]()\\"))
    table[c] |= kNeverCombining;
  for (unsigned char c : std::string_view("\"'"))
    table[c] |= kQuote;
  return table;
}

constexpr std::array<std::uint8_t, 256> byteClasses = makeClassTable();

bool hasClass(char c, std::uint8_t classes) {
  return (byteClasses[static_cast<unsigned char>(c)] & classes) != 0;
}
bool isWordChar(char c) { return hasClass(c, kLetterOrDigit | kIdentifierExtra); }
bool isDigit(char c) { return hasClass(c, kDecimalDigit); }

bool inRange(unsigned char c, unsigned char low, unsigned char high) { return c >= low && c <= high; }

// The number of bytes of the character at s[at] in the encoding: 1 for ASCII
// and for a byte that starts no complete multi-byte character.
std::size_t charLength(std::string_view s, std::size_t at, QL_EncodingKind encoding) {
  const unsigned char lead = static_cast<unsigned char>(s[at]);
  if (lead < 0x80)
    return 1;
  const std::size_t left = s.size() - at;
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[at + i]); };
  switch (encoding) {
  case eceSJIS:
    if ((inRange(lead, 0x81, 0x9F) || inRange(lead, 0xE0, 0xFC)) && left >= 2 &&
        (inRange(byte(1), 0x40, 0x7E) || inRange(byte(1), 0x80, 0xFC)))
      return 2;
    return 1;
  case eceEUC:
    if (lead == 0x8F)
      return left >= 3 && inRange(byte(1), 0xA1, 0xFE) && inRange(byte(2), 0xA1, 0xFE) ? 3 : 1;
    if (lead == 0x8E || inRange(lead, 0xA1, 0xFE))
      return left >= 2 && inRange(byte(1), 0xA1, 0xFE) ? 2 : 1;
    return 1;
  case eceUTF: {
    const std::size_t length = inRange(lead, 0xC2, 0xDF)   ? 2
                               : inRange(lead, 0xE0, 0xEF) ? 3
                               : inRange(lead, 0xF0, 0xF4) ? 4
                                                           : 1;
    if (length > left)
      return 1;
    for (std::size_t i = 1; i < length; ++i)
      if (!inRange(byte(i), 0x80, 0xBF))
        return 1;
    return length;
  }
  default:
    return 1;
  }
}

// The length of the word run, or of the punctuation run, at s[pos].
std::size_t runLength(std::string_view s, std::size_t pos, QL_EncodingKind encoding) {
  if (pos >= s.size())
    return 0;
  std::size_t end = pos;
  if (isWordChar(s[pos])) {
    while (end < s.size() && isWordChar(s[end]))
      ++end;
  } else {
    end += charLength(s, end, encoding);
    while (end < s.size() && !hasClass(s[end], kLetterOrDigit | kIdentifierExtra | kWhiteSpace))
      end += charLength(s, end, encoding);
  }
  return end - pos;
}

std::size_t numberLength(std::string_view t) {
  const std::size_t n = t.size();
  const auto digitsFrom = [&](std::size_t i) {
    while (i < n && isDigit(t[i]))
      ++i;
    return i;
  };
  // (c | 0x20) == 'x' only for 'x' and 'X'.
  if (n >= 2 && t[0] == '0' && (t[1] | 0x20) == 'x') {
    std::size_t i = 2;
    while (i < n && hasClass(t[i], kHexDigit))
      ++i;
    return i;
  }
  std::size_t i = digitsFrom(0);
  if (i < n && t[i] == '.')
    ++i;
  if (i == 0)
    return 0;
  i = digitsFrom(i);
  if (i < n && (t[i] == 'e' || t[i] == 'E')) {
    const bool signed_ = i + 1 < n && (t[i + 1] == '-' || t[i + 1] == '+');
    return digitsFrom(signed_ ? i + 2 : i + 1);
  }
  return i;
}

// The length of the quoted literal that starts t: through its closing quote,
// or all of t.
std::size_t literalLength(std::string_view t, QL_EncodingKind encoding) {
  if (t.size() <= 1)
    return t.size();
  const char quote = t[0];
  std::size_t i = 1;
  while (i < t.size()) {
    if (t[i] == '\\') {
      ++i;
      if (i < t.size())
        i += charLength(t, i, encoding);
    } else if (t[i] == quote) {
      return i + 1;
    } else {
      i += charLength(t, i, encoding);
    }
  }
  return t.size();
}

std::size_t skipBlanks(std::string_view t, std::size_t i) {
  while (i < t.size() && (t[i] == ' ' || t[i] == '\t'))
    ++i;
  return i;
}

// Where the parts of an angle-bracket include directive at the start of t
// stand; consumed is 0 when t starts with none.
struct IncludeParts {
  std::size_t keyword = 0;
  std::size_t header = 0;
  std::size_t consumed = 0;
};

// findClose (from) gives the index in t of the first ">" at or after from,
// or npos.
template <typename FindClose> IncludeParts findInclude(std::string_view t, FindClose findClose) {
  IncludeParts parts;
  if (t.empty() || t[0] != '#')
    return parts;
  const std::size_t keyword = skipBlanks(t, 1);
  if (t.substr(keyword, 7) != "include")
    return parts;
  const std::size_t header = skipBlanks(t, keyword + 7);
  if (header >= t.size() || t[header] != '<')
    return parts;
  const std::size_t close = findClose(header);
  if (close == std::string_view::npos)
    return parts;
  return IncludeParts{keyword, header, close + 1};
}

IncludeParts findInclude(std::string_view t) {
  return findInclude(t, [t](std::size_t from) { return t.find('>', from); });
}

// The length of the punctuator that the table forms from s[at] and the bytes
// after it; 1 when none. Every byte of a continuation is ASCII punctuation,
// so a continuation that matches lies within the punctuation run of s[at].
std::size_t punctuatorLength(std::string_view s, std::size_t at) {
  const char first = s[at];
  const std::string_view rest = s.substr(at + 1);
  for (const PunctuatorRecord &record : punctuatorTable()) {
    if (record.m_first != first || record.m_count <= 0)
      continue;
    const std::size_t count =
        std::min(static_cast<std::size_t>(record.m_count), record.m_continuations.size());
    for (std::size_t k = 0; k < count; ++k) {
      const std::string &continuation = record.m_continuations[k];
      if (rest.substr(0, continuation.size()) == continuation)
        return continuation.size() + 1;
    }
  }
  return 1;
}

// Splits the tab-expanded line s into tokens and hands them to the sink. Each
// byte is looked at a bounded number of times: a punctuation run is followed
// as it is split, not measured first, and the search for the ">" of an
// include directive is kept for the rest of the line.
class LineSplitter {
public:
  LineSplitter(std::string_view s, QL_EncodingKind encoding, TokenSink &sink)
      : m_s(s), m_encoding(encoding), m_sink(sink) {}

  void run() {
    std::size_t pos = m_s.find_first_not_of(' ');
    while (pos != std::string_view::npos)
      pos = nextStart(pos + tokenAt(pos));
  }

private:
  void add(std::size_t column, std::size_t length) { m_sink.token(column, m_s.substr(column, length)); }

  std::size_t nextStart(std::size_t from) const {
    const std::size_t next = skipBlanks(m_s, from);
    return next < m_s.size() ? next : std::string_view::npos;
  }

  // Whether a punctuation run goes on at the character that starts at at: it
  // ends at a letter, a digit, one of "_@$", white space or the end.
  bool continuesRun(std::size_t at) const {
    return at < m_s.size() && !hasClass(m_s[at], kLetterOrDigit | kIdentifierExtra | kWhiteSpace);
  }

  // The first ">" at or after from, remembered: a later search from further
  // on finds the same one, or none when there was none.
  std::size_t closeAfter(std::size_t from) {
    if (!(m_closeSearched && from >= m_closeFrom &&
          (m_closeAt == std::string_view::npos || m_closeAt >= from))) {
      m_closeSearched = true;
      m_closeFrom = from;
      m_closeAt = m_s.find('>', from);
    }
    return m_closeAt;
  }

  // Adds the token or tokens at pos; gives the number of bytes they take.
  std::size_t tokenAt(std::size_t pos) {
    const std::string_view rest = m_s.substr(pos);
    const IncludeParts include = findInclude(rest, [this, pos](std::size_t from) {
      const std::size_t close = closeAfter(pos + from);
      return close == std::string_view::npos ? close : close - pos;
    });
    if (include.consumed != 0) {
      add(pos, 1);
      add(pos + include.keyword, 7);
      add(pos + include.header, include.consumed - include.header);
      return include.consumed;
    }
    if (rest.substr(0, 3) == "...") {
      add(pos, 3);
      return 3;
    }
    if (const std::size_t number = numberLength(rest); number != 0) {
      add(pos, number);
      return number;
    }
    if (hasClass(rest[0], kQuote)) {
      const std::size_t literal = literalLength(rest, m_encoding);
      add(pos, literal);
      return literal;
    }
    if (isWordChar(rest[0])) {
      const std::size_t length = runLength(m_s, pos, m_encoding);
      add(pos, length);
      return length;
    }
    const std::size_t first = charLength(m_s, pos, m_encoding);
    if (!continuesRun(pos + first)) {
      add(pos, first);
      return first;
    }
    return splitPunctuation(pos);
  }

  // Splits the punctuation run of two or more characters at pos into
  // punctuators; gives the number of bytes taken.
  std::size_t splitPunctuation(std::size_t pos) {
    std::size_t i = 0;
    do {
      const std::size_t at = pos + i;
      const char c = m_s[at];
      if (hasClass(c, kQuote)) {
        // The literal may reach past the run; the run ends with it.
        const std::size_t literal = literalLength(m_s.substr(at), m_encoding);
        add(at, literal);
        return i + literal;
      }
      std::size_t n = charLength(m_s, at, m_encoding);
      if (n == 1 && continuesRun(at + 1) && !hasClass(c, kNeverCombining))
        n = punctuatorLength(m_s, at);
      // A point before a digit starts a number such as ".5".
      if (n == 1 && c == '.' && i > 0 && at + 1 < m_s.size() && isDigit(m_s[at + 1]))
        return i;
      add(at, n);
      i += n;
    } while (continuesRun(pos + i));
    return i;
  }

  std::string_view m_s;
  QL_EncodingKind m_encoding;
  TokenSink &m_sink;
  bool m_closeSearched = false;
  std::size_t m_closeFrom = 0;
  std::size_t m_closeAt = std::string_view::npos;
};

// Keeps the tokens and their columns in two vectors.
class VectorSink final : public TokenSink {
public:
  VectorSink(std::vector<std::string> &tokens, std::vector<int> &columns)
      : m_tokens(tokens), m_columns(columns) {}
  void token(std::size_t column, std::string_view text) override {
    m_tokens.emplace_back(text);
    m_columns.push_back(static_cast<int>(column));
  }

private:
  std::vector<std::string> &m_tokens;
  std::vector<int> &m_columns;
};

// The built-in punctuators: a first character and its continuations, longer
// ones before their prefixes. The list ends with the 'E' record.
struct StaticPunctuator {
  char first;
  int count;
  const char *continuations[9];
};

constexpr StaticPunctuator staticPunctuators[] = {
    {'.', 1, {".."}},
    {'!', 1, {"="}},
    {'=', 1, {"="}},
    {'/', 3, {"=", "/", "*"}},
    {'*', 1, {"="}},
    {'~', 1, {"="}},
    {'^', 1, {"="}},
    {'&', 2, {"=", "&"}},
    {'|', 2, {"=", "|"}},
    {'+', 2, {"=", "+"}},
    {'#', 1, {"#"}},
    {':', 2, {":", ">"}},
    {'?', 9, {"?=", "?(", "?/", "?)", "?'", "?<", "?!", "?>", "?-"}},
    {'%', 4, {":%:", "=", ">", ":"}},
    {'.', 2, {"*", ".."}},
    {'<', 5, {"<=", "<", "=", "%", ":"}},
    {'>', 3, {">=", ">", "="}},
    {'-', 4, {"=", "-", ">*", ">"}},
    {'E', 0, {}},
};

} // namespace

std::vector<PunctuatorRecord> &punctuatorTable() {
  static std::vector<PunctuatorRecord> table;
  return table;
}

void loadPunctuatorTable() {
  for (const StaticPunctuator &entry : staticPunctuators) {
    if (entry.first == 'E' && entry.count == 0)
      break;
    PunctuatorRecord record;
    record.m_first = entry.first;
    record.m_count = entry.count;
    record.m_continuations.assign(entry.continuations, entry.continuations + entry.count);
    punctuatorTable().push_back(std::move(record));
  }
}

void forEachToken(std::string_view line, TokenSink &sink, QL_EncodingKind encoding) {
  if (line.find('\t') == std::string_view::npos) {
    LineSplitter(line, encoding, sink).run();
  } else {
    const std::string expanded = expandTabs(line, 8);
    LineSplitter(expanded, encoding, sink).run();
  }
}

void tokenizeLine(const std::string &line, std::vector<std::string> &tokens, std::vector<int> &columns,
                  QL_EncodingKind encoding) {
  tokens.clear();
  columns.clear();
  VectorSink sink(tokens, columns);
  forEachToken(line, sink, encoding);
}

std::vector<std::string> tokenizeLineToStrings(const std::string &line, QL_EncodingKind encoding) {
  std::vector<std::string> tokens;
  std::vector<int> columns;
  tokenizeLine(line, tokens, columns, encoding);
  return tokens;
}

int tokenLength(const std::string &text, int pos, QL_EncodingKind encoding) {
  if (pos < 0)
    return 0;
  return static_cast<int>(runLength(text, static_cast<std::size_t>(pos), encoding));
}

std::string scanNumber(const std::string &text) { return text.substr(0, numberLength(text)); }

std::string quotedLiteral(const std::string &text, QL_EncodingKind encoding) {
  return text.substr(0, literalLength(text, encoding));
}

void parseIncludeDirective(const std::string &text, int &consumed, std::vector<std::string> &tokens,
                           std::vector<int> &columns) {
  tokens.clear();
  columns.clear();
  consumed = 0;
  const IncludeParts include = findInclude(text);
  if (include.consumed == 0)
    return;
  tokens = {"#", "include", text.substr(include.header, include.consumed - include.header)};
  columns = {0, static_cast<int>(include.keyword), static_cast<int>(include.header)};
  consumed = static_cast<int>(include.consumed);
}

std::string expandTabs(std::string_view line, int width) {
  const std::size_t step = static_cast<std::size_t>(std::max(width, 1));
  std::string expanded;
  expanded.reserve(line.size() + 16);
  for (char c : line) {
    if (c == '\t')
      expanded.append(step - expanded.size() % step, ' ');
    else
      expanded.push_back(c);
  }
  return expanded;
}

std::size_t characterLength(std::string_view text, std::size_t at, QL_EncodingKind encoding) {
  return charLength(text, at, encoding);
}

bool isIdentifier(std::string_view text) {
  if (text.empty() || !hasClass(text[0], kLetter | kIdentifierExtra))
    return false;
  return std::all_of(text.begin() + 1, text.end(), isWordChar);
}

#include "checks/CommentExtraction.h"

#include "checks/FileTokens.h"
#include "checks/SourceLines.h"
#include "checks/Tokenizer.h"

#include <cstddef>
#include <map>

namespace {

// File name to its comments, compared bytewise; entries are never removed, so
// references into the map stay valid.
std::map<std::string, std::vector<CommentRecord>> &commentCache() {
  static std::map<std::string, std::vector<CommentRecord>> cache;
  return cache;
}

// The character after the one of length bytes at i, or a line feed after the
// last character of the line.
char nextChar(const std::string &line, std::size_t i, std::size_t length) {
  return i + length < line.size() ? line[i + length] : '\n';
}

// The automaton of the comment extraction, its state carried from each line
// to the next: code, block comment and literal modes, the escape flag inside
// literals and a line comment continued by a final backslash.
class CommentExtractor {
public:
  CommentExtractor(std::vector<CommentRecord> &records, QL_EncodingKind encoding)
      : m_records(records), m_encoding(encoding) {}

  void line(const std::string &text, int number);

private:
  enum class Mode { code, blockComment, stringLiteral, charLiteral };

  void add(int firstLine, int lastLine) { m_records.push_back(CommentRecord{m_text, firstLine, lastLine}); }
  // One character of a literal closed by quote.
  void literalChar(char c, char quote) {
    if (c == quote && !m_escape) {
      m_mode = Mode::code;
      return;
    }
    m_escape = c == '\\' && !m_escape;
  }

  std::vector<CommentRecord> &m_records;
  QL_EncodingKind m_encoding;
  Mode m_mode = Mode::code;
  bool m_escape = false;
  bool m_lineCommentGoesOn = false;
  std::string m_text;
  int m_start = 0;
};

void CommentExtractor::line(const std::string &text, int number) {
  if (m_lineCommentGoesOn) {
    m_text += '\n';
    m_text += text;
    m_lineCommentGoesOn = endsWithBackslash(text, m_encoding);
    if (!m_lineCommentGoesOn)
      add(m_start, number);
    return;
  }
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t length = characterLength(text, i, m_encoding);
    const char c = length == 1 ? text[i] : '\0';
    const char next = nextChar(text, i, length);
    switch (m_mode) {
    case Mode::code:
      if (c == '/' && next == '*') {
        m_text = "/*";
        m_start = number;
        m_mode = Mode::blockComment;
        i += 2;
        continue;
      }
      if (c == '/' && next == '/') {
        m_text = text.substr(i);
        m_start = number;
        m_lineCommentGoesOn = endsWithBackslash(text, m_encoding);
        if (!m_lineCommentGoesOn)
          add(number, number);
        return;
      }
      if (c == '"')
        m_mode = Mode::stringLiteral;
      else if (c == '\'')
        m_mode = Mode::charLiteral;
      break;
    case Mode::blockComment:
      if (c == '*' && next == '/') {
        m_text += "*/";
        add(m_start, number);
        m_text.clear();
        m_mode = Mode::code;
        i += 2;
        continue;
      }
      m_text.append(text, i, length);
      break;
    case Mode::stringLiteral:
      literalChar(c, '"');
      break;
    case Mode::charLiteral:
      literalChar(c, '\'');
      break;
    }
    i += length;
  }
  if (m_mode == Mode::blockComment)
    m_text += '\n';
}

// The comment-only blanking automaton: code and block comment modes and a line
// comment continued by a final backslash; quotes mean nothing.
class CommentBlanker {
public:
  explicit CommentBlanker(QL_EncodingKind encoding) : m_encoding(encoding) {}

  void line(std::string &text);

private:
  QL_EncodingKind m_encoding;
  bool m_inComment = false;
  bool m_lineCommentGoesOn = false;
};

void CommentBlanker::line(std::string &text) {
  if (m_lineCommentGoesOn) {
    m_lineCommentGoesOn = endsWithBackslash(text, m_encoding);
    text.assign(text.size(), ' ');
    return;
  }
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t length = characterLength(text, i, m_encoding);
    const char c = length == 1 ? text[i] : '\0';
    const char next = nextChar(text, i, length);
    if (!m_inComment && c == '/' && next == '/') {
      m_lineCommentGoesOn = endsWithBackslash(text, m_encoding);
      text.replace(i + 2, std::string::npos, text.size() - i - 2, ' ');
      return;
    }
    if (c == (m_inComment ? '*' : '/') && next == (m_inComment ? '/' : '*')) {
      m_inComment = !m_inComment;
      i += 2;
      continue;
    }
    if (m_inComment)
      text.replace(i, length, length, ' ');
    i += length;
  }
}

} // namespace

const std::vector<CommentRecord> &commentText(const std::string &name) {
  std::map<std::string, std::vector<CommentRecord>> &cache = commentCache();
  const auto found = cache.find(name);
  if (found != cache.end())
    return found->second;
  std::vector<CommentRecord> records;
  extractComments(name, records);
  return cache.emplace(name, std::move(records)).first->second;
}

void extractComments(const std::string &name, std::vector<CommentRecord> &records) {
  extractComments(sourceLines(name), records, sourceTextEncoding());
}

void extractComments(const std::vector<std::string> &lines, std::vector<CommentRecord> &records,
                     QL_EncodingKind encoding) {
  CommentExtractor extractor(records, encoding);
  int number = 0;
  for (const std::string &line : lines)
    extractor.line(line, ++number);
}

void blankComments(std::vector<std::string> &lines, QL_EncodingKind encoding) {
  CommentBlanker blanker(encoding);
  for (std::string &line : lines)
    blanker.line(line);
}

std::string blankCommentsInLine(const std::string &line, QL_EncodingKind encoding) {
  std::string blanked = line;
  CommentBlanker(encoding).line(blanked);
  return blanked;
}

void resetCommentCache() { commentCache().clear(); }

#include "checks/FileTokens.h"

#include "checks/SourceLines.h"
#include "checks/Tokenizer.h"
#include "cmdline/Product.h"
#include "foundation/Language.h"

#include <cstddef>
#include <map>

namespace {

constexpr std::size_t kReservedEntries = 100;

// File name to its table, compared bytewise; entries are never removed, so
// references into the map stay valid.
std::map<std::string, FileTokens> &tokenTableCache() {
  static std::map<std::string, FileTokens> cache;
  return cache;
}

// The first character of the line that is not a blank, or 0 when none.
char firstNonBlank(std::string_view line) {
  const std::size_t at = line.find_first_not_of(" \t");
  return at == std::string_view::npos ? '\0' : line[at];
}

// Replaces every "/*", then every "//", then every "*/" by two blanks.
void stripCommentMarkersInPlace(std::string &line) {
  for (const char *marker : {"/*", "//", "*/"}) {
    std::size_t at = 0;
    while ((at = line.find(marker, at)) != std::string::npos) {
      line.replace(at, 2, 2, ' ');
      at += 2;
    }
  }
}

// Appends the tokens of the line, its comment markers stripped, with the
// line's index; each token goes straight into the compact lists. A line with
// tabs or comment markers is prepared in scratch, its tabs expanded before
// the markers are stripped (the two do not disturb each other), so that the
// tokenizer makes no copy of its own; any other line is read as it is.
void appendTokens(TokenList &tokens, TokenLineList &lineIndexes, const std::string &line, int index,
                  QL_EncodingKind encoding, std::string &scratch) {
  std::string_view text = line;
  // A line without tabs and comment markers is tokenized as it is.
  if (text.find('\t') != std::string_view::npos || text.find("/*") != std::string_view::npos ||
      text.find("//") != std::string_view::npos || text.find("*/") != std::string_view::npos) {
    if (text.find('\t') == std::string_view::npos)
      scratch.assign(line);
    else
      scratch = expandTabs(line, 8);
    stripCommentMarkersInPlace(scratch);
    text = scratch;
  }
  tokens.reserveMore(text.size(), text.size());
  forEachToken(text, encoding, [&](std::size_t, std::string_view token) {
    tokens.push_back(token);
    lineIndexes.push_back(index);
  });
}

// collectDirective with the scratch text of appendTokens.
void collectDirective(TokenList &tokens, TokenLineList &lineIndexes, int &next, const std::string &firstLine,
                      int start, const std::vector<std::string> &lines, QL_EncodingKind encoding,
                      std::string &scratch) {
  tokens.clear();
  lineIndexes.clear();
  tokens.reserveMore(kReservedEntries, kReservedEntries);
  int k = start;
  const std::string *cur = &firstLine;
  bool inComment = false;
  for (;;) {
    if (!isBlankLine(*cur))
      appendTokens(tokens, lineIndexes, *cur, k, encoding, scratch);
    if (endsWithBackslash(*cur, encoding)) {
      // The backslash goes on to the next line and is no token of the directive.
      inComment = false;
      if (!tokens.empty()) {
        tokens.pop_back();
        lineIndexes.pop_back();
      }
    } else if (endsWithCommentOpen(*cur)) {
      // A block comment opened at the end of the line: its blanked middle
      // lines and the line where it closes belong to the directive.
      inComment = true;
    } else if (!(inComment && isAllSpaces(*cur))) {
      break;
    }
    // The last line of the file ends the directive whatever it asks for.
    if (k < 0 || static_cast<std::size_t>(k) + 1 >= lines.size())
      break;
    ++k;
    cur = &lines[static_cast<std::size_t>(k)];
  }
  next = k + 1;
}

} // namespace

QL_EncodingKind sourceTextEncoding() {
  const C_Product *product = C_currentProduct();
  return product ? QL_languageEncoding(*product) : eceEUC;
}

const FileTokens &fileTokenTable(const std::string &name) {
  std::map<std::string, FileTokens> &cache = tokenTableCache();
  const auto found = cache.find(name);
  if (found != cache.end())
    return found->second;
  FileTokens table;
  buildFileTokenTable(table, name);
  return cache.emplace(name, std::move(table)).first->second;
}

void buildFileTokenTable(FileTokens &table, const std::string &name) {
  table = FileTokens();
  const SourceLineList &lines = blankedSourceLines(name);
  buildFileTokenTable(table, lines, sourceTextEncoding());
}

void buildFileTokenTable(FileTokens &table, const std::vector<std::string> &lines, QL_EncodingKind encoding) {
  table = FileTokens();
  table.m_tokens.reserveMore(kReservedEntries, kReservedEntries);
  table.m_defineTokens.reserve(kReservedEntries);
  table.m_defineTokenLines.reserve(kReservedEntries);
  TokenList tokens;
  TokenLineList lineIndexes;
  std::string scratch;
  std::size_t i = 0;
  while (i < lines.size()) {
    const std::string &line = lines[i];
    const int index = static_cast<int>(i);
    if (isBlankLine(line)) {
      ++i;
    } else if (!isDirectiveLine(line)) {
      appendTokens(table.m_tokens, table.m_tokenLines, line, index, encoding, scratch);
      ++i;
    } else {
      int next = 0;
      collectDirective(tokens, lineIndexes, next, line, index, lines, encoding, scratch);
      if (tokens.size() >= 2 && tokens[1] == "define") {
        table.m_defineTokens.push_back(std::move(tokens));
        table.m_defineTokenLines.push_back(std::move(lineIndexes));
      }
      i = static_cast<std::size_t>(next);
    }
  }
}

void collectDirective(TokenList &tokens, TokenLineList &lineIndexes, int &next, const std::string &firstLine,
                      int start, const std::vector<std::string> &lines, QL_EncodingKind encoding) {
  std::string scratch;
  collectDirective(tokens, lineIndexes, next, firstLine, start, lines, encoding, scratch);
}

bool isBlankLine(const std::string &line) { return line.find_first_not_of(" \t") == std::string::npos; }

bool isAllSpaces(const std::string &line) { return line.find_first_not_of(' ') == std::string::npos; }

bool isDirectiveLine(const std::string &line) { return firstNonBlank(line) == '#'; }

bool startsWithColon(std::string_view line) { return firstNonBlank(line) == ':'; }

bool endsWithBackslash(const std::string &line, QL_EncodingKind encoding) {
  const std::size_t last = line.find_last_not_of(" \t");
  if (last == std::string::npos || line[last] != '\\')
    return false;
  // Walk the characters from the start: the byte is a backslash only when a
  // character starts there and not inside a multi-byte character.
  std::size_t at = 0;
  while (at < last)
    at += characterLength(line, at, encoding);
  return at == last;
}

bool endsWithCommentOpen(const std::string &line) {
  const std::size_t last = line.find_last_not_of(" \t");
  return last != std::string::npos && last > 0 && line[last] == '*' && line[last - 1] == '/';
}

std::string stripCommentMarkers(const std::string &line) {
  std::string stripped = line;
  stripCommentMarkersInPlace(stripped);
  return stripped;
}

void resetFileTokenTables() { tokenTableCache().clear(); }

// The line tokenizer over any bytes, in each source encoding: besides not
// failing, its tokens must be the bytes of the tab-expanded line at their
// columns, in order, with only blanks between them, and a compact token list
// must give them back.
#include "checks/TokenList.h"
#include "checks/Tokenizer.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void check(bool condition) {
  if (!condition)
    std::abort();
}

void checkLine(const std::string &line, QL_EncodingKind encoding) {
  std::vector<std::string> tokens{"stale"};
  std::vector<int> columns{-1};
  tokenizeLine(line, tokens, columns, encoding);
  check(tokens.size() == columns.size());
  const std::string expanded = expandTabs(line, 8);
  std::size_t covered = 0;
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    const std::size_t column = static_cast<std::size_t>(columns[i]);
    check(columns[i] >= 0 && column >= covered && !tokens[i].empty());
    check(expanded.compare(column, tokens[i].size(), tokens[i]) == 0);
    check(expanded.find_first_not_of(' ', covered) == column);
    covered = column + tokens[i].size();
  }
  check(expanded.find_first_not_of(' ', covered) == std::string::npos);
  check(tokenizeLineToStrings(line, encoding) == tokens);
  // Held compactly, the tokens read back the same.
  TokenList list;
  for (const std::string &token : tokens)
    list.push_back(token);
  check(list.strings() == tokens);
  for (std::size_t i = 0; i < tokens.size(); i += 7)
    check(list[i] == tokens[i]);
}

void checkHelpers(const std::string &text, QL_EncodingKind encoding) {
  const std::string number = scanNumber(text);
  check(text.compare(0, number.size(), number) == 0);
  if (!text.empty() && (text[0] == '"' || text[0] == '\'')) {
    const std::string literal = quotedLiteral(text, encoding);
    check(!literal.empty() && text.compare(0, literal.size(), literal) == 0);
  }
  const int length = tokenLength(text, 0, encoding);
  check(text.empty() ? length == 0 : length >= 1 && static_cast<std::size_t>(length) <= text.size());
  int consumed = -1;
  std::vector<std::string> tokens;
  std::vector<int> columns;
  parseIncludeDirective(text, consumed, tokens, columns);
  check(consumed >= 0 && static_cast<std::size_t>(consumed) <= text.size());
  check(tokens.size() == columns.size() && (tokens.empty() || tokens.size() == 3));
  (void)isIdentifier(text);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  loadPunctuatorTable();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string text(reinterpret_cast<const char *>(data), size);
  static const QL_EncodingKind encodings[] = {eceEUC, eceSJIS, eceUTF, eceNone};
  for (QL_EncodingKind encoding : encodings) {
    checkLine(text, encoding);
    checkHelpers(text, encoding);
    std::size_t start = 0;
    while (start <= text.size()) {
      const std::size_t end = std::min(text.find('\n', start), text.size());
      checkLine(text.substr(start, end - start), encoding);
      start = end + 1;
    }
  }
  return 0;
}

// The file token table over any source text, blanked as the re-scan blanks
// it, in each source encoding (the first byte picks it): besides not failing
// (a directive may ask for lines beyond the file), code tokens and define
// tokens must come from lines of the file in order, never from one line both.
#include "checks/FileTokens.h"

#include "checks/LiteralBlanking.h"
#include "checks/Tokenizer.h"

#include "FuzzSupport.h"

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace {

using fuzz_support::check;

// The line indexes are those of lines of the file, in order; gives them.
std::set<int> checkLines(const TokenList &tokens, const TokenLineList &lineIndexes, std::size_t lineCount) {
  check(tokens.size() == lineIndexes.size());
  std::set<int> used;
  auto token = tokens.begin();
  int previous = -1;
  std::size_t i = 0;
  for (int line : lineIndexes) {
    // Sequential and random access agree.
    check(*token == tokens[i] && line == lineIndexes[i]);
    check(!(*token).empty());
    check(line >= 0 && static_cast<std::size_t>(line) < lineCount);
    check(previous <= line);
    used.insert(line);
    previous = line;
    ++token;
    ++i;
  }
  return used;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  loadPunctuatorTable();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  auto [encoding, lines] = fuzz_support::sourceInput(data, size);
  blankCommentsAndLiterals(lines, encoding);
  FileTokens table;
  buildFileTokenTable(table, lines, encoding);

  const std::set<int> codeLines = checkLines(table.m_tokens, table.m_tokenLines, lines.size());
  check(table.m_defineTokens.size() == table.m_defineTokenLines.size());
  int previous = -1;
  for (std::size_t d = 0; d < table.m_defineTokens.size(); ++d) {
    const TokenList &tokens = table.m_defineTokens[d];
    // The first token is "#", or "##" on a line such as "##define".
    check(tokens.size() >= 2 && tokens[0].rfind("#", 0) == 0 && tokens[1] == "define");
    for (int line : checkLines(tokens, table.m_defineTokenLines[d], lines.size())) {
      check(line > previous && codeLines.count(line) == 0);
      previous = line;
    }
  }
  return 0;
}

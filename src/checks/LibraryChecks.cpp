#include "checks/LibraryChecks.h"

#include "anlsrslt/include/DefineQueries.h"
#include "anlsrslt/include/QueryDiagnostics.h"
#include "anlsrslt/include/QueryInterface.h"
#include "anlsrslt/model/FilenameProxy.h"
#include "anlsrslt/model/IncludeRecord.h"
#include "checks/ComplianceIds.h"
#include "checks/FileTokens.h"
#include "checks/SourceLines.h"
#include "checks/SourceRescan.h"
#include "checks/Tokenizer.h"
#include "cmdline/PrintableFileName.h"
#include "foundation/FileIdentity.h"
#include "foundation/PathText.h"

#include <algorithm>
#include <cstddef>
#include <deque>
#include <iterator>
#include <unordered_set>

namespace {

// The fixed message numbers of the token checks.
constexpr std::uint32_t kBasicTypeMessage = 5013;
constexpr std::uint32_t kErrnoMessage = 5119;
constexpr std::uint32_t kOffsetofMessage = 5120;
constexpr std::uint32_t kSetjmpMessage = 5122;

// The word that hides the signature of main from the basic-type check.
constexpr std::string_view kMaskingWord = "PADDING";

// One diagnostic at the 1-based line, with the text when one is given.
void report(std::uint32_t message, const std::string &file, std::uint32_t line, const char *text = nullptr) {
  P_Diagnostic *diagnostic = PI_createDiagnostic(message, file.c_str(), line);
  if (text)
    PI_addDiagnosticText(diagnostic, text);
  PI_emitDiagnostic(diagnostic);
}

// Whether ",token," is part of the comma-separated list.
bool isListedWord(std::string_view list, std::string_view token) {
  for (std::size_t at = list.find(token, 1); at != std::string_view::npos; at = list.find(token, at + 1))
    if (list[at - 1] == ',' && at + token.size() < list.size() && list[at + token.size()] == ',')
      return true;
  return false;
}

// The tokens of a list as the basic-type check sees them: those of the
// signature of main read as the masking word. The list is not copied; the
// reader keeps its place, so that reading on from it costs one step.
class MaskedTokens {
public:
  explicit MaskedTokens(const TokenList &tokens)
      : m_tokens(tokens), m_ranges(mainSignatureRanges(tokens)), m_at(tokens.begin()) {}
  std::size_t size() const { return m_tokens.size(); }
  std::string_view operator[](std::size_t i) {
    // The last range that starts at or before i.
    const auto after = std::upper_bound(m_ranges.begin(), m_ranges.end(), i,
                                        [](std::size_t p, const auto &range) { return p < range.first; });
    if (after != m_ranges.begin() && i < std::prev(after)->second)
      return kMaskingWord;
    if (i < m_at.index() || i > m_at.index() + 16)
      m_at = m_tokens.iteratorAt(i);
    while (m_at.index() < i)
      ++m_at;
    return *m_at;
  }

private:
  const TokenList &m_tokens;
  std::vector<std::pair<std::size_t, std::size_t>> m_ranges;
  TokenList::const_iterator m_at;
};

// The token lists of the file: its code lines, then each #define on its own.
template <class Check> void forEachTokenList(const std::string &file, Check check) {
  const FileTokens &table = fileTokenTable(file);
  check(file, table.m_tokens, table.m_tokenLines);
  for (std::size_t i = 0; i < table.m_defineTokens.size() && i < table.m_defineTokenLines.size(); ++i)
    check(file, table.m_defineTokens[i], table.m_defineTokenLines[i]);
}

// Calls the per-file check with each examined file on the list now, in place:
// entries stay where they are while others are added.
void forEachCheckedFile(void (*check)(const std::string &)) {
  const std::deque<std::string> &files = CheckedFileList();
  const std::size_t count = files.size();
  for (std::size_t i = 0; i < count; ++i)
    check(files[i]);
}

// The 0-based line of the token at the position; -1 when the lines fall short.
int lineOf(const TokenLineList &lines, std::size_t position) {
  return position < lines.size() ? lines[position] : -1;
}

std::uint32_t reportedLine(int index) { return static_cast<std::uint32_t>(index + 1); }

// One diagnostic for each include record whose included file has the
// header's base name.
void checkHeaderInclude(const std::string &header, const char *complianceId) {
  for (std::int32_t id = PI_beginIncludes(); !PI_includesAtEnd(id);) {
    const P_IncludeRecord *include = PI_currentInclude(id);
    if (U_basenameView(PI_includeToFileName(include)) == header)
      report(Qmsg::get_msg(complianceId, 1), PI_includeFromFileName(include), PI_includeLine(include));
    if (PI_nextInclude(id))
      break;
  }
}

} // namespace

void initBasicTypeCheck() {}
void initErrnoCheck() {}
void initOffsetofCheck() {}
void initSetjmpCheck() {}

void initIncludeAfterCodeCheck() {
  PI_registerIncludeCollector();
  PI_registerDefineRunEndListener(includeAfterCodeListener);
}

void initSignalHCheck() { PI_registerIncludeCollector(); }
void initStdioHCheck() { PI_registerIncludeCollector(); }
void initTimeHCheck() { PI_registerIncludeCollector(); }

void runBasicTypeCheck() { forEachCheckedFile(checkBasicTypesInFile); }
void runIncludeAfterCodeCheck() {}
void runErrnoCheck() { forEachCheckedFile(checkErrnoInFile); }
void runOffsetofCheck() { forEachCheckedFile(checkOffsetofInFile); }
void runSetjmpCheck() { forEachCheckedFile(checkSetjmpInFile); }

void checkSignalHInclude() { checkHeaderInclude("signal.h", "0034"); }
void checkStdioHInclude() { checkHeaderInclude("stdio.h", "0035"); }
void checkTimeHInclude() { checkHeaderInclude("time.h", "0036"); }

void includeAfterCodeListener() { checkIncludeAfterCode(); }

std::int32_t firstDeclarationLine() {
  const std::string &file = currentSourceFile();
  bool found = false;
  std::int32_t first = 0;
  for (std::int32_t groups = PI_beginFileDefineGroups(); !PI_defineGroupsAtEnd(groups);) {
    const P_Symbol *symbol = PI_currentDefineGroup(groups);
    for (std::int32_t defines = PI_beginDefines(symbol); !PI_definesAtEnd(defines);) {
      const P_Define *define = PI_currentDefine(defines);
      if (!PI_defineIsMacro(define) && file == PI_defineFileName(define)) {
        const auto line = static_cast<std::int32_t>(PI_defineLine(define));
        if (!found || line < first)
          first = line;
        found = true;
      }
      if (PI_nextDefine(defines))
        break;
    }
    if (PI_nextDefineGroup(groups))
      break;
  }
  return first;
}

int checkIncludeAfterCode() {
  const std::int32_t first = firstDeclarationLine();
  // Line 0 means no declaration, and a declaration on line 0 switches the
  // check off too.
  if (first == 0)
    return 0;
  const QL_Filename source = QL_Filename::fromAbsolutePath(currentSourceFile());
  for (std::int32_t id = PI_beginIncludes(); !PI_includesAtEnd(id);) {
    const P_IncludeRecord *include = PI_currentInclude(id);
    const QL_Filename including = P_filenameOf(include->m_from);
    if (including == source && static_cast<std::int64_t>(PI_includeLine(include)) > first)
      report(Qmsg::get_msg("0026", 1), filenameToString(including.canonical()), PI_includeLine(include));
    if (PI_nextInclude(id))
      break;
  }
  return 1;
}

void checkSetjmpInFile(const std::string &file) {
  if (U_basenameView(file) != "setjmp.h")
    forEachTokenList(file, checkSetjmpTokens);
}

void checkErrnoInFile(const std::string &file) {
  if (U_basenameView(file) != "errno.h")
    forEachTokenList(file, checkErrnoTokens);
}

void checkOffsetofInFile(const std::string &file) { checkOffsetofLines(file, blankedSourceLines(file)); }

void checkBasicTypesInFile(const std::string &file) { forEachTokenList(file, checkBasicTypeTokens); }

void checkSetjmpTokens(const std::string &file, const TokenList &tokens, const TokenLineList &lines) {
  for (auto token = tokens.begin(); token != tokens.end(); ++token) {
    if (*token != "setjmp")
      continue;
    // The header name "setjmp.h" in a directive is no use of setjmp.
    const std::size_t p = token.index();
    if (p + 2 < tokens.size() && *std::next(token) == "." && *std::next(token, 2) == "h")
      continue;
    reportSetjmp(file, lineOf(lines, p));
  }
}

void reportSetjmp(const std::string &file, int line) { report(kSetjmpMessage, file, reportedLine(line)); }

void checkErrnoTokens(const std::string &file, const TokenList &tokens, const TokenLineList &lines) {
  for (auto token = tokens.begin(); token != tokens.end(); ++token)
    if (*token == "errno")
      report(kErrnoMessage, file, reportedLine(lineOf(lines, token.index())));
}

void checkOffsetofLines(const std::string &file, const std::vector<std::string> &lines) {
  const QL_EncodingKind encoding = sourceTextEncoding();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    bool found = false;
    forEachToken(lines[i], encoding,
                 [&found](std::size_t, std::string_view token) { found = found || token == "offsetof"; });
    if (found)
      report(kOffsetofMessage, file, reportedLine(static_cast<int>(i)));
  }
}

void checkBasicTypeTokens(const std::string &file, const TokenList &tokens, const TokenLineList &lines) {
  MaskedTokens t(tokens);
  const std::size_t n = t.size();
  std::size_t i = 0;
  while (i < n) {
    if (t[i] == "typedef") {
      // The words of a typedef's type are passed over; the next token is
      // looked at afresh.
      ++i;
      while (i < n && isBasicTypeOrQualifierWord(t[i]))
        ++i;
      continue;
    }
    TokenList run;
    TokenLineList runLines;
    std::size_t j = i;
    for (; j < n && isBasicTypeWord(t[j]); ++j) {
      run.push_back(t[j]);
      runLines.push_back(lineOf(lines, j));
    }
    if (j == i) {
      ++i;
      continue;
    }
    bool reported;
    if (j == n)
      reported = true;
    else if (startsWithColon(t[j]))
      reported = false; // a qualified name such as long::x
    else if (j == n - 1)
      reported = true;
    else if (startsWithColon(t[j + 1]) && isIdentifier(t[j]))
      reported = false; // a bit-field such as unsigned int flags : 3
    else {
      reported = true;
      ++j; // the declared name
    }
    if (reported)
      reportBasicTypeRun(file, run, runLines);
    i = j;
  }
}

void reportBasicTypeRun(const std::string &file, const TokenList &run, const TokenLineList &lines) {
  std::string text;
  for (std::string_view word : run) {
    if (!text.empty())
      text += ' ';
    text += word;
  }
  std::unordered_set<int> reportedLines;
  for (int line : lines)
    if (reportedLines.insert(line).second)
      report(kBasicTypeMessage, file, reportedLine(line), text.c_str());
}

std::vector<std::pair<std::size_t, std::size_t>> mainSignatureRanges(const TokenList &t) {
  // Each range is found on the list as it is: the tokens after a range are
  // not yet masked, and the walk back over basic-type words stops at the end
  // of the range before, whose last token the masking word has replaced.
  std::vector<std::pair<std::size_t, std::size_t>> ranges;
  const std::size_t n = t.size();
  std::size_t maskedUpTo = 0;
  TokenList::const_iterator at = t.begin();
  for (;;) {
    while (at != t.end() && *at != "main")
      ++at;
    if (at == t.end())
      break;
    // Up to the body's "{" or a ")" followed by ";", short of the last token.
    TokenList::const_iterator end = std::next(at);
    while (end.index() + 1 < n) {
      const TokenList::const_iterator next = std::next(end);
      if (*end == "{" || (*end == ")" && *next == ";"))
        break;
      end = next;
    }
    std::size_t k = at.index();
    while (k > maskedUpTo && isBasicTypeWord(t[k - 1]))
      --k;
    ranges.emplace_back(k, end.index());
    maskedUpTo = end.index();
    at = end;
  }
  return ranges;
}

void maskMainSignature(TokenList &tokens) {
  const std::vector<std::pair<std::size_t, std::size_t>> ranges = mainSignatureRanges(tokens);
  if (ranges.empty())
    return;
  TokenList masked;
  std::size_t range = 0;
  for (auto token = tokens.begin(); token != tokens.end(); ++token) {
    const std::size_t i = token.index();
    while (range < ranges.size() && ranges[range].second <= i)
      ++range;
    const bool inRange = range < ranges.size() && ranges[range].first <= i;
    masked.push_back(inRange ? kMaskingWord : *token);
  }
  tokens = std::move(masked);
}

bool isBasicTypeWord(std::string_view token) {
  static constexpr std::string_view words = ",char,double,float,int,long,short,signed,unsigned,";
  return isListedWord(words, token);
}

bool isBasicTypeOrQualifierWord(std::string_view token) {
  static constexpr std::string_view words =
      ",char,double,float,int,long,short,signed,unsigned,const,volatile,";
  return isListedWord(words, token);
}

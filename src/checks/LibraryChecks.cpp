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
#include "checks/TextHelpers.h"
#include "checks/Tokenizer.h"
#include "cmdline/PrintableFileName.h"
#include "foundation/FileIdentity.h"
#include "foundation/PathText.h"

#include <algorithm>
#include <cstddef>

namespace {

// The fixed message numbers of the token checks.
constexpr std::uint32_t kBasicTypeMessage = 5013;
constexpr std::uint32_t kErrnoMessage = 5119;
constexpr std::uint32_t kOffsetofMessage = 5120;
constexpr std::uint32_t kSetjmpMessage = 5122;

// The word that hides the signature of main from the basic-type check.
const std::string kMaskingWord = "PADDING";

// One diagnostic at the 1-based line, with the text when one is given.
void report(std::uint32_t message, const std::string &file, std::uint32_t line, const char *text = nullptr) {
  P_Diagnostic *diagnostic = PI_createDiagnostic(message, file.c_str(), line);
  if (text)
    PI_addDiagnosticText(diagnostic, text);
  PI_emitDiagnostic(diagnostic);
}

// Whether ",word," is part of the comma-separated list.
bool isListedWord(const std::string &list, const std::string &token) {
  return list.find("," + token + ",") != std::string::npos;
}

// The token lists of the file: its code lines, then each #define on its own.
template <class Check> void forEachTokenList(const std::string &file, Check check) {
  const FileTokens &table = fileTokenTable(file);
  check(file, table.m_tokens, table.m_tokenLines);
  for (std::size_t i = 0; i < table.m_defineTokens.size() && i < table.m_defineTokenLines.size(); ++i)
    check(file, table.m_defineTokens[i], table.m_defineTokenLines[i]);
}

// Calls the per-file check with each examined file, over a copy of the list
// taken now.
void forEachCheckedFile(void (*check)(const std::string &)) {
  const std::vector<std::string> files = CheckedFileList();
  for (const std::string &file : files)
    check(file);
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
    if (U_basename(PI_includeToFileName(include)) == header)
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
  if (U_basename(file) != "setjmp.h")
    forEachTokenList(file, checkSetjmpTokens);
}

void checkErrnoInFile(const std::string &file) {
  if (U_basename(file) != "errno.h")
    forEachTokenList(file, checkErrnoTokens);
}

void checkOffsetofInFile(const std::string &file) { checkOffsetofLines(file, blankedSourceLines(file)); }

void checkBasicTypesInFile(const std::string &file) { forEachTokenList(file, checkBasicTypeTokens); }

void checkSetjmpTokens(const std::string &file, const TokenList &tokens, const TokenLineList &lines) {
  for (std::size_t p = 0; p < tokens.size(); ++p) {
    if (tokens[p] != "setjmp")
      continue;
    // The header name "setjmp.h" in a directive is no use of setjmp.
    if (p + 2 < tokens.size() && tokens[p + 1] == "." && tokens[p + 2] == "h")
      continue;
    reportSetjmp(file, lineOf(lines, p));
  }
}

void reportSetjmp(const std::string &file, int line) { report(kSetjmpMessage, file, reportedLine(line)); }

void checkErrnoTokens(const std::string &file, const TokenList &tokens, const TokenLineList &lines) {
  for (std::size_t p = 0; p < tokens.size(); ++p)
    if (tokens[p] == "errno")
      report(kErrnoMessage, file, reportedLine(lineOf(lines, p)));
}

void checkOffsetofLines(const std::string &file, const std::vector<std::string> &lines) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::vector<std::string> tokens = tokenizeLineToStrings(lines[i], sourceTextEncoding());
    if (std::find(tokens.begin(), tokens.end(), "offsetof") != tokens.end())
      report(kOffsetofMessage, file, reportedLine(static_cast<int>(i)));
  }
}

void checkBasicTypeTokens(const std::string &file, const TokenList &tokens, const TokenLineList &lines) {
  TokenList t = tokens;
  maskMainSignature(t);
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
  for (const std::string &word : run)
    text += (text.empty() ? "" : " ") + word;
  std::vector<int> reportedLines;
  for (int line : lines) {
    if (std::find(reportedLines.begin(), reportedLines.end(), line) != reportedLines.end())
      continue;
    reportedLines.push_back(line);
    report(kBasicTypeMessage, file, reportedLine(line), text.c_str());
  }
}

void maskMainSignature(TokenList &t) {
  const int last = static_cast<int>(t.size()) - 1;
  for (int i = indexOfString(t, "main", 0, last); i >= 0;) {
    int j = i + 1;
    while (j < last && !(t[j] == "{" || (t[j] == ")" && t[j + 1] == ";")))
      ++j;
    int k = i;
    while (k > 0 && isBasicTypeWord(t[k - 1]))
      --k;
    std::fill(t.begin() + k, t.begin() + j, kMaskingWord);
    i = indexOfString(t, "main", k, last);
  }
}

bool isBasicTypeWord(const std::string &token) {
  static const std::string words = ",char,double,float,int,long,short,signed,unsigned,";
  return isListedWord(words, token);
}

bool isBasicTypeOrQualifierWord(const std::string &token) {
  static const std::string words = ",char,double,float,int,long,short,signed,unsigned,const,volatile,";
  return isListedWord(words, token);
}

// The token table of a re-read file: the tokens of its code lines with the
// line each came from, and, apart from them, the tokens of each "#define"
// directive (continuation lines included), built from the file's blanked
// lines once and kept for the rest of the run. Also the line tests that the
// building and the token checks use.
#pragma once

#include "checks/TokenList.h"
#include "foundation/EncodingKind.h"

#include <string>
#include <string_view>
#include <vector>

// The lists are compact (checks/TokenList.h): a table takes about the room of
// the tokens' text, however short the tokens are.
struct FileTokens {
  // Tokens of every line that is neither blank nor part of a directive, in
  // file order, and the 0-based index of the line of each.
  TokenList m_tokens;
  TokenLineList m_tokenLines;
  // One entry per "#define" directive, in file order: all its tokens, from
  // "#" and "define" on, and the 0-based line index of each.
  std::vector<TokenList> m_defineTokens;
  std::vector<TokenLineList> m_defineTokenLines;
};

// The encoding of re-read source text: that of the current product's
// language, the internal EUC when no product is current.
QL_EncodingKind sourceTextEncoding();

// The table of the file named name, built on first use from
// blankedSourceLines (name) and kept; the reference stays valid to the end of
// the run. Reading the file may raise P_SourceRescanExit.
const FileTokens &fileTokenTable(const std::string &name);

// Clears the table and fills it from blankedSourceLines (name), tokenized in
// the source text encoding.
void buildFileTokenTable(FileTokens &table, const std::string &name);
// The same from blanked lines at hand.
void buildFileTokenTable(FileTokens &table, const std::vector<std::string> &lines,
                         QL_EncodingKind encoding = eceEUC);

// Collects the directive whose first line, firstLine, is lines[start]: its
// tokens and their line indexes, over the lines that continue it (a final
// backslash, whose token is dropped, or a block comment opened at the end of
// a line, with its blanked middle lines and the line where it closes). next
// receives the index of the first line after the directive. The directive
// ends at the last line of the file at the latest: no line beyond it is read.
void collectDirective(TokenList &tokens, TokenLineList &lineIndexes, int &next, const std::string &firstLine,
                      int start, const std::vector<std::string> &lines, QL_EncodingKind encoding = eceEUC);

// Line tests; a blank is a space or a tab.
// Nothing but blanks (an empty line too).
bool isBlankLine(const std::string &line);
// Nothing but spaces (an empty line too; a tab makes it false).
bool isAllSpaces(const std::string &line);
// The first character that is not a blank is "#".
bool isDirectiveLine(const std::string &line);
// The first character that is not a blank is ":".
bool startsWithColon(std::string_view line);
// The last character that is not a blank is a backslash. The line is read
// character by character in the encoding, so a Shift_JIS character whose
// second byte is 0x5C does not count.
bool endsWithBackslash(const std::string &line, QL_EncodingKind encoding = eceEUC);
// The last character that is not a blank is a "*" with a "/" just before it.
bool endsWithCommentOpen(const std::string &line);

// A copy of line with every "/*", then every "//", then every "*/" replaced
// by two blanks, each search running left to right past what it replaced.
std::string stripCommentMarkers(const std::string &line);

// Empties the cache of tables; for tests only.
void resetFileTokenTables();

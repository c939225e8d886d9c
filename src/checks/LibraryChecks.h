// The library and include checks: uses of basic types outside a typedef, of
// errno, offsetof and setjmp in the examined files, inclusion of "signal.h",
// "stdio.h" and "time.h", and #include after the first declaration.
#pragma once

#include "checks/TokenList.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Start-up of each check, called by the module's initialisation in this
// order. The header checks and the #include-placement check switch on the
// collection of include records; the latter also registers
// includeAfterCodeListener at the end of the DEFINE records.
void initBasicTypeCheck();
void initIncludeAfterCodeCheck();
void initErrnoCheck();
void initOffsetofCheck();
void initSetjmpCheck();
void initSignalHCheck();
void initStdioHCheck();
void initTimeHCheck();

// The end-of-run part of each check, called by the module's end-of-run
// listener in this order. The token checks walk the files on CheckedFileList
// (checks/SourceRescan.h) when they start, and may end the run through the
// re-scan's exit.
void runBasicTypeCheck();
void runIncludeAfterCodeCheck(); // does nothing: the check runs at the end of the DEFINE records
void runErrnoCheck();
void runOffsetofCheck();
void runSetjmpCheck();
// One diagnostic at the including file and line of each include record whose
// included file's base name is exactly the header's ("sys/time.h" counts,
// "Time.h" does not), under the number the compliance-id table gives.
void checkSignalHInclude();
void checkStdioHInclude();
void checkTimeHInclude();

// #include after the first declaration, for the current source file only:
// each include record of that file whose line is after its first non-macro
// declaration gives one diagnostic. Nothing when that line is 0 (no
// declaration, or one on line 0). Gives 0 when nothing was looked at, else 1.
void includeAfterCodeListener();
int checkIncludeAfterCode();
// The smallest line of a non-macro define in the current source file (file
// names compared byte for byte); 0 when there is none.
std::int32_t firstDeclarationLine();

// The per-file checks. Token lists are those of the file's token table: the
// code lines, then each #define directive on its own; lines are 0-based and
// reported plus 1.
void checkSetjmpInFile(const std::string &file);   // nothing in a file named "setjmp.h"
void checkErrnoInFile(const std::string &file);    // nothing in a file named "errno.h"
void checkOffsetofInFile(const std::string &file); // every blanked line, directives included
void checkBasicTypesInFile(const std::string &file);

// 5122 for each token "setjmp" that is not followed by "." and "h".
void checkSetjmpTokens(const std::string &file, const TokenList &tokens, const TokenLineList &lines);
// 5119 for each token "errno".
void checkErrnoTokens(const std::string &file, const TokenList &tokens, const TokenLineList &lines);
// 5120 once for each line with a token "offsetof".
void checkOffsetofLines(const std::string &file, const std::vector<std::string> &lines);
// 5013 for each run of basic-type words that is not in a typedef, not
// before ":" (a bit-field or a qualified name) and not in the signature of
// main; the word after a reported run is passed over.
void checkBasicTypeTokens(const std::string &file, const TokenList &tokens, const TokenLineList &lines);
// 5122 at the 0-based line.
void reportSetjmp(const std::string &file, int line);
// Replaces by "PADDING" the basic-type words before each "main", "main"
// itself and what follows up to the body's "{" (or a ")" followed by ";").
void maskMainSignature(TokenList &tokens);
// The ranges [first, second) of the tokens that maskMainSignature replaces,
// in order; the list itself is left as it is.
std::vector<std::pair<std::size_t, std::size_t>> mainSignatureRanges(const TokenList &tokens);
// One 5013 for each distinct line of the run, in order of first occurrence,
// with the run's words joined by single blanks as its text.
void reportBasicTypeRun(const std::string &file, const TokenList &run, const TokenLineList &lines);

// "char", "double", "float", "int", "long", "short", "signed", "unsigned";
// with "const" and "volatile" for the second.
bool isBasicTypeWord(std::string_view token);
bool isBasicTypeOrQualifierWord(std::string_view token);

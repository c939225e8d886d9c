// The token stream of the preprocessed text of the current source file (the
// ".i" file in the output directory), with the source line, column and file
// of each token, and an index from a (file, line) pair to the first token of
// that line. Both are built once per preprocessed file and kept.
//
// The preprocessed text holds file markers, a line that is exactly "/*"
// followed by a line with the file name from its fourth character on, and
// code lines: "/*", the decimal source line number, "*/", one separating
// character and the text of that source line.
#pragma once

#include "foundation/EncodingKind.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

struct PreprocessedTokens {
  // Index 0 of m_fileNames: the file of the tokens before the first file
  // marker, which is not known. Its text is kUnknownFileName; it is never in
  // m_fileIndexes, so a marker naming a file of that name gets an index of
  // its own.
  static constexpr int kUnknownFile = 0;
  static constexpr const char *kUnknownFileName = "unknown";

  // Every token of every code line in file order, with the line number its
  // line's marker gives minus 1, its column in the text after the marker and
  // the index in m_fileNames of the file that the last file marker named.
  std::vector<std::string> m_tokens;
  std::vector<int> m_tokenLines;
  std::vector<int> m_tokenColumns;
  std::vector<int> m_tokenFiles;
  // The reserved unknown file, then the names of the file markers, each once,
  // in order of first appearance; the index of each marker name.
  std::vector<std::string> m_fileNames;
  std::map<std::string, int> m_fileIndexes;
};

// Key {file index, 1-based line} to the index in m_tokens of the first token
// of the last run of consecutive tokens with that file and line.
using LineTokenIndex = std::map<std::pair<int, int>, int>;

// The stream of currentPreprocessedFile, built on first use for that path and
// kept. Reading the file may raise P_SourceRescanExit.
const PreprocessedTokens &preprocessedTokens();
// Clears the stream and fills it from sourceLines (currentPreprocessedFile),
// tokenized in the source text encoding.
void buildPreprocessedTokens(PreprocessedTokens &stream);
// The same from the lines of a preprocessed file at hand. A code line without
// "*/" after its opening "/*" adds no tokens; a line number beyond the int
// range counts as the nearest of INT_MIN + 1 and INT_MAX.
void buildPreprocessedTokens(PreprocessedTokens &stream, const std::vector<std::string> &lines,
                             QL_EncodingKind encoding = eceEUC);

// The line-token index of currentPreprocessedFile, built on first use from
// preprocessedTokens and kept.
const LineTokenIndex &lineTokenIndex();
// Clears the index and fills it from preprocessedTokens.
void buildLineTokenIndex(LineTokenIndex &index);
// The same from a stream at hand.
void buildLineTokenIndex(LineTokenIndex &index, const PreprocessedTokens &stream);

// Empties the caches of streams and indexes; for tests only.
void resetPreprocessedTokenCaches();

#include "checks/PreprocessedTokens.h"

#include "checks/FileTokens.h"
#include "checks/SourceLines.h"
#include "checks/SourceRescan.h"
#include "checks/Tokenizer.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdlib>

namespace {

// Preprocessed-file path to its stream and to its line-token index, compared
// bytewise; entries are never removed, so references stay valid.
std::map<std::string, PreprocessedTokens> &streamCache() {
  static std::map<std::string, PreprocessedTokens> cache;
  return cache;
}

std::map<std::string, LineTokenIndex> &indexCache() {
  static std::map<std::string, LineTokenIndex> cache;
  return cache;
}

// The number at the start of text as the C library's atoi reads it (white
// space, a sign, digits), held within INT_MIN + 1 and INT_MAX so that the
// line before it and the line after that are ints too.
int markerNumber(const std::string &text) {
  const long long value = std::strtoll(text.c_str(), nullptr, 10);
  return static_cast<int>(std::clamp<long long>(value, INT_MIN + 1LL, INT_MAX));
}

// The index of the file named in a marker, given a new one on first sight.
int fileIndex(PreprocessedTokens &stream, const std::string &name) {
  const auto [entry, added] = stream.m_fileIndexes.emplace(name, static_cast<int>(stream.m_fileNames.size()));
  if (added)
    stream.m_fileNames.push_back(name);
  return entry->second;
}

// The entry of the current preprocessed file in the cache, made by build on
// first use.
template <typename Entry>
const Entry &keptForCurrentFile(std::map<std::string, Entry> &cache, void (*build)(Entry &)) {
  const std::string path = currentPreprocessedFile();
  const auto found = cache.find(path);
  if (found != cache.end())
    return found->second;
  Entry entry;
  build(entry);
  return cache.emplace(path, std::move(entry)).first->second;
}

} // namespace

const PreprocessedTokens &preprocessedTokens() {
  return keptForCurrentFile(streamCache(), buildPreprocessedTokens);
}

void buildPreprocessedTokens(PreprocessedTokens &stream) {
  buildPreprocessedTokens(stream, sourceLines(currentPreprocessedFile()), sourceTextEncoding());
}

void buildPreprocessedTokens(PreprocessedTokens &stream, const std::vector<std::string> &lines,
                             QL_EncodingKind encoding) {
  stream = PreprocessedTokens();
  stream.m_fileNames.push_back(PreprocessedTokens::kUnknownFileName);
  int file = PreprocessedTokens::kUnknownFile;
  std::vector<std::string> tokens;
  std::vector<int> columns;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string &line = lines[i];
    if (line == "/*") {
      if (i + 1 >= lines.size())
        break;
      const std::string &nameLine = lines[++i];
      file = fileIndex(stream, nameLine.size() > 3 ? nameLine.substr(3) : std::string());
      continue;
    }
    // "/*", the number, "*/", one separating character, the source text.
    const std::size_t close = line.find("*/", 2);
    if (close == std::string::npos)
      continue;
    const int lineIndex = markerNumber(line.substr(2, close - 2)) - 1;
    const std::size_t textStart = close + 3;
    if (textStart >= line.size())
      continue;
    tokenizeLine(line.substr(textStart), tokens, columns, encoding);
    for (std::size_t t = 0; t < tokens.size(); ++t) {
      stream.m_tokens.push_back(std::move(tokens[t]));
      stream.m_tokenLines.push_back(lineIndex);
      stream.m_tokenColumns.push_back(columns[t]);
      stream.m_tokenFiles.push_back(file);
    }
  }
}

const LineTokenIndex &lineTokenIndex() { return keptForCurrentFile(indexCache(), buildLineTokenIndex); }

void buildLineTokenIndex(LineTokenIndex &index) { buildLineTokenIndex(index, preprocessedTokens()); }

void buildLineTokenIndex(LineTokenIndex &index, const PreprocessedTokens &stream) {
  index.clear();
  for (std::size_t t = 0; t < stream.m_tokens.size(); ++t) {
    const int line = stream.m_tokenLines[t];
    const int file = stream.m_tokenFiles[t];
    if (t == 0 || line != stream.m_tokenLines[t - 1] || file != stream.m_tokenFiles[t - 1])
      index[{file, line + 1}] = static_cast<int>(t);
  }
}

void resetPreprocessedTokenCaches() {
  streamCache().clear();
  indexCache().clear();
}

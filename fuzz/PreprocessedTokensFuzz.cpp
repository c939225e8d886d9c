// The preprocessed-file token stream and its line-token index over any text in
// each source encoding (the first byte picks it): besides not failing, the
// four token vectors must stay parallel, every file index must name an entry
// of the file-name table (the reserved unknown file first), and the index
// must point at the first token of runs with its own file and line.
#include "checks/PreprocessedTokens.h"

#include "checks/Tokenizer.h"

#include "FuzzSupport.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using fuzz_support::check;

void checkStream(const PreprocessedTokens &stream) {
  const std::size_t count = stream.m_tokens.size();
  check(stream.m_tokenLines.size() == count && stream.m_tokenColumns.size() == count &&
        stream.m_tokenFiles.size() == count);
  check(!stream.m_fileNames.empty() && stream.m_fileNames[0] == PreprocessedTokens::kUnknownFileName);
  check(stream.m_fileIndexes.size() + 1 == stream.m_fileNames.size());
  for (const auto &[name, index] : stream.m_fileIndexes)
    check(index >= 1 && static_cast<std::size_t>(index) < stream.m_fileNames.size() &&
          stream.m_fileNames[index] == name);
  for (std::size_t t = 0; t < count; ++t) {
    check(!stream.m_tokens[t].empty() && stream.m_tokenColumns[t] >= 0);
    check(stream.m_tokenFiles[t] >= 0 &&
          static_cast<std::size_t>(stream.m_tokenFiles[t]) < stream.m_fileNames.size());
  }
}

void checkIndex(const LineTokenIndex &index, const PreprocessedTokens &stream) {
  std::size_t runs = 0;
  for (std::size_t t = 0; t < stream.m_tokens.size(); ++t) {
    const bool runStart = t == 0 || stream.m_tokenLines[t] != stream.m_tokenLines[t - 1] ||
                          stream.m_tokenFiles[t] != stream.m_tokenFiles[t - 1];
    runs += runStart ? 1 : 0;
    // Every run start is indexed under its key, by itself or a later run.
    if (runStart) {
      const auto found = index.find({stream.m_tokenFiles[t], stream.m_tokenLines[t] + 1});
      check(found != index.end() && static_cast<std::size_t>(found->second) >= t);
    }
  }
  check(index.size() <= runs);
  for (const auto &[key, token] : index) {
    check(token >= 0 && static_cast<std::size_t>(token) < stream.m_tokens.size());
    check(key.first == stream.m_tokenFiles[token] && key.second == stream.m_tokenLines[token] + 1);
  }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  loadPunctuatorTable();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const auto [encoding, lines] = fuzz_support::sourceInput(data, size);
  PreprocessedTokens stream;
  buildPreprocessedTokens(stream, lines, encoding);
  checkStream(stream);
  LineTokenIndex index;
  buildLineTokenIndex(index, stream);
  checkIndex(index, stream);
  return 0;
}

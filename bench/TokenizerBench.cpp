// Tokenizing a large body of C headers line by line: every "*.h" file under
// /usr/include (or under the directory named by LYR_BENCH_HEADERS), read once
// in name order and split into lines before the timing starts; and the file
// token table of the same lines.
#include "checks/FileTokens.h"
#include "checks/LiteralBlanking.h"
#include "checks/Tokenizer.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

class HeaderBody {
public:
  HeaderBody() {
    const char *root = std::getenv("LYR_BENCH_HEADERS");
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (std::filesystem::recursive_directory_iterator it(root ? root : "/usr/include", error), end;
         !error && it != end; it.increment(error))
      if (it->is_regular_file(error) && it->path().extension() == ".h")
        files.push_back(it->path());
    std::sort(files.begin(), files.end());
    for (const std::filesystem::path &file : files) {
      std::ifstream in(file, std::ios::binary);
      const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
      m_bytes += text.size();
      m_fileStarts.push_back(m_lines.size());
      std::size_t start = 0;
      while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        m_lines.push_back(text.substr(start, end - start));
        start = end + 1;
      }
    }
    m_fileStarts.push_back(m_lines.size());
    m_files = files.size();
    loadPunctuatorTable();
  }

  const std::vector<std::string> &lines() const { return m_lines; }
  // The lines of the file-th file.
  std::vector<std::string> fileLines(std::size_t file) const {
    return std::vector<std::string>(m_lines.begin() + static_cast<std::ptrdiff_t>(m_fileStarts[file]),
                                    m_lines.begin() + static_cast<std::ptrdiff_t>(m_fileStarts[file + 1]));
  }
  std::size_t bytes() const { return m_bytes; }
  std::size_t files() const { return m_files; }

private:
  std::vector<std::string> m_lines;
  std::vector<std::size_t> m_fileStarts; // the first line of each file, then the end
  std::size_t m_bytes = 0;
  std::size_t m_files = 0;
};

const HeaderBody &headerBody() {
  static const HeaderBody body;
  return body;
}

void report(benchmark::State &state, const HeaderBody &body, std::size_t tokens) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * body.bytes()));
  state.counters["files"] = static_cast<double>(body.files());
  state.counters["MB"] = static_cast<double>(body.bytes()) / 1e6;
  state.counters["tokens"] = static_cast<double>(tokens);
}

// The loop of the file token tables and the per-line checks: one pair of
// output vectors reused for every line.
void BM_TokenizeLine(benchmark::State &state) {
  const HeaderBody &body = headerBody();
  if (body.bytes() == 0)
    state.SkipWithError("no headers found");
  std::vector<std::string> tokens;
  std::vector<int> columns;
  std::size_t count = 0;
  for (auto _ : state) {
    count = 0;
    for (const std::string &line : body.lines()) {
      tokenizeLine(line, tokens, columns);
      count += tokens.size();
    }
    benchmark::DoNotOptimize(count);
  }
  report(state, body, count);
}

// The same with a new vector of token texts for every line.
void BM_TokenizeLineToStrings(benchmark::State &state) {
  const HeaderBody &body = headerBody();
  if (body.bytes() == 0)
    state.SkipWithError("no headers found");
  std::size_t count = 0;
  for (auto _ : state) {
    count = 0;
    for (const std::string &line : body.lines())
      count += tokenizeLineToStrings(line).size();
    benchmark::DoNotOptimize(count);
  }
  report(state, body, count);
}

// Each file's lines blanked, then made into its file token table (code tokens
// and "#define" lists), as the token checks do for each re-read file.
void BM_BlankAndBuildFileTokenTable(benchmark::State &state) {
  const HeaderBody &body = headerBody();
  if (body.bytes() == 0)
    state.SkipWithError("no headers found");
  std::size_t count = 0;
  for (auto _ : state) {
    count = 0;
    for (std::size_t file = 0; file < body.files(); ++file) {
      std::vector<std::string> lines = body.fileLines(file);
      blankCommentsAndLiterals(lines);
      FileTokens table;
      buildFileTokenTable(table, lines);
      count += table.m_tokens.size();
      for (const TokenList &define : table.m_defineTokens)
        count += define.size();
    }
    benchmark::DoNotOptimize(count);
  }
  report(state, body, count);
}

BENCHMARK(BM_TokenizeLine)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_TokenizeLineToStrings)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_BlankAndBuildFileTokenTable)->Unit(benchmark::kMillisecond)->MinTime(3.0);

} // namespace

BENCHMARK_MAIN();

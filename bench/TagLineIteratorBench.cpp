// Walking a record file of a million lines through TagLineIterator, beside a
// plain std::getline loop over the same file.
#include "BenchInstallation.h"
#include "cmdline/Product.h"
#include "foundation/TagLineIterator.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace {

constexpr std::size_t recordLines = 1000000;

// A record file in the internal encoding in a temporary directory, which also
// serves as installation and temporary directory of the product; removed at
// exit.
class RecordFile {
public:
  RecordFile() : m_path(m_installation.directory() + "/main.c.met") { write(); }

  const std::string &path() const { return m_path; }
  std::size_t bytes() const { return m_bytes; }

private:
  // Record lines of 60 to 120 bytes with the tags of a real record file, a
  // few EUC characters among them, and a non-record line now and then.
  void write() {
    static const char *const tags[] = {"DEFINE", "R", "S", "EXTV", "ALLOC", "CTLG", "CTLGN", "LIT"};
    std::ofstream out(m_path, std::ios::binary);
    std::uint32_t seed = 12345;
    auto next = [&seed] {
      seed = seed * 1103515245u + 12345u;
      return seed >> 8;
    };
    std::string line;
    for (std::size_t i = 0; i < recordLines; ++i) {
      const std::size_t length = 60 + next() % 61;
      const std::string head = std::string("<") + tags[next() % 8] + "> " + std::to_string(i) +
                               " src/\xA4\xA2\xA4\xA4/file" + std::to_string(next() % 1000) + ".c ";
      line.assign(head);
      while (line.size() < length)
        line.push_back(static_cast<char>('a' + next() % 26));
      line.resize(length);
      out << line << '\n';
      if (i % 50 == 0)
        out << "# not a record\n";
    }
    out.close();
    m_bytes = std::filesystem::file_size(m_path);
  }

  bench_support::BenchInstallation m_installation{"ja_JP.eucJP"};
  std::string m_path;
  std::size_t m_bytes = 0;
};

const RecordFile &recordFile() {
  static const RecordFile file;
  static const C_Product product("lyr");
  return file;
}

void BM_TagLineIterator(benchmark::State &state) {
  const RecordFile &file = recordFile();
  for (auto _ : state) {
    TagLineIterator it;
    if (!it.open(file.path()))
      state.SkipWithError("cannot open the record file");
    const TagLineIterator end;
    std::size_t records = 0;
    std::size_t tagBytes = 0;
    while (it != end) {
      ++records;
      tagBytes += it.m_current.m_tag.size();
      ++it;
    }
    if (records != recordLines)
      state.SkipWithError("wrong number of records");
    benchmark::DoNotOptimize(tagBytes);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.bytes()));
}

void BM_PlainGetline(benchmark::State &state) {
  const RecordFile &file = recordFile();
  for (auto _ : state) {
    std::ifstream in(file.path());
    std::string line;
    std::size_t lines = 0;
    while (std::getline(in, line))
      ++lines;
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.bytes()));
}

BENCHMARK(BM_TagLineIterator)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainGetline)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

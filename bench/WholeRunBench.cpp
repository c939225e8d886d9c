// Whole runs of the built program, as a user starts it, over the record file
// of one source file that holds a million records of every kind (DEFINE,
// relation, include, metric, control-graph, literal, external-variable and
// allocation records, mixed as a primary analysis writes them), with the
// example installation's configuration, message catalogue and rule file.
// Each run is a child process; its wall time gives the throughput and its
// peak resident size (ru_maxrss of the child) the memory, both beside the
// size of the record file. Aims: at least 100 MB/s, and a peak of at most
// twice the file's size.
//
// The rule file is the file of the example installation whose name holds
// "rule"; while the installation has none, the run gets an empty rule file
// (no rules). What the program reads depends on the checks it registers: a
// record kind without a listener is passed over.
#include "BenchInstallation.h"
#include "RecordFileGenerator.h"

#include "support/ProgramRun.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kRecords = 1000000;

bool namesRuleFile(const fs::path &path) {
  std::string name = path.filename().string();
  std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
  return name.find("rule") != std::string::npos;
}

// The installation (a copy of the example installation), the analysed file
// main.c and its record file main.c.met, in a temporary directory removed at
// exit.
class WholeRunSetUp {
public:
  WholeRunSetUp() {
    const fs::path examples = LYR_EXAMPLES_DIR;
    const fs::path installation = m_installation.directory();
    for (const fs::directory_entry &entry : fs::directory_iterator(examples / "installation")) {
      if (!entry.is_regular_file())
        continue;
      fs::copy_file(entry.path(), installation / entry.path().filename());
      if (namesRuleFile(entry.path()))
        m_ruleFile = (installation / entry.path().filename()).string();
    }
    if (m_ruleFile.empty()) {
      m_ruleFile = (installation / "empty.rules").string();
      std::ofstream(m_ruleFile, std::ios::binary);
    }
    fs::create_directory(directory());
    fs::copy_file(examples / "analysis" / "main.c", directory() + "/main.c");
    record_files::ResultRecordGenerator generator;
    m_bytes = record_files::writeRecordFile(directory() + "/main.c.met", kRecords, generator);
    m_counts = generator.counts();
  }

  std::string directory() const { return m_installation.directory() + "/analysis"; }
  const std::string &ruleFile() const { return m_ruleFile; }
  std::uint64_t bytes() const { return m_bytes; }
  const record_files::ResultRecordGenerator::Counts &counts() const { return m_counts; }

private:
  bench_support::BenchInstallation m_installation{"ja_JP.eucJP"};
  std::string m_ruleFile;
  std::uint64_t m_bytes = 0;
  record_files::ResultRecordGenerator::Counts m_counts;
};

const WholeRunSetUp &setUp() {
  static const WholeRunSetUp instance;
  return instance;
}

// The largest peak resident size of the children waited for so far, in MB.
double childrenPeakMB() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return static_cast<double>(usage.ru_maxrss) * 1024.0 / 1e6;
}

// The first line of a text, for a report.
std::string firstLine(const std::string &text) { return text.substr(0, text.find('\n')); }

void BM_WholeRun(benchmark::State &state) {
  const WholeRunSetUp &files = setUp();
  const std::vector<std::string> arguments{"lyr", "-namerulefile", files.ruleFile(), "main.c"};
  const std::vector<std::string> environment = test_support::environmentWith({});
  const std::string errorFile = files.directory() + "/main.c.err";
  double seconds = 0;
  for (auto _ : state) {
    // Every run starts without the error file that the one before made.
    fs::remove(errorFile);
    const auto start = std::chrono::steady_clock::now();
    const test_support::ProgramResult result =
        test_support::runProgram(LYR_PROGRAM_PATH, arguments, environment, files.directory());
    const double run = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(run);
    seconds += run;
    if (result.exitCode != 0) {
      state.SkipWithError(
          ("exit code " + std::to_string(result.exitCode) + ": " + firstLine(result.err)).c_str());
      return;
    }
  }
  const double fileMB = static_cast<double>(files.bytes()) / 1e6;
  const double peakMB = childrenPeakMB();
  const record_files::ResultRecordGenerator::Counts &counts = files.counts();
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * files.bytes()));
  state.counters["file_MB"] = fileMB;
  state.counters["MB_per_s"] = fileMB * static_cast<double>(state.iterations()) / seconds;
  state.counters["peak_RSS_MB"] = peakMB;
  state.counters["peak_per_file"] = peakMB / fileMB;
  state.counters["records"] = static_cast<double>(kRecords);
  state.counters["define_pct"] = 100.0 * static_cast<double>(counts.define) / kRecords;
  state.counters["relation_pct"] = 100.0 * static_cast<double>(counts.relation + counts.include) / kRecords;
  state.counters["metric_pct"] = 100.0 * static_cast<double>(counts.metric) / kRecords;
  state.counters["graph_pct"] = 100.0 * static_cast<double>(counts.controlGraph) / kRecords;
  state.counters["literal_pct"] = 100.0 * static_cast<double>(counts.literal) / kRecords;
}

BENCHMARK(BM_WholeRun)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

} // namespace

BENCHMARK_MAIN();

// Whole runs of the built program, as a user starts it, over the record file
// of one source file that holds a million records of every kind (DEFINE,
// relation, include, metric, control-graph, literal, external-variable and
// allocation records, mixed as a primary analysis writes them) and the error
// file that the primary analysis left beside it, with the example
// installation's configuration, message catalogue and rule file.
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
constexpr std::uint32_t kPrimaryDiagnostics = 20000;

void putInt(std::string &bytes, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8)
    bytes.push_back(static_cast<char>(value >> shift & 0xFF));
}

void putString(std::string &bytes, const std::string &text) {
  putInt(bytes, static_cast<std::uint32_t>(text.size()));
  bytes += text;
}

// The error file of the primary analysis, in format 2: the header, an opening
// record, then messages with one text parameter at lines of the source file.
std::string primaryErrorFile(const std::string &source) {
  std::string bytes;
  putInt(bytes, 0x9300);
  putInt(bytes, 0);
  bytes.push_back(1); // opening record, nothing to skip
  putInt(bytes, 0);
  for (std::uint32_t message = 0; message < kPrimaryDiagnostics; ++message) {
    bytes.push_back(8);
    putInt(bytes, message); // a new location
    putInt(bytes, 0);       // file 0, named in its first location
    if (message == 0) {
      putString(bytes, source);
      putString(bytes, "main.c");
    }
    putInt(bytes, 1 + message % 500); // line
    putInt(bytes, 1 + message % 40);  // column
    bytes.push_back(0);               // no location parts
    putInt(bytes, 100 + message % 700);
    putInt(bytes, 0); // flags
    putInt(bytes, 0); // no error flag
    putInt(bytes, 1); // one text parameter
    bytes.push_back(1);
    putString(bytes, "value" + std::to_string(message));
    putInt(bytes, 0x3412); // trailer
  }
  return bytes;
}

// A source file of the project: a few hundred lines of declarations and
// code, comments and literals, as the checks re-read them.
std::string projectFileText() {
  std::string text = "/* Frame handling of the protocol layer. */\n#include <stddef.h>\n\n";
  for (int block = 0; block < 40; ++block) {
    const std::string n = std::to_string(block);
    text += "// Reads part " + n + " of a frame.\n";
    text += "static int read_part_" + n + "(const unsigned char *data, size_t size)\n{\n";
    text += "  const char *name = \"part " + n + "\";\n";
    text += "  int total = 0;\n  for (size_t i = 0; i < size; ++i)\n    total += data[i] * " + n + ";\n";
    text += "  return name[0] == 'p' ? total : -1;\n}\n\n";
  }
  return text;
}

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
    m_errorFile = primaryErrorFile(directory() + "/main.c");
    record_files::ResultRecordGenerator generator;
    // The project's files that the records name exist, so that the checks
    // re-read them as they would a real project's.
    generator.setProjectRoot(directory() + "/project");
    for (const std::string &file : generator.projectFiles()) {
      fs::create_directories(fs::path(file).parent_path());
      std::ofstream(file, std::ios::binary) << projectFileText();
    }
    m_bytes = record_files::writeRecordFile(directory() + "/main.c.met", kRecords, generator);
    m_counts = generator.counts();
  }

  std::string directory() const { return m_installation.directory() + "/analysis"; }
  const std::string &ruleFile() const { return m_ruleFile; }
  std::uint64_t bytes() const { return m_bytes; }
  const std::string &errorFile() const { return m_errorFile; }
  const record_files::ResultRecordGenerator::Counts &counts() const { return m_counts; }

private:
  bench_support::BenchInstallation m_installation{"ja_JP.eucJP"};
  std::string m_ruleFile;
  std::string m_errorFile;
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
    // Every run starts from the error file of the primary analysis.
    std::ofstream(errorFile, std::ios::binary | std::ios::trunc) << files.errorFile();
    const auto start = std::chrono::steady_clock::now();
    const test_support::ProgramResult result =
        test_support::runProgram(LYR_PROGRAM_PATH, arguments, environment, files.directory());
    const double run = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(run);
    seconds += run;
    // A clean run says nothing on standard error: after a warning (an error
    // file not added to, a message file missing) another run was measured.
    if (result.exitCode != 0 || !result.err.empty()) {
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
  state.counters["err_file_MB"] = static_cast<double>(files.errorFile().size()) / 1e6;
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

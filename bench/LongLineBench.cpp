// One very long line, as generated code and data tables give them: a source
// line of 64 MiB through the token checks' road (the blanked copy, the file
// token table, the basic-type, errno and setjmp checks over it, the offsetof
// check's tokenizing), and a record line of 64 MiB, a DEFINE record of that
// long a name, through the record-file reader. Reports the throughput and how
// far the peak resident size grew, in MiB and as a multiple of the line.
// Then whole runs of the built program over such a record line whose long
// text is reported: the DEFINE name that the run's rule rejects, or the name
// of the file that such a define lies in, with the finding appended to the
// error file or printed as text (discarded); the peak is the child's.
//
// The peak is the process's, or that of the children so far: run each
// benchmark alone (--benchmark_filter=SourceLine/Words, =SourceLine/Dense,
// =RecordLine$, =ReportedRecordLine/NameToErrorFile, ...).
#include "BenchInstallation.h"
#include "BenchMemory.h"

#include "anlsrslt/model/SymbolTable.h"
#include "anlsrslt/readers/DefineRecord.h"
#include "anlsrslt/readers/SourceFileReader.h"
#include "checks/FileTokens.h"
#include "checks/LibraryChecks.h"
#include "checks/LiteralBlanking.h"
#include "checks/Tokenizer.h"
#include "cmdline/Product.h"
#include "foundation/FileIdentity.h"

#include "support/ProgramRun.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::size_t kLineBytes = 64u << 20;

using bench_support::resetPeakMemory;
using bench_support::statusMiB;

void reportPeak(benchmark::State &state, double peakGrowth, std::size_t lineBytes) {
  const double lineMiB = static_cast<double>(lineBytes) / (1024.0 * 1024.0);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * lineBytes));
  state.counters["line_MiB"] = lineMiB;
  state.counters["peak_growth_MiB"] = peakGrowth;
  state.counters["peak_growth_per_line"] = peakGrowth / lineMiB;
}

// A line of the unit over and over, up to kLineBytes.
std::string repeated(const std::string &unit) {
  std::string line;
  line.reserve(kLineBytes);
  while (line.size() + unit.size() <= kLineBytes)
    line += unit;
  return line;
}

// The line of the source file, read as the re-scan keeps it, then what the
// token checks do with a file: the blanked copy, its token table, the three
// token checks and the offsetof check. The line holds no word the checks
// report, so that what is measured is the reading, not the reporting.
void BM_SourceLine(benchmark::State &state, const std::string &unit) {
  if (punctuatorTable().empty())
    loadPunctuatorTable();
  const std::vector<std::string> lines{repeated(unit)};
  double peak = 0;
  std::size_t tokens = 0;
  for (auto _ : state) {
    state.PauseTiming();
    resetPeakMemory();
    const double before = statusMiB("VmRSS");
    state.ResumeTiming();
    std::vector<std::string> blanked = lines;
    blankCommentsAndLiterals(blanked);
    FileTokens table;
    buildFileTokenTable(table, blanked);
    checkBasicTypeTokens("/long.c", table.m_tokens, table.m_tokenLines);
    checkErrnoTokens("/long.c", table.m_tokens, table.m_tokenLines);
    checkSetjmpTokens("/long.c", table.m_tokens, table.m_tokenLines);
    checkOffsetofLines("/long.c", blanked);
    state.PauseTiming();
    peak = std::max(peak, statusMiB("VmHWM") - before);
    tokens = table.m_tokens.size();
    state.ResumeTiming();
  }
  reportPeak(state, peak, lines.front().size());
  state.counters["tokens"] = static_cast<double>(tokens);
}

// A record file of one DEFINE record whose name fills the line, in a
// temporary installation of its own; removed at exit.
class LongRecordFile {
public:
  LongRecordFile() {
    std::ofstream out(directory() + "/main.c.met", std::ios::binary);
    const std::string head = "<DEFINE> ::";
    const std::string tail = " main.c 1 N DF OV F X ni -";
    m_bytes = kLineBytes;
    out << head << std::string(kLineBytes - head.size() - tail.size(), 'n') << tail << '\n';
  }
  const std::string &directory() const { return m_installation.directory(); }
  std::size_t bytes() const { return m_bytes; }

private:
  bench_support::BenchInstallation m_installation{"ja_JP.eucJP"};
  std::size_t m_bytes = 0;
};

void onRunEnd() {}

// The record file read as a run reads it: the DEFINE end-of-run list
// registered, every define filed into a symbol table of its own.
void BM_RecordLine(benchmark::State &state) {
  static const LongRecordFile file;
  static const C_Product product("lyr");
  registerDefineRunEndListener(onRunEnd);
  const QL_Filename directory = QL_Filename::fromPath(file.directory());
  const QL_Filename source = QL_Filename::fromPath(file.directory() + "/main.c");
  double peak = 0;
  for (auto _ : state) {
    state.PauseTiming();
    resetPeakMemory();
    const double before = statusMiB("VmRSS");
    auto table = std::make_unique<SymbolTable>();
    state.ResumeTiming();
    readMetricFile(directory, source, *table);
    state.PauseTiming();
    peak = std::max(peak, statusMiB("VmHWM") - before);
    table.reset();
    state.ResumeTiming();
  }
  reportPeak(state, peak, file.bytes());
}

// What a reported record line holds long.
enum class LongText { name, fileName };
// Where the finding goes.
enum class Findings { errorFile, text };

// An installation with the example's configuration words left out and its
// message catalogue, a rule that wants macros in upper case, the analysed
// file main.c and its record file of one DEFINE record of a lower-case macro
// that fills the line with its name or with the name of its file; in a
// temporary directory removed at exit.
class ReportedRecordFile {
public:
  explicit ReportedRecordFile(LongText text) {
    const std::filesystem::path installation = m_installation.directory();
    std::ofstream(installation / "lyr.cfg") << "#options\n";
    std::filesystem::copy_file(std::filesystem::path(LYR_EXAMPLES_DIR) / "installation" / "lyr.msg",
                               installation / "lyr.msg");
    std::ofstream(installation / "rules.txt") << "rule={'space':'macro','pattern':'^[A-Z0-9_]+$'}\n";
    std::ofstream(installation / "main.c") << "int x;\n";
    std::ofstream out(installation / "main.c.met", std::ios::binary);
    const std::string head = text == LongText::name ? "<DEFINE> " : "<DEFINE> lower_macro ";
    const std::string tail = text == LongText::name ? " main.c 1 N DF OM - - - O" : ".h 1 I DF OM - - - O";
    const char fill = text == LongText::name ? 'n' : 'f';
    m_bytes = kLineBytes;
    out << head << std::string(kLineBytes - head.size() - tail.size(), fill) << tail << '\n';
  }
  const std::string &directory() const { return m_installation.directory(); }
  std::size_t bytes() const { return m_bytes; }

private:
  bench_support::BenchInstallation m_installation{"C"};
  std::size_t m_bytes = 0;
};

// The largest peak resident size of the children waited for so far, in MiB.
double childrenPeakMiB() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_ReportedRecordLine(benchmark::State &state, LongText text, Findings findings) {
  const ReportedRecordFile file(text);
  std::vector<std::string> arguments{"lyr", "-namerulefile", "rules.txt", "main.c"};
  if (findings == Findings::text)
    arguments.insert(arguments.begin() + 1, {"-debug", "simpleoutput"});
  const std::vector<std::string> environment = test_support::environmentWith({});
  const int discarded = open("/dev/null", O_WRONLY | O_CLOEXEC);
  for (auto _ : state) {
    std::filesystem::remove(file.directory() + "/main.c.err");
    const test_support::ProgramResult result =
        test_support::RunningProgram(LYR_PROGRAM_PATH, arguments, environment, file.directory(), discarded)
            .finish();
    if (result.exitCode != 0 || !result.err.empty()) {
      state.SkipWithError(("exit code " + std::to_string(result.exitCode)).c_str());
      break;
    }
  }
  close(discarded);
  const double lineMiB = static_cast<double>(file.bytes()) / (1024.0 * 1024.0);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.bytes()));
  state.counters["line_MiB"] = lineMiB;
  state.counters["peak_RSS_MiB"] = childrenPeakMiB();
  state.counters["peak_RSS_per_line"] = childrenPeakMiB() / lineMiB;
}

BENCHMARK_CAPTURE(BM_SourceLine, Words, std::string("total_count = total_count + delta; "))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_SourceLine, Dense, std::string("a=b+c;"))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
// The name is interned the first time only: one read per process.
BENCHMARK(BM_RecordLine)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK_CAPTURE(BM_ReportedRecordLine, NameToErrorFile, LongText::name, Findings::errorFile)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK_CAPTURE(BM_ReportedRecordLine, NameAsText, LongText::name, Findings::text)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK_CAPTURE(BM_ReportedRecordLine, FileNameToErrorFile, LongText::fileName, Findings::errorFile)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK_CAPTURE(BM_ReportedRecordLine, FileNameAsText, LongText::fileName, Findings::text)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

} // namespace

BENCHMARK_MAIN();

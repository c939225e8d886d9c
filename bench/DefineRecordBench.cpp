// Reading a record file of a million DEFINE records through the record-file
// reader along the whole DEFINE road: every line is parsed into a define and
// filed, into the template table first, then into the symbol table for each
// define the template table hands on. Reports the throughput and the peak
// memory of the process against the size of the file: once as a run of the
// shipped module goes (only the DEFINE end-of-run list registered, no call
// per define), once with a counting listener in every DEFINE list; beside it
// the parsing of the same lines alone.
//
// A read meets every name for the first time, and the template table is
// empty, only in a process of its own: run each read benchmark alone
// (--benchmark_filter=EndOfRun, =EveryListener, =WithoutNameRules,
// =WithNameRules$, =AcceptingAll).
//
// The name checker's part: the same read into the run's symbol table,
// followed by the name checker with the example installation's rule file over
// every define (its findings go to the null output), against the read alone;
// and with the same rules accepting every name, which leaves the tests
// without the findings.
#include "BenchInstallation.h"
#include "BenchMemory.h"
#include "RecordFileGenerator.h"

#include "anlsrslt/model/CurrentFile.h"
#include "anlsrslt/model/SymbolTable.h"
#include "anlsrslt/model/TemplateTable.h"
#include "anlsrslt/readers/DefineRecord.h"
#include "anlsrslt/readers/SourceFileReader.h"
#include "checks/NameChecker.h"
#include "checks/NameRuleFile.h"
#include "cmdline/CmdArgs.h"
#include "cmdline/Product.h"
#include "foundation/FileIdentity.h"
#include "messages/Output.h"
#include "messages/TextOutputs.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kRecords = 1000000;

// The record file main.c.met in a temporary directory, which also serves as
// the product's installation and temporary directory; removed at exit.
class DefineRecordFile {
public:
  DefineRecordFile() : m_bytes(record_files::writeDefineRecordFile(directory() + "/main.c.met", kRecords)) {}

  const std::string &directory() const { return m_installation.directory(); }
  std::uint64_t bytes() const { return m_bytes; }

private:
  bench_support::BenchInstallation m_installation{"ja_JP.eucJP"};
  std::uint64_t m_bytes;
};

const DefineRecordFile &recordFile() {
  static const DefineRecordFile file;
  static const C_Product product("lyr");
  return file;
}

// How often each listener was called.
std::uint64_t calls[5];

void onRunEnd() { ++calls[0]; }
void onNewSymbol(P_Symbol *, P_Define *) { ++calls[1]; }
void onExistingSymbol(P_Symbol *, P_Define *) { ++calls[2]; }
void onDefinition(P_Symbol *, P_Define *) { ++calls[3]; }
void onTemplateDefine(P_Define *) { ++calls[4]; }

void registerListeners(bool everyList) {
  registerDefineRunEndListener(onRunEnd);
  if (!everyList)
    return;
  registerNewSymbolListener(onNewSymbol);
  registerExistingSymbolListener(onExistingSymbol);
  registerDefinitionListener(onDefinition);
  registerTemplateDefineListener(onTemplateDefine);
}

using bench_support::resetPeakMemory;
using bench_support::statusMiB;

void BM_ReadDefineRecords(benchmark::State &state, bool everyList) {
  const DefineRecordFile &file = recordFile();
  registerListeners(everyList);
  const QL_Filename directory = QL_Filename::fromPath(file.directory());
  const QL_Filename source = QL_Filename::fromPath(file.directory() + "/main.c");
  double peak = 0;
  double symbols = 0;
  std::fill(std::begin(calls), std::end(calls), 0);
  for (auto _ : state) {
    state.PauseTiming();
    resetPeakMemory();
    const double before = statusMiB("VmRSS");
    auto table = std::make_unique<SymbolTable>();
    state.ResumeTiming();
    readMetricFile(directory, source, *table);
    // Taking the symbol table down is not part of reading.
    state.PauseTiming();
    peak = std::max(peak, statusMiB("VmHWM") - before);
    symbols += static_cast<double>(table->symbols().size());
    table.reset();
    state.ResumeTiming();
  }
  const double reads = static_cast<double>(state.iterations());
  const double fileMiB = static_cast<double>(file.bytes()) / (1024.0 * 1024.0);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.bytes()));
  state.counters["file_MiB"] = fileMiB;
  state.counters["peak_growth_MiB"] = peak;
  state.counters["peak_RSS_MiB"] = statusMiB("VmHWM");
  state.counters["peak_RSS_per_file"] = statusMiB("VmHWM") / fileMiB;
  state.counters["symbols_per_read"] = symbols / reads;
  state.counters["templates"] = static_cast<double>(TemplateTable::instance().templates().size());
  if (everyList) {
    state.counters["new_per_read"] = static_cast<double>(calls[1]) / reads;
    state.counters["existing_per_read"] = static_cast<double>(calls[2]) / reads;
    state.counters["definition_per_read"] = static_cast<double>(calls[3]) / reads;
    state.counters["template_per_read"] = static_cast<double>(calls[4]) / reads;
  }
}

// The same lines parsed into defines, without the file and the filing.
void BM_ParseDefineLines(benchmark::State &state) {
  recordFile();
  record_files::DefineLineGenerator generator;
  std::vector<std::string> lines(100000);
  std::uint64_t bytes = 0;
  for (std::string &line : lines) {
    generator.next(line);
    bytes += line.size() + 1;
  }
  for (auto _ : state)
    for (const std::string &line : lines)
      benchmark::DoNotOptimize(readDefineLine(line));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

// How the name checker runs after the read.
enum class NameRules {
  none,      // not at all
  example,   // with the example rule file
  acceptAll, // with its rules, each accepting every name: the tests alone, no findings
};

// The read into the run's own symbol table, as a run goes; then the name
// checker over every define.
void BM_ReadAndCheckNames(benchmark::State &state, NameRules rules) {
  const bool withRules = rules != NameRules::none;
  const DefineRecordFile &file = recordFile();
  registerDefineRunEndListener(onRunEnd);
  P_outputDirectory() = file.directory();
  // The rule file is read under the argument set of a run without options.
  C_setCurrentCmdArgs(C_CmdArgs("lyr", 0, nullptr));
  if (withRules)
    nameRules() = loadNameRules(LYR_SOURCE_DIR "/examples/installation/namerules.txt");
  if (rules == NameRules::acceptAll) {
    for (NameRule &rule : nameRules()) {
      rule.setPattern(".");
      rule.setInvert(false);
    }
  }
  M_openNullOutput();
  const QL_Filename directory = QL_Filename::fromPath(file.directory());
  const QL_Filename source = QL_Filename::fromPath(file.directory() + "/main.c");
  for (auto _ : state) {
    readMetricFile(directory, source, SymbolTable::instance());
    if (withRules)
      runNameChecker();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.bytes()));
  state.counters["file_MiB"] = static_cast<double>(file.bytes()) / (1024.0 * 1024.0);
  state.counters["rules"] = static_cast<double>(nameRules().size());
  state.counters["findings"] = static_cast<double>(M_sentCount());
  M_closeOutput();
}

// One read per process: a run reads each record file once, with names met
// for the first time, no template known and memory fresh from the system.
BENCHMARK_CAPTURE(BM_ReadDefineRecords, EndOfRunListOnly, false)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK_CAPTURE(BM_ReadDefineRecords, EveryListener, true)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK_CAPTURE(BM_ReadAndCheckNames, WithoutNameRules, NameRules::none)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK_CAPTURE(BM_ReadAndCheckNames, WithNameRules, NameRules::example)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK_CAPTURE(BM_ReadAndCheckNames, WithNameRulesAcceptingAll, NameRules::acceptAll)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK(BM_ParseDefineLines)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

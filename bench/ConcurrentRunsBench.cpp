// Runs of the built program that append to one existing error file: each
// appends its findings under the file's exclusive lock, so runs started at
// once take turns, and a run that finds the lock held waits until it is free.
//
// - BM_ConcurrentRuns/N/F: the wall time of N runs started at once, from
//   their start until the last has ended, in an output directory of F files;
//   it shows how soon a waiting run takes a lock that another has just
//   released. runs_per_s is the same figure as a rate.
// - BM_AppendInDirectory/F: one run appending, in an output directory of F
//   files (the record file and the error file among them, the others empty
//   record files of other units, as a build's output directory holds): the
//   cost of an append must not grow with the directory.
// - BM_AppendOfFindings/N: one run appending N findings (a stretch of some
//   18 KiB for 200, of some 270 KiB for 3,000): the cost of the journal and
//   the write with the size of the append.
// - BM_AppendsToOneFile/N: N runs one after another, each appending its
//   findings to the one error file, which grows with each of them.
//
// The analysed file a.c has a record file out/a.c.met that defines many
// macros breaking the naming rule of rules.txt, so that every run appends a
// stretch of findings (200 unless a benchmark says otherwise) to
// out/a.c.err. Every iteration starts from the same error file without
// records. LYR_BENCH_PROGRAM, when set, names another
// build of the program to measure (an earlier release, say).
#include "support/ProgramRun.h"
#include "support/ScratchDirectory.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kFindings = 200;

// A new error file of format 2 without records.
const std::string kEmptyErrorFile("\x00\x93\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00", 13);

// The analysed file, its record file with so many findings and the rule
// file, in a temporary directory removed at exit; the output directory holds
// so many files in all.
class ConcurrentRunsSetUp {
public:
  ConcurrentRunsSetUp(int files, int findings) {
    m_dir.writeFile("a.c");
    m_dir.writeFile("rules.txt", "rule={'message':5001,'space':'macro','pattern':'^[A-Z0-9_]+$'}\n");
    m_dir.makeDirectory("out");
    std::string records;
    for (int i = 0; i < findings; ++i)
      records += "<DEFINE> m" + std::to_string(i) + " a.c " + std::to_string(i + 1) + " N DF OM - - - O\n";
    m_dir.writeFile("out/a.c.met", records);
    resetErrorFile();
    for (int i = 2; i < files; ++i)
      m_dir.writeFile("out/unit" + std::to_string(i) + ".c.met");
    m_environment =
        test_support::environmentWith({{"LYRBIN", std::string(LYR_SOURCE_DIR) + "/tests/data/installation"},
                                       {"HOME", m_dir.path()},
                                       {"LANG", "C"},
                                       {"LYROUTPATH", std::nullopt},
                                       {"LYRRCPATH", std::nullopt},
                                       {"LYRSA_VOKT_TEST_WRITE_FAULT", std::nullopt}});
  }

  const std::string &directory() const { return m_dir.path(); }
  const std::vector<std::string> &environment() const { return m_environment; }
  void resetErrorFile() const { m_dir.writeFile("out/a.c.err", kEmptyErrorFile); }

private:
  test_support::ScratchDirectory m_dir;
  std::vector<std::string> m_environment;
};

// One set-up a size of the output directory and count of findings, made
// once.
const ConcurrentRunsSetUp &setUp(int files, int findings = kFindings) {
  static std::map<std::pair<int, int>, std::unique_ptr<ConcurrentRunsSetUp>> made;
  std::unique_ptr<ConcurrentRunsSetUp> &setUp = made[{files, findings}];
  if (!setUp)
    setUp = std::make_unique<ConcurrentRunsSetUp>(files, findings);
  return *setUp;
}

const std::string &program() {
  static const std::string path = [] {
    const char *other = std::getenv("LYR_BENCH_PROGRAM");
    return std::string(other && *other ? other : LYR_PROGRAM_PATH);
  }();
  return path;
}

// The line of a run that waited about a second for its turn: a run may say
// it and still have run well.
std::string waitLine(const std::string &directory) {
  return "Waiting for the lock on error file '" + directory + "/out/a.c.err', which another process holds.\n";
}

const std::vector<std::string> kRunWords{
    "lyr", "-debug", "null_metric_output", "-namerulefile", "rules.txt", "-op", "out", "a.c"};

// Runs the program once in the set-up: false, with the benchmark skipped,
// when it does not end well and silently.
bool runOnce(benchmark::State &state, const ConcurrentRunsSetUp &files) {
  const test_support::ProgramResult result =
      test_support::runProgram(program(), kRunWords, files.environment(), files.directory());
  if (result.exitCode == 0 && result.err.empty())
    return true;
  state.SkipWithError(
      ("exit code " + std::to_string(result.exitCode) + ": " + result.err.substr(0, result.err.find('\n')))
          .c_str());
  return false;
}

void BM_ConcurrentRuns(benchmark::State &state) {
  const ConcurrentRunsSetUp &files = setUp(static_cast<int>(state.range(1)));
  const int runs = static_cast<int>(state.range(0));
  const std::string waited = waitLine(files.directory());
  for (auto _ : state) {
    state.PauseTiming();
    files.resetErrorFile();
    state.ResumeTiming();
    std::vector<std::unique_ptr<test_support::RunningProgram>> started;
    for (int i = 0; i < runs; ++i)
      started.push_back(std::make_unique<test_support::RunningProgram>(
          program(), kRunWords, files.environment(), files.directory()));
    for (const auto &run : started) {
      const test_support::ProgramResult result = run->finish();
      if (result.exitCode != 0 || !(result.err.empty() || result.err == waited)) {
        state.SkipWithError(("exit code " + std::to_string(result.exitCode) + ": " +
                             result.err.substr(0, result.err.find('\n')))
                                .c_str());
        return;
      }
    }
  }
  state.counters["runs_per_s"] = benchmark::Counter(runs, benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(BM_ConcurrentRuns)
    ->ArgNames({"runs", "files"})
    ->Args({1, 3})
    ->Args({2, 3})
    ->Args({4, 3})
    ->Args({8, 3})
    ->Args({8, 20000})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// One run each iteration, on the error file without records.
void appendEachIteration(benchmark::State &state, const ConcurrentRunsSetUp &files) {
  for (auto _ : state) {
    state.PauseTiming();
    files.resetErrorFile();
    state.ResumeTiming();
    if (!runOnce(state, files))
      return;
  }
}

void BM_AppendInDirectory(benchmark::State &state) {
  appendEachIteration(state, setUp(static_cast<int>(state.range(0))));
}

BENCHMARK(BM_AppendInDirectory)
    ->ArgName("files")
    ->Arg(3)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_AppendOfFindings(benchmark::State &state) {
  appendEachIteration(state, setUp(3, static_cast<int>(state.range(0))));
}

BENCHMARK(BM_AppendOfFindings)
    ->ArgName("findings")
    ->Arg(200)
    ->Arg(3000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_AppendsToOneFile(benchmark::State &state) {
  const ConcurrentRunsSetUp &files = setUp(3);
  const int runs = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    files.resetErrorFile();
    state.ResumeTiming();
    for (int i = 0; i < runs; ++i)
      if (!runOnce(state, files))
        return;
  }
  state.counters["runs_per_s"] = benchmark::Counter(runs, benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(BM_AppendsToOneFile)->ArgName("runs")->Arg(200)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();

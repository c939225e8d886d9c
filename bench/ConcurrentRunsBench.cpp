// Runs of the built program started at once on one existing error file: each
// appends its findings under the file's exclusive lock, so the runs take
// turns, and a run that finds the lock held waits until it is free. The wall
// time of N runs, from their start until the last has ended, shows how soon a
// waiting run takes a lock that another has just released; runs_per_s is the
// same figure as a rate.
//
// The analysed file a.c has a record file out/a.c.met that defines many
// macros breaking the naming rule of rules.txt, so that every run appends a
// stretch of findings to out/a.c.err. Every iteration starts from the same
// error file without records.
#include "support/ProgramRun.h"
#include "support/ScratchDirectory.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int kFindings = 200;

// A new error file of format 2 without records.
const std::string kEmptyErrorFile("\x00\x93\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00", 13);

// The analysed file, its record file and the rule file, in a temporary
// directory removed at exit.
class ConcurrentRunsSetUp {
public:
  ConcurrentRunsSetUp() {
    m_dir.writeFile("a.c");
    m_dir.writeFile("rules.txt", "rule={'message':5001,'space':'macro','pattern':'^[A-Z0-9_]+$'}\n");
    m_dir.makeDirectory("out");
    std::string records;
    for (int i = 0; i < kFindings; ++i)
      records += "<DEFINE> m" + std::to_string(i) + " a.c " + std::to_string(i + 1) + " N DF OM - - - O\n";
    m_dir.writeFile("out/a.c.met", records);
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

const ConcurrentRunsSetUp &setUp() {
  static const ConcurrentRunsSetUp instance;
  return instance;
}

// The line of a run that waited about a second for its turn: a run may say
// it and still have run well.
std::string waitLine(const std::string &directory) {
  return "Waiting for the lock on error file '" + directory + "/out/a.c.err', which another process holds.\n";
}

void BM_ConcurrentRuns(benchmark::State &state) {
  const ConcurrentRunsSetUp &files = setUp();
  const int runs = static_cast<int>(state.range(0));
  const std::vector<std::string> words{
      "lyr", "-debug", "null_metric_output", "-namerulefile", "rules.txt", "-op", "out", "a.c"};
  const std::string waited = waitLine(files.directory());
  for (auto _ : state) {
    state.PauseTiming();
    files.resetErrorFile();
    state.ResumeTiming();
    std::vector<std::unique_ptr<test_support::RunningProgram>> started;
    for (int i = 0; i < runs; ++i)
      started.push_back(std::make_unique<test_support::RunningProgram>(
          LYR_PROGRAM_PATH, words, files.environment(), files.directory()));
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

BENCHMARK(BM_ConcurrentRuns)->Arg(1)->Arg(2)->Arg(4)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();

// The suppression decision over many suppression records: maps holding the
// given number of distinct message ranges (from 20,000 records of five ranges
// each at most, over regions of fifty files), asked about the given number of
// diagnostics with numbers spread over all ranges, in the files of the
// records, a quarter of them in a header included from one of those files.
//
// Queries: isSuppressed (the answer of a run whose error-file listeners want
// no records) and recordsFor with position records (the answer of a run whose
// listeners want them), each per query. Add: filing the records themselves.
#include "RecordFileGenerator.h"

#include "anlsrslt/suppression/SuppressionMaps.h"
#include "foundation/FileIdentity.h"
#include "foundation/Location.h"
#include "messages/Diagnostic.h"
#include "messages/SuppressionRecord.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kRecords = 20000;
constexpr std::size_t kFiles = 50;
constexpr std::size_t kDiagnostics = 4096;

QL_Filename fileNumber(std::size_t index) {
  return QL_Filename::fromPath("/bench/supp/f" + std::to_string(index) + ".c");
}

// Records holding the number of distinct ranges between them: range i starts
// at 1 + 2 i and covers up to 20 further numbers, so that ranges overlap.
std::vector<U_RefPtr<M_SuppressionRecord>> makeRecords(std::size_t ranges) {
  record_files::Random random(2406);
  std::vector<U_RefPtr<M_SuppressionRecord>> records;
  const std::size_t perRecord = (ranges + kRecords - 1) / kRecords;
  for (std::size_t first = 0; first < ranges; first += perRecord) {
    M_SuppressionRecord::Ranges texts;
    for (std::size_t i = first; i < first + perRecord && i < ranges; ++i) {
      const std::size_t from = 1 + 2 * i;
      texts.emplace_back(std::to_string(from), std::to_string(from + random.below(21)));
    }
    const QL_Filename file = fileNumber(random.below(kFiles));
    const auto line = static_cast<std::int32_t>(1 + random.below(2000));
    const std::uint32_t kind = random.percent(80) ? 1 : 2;
    const U_Location start(file, line, static_cast<std::int32_t>(random.below(40)));
    const U_Location end =
        kind == 1 ? U_Location(file, line + static_cast<std::int32_t>(random.below(200)), 0) : U_Location();
    records.emplace_back(new M_SuppressionRecord(kind, U_Location(file, 1, 0), "", texts, start, end));
  }
  return records;
}

// Diagnostics with numbers over every range and a little beyond.
std::vector<U_RefPtr<M_Diagnostic>> makeDiagnostics(std::size_t ranges) {
  record_files::Random random(1207);
  const QL_Filename header = QL_Filename::fromPath("/bench/supp/common.h");
  std::vector<U_RefPtr<M_Diagnostic>> diagnostics;
  for (std::size_t i = 0; i < kDiagnostics; ++i) {
    const U_Location place(fileNumber(random.below(kFiles)),
                           static_cast<std::int32_t>(1 + random.below(2200)),
                           static_cast<std::int32_t>(random.below(40)));
    const U_Location location =
        random.percent(25) ? U_Location(place, header, static_cast<std::int32_t>(random.below(500)), 0)
                           : place;
    const auto number = static_cast<std::uint32_t>(1 + random.below(2 * ranges + 20));
    diagnostics.emplace_back(new M_Diagnostic(number, location));
  }
  return diagnostics;
}

void BM_SuppressionQueries(benchmark::State &state, bool records) {
  const auto ranges = static_cast<std::size_t>(state.range(0));
  const auto queries = static_cast<std::size_t>(state.range(1));
  P_SuppressionMaps maps;
  for (const U_RefPtr<M_SuppressionRecord> &record : makeRecords(ranges))
    maps.add(record);
  const std::vector<U_RefPtr<M_Diagnostic>> diagnostics = makeDiagnostics(ranges);
  std::size_t suppressed = 0;
  for (auto _ : state) {
    suppressed = 0;
    for (std::size_t query = 0; query < queries; ++query) {
      const U_RefPtr<M_Diagnostic> &diagnostic = diagnostics[query % kDiagnostics];
      suppressed += records ? !maps.recordsFor(diagnostic, true).empty() : maps.isSuppressed(diagnostic);
    }
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * queries));
  state.counters["suppressed"] = static_cast<double>(suppressed);
}

void BM_SuppressionMapsAdd(benchmark::State &state) {
  const auto records = makeRecords(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    P_SuppressionMaps maps;
    for (const U_RefPtr<M_SuppressionRecord> &record : records)
      maps.add(record);
    benchmark::DoNotOptimize(maps);
    state.PauseTiming();
    maps.clear();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * records.size()));
}

BENCHMARK_CAPTURE(BM_SuppressionQueries, IsSuppressed, false)
    ->Args({10000, 1000000})
    ->Args({100000, 1000000})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_SuppressionQueries, RecordsFor, true)
    ->Args({10000, 1000000})
    ->Args({100000, 1000000})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_SuppressionMapsAdd)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

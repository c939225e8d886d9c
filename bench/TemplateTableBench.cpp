// Filing DEFINE records whose names carry template arguments: the template
// table first, then the symbol table for each define it hands on, as a run
// files them. The records are parsed before the clock starts; each round
// files them into tables of its own.
//
// SettleReopenedInstances: one template declared at a header position, many
// instances opened there by "S" records, then each instance opened there
// again and settled by a definition elsewhere. Each settling takes the
// instance's own pending symbol out of a list that holds every instance
// opened since, so the rows at several sizes show how the cost of a record
// grows with the number of instances.
//
// MixedTemplateRecords: the same template with instances that are opened,
// joined by function definitions, settled, and redeclared in a mix, at the
// same sizes, for comparison.
#include "BenchInstallation.h"

#include "anlsrslt/model/SymbolTable.h"
#include "anlsrslt/model/TemplateTable.h"
#include "anlsrslt/readers/DefineRecord.h"
#include "cmdline/Product.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

void setUp() {
  static const bench_support::BenchInstallation installation{"ja_JP.eucJP"};
  static const C_Product product("lyr");
}

std::string instance(std::size_t i) { return "::A<K" + std::to_string(i) + ">"; }

std::string record(const std::string &name, const char *place, std::int64_t line, const char *kindAndSpace) {
  const char *where = std::string(place).back() == 'h' ? "I" : "N";
  return "<DEFINE> " + name + " " + place + " " + std::to_string(line) + " " + where + " " + kindAndSpace +
         " F X {c" + name + "} -";
}

const char *const header = "/bench/tmpl/a.h";
const char *const source = "/bench/tmpl/a.c";

// 1 + 3 * instances records.
std::vector<std::string> reopenedSettleRecords(std::size_t instances) {
  std::vector<std::string> lines{"<DEFINE> ::A<T> /bench/tmpl/a.h 5 I DC TG F X {c::A<T>} U"};
  for (std::size_t i = 0; i < instances; ++i)
    lines.push_back(record(instance(i), header, 5, "DS TG"));
  for (std::size_t i = 0; i < instances; ++i) {
    lines.push_back(record(instance(i), header, 5, "DS TG"));
    lines.push_back(record(instance(i), source, 10 + static_cast<std::int64_t>(i), "DF TG"));
  }
  return lines;
}

// 1 + 3 * instances records: each instance opened, joined by a function
// definition of its name elsewhere, then settled or redeclared.
std::vector<std::string> mixedRecords(std::size_t instances) {
  std::vector<std::string> lines{"<DEFINE> ::A<T> /bench/tmpl/a.h 5 I DC TG F X {c::A<T>} U"};
  for (std::size_t i = 0; i < instances; ++i) {
    const auto line = 10 + static_cast<std::int64_t>(i);
    lines.push_back(record(instance(i), header, 5, "DS TG"));
    lines.push_back(record(instance(i), source, line, "DF OF"));
    lines.push_back(record(instance(i), source, line, i % 2 ? "DX TG" : "DF TG"));
  }
  return lines;
}

void fileRecords(benchmark::State &state, std::vector<std::string> (*make)(std::size_t)) {
  setUp();
  const std::vector<std::string> lines = make(static_cast<std::size_t>(state.range(0)));
  double settled = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<DefinePtr> defines;
    defines.reserve(lines.size());
    for (const std::string &line : lines)
      defines.push_back(readDefineLine(line));
    auto templates = std::make_unique<TemplateTable>();
    auto symbols = std::make_unique<SymbolTable>();
    std::vector<DefinePtr> toFile;
    state.ResumeTiming();
    for (const DefinePtr &def : defines) {
      toFile.clear();
      templates->addDefine(def, toFile);
      for (const DefinePtr &handedOn : toFile)
        symbols->addDefine(handedOn);
    }
    state.PauseTiming();
    settled = static_cast<double>(templates->templates().at(0)->m_settledSymbols.size());
    templates.reset();
    symbols.reset();
    defines.clear();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * lines.size()));
  state.counters["records"] = static_cast<double>(lines.size());
  state.counters["settled"] = settled;
}

void BM_SettleReopenedInstances(benchmark::State &state) { fileRecords(state, reopenedSettleRecords); }
void BM_MixedTemplateRecords(benchmark::State &state) { fileRecords(state, mixedRecords); }

BENCHMARK(BM_SettleReopenedInstances)
    ->Arg(10000)
    ->Arg(20000)
    ->Arg(40000)
    ->Arg(80000)
    ->Arg(160000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MixedTemplateRecords)
    ->Arg(10000)
    ->Arg(20000)
    ->Arg(40000)
    ->Arg(80000)
    ->Arg(160000)
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

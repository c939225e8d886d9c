// Converting one word of 10 MB between the internal encoding and the byte
// encodings, as a long word of a Shift_JIS or JIS configuration, rc or
// settings file is converted: the time grows in proportion to the length.
#include "BenchInstallation.h"
#include "cmdline/Product.h"
#include "foundation/TextConversion.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace {

constexpr std::size_t wordBytes = 10 * 1000 * 1000;

// An empty installation of product "lyr" in a temporary directory (the
// conversions look its language up there); removed at exit.
class Installation {
public:
  const C_Product &product() const { return m_product; }

private:
  bench_support::BenchInstallation m_directory{"ja_JP.SJIS"};
  C_Product m_product{"lyr"};
};

const Installation &installation() {
  static const Installation once;
  return once;
}

// One word of 10 MB in the internal encoding: kanji, kana and ASCII mixed.
const std::string &internalWord() {
  static const std::string word = [] {
    const std::string piece = "\xA4\xA2\xB0\xA1x\x8E\xB1_\xA5\xAB";
    std::string text;
    text.reserve(wordBytes + piece.size());
    while (text.size() < wordBytes)
      text += piece;
    return text;
  }();
  return word;
}

void convertFromInternal(benchmark::State &state, QL_EncodingKind kind) {
  const C_Product &product = installation().product();
  const std::string &word = internalWord();
  for (auto _ : state)
    benchmark::DoNotOptimize(QL_fromInternal(word, product, kind));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * word.size()));
}

void convertToInternal(benchmark::State &state, QL_EncodingKind kind) {
  const C_Product &product = installation().product();
  const std::string word = QL_fromInternal(internalWord(), product, kind);
  for (auto _ : state)
    benchmark::DoNotOptimize(QL_toInternal(product, word, kind));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * word.size()));
}

void BM_InternalToShiftJis(benchmark::State &state) { convertFromInternal(state, eceSJIS); }
void BM_ShiftJisToInternal(benchmark::State &state) { convertToInternal(state, eceSJIS); }
void BM_InternalToNewJis(benchmark::State &state) { convertFromInternal(state, eceNewJIS); }
void BM_NewJisToInternal(benchmark::State &state) { convertToInternal(state, eceNewJIS); }

BENCHMARK(BM_InternalToShiftJis)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShiftJisToInternal)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InternalToNewJis)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NewJisToInternal)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

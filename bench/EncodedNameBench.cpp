// Encoding and decoding the entity names of record files: a million names of
// a realistic mix (plain, qualified, templates, functions with signatures),
// each marked as the record readers mark it and interned (encoding), then
// turned back into its display text (decoding); beside it the cached display
// form, the symbol id and the template class of each name, and the marking of
// names with words in other encodings than ASCII. Every allocation is
// counted, to show that a name costs none beyond its interned results.
#include "anlsrslt/model/EncodedName.h"
#include "anlsrslt/model/RecordTokens.h"
#include "foundation/StringStore.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

namespace {

std::size_t allocations = 0;

} // namespace

void *operator new(std::size_t size) {
  ++allocations;
  if (void *memory = std::malloc(size ? size : 1))
    return memory;
  throw std::bad_alloc();
}
void operator delete(void *memory) noexcept { std::free(memory); }
void operator delete(void *memory, std::size_t) noexcept { std::free(memory); }

namespace {

constexpr std::size_t kNames = 1000000;

class Random {
public:
  std::uint32_t next() {
    m_state = m_state * 1103515245u + 12345u;
    return m_state >> 8;
  }
  std::size_t below(std::size_t n) { return next() % n; }

  // Whether every second word is one of kNonAsciiWords.
  bool nonAscii = false;

private:
  std::uint32_t m_state = 20240611;
};

const char *const kWords[] = {"count",  "value",  "buffer", "index", "Node",    "List",   "Map",  "Item",
                              "Parser", "Reader", "Writer", "state", "m_size",  "m_data", "next", "get",
                              "set",    "find",   "insert", "erase", "compute", "update", "run",  "init"};
const char *const kSpaces[] = {"::app", "::app::io", "::lib::detail", "::std", "::@UN3", "::net::proto"};
const char *const kTypes[] = {"ni",
                              "ui",
                              "pc",
                              "v",
                              "c",
                              "nl",
                              "d",
                              "b",
                              "p.",
                              "rc{c::app::Item}",
                              "{c::std::string}",
                              "p{c::lib::detail::Node}",
                              "pc{c::FILE}"};

// Words of names written in other encodings than ASCII: UTF-8, EUC and
// Shift_JIS, as record files hold them when they are not translated.
const char *const kNonAsciiWords[] = {
    "\xE3\x83\x8E\xE3\x83\xBC\xE3\x83\x89", // UTF-8 katakana
    "\xEF\xBC\xA6\xEF\xBD\x8F\xEF\xBD\x8F", // UTF-8 full-width letters
    "\xA5\xCE\xA1\xBC\xA5\xC9",             // EUC katakana
    "\x8E\xB6\x8E\xC5",                     // EUC half-width katakana
    "\x83\x7B\x83\x5E\x83\x93",             // Shift_JIS katakana
    "\x96\xBC\x91\x4F",                     // Shift_JIS kanji
};

std::string word(Random &random) {
  if (random.nonAscii && random.below(2))
    return std::string(kNonAsciiWords[random.below(std::size(kNonAsciiWords))]) +
           std::to_string(random.below(400));
  return std::string(kWords[random.below(std::size(kWords))]) + std::to_string(random.below(400));
}

std::string scope(Random &random) { return kSpaces[random.below(std::size(kSpaces))]; }

std::string type(Random &random) { return kTypes[random.below(std::size(kTypes))]; }

// A slot list: the return type (empty for a constructor), then the parameters.
std::string slots(Random &random, bool constructor) {
  std::string result = "(";
  if (!constructor)
    result += type(random);
  const std::size_t parameters = random.below(4) + (constructor ? 1 : 0);
  for (std::size_t i = 0; i < parameters; ++i) {
    result += ',';
    result += type(random);
  }
  result += ')';
  return result;
}

std::string templateArguments(Random &random) {
  std::string result = "<";
  const std::size_t count = random.below(2) + 1;
  for (std::size_t i = 0; i < count; ++i) {
    if (i)
      result += ",";
    result += random.below(2) ? "{c::app::" + word(random) + "}" : type(random);
  }
  return result + ">";
}

// One name of the mix: a quarter plain or qualified objects, a fifth members
// of templates, the rest functions and constructors with their signatures.
std::string makeName(Random &random) {
  switch (random.below(20)) {
  case 0:
  case 1:
    return "MACRO_" + std::to_string(random.below(5000));
  case 2:
  case 3:
    return "::" + word(random);
  case 4:
  case 5:
  case 6:
    return scope(random) + "::" + word(random) + "::" + word(random);
  case 7:
  case 8:
  case 9:
    return scope(random) + "::" + word(random) + templateArguments(random) + "::" + word(random) +
           slots(random, false);
  case 10:
    return scope(random) + "::" + word(random) + templateArguments(random);
  case 11:
  case 12:
    return scope(random) + "::" + word(random) + "::@constructor" + slots(random, true);
  default:
    return scope(random) + "::" + word(random) + "::" + word(random) + slots(random, false);
  }
}

// Puts a run's own outermost scope (or suffix, for a macro) on a name, so
// that every run meets its names for the first time.
std::string withPrefix(const std::string &name, const std::string &prefix) {
  if (name.compare(0, 2, "::") == 0)
    return "::" + prefix + name;
  return name + "_" + prefix;
}

// A million names drawn from `distinct` different ones (uniformly, so the
// working set is the whole vocabulary), or a million different names when
// distinct is 0. Each salt gives names of its own.
std::vector<std::string> makeNames(std::size_t distinct, std::uint32_t salt, bool nonAscii = false) {
  Random random;
  random.nonAscii = nonAscii;
  const std::string prefix = "run" + std::to_string(salt);
  std::vector<std::string> vocabulary;
  const std::size_t size = distinct ? distinct : kNames;
  vocabulary.reserve(size);
  for (std::size_t i = 0; i < size; ++i)
    vocabulary.push_back(withPrefix(makeName(random), distinct ? prefix : prefix + "n" + std::to_string(i)));
  if (!distinct)
    return vocabulary;
  std::vector<std::string> names;
  names.reserve(kNames);
  for (std::size_t i = 0; i < kNames; ++i)
    names.push_back(vocabulary[random.below(size)]);
  return names;
}

constexpr std::size_t kDistinct = 100000;

std::uint32_t nextSalt() {
  static std::uint32_t salt = 0;
  return ++salt;
}

void report(benchmark::State &state, std::size_t names, std::size_t allocationsCounted) {
  state.SetItemsProcessed(static_cast<std::int64_t>(names));
  state.counters["allocations/name"] = static_cast<double>(allocationsCounted) / static_cast<double>(names);
}

// Encoding as the record readers do it (the word marked into a name token's
// buffer, then interned) and decoding the stored name into a display text.
void encodeAndDecode(const std::vector<std::string> &names, P_NameToken &token, std::string &display) {
  for (const std::string &name : names) {
    token.assign(name);
    P_unmarkNameInto(internString(token.str().c_str()), display);
    benchmark::DoNotOptimize(display.data());
  }
}

// Runs one measured pass per iteration over names made while the clock is
// stopped (fresh ones when made with a new salt); allocations are counted in
// the measured passes only.
template <class Make, class Pass> void measurePasses(benchmark::State &state, Make make, Pass pass) {
  std::vector<std::string> names;
  std::size_t done = 0;
  std::size_t counted = 0;
  for (auto _ : state) {
    state.PauseTiming();
    names = make();
    const std::size_t before = allocations;
    state.ResumeTiming();
    pass(names);
    state.PauseTiming();
    counted += allocations - before;
    done += names.size();
    state.ResumeTiming();
  }
  report(state, done, counted);
}

// Marking alone.
void BM_Mark(benchmark::State &state) {
  P_NameToken token;
  measurePasses(
      state, [] { return makeNames(kDistinct, 0); },
      [&token](const std::vector<std::string> &names) {
        for (const std::string &name : names) {
          token.assign(name);
          benchmark::DoNotOptimize(token.str().data());
        }
      });
}

// Marking names of which every second word is not ASCII.
void BM_MarkNonAscii(benchmark::State &state) {
  P_NameToken token;
  measurePasses(
      state, [] { return makeNames(kDistinct, 0, true); },
      [&token](const std::vector<std::string> &names) {
        for (const std::string &name : names) {
          token.assign(name);
          benchmark::DoNotOptimize(token.str().data());
        }
      });
}

// A run: a million names of which a tenth are different, all new to the
// process, so each different name is interned and displayed once and met
// again nine times on average.
void BM_EncodeAndDecode(benchmark::State &state) {
  P_NameToken token;
  std::string display;
  measurePasses(
      state, [] { return makeNames(kDistinct, nextSalt()); },
      [&](const std::vector<std::string> &names) { encodeAndDecode(names, token, display); });
}

// Every name different and new: the worst case for the pools.
void BM_EncodeAndDecodeAllNew(benchmark::State &state) {
  P_NameToken token;
  std::string display;
  measurePasses(
      state, [] { return makeNames(0, nextSalt()); },
      [&](const std::vector<std::string> &names) { encodeAndDecode(names, token, display); });
}

// Names the process has met before: every lookup finds its entry.
void BM_EncodeAndDecodeKnown(benchmark::State &state) {
  P_NameToken token;
  std::string display;
  const std::vector<std::string> known = makeNames(kDistinct, 0);
  encodeAndDecode(known, token, display);
  measurePasses(
      state, [&known] { return known; },
      [&](const std::vector<std::string> &names) { encodeAndDecode(names, token, display); });
}

// The cached display form of each marked name, as the checks ask for it.
void BM_DisplayName(benchmark::State &state) {
  std::vector<const char *> marked;
  for (const std::string &name : makeNames(kDistinct, 0))
    marked.push_back(P_encodeName(name));
  std::size_t done = 0;
  const std::size_t before = allocations;
  for (auto _ : state) {
    for (const char *name : marked)
      benchmark::DoNotOptimize(P_displayName(name));
    done += marked.size();
  }
  report(state, done, allocations - before);
}

// The symbol id of each marked name, interned, as the symbol table files a
// define.
void BM_SymbolId(benchmark::State &state) {
  std::vector<const char *> marked;
  for (const std::string &name : makeNames(kDistinct, 0))
    marked.push_back(P_encodeName(name));
  std::string id;
  std::size_t done = 0;
  const std::size_t before = allocations;
  for (auto _ : state) {
    for (const char *name : marked) {
      P_normaliseSymbolNameInto(name, id);
      benchmark::DoNotOptimize(internString(id.c_str()));
    }
    done += marked.size();
  }
  report(state, done, allocations - before);
}

// The template class of each marked name, as the template table asks it.
void BM_TemplateClass(benchmark::State &state) {
  std::vector<const char *> marked;
  for (const std::string &name : makeNames(kDistinct, 0))
    marked.push_back(P_encodeName(name));
  std::size_t done = 0;
  const std::size_t before = allocations;
  for (auto _ : state) {
    for (const char *name : marked)
      benchmark::DoNotOptimize(P_templateClassOf(name, "", 0));
    done += marked.size();
  }
  report(state, done, allocations - before);
}

} // namespace

// The case that fills the pools most comes last, so that the others run on
// pools of the size a run of their own would have.
BENCHMARK(BM_Mark)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_MarkNonAscii)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_EncodeAndDecodeKnown)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_EncodeAndDecode)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_DisplayName)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SymbolId)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TemplateClass)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeAndDecodeAllNew)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();

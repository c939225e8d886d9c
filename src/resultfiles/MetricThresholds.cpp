#include "resultfiles/MetricThresholds.h"

#include "cmdline/CmdArgs.h"
#include "cmdline/OnceAnswer.h"
#include "cmdline/Options.h"
#include "foundation/NumberRanges.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <locale>
#include <sstream>
#include <utility>
#include <vector>

namespace {

constexpr double twoTo63 = 9223372036854775808.0;
constexpr double twoTo64 = 18446744073709551616.0;

template <class A, class B> std::partial_ordering integerOrder(A a, B b) {
  if (std::cmp_less(a, b))
    return std::partial_ordering::less;
  if (std::cmp_equal(a, b))
    return std::partial_ordering::equivalent;
  return std::partial_ordering::greater;
}

// An integer against a double: outside the integer type's range the double
// decides alone; inside, its whole part is exact in the integer type and its
// fraction breaks a tie.
template <class I> std::partial_ordering integerAgainstDouble(I value, double limit) {
  constexpr bool isSigned = std::is_signed_v<I>;
  if (std::isnan(limit))
    return std::partial_ordering::unordered;
  if (limit >= (isSigned ? twoTo63 : twoTo64))
    return std::partial_ordering::less;
  if (limit < (isSigned ? -twoTo63 : 0.0))
    return std::partial_ordering::greater;
  const double whole = std::trunc(limit);
  const I wholeValue = static_cast<I>(whole);
  if (value != wholeValue)
    return integerOrder(value, wholeValue);
  return 0.0 <=> (limit - whole);
}

std::string upperAscii(std::string text) {
  for (char &c : text) {
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

// The number at the start of the text as the standard extraction of T reads
// it: leading white space skipped, 0 when nothing can be read, the type's
// largest or smallest value when the number does not fit.
template <class T> T readLimit(const std::string &text) {
  std::istringstream in(text);
  in.imbue(std::locale::classic());
  T limit = 0;
  in >> limit;
  return limit;
}

template <class T, class Cmp> P_CountedPtr<ThresholdCheckBase> makeCheck(const std::string &value) {
  return P_CountedPtr<ThresholdCheckBase>(new ThresholdCheck<T, Cmp>(readLimit<T>(value)));
}

struct ThresholdTableState {
  ThresholdTable table;
  bool rebuild = true;
  std::uint64_t generation = 0;
};

template <class V> std::int32_t firstMessageFor(const std::string &metric, V value) {
  const C_CmdArgs *args = C_currentCmdArgs();
  if (!args || !args->options())
    return 0;
  const ThresholdTable &table = buildThresholdTable(*args->options());
  const auto [first, last] = table.equal_range(upperAscii(metric));
  for (auto rule = first; rule != last; ++rule) {
    if (rule->second.check.isSet() && rule->second.check->test(value))
      return rule->second.messageNumber;
  }
  return 0;
}

} // namespace

std::partial_ordering compareNumbers(double value, double limit) { return value <=> limit; }
std::partial_ordering compareNumbers(double value, std::int64_t limit) {
  return 0 <=> integerAgainstDouble(limit, value);
}
std::partial_ordering compareNumbers(double value, std::uint64_t limit) {
  return 0 <=> integerAgainstDouble(limit, value);
}
std::partial_ordering compareNumbers(std::int64_t value, double limit) {
  return integerAgainstDouble(value, limit);
}
std::partial_ordering compareNumbers(std::int64_t value, std::int64_t limit) {
  return integerOrder(value, limit);
}
std::partial_ordering compareNumbers(std::int64_t value, std::uint64_t limit) {
  return integerOrder(value, limit);
}
std::partial_ordering compareNumbers(std::uint64_t value, double limit) {
  return integerAgainstDouble(value, limit);
}
std::partial_ordering compareNumbers(std::uint64_t value, std::int64_t limit) {
  return integerOrder(value, limit);
}
std::partial_ordering compareNumbers(std::uint64_t value, std::uint64_t limit) {
  return integerOrder(value, limit);
}

std::optional<std::size_t> thresholdOperatorPosition(const std::string &entry) {
  const std::size_t at = entry.find_first_of("<>=");
  if (at == std::string::npos || at == 0 || at + 1 == entry.size())
    return std::nullopt;
  if (at + 2 == entry.size() && entry[at + 1] == '=')
    return std::nullopt;
  return at;
}

std::pair<std::string, ThresholdRule> parseThresholdEntry(const std::string &entry) {
  const std::optional<std::size_t> at = thresholdOperatorPosition(entry);
  if (!at)
    return {invalidThresholdName, ThresholdRule()};
  std::string name = upperAscii(entry.substr(0, *at));
  // A valid operator is never the last character.
  const bool orEqual = entry[*at + 1] == '=';
  const std::size_t valueStart = *at + (orEqual ? 2 : 1);
  switch (entry[*at]) {
  case '<':
    return {std::move(name), orEqual ? parseThresholdCheck<std::less_equal<>>(entry, valueStart)
                                     : parseThresholdCheck<std::less<>>(entry, valueStart)};
  case '>':
    return {std::move(name), orEqual ? parseThresholdCheck<std::greater_equal<>>(entry, valueStart)
                                     : parseThresholdCheck<std::greater<>>(entry, valueStart)};
  default:
    return {std::move(name), parseThresholdCheck<std::equal_to<>>(entry, valueStart)};
  }
}

template <class Cmp> ThresholdRule parseThresholdCheck(const std::string &entry, std::size_t valueStart) {
  valueStart = std::min(valueStart, entry.size());
  ThresholdRule rule;
  const std::size_t colon = entry.find(':', valueStart);
  const std::string value = entry.substr(valueStart, colon == std::string::npos ? colon : colon - valueStart);
  if (colon != std::string::npos) {
    const std::int32_t number = toInt(entry.substr(colon + 1));
    if (number != 0)
      rule.messageNumber = number;
  }
  switch (thresholdValueKind(value)) {
  case ThresholdValueKind::signedInteger:
    rule.check = makeCheck<std::int64_t, Cmp>(value);
    break;
  case ThresholdValueKind::floating:
    rule.check = makeCheck<double, Cmp>(value);
    break;
  case ThresholdValueKind::unsignedInteger:
    rule.check = makeCheck<std::uint64_t, Cmp>(value);
    break;
  }
  return rule;
}

template ThresholdRule parseThresholdCheck<std::less<>>(const std::string &, std::size_t);
template ThresholdRule parseThresholdCheck<std::less_equal<>>(const std::string &, std::size_t);
template ThresholdRule parseThresholdCheck<std::greater<>>(const std::string &, std::size_t);
template ThresholdRule parseThresholdCheck<std::greater_equal<>>(const std::string &, std::size_t);
template ThresholdRule parseThresholdCheck<std::equal_to<>>(const std::string &, std::size_t);

ThresholdValueKind thresholdValueKind(const std::string &value) {
  if (value.find('.') != std::string::npos)
    return ThresholdValueKind::floating;
  // The blanks skipped are those that the number's extraction skips, so that
  // a minus sign after a tab is not read into an unsigned limit.
  const auto first = std::find_if_not(value.begin(), value.end(),
                                      [](char c) { return std::isspace(c, std::locale::classic()); });
  if (first != value.end() && *first == '-')
    return ThresholdValueKind::signedInteger;
  return ThresholdValueKind::unsignedInteger;
}

const ThresholdTable &buildThresholdTable(const C_Options &options) {
  static ThresholdTableState state;
  const std::uint64_t generation = C_OnceAnswers::generation();
  if (state.generation != generation) {
    state.generation = generation;
    state.rebuild = true;
  }
  if (!state.rebuild)
    return state.table;
  const std::vector<std::string> entries = options.threshold().values();
  ThresholdTable table;
  std::transform(entries.begin(), entries.end(), std::inserter(table, table.end()), parseThresholdEntry);
  state.table.swap(table);
  state.rebuild = C_Options::hasDebugFlag(options, "always-first");
  return state.table;
}

std::int32_t thresholdMessageFor(const std::string &metric, std::int64_t value) {
  return firstMessageFor(metric, value);
}
std::int32_t thresholdMessageFor(const std::string &metric, std::uint64_t value) {
  return firstMessageFor(metric, value);
}
std::int32_t thresholdMessageFor(const std::string &metric, double value) {
  return firstMessageFor(metric, value);
}

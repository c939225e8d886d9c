// Threshold entries of option "threshold": any text parses without failing,
// an entry is invalid exactly when it has no check, and the five operators
// over one VALUE agree with each other for every value type: exactly one of
// "<", "=" and ">" holds (none for a NaN), "<=" is "<" or "=", ">=" is ">" or
// "=".
#include "resultfiles/MetricThresholds.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

namespace {

struct Checks {
  ThresholdRule less, lessEqual, equal, greaterEqual, greater;
};

template <class Value> void expectAgreement(const Checks &checks, Value value, bool isNaN) {
  const bool less = checks.less.check->test(value);
  const bool equal = checks.equal.check->test(value);
  const bool greater = checks.greater.check->test(value);
  if (isNaN ? (less || equal || greater) : (less + equal + greater != 1))
    std::abort();
  if (checks.lessEqual.check->test(value) != (less || equal) ||
      checks.greaterEqual.check->test(value) != (greater || equal))
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string entry(reinterpret_cast<const char *>(data), size);
  const auto [name, rule] = parseThresholdEntry(entry);
  const bool valid = thresholdOperatorPosition(entry).has_value();
  if (rule.check.isSet() != valid || (!valid && name != invalidThresholdName))
    std::abort();

  // The input as the VALUE of each operator; one that begins with "=" would
  // change the operator.
  if (entry.empty() || entry[0] == '=')
    return 0;
  const Checks checks{parseThresholdEntry("X<" + entry).second, parseThresholdEntry("X<=" + entry).second,
                      parseThresholdEntry("X=" + entry).second, parseThresholdEntry("X>=" + entry).second,
                      parseThresholdEntry("X>" + entry).second};
  for (const ThresholdRule *made :
       {&checks.less, &checks.lessEqual, &checks.equal, &checks.greaterEqual, &checks.greater})
    if (!made->check.isSet())
      std::abort();

  // Values around the limits of every type, and values made of the input.
  std::uint64_t bits = 0;
  std::memcpy(&bits, data, std::min(size, sizeof bits));
  double fromBits = 0;
  std::memcpy(&fromBits, &bits, sizeof fromBits);
  const std::int64_t integers[] = {0,
                                   1,
                                   -1,
                                   std::numeric_limits<std::int64_t>::min(),
                                   std::numeric_limits<std::int64_t>::max(),
                                   static_cast<std::int64_t>(bits)};
  const std::uint64_t unsignedIntegers[] = {0, 1, std::numeric_limits<std::uint64_t>::max(),
                                            std::uint64_t{1} << 63, bits};
  const double doubles[] = {0.0,
                            -0.0,
                            2.5,
                            -2.5,
                            9223372036854775808.0,
                            18446744073709551616.0,
                            -9223372036854775808.0,
                            std::numeric_limits<double>::infinity(),
                            -std::numeric_limits<double>::infinity(),
                            std::numeric_limits<double>::quiet_NaN(),
                            fromBits,
                            static_cast<double>(bits)};
  for (const std::int64_t value : integers)
    expectAgreement(checks, value, false);
  for (const std::uint64_t value : unsignedIntegers)
    expectAgreement(checks, value, false);
  for (const double value : doubles)
    expectAgreement(checks, value, value != value);
  return 0;
}

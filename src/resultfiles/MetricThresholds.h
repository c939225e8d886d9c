// Limits on named metrics, from the values of option "threshold": each value
// is one entry NAME, an operator ("<", "<=", ">", ">=", "=" or "=="), a VALUE
// and optionally ":" and a message number, for instance LINES>10:4701. A
// reported metric value that meets a limit of its metric raises a diagnostic
// with the limit's message number (4700 unless the entry gives another).
#pragma once

#include "anlsrslt/model/CountedPtr.h"

#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>

class C_Options;

// The message number of a limit whose entry gives none (or 0).
inline constexpr std::int32_t defaultThresholdMessage = 4700;

// Values and limits of the three number types compared as the numbers they
// are, whatever their types: a negative limit is below every unsigned value,
// an unsigned limit of 2^63 or more above every signed one, a fractional
// limit between the integers around it. A NaN is unordered with everything.
std::partial_ordering compareNumbers(double value, double limit);
std::partial_ordering compareNumbers(double value, std::int64_t limit);
std::partial_ordering compareNumbers(double value, std::uint64_t limit);
std::partial_ordering compareNumbers(std::int64_t value, double limit);
std::partial_ordering compareNumbers(std::int64_t value, std::int64_t limit);
std::partial_ordering compareNumbers(std::int64_t value, std::uint64_t limit);
std::partial_ordering compareNumbers(std::uint64_t value, double limit);
std::partial_ordering compareNumbers(std::uint64_t value, std::int64_t limit);
std::partial_ordering compareNumbers(std::uint64_t value, std::uint64_t limit);

// One limit: whether a reported value meets it, for each value type.
class ThresholdCheckBase {
public:
  virtual ~ThresholdCheckBase() = default;
  virtual bool test(const double &value) const = 0;
  virtual bool test(const std::uint64_t &value) const = 0;
  virtual bool test(const std::int64_t &value) const = 0;
};

// A limit of type T (double, int64 or uint64) met when Cmp (a standard
// comparison object such as std::greater<>) holds for the value on the left
// and the limit on the right. Comparisons with a NaN never hold.
template <class T, class Cmp> class ThresholdCheck final : public ThresholdCheckBase {
public:
  explicit ThresholdCheck(T limit) : limit(limit) {}

  bool test(const double &value) const override { return meets(value); }
  bool test(const std::uint64_t &value) const override { return meets(value); }
  bool test(const std::int64_t &value) const override { return meets(value); }

  const T limit;

private:
  template <class V> bool meets(V value) const {
    const std::partial_ordering order = compareNumbers(value, limit);
    if (order == std::partial_ordering::unordered)
      return false;
    const int sign = order < 0 ? -1 : (order > 0 ? 1 : 0);
    return Cmp()(sign, 0);
  }
};

// One entry of the option: its limit and message number. An invalid entry has
// no check and never fires.
struct ThresholdRule {
  P_CountedPtr<ThresholdCheckBase> check;
  std::int32_t messageNumber = defaultThresholdMessage;
};

// The rules by NAME (upper-case ASCII letters, bytes ordered as unsigned
// characters); the rules of one NAME whose entries follow one another in the
// option stand in the option's order.
using ThresholdTable = std::multimap<std::string, ThresholdRule>;

// The NAME under which invalid entries are filed.
inline constexpr const char *invalidThresholdName = "____INVALID____";

// The position of the entry's operator: its first "<", ">" or "=". None when
// the entry has none there, or it is the first or last character, or the
// second-to-last followed by "=".
std::optional<std::size_t> thresholdOperatorPosition(const std::string &entry);

// NAME (ASCII letters made upper case, nothing trimmed) and the rule of an
// entry; ("____INVALID____", no check) for an invalid one.
std::pair<std::string, ThresholdRule> parseThresholdEntry(const std::string &entry);

// The rule of the operator whose comparison is Cmp, from the entry and the
// position where its VALUE begins: VALUE runs to the first ":" after it or to
// the end; after a ":" the message number is read as a decimal integer (0 or
// nothing readable gives 4700). The limit is read by the number type that
// thresholdValueKind gives; nothing readable gives 0. One instance per
// operator, for std::less<>, std::less_equal<>, std::greater<>,
// std::greater_equal<> and std::equal_to<>.
template <class Cmp> ThresholdRule parseThresholdCheck(const std::string &entry, std::size_t valueStart);

enum class ThresholdValueKind { signedInteger, floating, unsignedInteger };
// Floating when VALUE holds a "." anywhere; else signed when its first
// character that is not white space is "-"; else unsigned.
ThresholdValueKind thresholdValueKind(const std::string &value);

// The table of the options' "threshold" values, built on the first call of
// the process and again at every call after one made while "debug" held
// "always-first". A failed build leaves the table as it was. (Tests start a
// new process for it by starting new once-computed answers.)
const ThresholdTable &buildThresholdTable(const C_Options &options);

// The message number of the first rule of the metric (its name compared with
// ASCII letters upper-cased) that the value meets, under the options of the
// current argument set; 0 when none does or no argument set is current.
std::int32_t thresholdMessageFor(const std::string &metric, std::int64_t value);
std::int32_t thresholdMessageFor(const std::string &metric, std::uint64_t value);
std::int32_t thresholdMessageFor(const std::string &metric, double value);

#include "foundation/NumberRanges.h"

#include <cstdint>
#include <iostream>
#include <limits>

namespace {

bool isBlank(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t firstNonDigit(const std::string &text, std::size_t from) {
  while (from < text.size() && isDigit(text[from]))
    ++from;
  return from;
}

// Widest range expanded whole: bounds that differ by more are cut.
constexpr std::int64_t widestRange = 20000;

void warnRangeTooLarge(std::int64_t low, std::int64_t high) {
  std::cerr << "\n\nWARNING: configured number range " << low << "-" << high << " "
            << "is too large.\n"
            << "WARNING: Will truncate range to " << low << "-" << low + widestRange - 1 << ".\n\n"
            << std::endl;
}

} // namespace

std::int32_t toInt(const std::string &text) {
  std::size_t at = 0;
  while (at < text.size() && isBlank(static_cast<unsigned char>(text[at])))
    ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
    negative = text[at] == '-';
    ++at;
  }
  if (at >= text.size() || !isDigit(text[at]))
    return 0;
  // Accumulate as a negative number so that the smallest int fits.
  const std::int64_t limit = negative ? -static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::min())
                                      : std::numeric_limits<std::int32_t>::max();
  std::int64_t value = 0;
  for (; at < text.size() && isDigit(text[at]); ++at) {
    value = value * 10 + (text[at] - '0');
    if (value > limit)
      return 0;
  }
  return static_cast<std::int32_t>(negative ? -value : value);
}

void forEachListedNumber(const std::string &text, const std::function<void(std::int32_t)> &append) {
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t p = firstNonDigit(text, at);
    if (p < text.size() && text[p] == '-') {
      const std::size_t q = firstNonDigit(text, p + 1);
      std::int64_t low = toInt(text.substr(at, p - at));
      std::int64_t high = toInt(text.substr(p + 1, q - p - 1));
      if (low > high)
        std::swap(low, high);
      if (high - low > widestRange) {
        warnRangeTooLarge(low, high);
        high = low + widestRange - 1;
      }
      // 64-bit counter: the upper bound may be the largest int.
      for (std::int64_t value = low; value <= high; ++value)
        append(static_cast<std::int32_t>(value));
      at = q;
    } else {
      append(toInt(text.substr(at, p - at)));
      at = p;
    }
    if (at < text.size())
      ++at; // the separator, whatever it is
  }
}

std::string U_toString(std::int32_t value) { return std::to_string(value); }

std::string U_toString(std::uint32_t value) { return std::to_string(value); }

// Runs of decimal digits in texts that users write (format strings, message
// texts): read as a value that stops at INT_MAX instead of overflowing.
#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>

inline bool M_isDigit(char c) { return c >= '0' && c <= '9'; }

// Reads the run of digits that starts at pos (none gives 0) and moves pos
// past it.
inline std::int32_t M_readDigits(const std::string &text, std::size_t &pos) {
  std::int64_t value = 0;
  for (; pos < text.size() && M_isDigit(text[pos]); ++pos)
    if (value < INT_MAX)
      value = value * 10 + (text[pos] - '0');
  return value < INT_MAX ? static_cast<std::int32_t>(value) : INT_MAX;
}

// Test data as bytes: literals with embedded NUL or high bytes, and text
// with CR LF line ends.
#pragma once

#include <cstddef>
#include <string>

namespace test_support {

inline std::string bytesOf(const char *literal, std::size_t size) { return std::string(literal, size); }

// The same text with every "\n" written as CR LF.
inline std::string withCrLf(const std::string &text) {
  std::string result;
  for (char c : text) {
    if (c == '\n')
      result += '\r';
    result += c;
  }
  return result;
}

} // namespace test_support

// All bytes of a string literal, NUL bytes included, without its terminator.
#define BYTES(literal) test_support::bytesOf(literal, sizeof(literal) - 1)

// Test helper: binary file contents written as readable text, for fixtures
// that hold the bytes of a binary file. The text is a list of tokens
// separated by white space; "#" begins a comment that runs to the end of its
// line. A token is
//   two hexadecimal digits      one byte;
//   "text"                      the bytes of the text;
//   s"text"                     int32 length, then the bytes (a binary string);
//   z"text"                     int32 (length + 1), the bytes and a NUL (a
//                               string of error-file format 1).
// Integers are little-endian. Texts hold no quote and no white space.
#pragma once

#include "support/ByteBuilder.h"

#include <cctype>
#include <cstdio>
#include <sstream>
#include <stdexcept>
#include <string>

namespace test_support {

inline std::string decodeHexDump(const std::string &text) {
  ByteBuilder bytes;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream tokens(line.substr(0, line.find('#')));
    std::string token;
    while (tokens >> token) {
      const std::size_t quote = token.find('"');
      if (quote == std::string::npos) {
        if (token.size() != 2 || !std::isxdigit(static_cast<unsigned char>(token[0])) ||
            !std::isxdigit(static_cast<unsigned char>(token[1])))
          throw std::invalid_argument("not a byte: " + token);
        bytes.byte(static_cast<std::uint8_t>(std::stoul(token, nullptr, 16)));
        continue;
      }
      const std::string prefix = token.substr(0, quote);
      if (token.size() < quote + 2 || token.back() != '"')
        throw std::invalid_argument("not a text: " + token);
      const std::string value = token.substr(quote + 1, token.size() - quote - 2);
      if (prefix.empty())
        bytes.raw(value);
      else if (prefix == "s")
        bytes.text(value);
      else if (prefix == "z")
        bytes.int32(static_cast<std::int64_t>(value.size()) + 1).raw(value).byte(0);
      else
        throw std::invalid_argument("unknown text kind: " + token);
    }
  }
  return bytes.bytes();
}

// The bytes as two-digit hexadecimal numbers, 16 a line, for failure
// messages that show where two binary files differ.
inline std::string hexLines(const std::string &bytes) {
  std::string text;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    char digits[4];
    std::snprintf(digits, sizeof digits, "%02x", static_cast<unsigned char>(bytes[i]));
    text += digits;
    text += (i % 16 == 15 || i + 1 == bytes.size()) ? "\n" : " ";
  }
  return text;
}

} // namespace test_support

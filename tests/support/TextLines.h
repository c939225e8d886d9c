// Test helper: the lines of a text or a stream, without their newlines.
#pragma once

#include <istream>
#include <sstream>
#include <string>
#include <vector>

namespace test_support {

inline std::vector<std::string> lines(std::istream &in) {
  std::vector<std::string> result;
  for (std::string line; std::getline(in, line, '\n');)
    result.push_back(line);
  return result;
}

inline std::vector<std::string> lines(const std::string &text) {
  std::istringstream in(text);
  return lines(in);
}

// The lines each between « and », in one text for a failure message.
inline std::string quotedLines(const std::vector<std::string> &lines) {
  std::string text;
  for (const std::string &line : lines)
    text += "«" + line + "»";
  return text;
}

} // namespace test_support

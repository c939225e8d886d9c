#include "checks/TextHelpers.h"

#include "foundation/FileSystem.h"

#include <algorithm>
#include <limits>

namespace {

bool isBlankOrTab(char c) { return c == ' ' || c == '\t'; }

bool isIdentifierByte(char c) { return isAlnumChar(c) || c == '_'; }

} // namespace

std::vector<std::string> splitAtChar(const std::string &text, char sep) {
  std::vector<std::string> pieces;
  std::size_t start = 0;
  for (std::size_t at = text.find(sep); at != std::string::npos; at = text.find(sep, start)) {
    pieces.push_back(text.substr(start, at - start));
    start = at + 1;
  }
  if (start < text.size())
    pieces.push_back(text.substr(start));
  return pieces;
}

std::vector<std::string> splitAtCharRun(const std::string &text, char sep) {
  std::vector<std::string> pieces;
  std::size_t start = 0;
  if (!text.empty() && text[0] == sep) {
    pieces.emplace_back();
    start = text.find_first_not_of(sep);
  }
  while (start < text.size()) {
    const std::size_t end = std::min(text.find(sep, start), text.size());
    pieces.push_back(text.substr(start, end - start));
    start = text.find_first_not_of(sep, end);
  }
  return pieces;
}

std::vector<std::string> splitString(const std::string &sep, const std::string &text, int maxParts) {
  std::vector<std::string> pieces;
  if (maxParts == 0 || maxParts < -1)
    return pieces;
  if (maxParts == 1) {
    pieces.push_back(text);
    return pieces;
  }
  // The number of cuts allowed; -1 cuts wherever it can.
  const std::size_t cuts = maxParts == -1 ? text.size() + 1 : static_cast<std::size_t>(maxParts) - 1;
  if (sep.empty()) {
    const std::size_t singles = std::min(cuts, text.size());
    for (std::size_t i = 0; i < singles; ++i)
      pieces.push_back(text.substr(i, 1));
    if (maxParts != -1)
      pieces.push_back(text.substr(singles));
    return pieces;
  }
  std::size_t start = 0;
  for (std::size_t at = text.find(sep); at != std::string::npos && pieces.size() < cuts;
       at = text.find(sep, start)) {
    pieces.push_back(text.substr(start, at - start));
    start = at + sep.size();
  }
  pieces.push_back(text.substr(start));
  return pieces;
}

int indexOfString(const std::vector<std::string> &v, const std::string &text, int from, int to) {
  if (from > to || v.empty())
    return -1;
  const int last =
      std::min(to, static_cast<int>(std::min<std::size_t>(v.size() - 1, std::numeric_limits<int>::max())));
  for (int i = std::max(from, 0); i <= last; ++i)
    if (v[static_cast<std::size_t>(i)] == text)
      return i;
  return -1;
}

std::string toLowerCopy(const std::string &text) {
  std::string lower(text);
  for (char &c : lower) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte >= 'A' && byte <= 'Z')
      c = static_cast<char>(byte - 'A' + 'a');
  }
  return lower;
}

std::string concatStrings(const std::string &a, const std::string &b) { return a + b; }

std::string trimRight(const std::string &text, const std::string &set) {
  const std::size_t last = text.find_last_not_of(set);
  return last == std::string::npos ? std::string() : text.substr(0, last + 1);
}

std::string trimLeft(const std::string &text, const std::string &set) {
  const std::size_t first = text.find_first_not_of(set);
  return first == std::string::npos ? std::string() : text.substr(first);
}

std::string trim(const std::string &text) { return trimLeft(trimRight(text, " "), " "); }

void replaceAll(std::string &text, const std::string &from, const std::string &to) {
  if (text.empty() || from.empty())
    return;
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
}

bool pathsEqual(const std::string &a, const std::string &b) { return U_absolutePath(a) == U_absolutePath(b); }

std::size_t streamSize(std::istream &in) {
  const std::istream::pos_type here = in.tellg();
  if (here == std::istream::pos_type(-1))
    return 0;
  in.seekg(0, std::ios::end);
  const std::istream::pos_type end = in.tellg();
  in.clear();
  in.seekg(here);
  return end == std::istream::pos_type(-1) ? 0 : static_cast<std::size_t>(end);
}

bool isDirectiveNamed(const std::string &line, const std::string &word) {
  const auto notBlank = [&line](std::size_t from) {
    while (from < line.size() && isBlankOrTab(line[from]))
      ++from;
    return from;
  };
  const std::size_t hash = notBlank(0);
  if (hash >= line.size() || line[hash] != '#')
    return false;
  const std::size_t start = notBlank(hash + 1);
  if (start >= line.size() || line.compare(start, word.size(), word) != 0)
    return false;
  const std::size_t after = start + word.size();
  return after < line.size() && !isIdentifierByte(line[after]);
}

bool isDefineDirective(const std::string &line) { return isDirectiveNamed(line, "define"); }

std::string textBetween(const std::string &text, char open, char close) {
  const std::size_t p = text.find(open);
  if (p == std::string::npos)
    return std::string();
  const std::size_t q = std::min(text.find(close, p + 1), text.size());
  return text.substr(p + 1, q - p - 1);
}

bool isAlnumChar(char c) {
  const unsigned char byte = static_cast<unsigned char>(c);
  return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9');
}

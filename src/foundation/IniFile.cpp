#include "foundation/IniFile.h"

#include "foundation/PathText.h"
#include "platform/TextFile.h"

namespace {

bool isBlank(unsigned char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

std::string trimmed(const std::string &text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && isBlank(static_cast<unsigned char>(text[begin])))
    ++begin;
  while (end > begin && isBlank(static_cast<unsigned char>(text[end - 1])))
    --end;
  return text.substr(begin, end - begin);
}

} // namespace

std::string U_readIniValue(const std::string &path, const std::string &section, const std::string &key) {
  platform::InputFile in(path);
  if (!in.is_open())
    return "";
  bool inSection = false;
  std::string line;
  while (std::getline(in, line)) {
    const std::string text = trimmed(line);
    if (text.empty() || text[0] == ';')
      continue;
    if (text[0] == '[') {
      const std::size_t close = text.find(']');
      inSection = close != std::string::npos && U_equalNoCase(trimmed(text.substr(1, close - 1)), section);
      continue;
    }
    if (!inSection)
      continue;
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos || !U_equalNoCase(trimmed(text.substr(0, equals)), key))
      continue;
    return trimmed(text.substr(equals + 1)).substr(0, U_iniValueMaxLength);
  }
  return "";
}

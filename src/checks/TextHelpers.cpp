#include "checks/TextHelpers.h"

std::string toLowerCopy(const std::string &text) {
  std::string lower(text);
  for (char &c : lower) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte >= 'A' && byte <= 'Z')
      c = static_cast<char>(byte - 'A' + 'a');
  }
  return lower;
}

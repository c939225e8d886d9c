#include "anlsrslt/include/QueryOptions.h"

#include "foundation/Assertion.h"
#include "foundation/StringStore.h"

#include <cstring>
#include <string>

namespace {

// The characters that end an option's name in a word.
constexpr const char *kOptionNameEnd = " +-=";

// The first of them in the word; null when there is none.
const char *nameEnd(const char *word) {
  if (word == nullptr)
    return nullptr;
  const std::size_t length = std::strcspn(word, kOptionNameEnd);
  return word[length] == '\0' ? nullptr : word + length;
}

} // namespace

bool PI_parseBoolOption(const char *word) {
  const char *end = nameEnd(word);
  if (end == nullptr || *end == '+')
    return true;
  if (*end == '-')
    return false;
  U_ASSERT(!"Boolean options should be:  option[+|-]+");
  return false;
}

const char *PI_optionName(const char *word) {
  const char *end = nameEnd(word);
  if (end == nullptr)
    return word;
  return internString(std::string(word, end).c_str());
}

const char *PI_optionValue(const char *word) {
  const char *end = nameEnd(word);
  if (end == nullptr || *end == '+' || *end == '-')
    U_ASSERT(!"Value options should be:  option[ |=].*");
  return internString(end + 1);
}

const char *PI_optionIdentity(const char *word) { return word; }

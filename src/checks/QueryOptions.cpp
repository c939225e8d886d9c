#include "anlsrslt/include/QueryOptions.h"

#include "anlsrslt/model/IterSlots.h"
#include "anlsrslt/model/impl/IterCont.h"
#include "cmdline/ListOptionKinds.h"
#include "cmdline/Options.h"
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

// The separator of a "prodoption" word's name and value.
constexpr const char *kProductOptionSeparator = "::";

// A table of the current "prodoption" words: each "A::B" (split at the first
// "::") files B under A; a word without "::" or with nothing after it is
// passed over; A may be empty.
P_CountedPtr<P_ProductOptionTable> buildProductOptionTable() {
  P_CountedPtr<P_ProductOptionTable> table(new P_ProductOptionTable);
  for (const std::string &word : C_optProdOption().values()) {
    const std::size_t separator = word.find(kProductOptionSeparator);
    if (separator == std::string::npos || separator + 2 == word.size())
      continue;
    table->emplace(internString(word.substr(0, separator).c_str()),
                   internString(word.c_str() + separator + 2));
  }
  return table;
}

} // namespace

// The product-option table: built on the first walk and, only under the
// debug word "always-first", afresh for every walk. A walk keeps the table it
// began on, so a new one leaves it valid.
struct PI_ProductOptionCacheAccess {
  // The table built last; unset before the first walk.
  static P_CountedPtr<P_ProductOptionTable> &lastBuilt() {
    static P_CountedPtr<P_ProductOptionTable> cache;
    return cache;
  }

  static P_CountedPtr<P_ProductOptionTable> alwaysFirstCache() {
    P_CountedPtr<P_ProductOptionTable> &cache = lastBuilt();
    bool &rebuild = PI_ProductOptionCache::rebuildNext();
    if (rebuild) {
      rebuild = debugFlag("always-first");
      cache = buildProductOptionTable();
    }
    return cache;
  }
};

P_CountedPtr<P_ProductOptionTable> alwaysFirstCache() {
  return PI_ProductOptionCacheAccess::alwaysFirstCache();
}

const char *optionCacheValue(P_ProductOptionTable::const_iterator iter) {
  // The table the position belongs to is the one built last: asking does not
  // build it again, which would leave the position behind.
  P_CountedPtr<P_ProductOptionTable> cache = PI_ProductOptionCacheAccess::lastBuilt();
  if (!cache.isSet())
    cache = alwaysFirstCache();
  if (!(iter != cache->end()))
    assertFailed(__FILE_NAME__, __LINE__, "iter != cache.end () && \"We should have a valid iterator\"",
                 true);
  return iter->second;
}

bool &PI_ProductOptionCache::rebuildNext() {
  static bool rebuild = true;
  return rebuild;
}

std::int32_t getFirstOption(const char *value) {
  U_ASSERT(0 != value && "Do not call getFirstOption with a null option");
  P_CountedPtr<P_ProductOptionTable> table = alwaysFirstCache();
  const auto [begin, end] = table->equal_range(internString(value));
  return IterCont<P_OptionValueIter>::instance().create(begin, end, std::move(table)).id;
}

bool PI_optionValuesAtEnd(std::int32_t id) { return IterCont<P_OptionValueIter>::instance().atEnd(id); }
const char *PI_currentOptionValue(std::int32_t id) {
  return IterCont<P_OptionValueIter>::instance().current(id);
}
bool PI_nextOptionValue(std::int32_t id) { return IterCont<P_OptionValueIter>::instance().next(id); }

bool PI_parseBoolOption(const char *word) {
  const char *end = nameEnd(word);
  if (end == nullptr || *end == '+')
    return true;
  if (*end == '-')
    return false;
  assertFailed(__FILE_NAME__, __LINE__, "! \"Boolean options should be:  option[+|-]+\"", true);
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
    assertFailed(__FILE_NAME__, __LINE__, "! \"Value options should be:  option[ |=].*\"", true);
  return internString(end + 1);
}

const char *PI_optionIdentity(const char *word) { return word; }

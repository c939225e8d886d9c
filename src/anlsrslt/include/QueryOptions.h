// Option values of the query interface: the words of option "prodoption"
// of the form "NAME::VALUE", walked by name, and helpers that take an option
// word apart. No shipped check uses them.
#pragma once

#include "anlsrslt/model/CountedPtr.h"
#include "anlsrslt/model/IterSlots.h"

#include <cstdint>

namespace test_support {
class ProductOptionCacheReset;
}

// A walk over the values filed under the name (empty when there are none).
// A null name fails an assertion.
std::int32_t getFirstOption(const char *name);
bool PI_optionValuesAtEnd(std::int32_t id);
const char *PI_currentOptionValue(std::int32_t id); // null at the end
bool PI_nextOptionValue(std::int32_t id);

// The product-option table that the walks read: built from the current
// "prodoption" words on the first call and, only under the debug word
// "always-first", afresh on every call. A walk or a caller that holds the
// handle keeps its table valid.
P_CountedPtr<P_ProductOptionTable> alwaysFirstCache();
// The value at a position of the table built last; its end position fails an
// assertion.
const char *optionCacheValue(P_ProductOptionTable::const_iterator iter);

// The switch value of a word "name", "name+" or "name-": true, true, false.
// A blank or "=" as the first special character fails an assertion.
bool PI_parseBoolOption(const char *word);
// The interned text before the first of blank, "+", "-" and "="; the
// argument itself when there is none.
const char *PI_optionName(const char *word);
// The interned text after the first of blank, "+", "-" and "=" when that is
// a blank or "="; an assertion fails otherwise.
const char *PI_optionValue(const char *word);
// Gives its argument back unchanged.
const char *PI_optionIdentity(const char *word);

// The state of the product-option table behind the walks: built on the first
// walk and, only under the debug word "always-first", again for every walk.
// Only the test support can ask for a fresh build.
class PI_ProductOptionCache {
  friend class test_support::ProductOptionCacheReset;
  friend struct PI_ProductOptionCacheAccess;
  static bool &rebuildNext();
};

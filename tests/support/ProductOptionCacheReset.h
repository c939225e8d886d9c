// Test helper: makes the next option-value walk build the product-option
// table afresh from the current "prodoption" words. Only tests can reach it.
#pragma once

#include "anlsrslt/include/QueryOptions.h"

namespace test_support {

class ProductOptionCacheReset {
public:
  static void reset() { PI_ProductOptionCache::rebuildNext() = true; }
};

} // namespace test_support

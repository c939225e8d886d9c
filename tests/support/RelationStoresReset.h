// Test helper: empties what the relation reader keeps for the whole run (the
// collected include records, the relation index), which the system itself
// never clears. Only tests use it.
#pragma once

#include "anlsrslt/readers/RelationInclude.h"
#include "anlsrslt/readers/RelationIndex.h"

namespace test_support {

class RelationStoresReset {
public:
  static void resetAll() {
    includeRelationSet().clear();
    relationIndex().clear();
  }
};

} // namespace test_support

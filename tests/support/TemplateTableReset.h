// Test helper: empties the run's template table, so that a test starts with
// no template known. Only tests can reach it.
#pragma once

#include "anlsrslt/model/TemplateTable.h"

namespace test_support {

class TemplateTableReset {
public:
  static void reset() {
    TemplateTable &table = TemplateTable::instance();
    table.m_byName.clear();
    table.m_byPosition.clear();
    table.m_templates.clear();
  }
};

} // namespace test_support

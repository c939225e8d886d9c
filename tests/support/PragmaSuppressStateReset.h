// Test helper: empties the process's pragma-suppression state, which the
// system itself never clears. Only tests can reach it.
#pragma once

#include "anlsrslt/suppression/PragmaSuppression.h"

namespace test_support {

class PragmaSuppressStateReset {
public:
  static void resetAll() {
    PragmaSuppressState &state = PragmaSuppressState::instance();
    state.m_messages.clear();
    state.m_ranges.clear();
    state.m_all.clear();
  }
};

} // namespace test_support

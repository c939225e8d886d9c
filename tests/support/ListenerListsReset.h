// Test helper: empties every listener list of the readers (record handlers,
// per-source, end-of-run and DEFINE listeners) at its next use, so that a test
// starts with nothing registered. Only tests can reach it.
#pragma once

#include "anlsrslt/readers/ListenerList.h"

namespace test_support {

class ListenerListsReset {
public:
  static void resetAll() { ++P_ListenerLists::counter(); }
};

} // namespace test_support

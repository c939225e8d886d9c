// Test helper: forgets what the error-file reader kept for the run (the
// diagnostics dispatched, the sub-diagnostics made and the suppression records
// of the error files read), so that a test starts as a run does. Only tests can
// reach it.
#pragma once

#include "anlsrslt/readers/ErrorFileReader.h"

namespace test_support {

class ErrorFileReaderReset {
public:
  static void resetAll() { P_ErrorFileReaderState::reset(); }
};

} // namespace test_support

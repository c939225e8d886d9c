// Test helper: makes every answer that the system computes once per process
// (C_OnceAnswer) be computed again at its next use, from the argument set
// current then. Only tests can reach it.
#pragma once

#include "cmdline/OnceAnswer.h"

namespace test_support {

class OnceAnswerReset {
public:
  static void resetAll() { ++C_OnceAnswers::counter(); }
};

} // namespace test_support

// Consistency checks and their report:
//   "Assertion at <unit>:<line>: Assertion '<expression>' failed."
// U_ASSERT aborts through SIGABRT; U_ASSERT_THROW throws U_AssertException.
#pragma once

void reportAssertion(const char *unit, unsigned line, const char *kind, const char *expression);
[[noreturn]] void assertFailed(const char *unit, unsigned line, const char *expression, bool);
[[noreturn]] void assertFailedThrow(const char *unit, unsigned line, const char *expression);

#define U_ASSERT(condition)                                                                                  \
  ((condition) ? static_cast<void>(0) : assertFailed(__FILE_NAME__, __LINE__, #condition, true))
#define U_ASSERT_THROW(condition)                                                                            \
  ((condition) ? static_cast<void>(0) : assertFailedThrow(__FILE_NAME__, __LINE__, #condition))

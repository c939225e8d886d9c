// Checks a captured exception: a configuration error with exactly this text
// and the configuration exit code 10.
#pragma once

#include "cmdline/ConfigurationException.h"

#include <exception>
#include <gtest/gtest.h>
#include <string>

namespace test_support {

inline testing::AssertionResult isConfigurationError(const std::exception_ptr &error,
                                                     const std::string &text) {
  if (!error)
    return testing::AssertionFailure() << "nothing was thrown";
  try {
    std::rethrow_exception(error);
  } catch (const C_ConfigurationException &e) {
    if (text != e.what())
      return testing::AssertionFailure() << "text '" << e.what() << "', expected '" << text << "'";
    if (e.exitCode() != 10)
      return testing::AssertionFailure() << "exit code " << e.exitCode();
    return testing::AssertionSuccess();
  } catch (...) {
    return testing::AssertionFailure() << "another kind of exception";
  }
}

} // namespace test_support

// The write fault of tests as a build without test hooks has it: the program
// of such a build (a release build) ignores the environment variable that a
// test build reads its fault from.
#include "platform/WriteFault.h"

#include "support/ScratchDirectory.h"

#include <gtest/gtest.h>
#include <string>

namespace {

TEST(WriteFaultHookTest, ABuildWithoutTestHooksIgnoresTheVariable) {
  EXPECT_FALSE(platform::writeFaultHookBuiltIn());
  for (const std::string value : {"fail-after=0", "stop-after=1", "cut-fails", "pause-at-exit"}) {
    const test_support::EnvironmentVariable variable("LYRSA_VOKT_TEST_WRITE_FAULT", value);
    EXPECT_FALSE(platform::writeFaultFromEnvironment()) << value;
  }
}

} // namespace

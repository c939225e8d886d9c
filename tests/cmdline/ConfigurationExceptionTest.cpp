#include "cmdline/ConfigurationException.h"

#include <gtest/gtest.h>

namespace {

TEST(ConfigurationExceptionTest, ExitCodeAndSharedMessage) {
  C_ConfigurationException plain("\nERROR: bad\n");
  EXPECT_EQ(10, plain.exitCode());
  EXPECT_FALSE(plain.hasExitCode());
  EXPECT_STREQ("\nERROR: bad\n", plain.what());

  C_ConfigurationException coded(3, "other");
  EXPECT_EQ(3, coded.exitCode());
  EXPECT_TRUE(coded.hasExitCode());
  // The message is shared by every user error: the last one constructed wins.
  EXPECT_STREQ("other", plain.what());
}

} // namespace

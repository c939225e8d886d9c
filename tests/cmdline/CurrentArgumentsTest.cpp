// The test support that makes the current argument set from a word list.
#include "support/CurrentArguments.h"

#include "cmdline/Options.h"
#include "cmdline/ProductEnvironment.h"
#include "foundation/NamedFiles.h"
#include "platform/Environment.h"

#include <gtest/gtest.h>

namespace {

TEST(CurrentArgumentsTest, WordsMakeTheCurrentSetInAnInstallationOfItsOwn) {
  const QL_Filename input = QL_Filename::fromPath("/ca/a.c");
  {
    test_support::CurrentArguments arguments({"-debug", "one", "/ca/a.c", "-debug", "two", "-tabstop", "3"});
    EXPECT_EQ(arguments.installation().path(), platform::environmentValue("LYRBIN"));
    EXPECT_EQ(&arguments.args(), C_currentCmdArgs());
    EXPECT_TRUE(debugFlag("one") && debugFlag("two"));
    EXPECT_EQ(3, C_optTabStop().value());
    EXPECT_EQ(std::vector<std::string>{"/ca/a.c"}, arguments.inputFiles());
    EXPECT_TRUE(isNamedFile(input));

    arguments.set({"-tabstop", "5"});
    EXPECT_FALSE(debugFlag("one"));
    EXPECT_EQ(5, C_optTabStop().value());
    EXPECT_FALSE(isNamedFile(input));
    EXPECT_TRUE(arguments.inputFiles().empty());

    test_support::CurrentArguments other({"-debug", "x"}, "lyrpp");
    EXPECT_EQ(other.installation().path(), platform::environmentValue("LYRPPBIN"));
    EXPECT_EQ("lyrpp", C_currentCmdArgs()->product().name());
  }
  ASSERT_NE(nullptr, C_currentCmdArgs());
  EXPECT_FALSE(debugFlag("one"));
  EXPECT_EQ(8, C_optTabStop().value());
}

} // namespace

#include "cmdline/Options.h"
#include "cmdline/CmdArgs.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

TEST(OptionsTest, DebugWordsAreWholeCaseSensitiveTexts) {
  const struct {
    std::vector<std::string> values;
    bool expected; // for the word "log"
  } cases[] = {
      {{}, false},
      {{"LOG"}, false},
      {{"log "}, false},
      {{"logs"}, false},
      {{"lo"}, false},
      {{"log,always-first"}, false}, // one value per use: a joined value is neither word
      {{"log"}, true},
      {{"LOG", "log"}, true},
      {{"always-first", "log", "x"}, true},
  };
  for (const auto &c : cases) {
    C_Options options;
    for (const std::string &value : c.values)
      options.debug().add(value);
    EXPECT_EQ(c.expected, C_Options::hasDebugFlag(options, "log")) << testing::PrintToString(c.values);
  }
  C_Options options;
  options.debug().add("");
  options.debug().add("log");
  EXPECT_TRUE(C_Options::hasDebugFlag(options, ""));
  EXPECT_FALSE(C_Options::hasDebugFlag(options, nullptr));
}

TEST(OptionsTest, CopyKeepsValues) {
  C_Options options;
  options.debug().add("log");
  options.debug().add("always-first");
  const C_Options copy(options);
  options.debug().forget();
  EXPECT_TRUE(C_Options::hasDebugFlag(copy, "always-first"));
  EXPECT_FALSE(C_Options::hasDebugFlag(options, "always-first"));
  EXPECT_EQ(0u, copy.referenceCount());
}

TEST(OptionsTest, DebugFlagReadsTheCurrentArgumentSet) {
  C_CmdArgs args("lyr", 0, nullptr);
  args.options()->debug().add("os-independent-slash");
  C_setCurrentCmdArgs(args);
  EXPECT_TRUE(debugFlag("os-independent-slash"));
  EXPECT_FALSE(debugFlag("always-first"));
  // The current set is a copy: later changes to the original do not show.
  args.options()->debug().add("always-first");
  EXPECT_FALSE(debugFlag("always-first"));
  C_currentCmdArgs()->options()->debug().add("always-first");
  EXPECT_TRUE(debugFlag("always-first"));
}

} // namespace

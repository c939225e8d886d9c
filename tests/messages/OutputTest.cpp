// The kinds of the message and metric outputs chosen by the "debug" words.
#include "messages/Output.h"
#include "cmdline/CmdArgs.h"
#include "cmdline/Options.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace {

TEST(OutputTest, DebugWordsChooseTheOutputKinds) {
  struct Case {
    std::vector<std::string> words;
    int messageKind;
    int metricKind;
  };
  const Case cases[] = {
      {{}, 3, 0},
      {{"simpleoutput"}, 0, 2},
      {{"textoutput"}, 1, 1},
      {{"formatoutput"}, 1, 1},
      {{"lyroutput"}, 2, 0},
      {{"tamsel2output"}, 3, 0},
      {{"null_metric_output"}, 3, 4},
      {{"simpleoutput", "textoutput"}, 0, 2},
      {{"lyroutput", "formatoutput"}, 1, 1},
      {{"null_metric_output", "simpleoutput"}, 0, 4},
      {{"SimpleOutput"}, 3, 0},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.words));
    C_CmdArgs args("lyr", 0, nullptr);
    for (const std::string &word : c.words) {
      std::istringstream value(word);
      C_optDebug(*args.options()).set(value, true);
    }
    EXPECT_EQ(c.messageKind, messageOutputKind(args));
    EXPECT_EQ(c.metricKind, metricOutputKind(args));
  }
}

} // namespace

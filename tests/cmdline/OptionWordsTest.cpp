#include "cmdline/OptionWords.h"

#include "cmdline/CmdArgStreamBuffer.h"
#include "cmdline/CmdArgs.h"
#include "cmdline/ConfigurationException.h"
#include "foundation/Language.h"
#include "support/ConfigurationError.h"
#include "support/RecordingOrphanHandler.h"
#include "support/ScratchDirectory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <exception>
#include <istream>
#include <string>
#include <vector>

namespace {

using test_support::EnvironmentVariable;
using test_support::RecordingOrphanHandler;
using test_support::ScratchDirectory;

std::string unknown(const std::string &word) { return "\nERROR: Unknown argument: " + word + "\n\n"; }
std::string badValue(const std::string &value, const std::string &option) {
  return "\nERROR: " + value + " is not a valid argument for option: " + option + "\n\n";
}
std::string expectedAfter(const std::string &option) {
  return "\nERROR: Argument expected after " + option + "\n\n";
}
std::string unableToOpen(const std::string &file) { return "\nERROR: Unable to open " + file + "\n\n"; }

class OptionWordsTest : public testing::Test {
protected:
  void SetUp() override { QL_resetLanguageCaches(); }
  void TearDown() override { QL_resetLanguageCaches(); }

  struct Parse {
    std::vector<std::string> orphans;
    std::string out;
    std::string err;
    std::exception_ptr error;
  };
  // Parses the words as command-line words into args.
  Parse parse(C_CmdArgs &args, const std::vector<std::string> &words) {
    C_ArgsSourceStack stack(true);
    stack.push(new C_ArgvSource(args.product(), words));
    C_CmdArgStreamBuffer buffer(args.product(), eceNone, m_scratch.path(), stack);
    std::istream in(&buffer);
    RecordingOrphanHandler handler;
    Parse result;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    try {
      parseOptionWords(args, in, handler);
    } catch (...) {
      result.error = std::current_exception();
    }
    result.out = testing::internal::GetCapturedStdout();
    result.err = testing::internal::GetCapturedStderr();
    result.orphans = handler.words;
    EXPECT_EQ(result.orphans.empty(), handler.isEmpty());
    return result;
  }

  ScratchDirectory m_scratch;
  EnvironmentVariable m_lang{"LANG", "C"};
  EnvironmentVariable m_noCache{"NO_LANG_CACHE", "1"};
};

TEST_F(OptionWordsTest, ValuesAndOrphans) {
  struct Case {
    std::vector<std::string> words;
    std::vector<std::string> orphans;
    std::int32_t tabStop = 8;
    bool metrics = true;
    std::string outputPath = {};
    std::vector<std::int32_t> noMsg = {};
    std::size_t includes = 0;
    std::string err = {};
    std::string out = {};
  };
  const Case cases[] = {
      {{"-tabstop=4"}, {}, 4},
      {{"-tabstop4"}, {}, 4},
      {{"-tabstop", "4"}, {}, 4},
      {{"-tabstop", "=4"}, {}, 4},
      {{"-TAB", "5", "a.c"}, {"a.c"}, 5},
      // The value word is taken whatever it holds, so it is no input file.
      {{"-tabstop", "x", "b.c"}, {"b.c"}, 0},
      {{"-tabstop", "-op", "x"}, {"x"}, 0},
      {{"-metrics-"}, {}, 8, false},
      {{"-metrics-", "-metrics"}, {}, 8, true},
      {{"-metrics-", "-met+"}, {}, 8, true},
      {{"-metrics", "x"}, {"x"}, 8, true},
      {{"-metricsx", "a.c"}, {"a.c"}, 8, true, "", {}, 0, badValue("x", "metrics")},
      {{"-op", "my dir"}, {}, 8, true, "my dir"},
      {{"-op", "a", "-op=b"}, {}, 8, true, "b"},
      {{"-op", "a", "-op", ""}, {}, 8, true, ""},
      {{"-i", "dir", "a.c", "-idir2"}, {"a.c"}, 8, true, "", {}, 2},
      {{"-nomsg", "12", "-nomsg3-4", "-n=7"}, {}, 8, true, "", {12, 3, 4, 7}},
      // The empty word is an input file and does not end the words.
      {{"a.c", "", "b.c"}, {"a.c", "", "b.c"}},
      {{"", "-tabstop", "3"}, {""}, 3},
      {{"-", "--tabstop", "-zzz", "c.c"},
       {"c.c"},
       8,
       true,
       "",
       {},
       0,
       unknown("-") + unknown("--tabstop") + unknown("-zzz")},
      // A missing value is reported and the words end normally.
      {{"-tabstop"}, {}, 8, true, "", {}, 0, expectedAfter("tabstop")},
      // User text is printed as it is, never as a format.
      {{"-e", "%s %n 100%"}, {}, 8, true, "", {}, 0, "", "%s %n 100%\n"},
  };
  for (const Case &c : cases) {
    const std::string label = testing::PrintToString(c.words);
    C_CmdArgs args("lyr", 0, nullptr);
    const Parse result = parse(args, c.words);
    EXPECT_FALSE(result.error) << label;
    EXPECT_EQ(c.orphans, result.orphans) << label;
    const C_Options &options = *args.options();
    EXPECT_EQ(c.tabStop, options.tabStop().value()) << label;
    EXPECT_EQ(c.metrics, options.metrics().value()) << label;
    EXPECT_EQ(c.outputPath, options.outputPath().getValue()) << label;
    EXPECT_EQ(c.noMsg, options.noMsg().values()) << label;
    EXPECT_EQ(c.includes, options.i().values().size()) << label;
    EXPECT_EQ(c.err, result.err) << label;
    EXPECT_EQ(c.out, result.out) << label;
  }
}

TEST_F(OptionWordsTest, ErrorPoliciesCountFromTheWordThatSetsThem) {
  const std::string missing = m_scratch / "missing.txt";
  struct Case {
    std::vector<std::string> words;
    std::string err;
    std::vector<std::string> orphans;
    std::string thrown; // what() of the exception that ends the parse, or empty
  };
  const Case cases[] = {
      {{"-zzz", "-eica", "-yyy", "b.c"}, unknown("-zzz"), {}, unknown("-yyy")},
      {{"-errorinvalidcfgarg+", "-zzz"}, "", {}, unknown("-zzz")},
      {{"-eica", "-eica-", "-zzz", "a.c"}, unknown("-zzz"), {"a.c"}, ""},
      // Each switch covers its own kind of error only.
      {{"-eica", "-metricsx", "a.c"}, badValue("x", "metrics"), {"a.c"}, ""},
      {{"-eicv", "-zzz", "a.c"}, unknown("-zzz"), {"a.c"}, ""},
      {{"-metricsx", "-eicv", "-metricsy", "a.c"}, badValue("x", "metrics"), {}, badValue("y", "metrics")},
      {{"-eicv", "-tabstop"}, "", {}, expectedAfter("tabstop")},
      {{"-errorinvalidcfgvalue", "-via", missing, "a.c"}, "", {}, unableToOpen(missing)},
      {{"-eicv", "-forgetall", "gone", "a.c"}, "", {}, badValue("gone", "forgetall")},
  };
  for (const Case &c : cases) {
    const std::string label = testing::PrintToString(c.words);
    C_CmdArgs args("lyr", 0, nullptr);
    const Parse result = parse(args, c.words);
    EXPECT_EQ(c.err, result.err) << label;
    EXPECT_EQ(c.orphans, result.orphans) << label;
    if (c.thrown.empty()) {
      EXPECT_FALSE(result.error) << label;
      continue;
    }
    EXPECT_TRUE(test_support::isConfigurationError(result.error, c.thrown)) << label;
  }
}

TEST_F(OptionWordsTest, SettingsFiles) {
  const std::string settings = m_scratch.writeFile("s.txt", "-nomsg 12\nx.c\n");
  const std::string crlf = m_scratch.writeFile("crlf.txt", "-nomsg 12\r\nx.c\r\n");
  const std::string inner = m_scratch.writeFile("inner.txt", "y2\n");
  const std::string outer = m_scratch.writeFile("outer.txt", "-via " + inner + " y1\n");
  const std::string lastNeedsValue = m_scratch.writeFile("op.txt", "-op\n");
  const std::string missing = m_scratch / "missing.txt";
  const std::string directory = m_scratch.makeDirectory("dir");
  struct Case {
    std::vector<std::string> words;
    std::vector<std::string> orphans;
    std::vector<std::int32_t> noMsg = {};
    std::string outputPath = {};
    std::string err = {};
  };
  const Case cases[] = {
      // A settings file is read where it is named.
      {{"-via", settings, "a.c"}, {"x.c", "a.c"}, {12}},
      {{"-via" + settings, "a.c"}, {"x.c", "a.c"}, {12}},
      {{"-list", settings, "a.c"}, {"x.c", "a.c"}, {12}},
      {{"-list" + settings, "a.c"}, {"x.c", "a.c"}, {12}},
      {{"-via", crlf, "a.c"}, {"x.c", "a.c"}, {12}},
      {{"-via", outer, "z"}, {"y2", "y1", "z"}},
      // An option whose value is missing at the end of a file takes the next
      // word after it.
      {{"-via", lastNeedsValue, "a.c"}, {}, {}, "a.c"},
      {{"-via", missing, "a.c"}, {"a.c"}, {}, "", unableToOpen(missing)},
      {{"-via", directory, "a.c"}, {"a.c"}, {}, "", unableToOpen(directory)},
  };
  for (const Case &c : cases) {
    const std::string label = testing::PrintToString(c.words);
    C_CmdArgs args("lyr", 0, nullptr);
    const Parse result = parse(args, c.words);
    EXPECT_FALSE(result.error) << label;
    EXPECT_EQ(c.orphans, result.orphans) << label;
    EXPECT_EQ(c.noMsg, args.options()->noMsg().values()) << label;
    EXPECT_EQ(c.outputPath, args.options()->outputPath().getValue()) << label;
    EXPECT_EQ(c.err, result.err) << label;
  }
}

TEST_F(OptionWordsTest, SettingsFileThatNamesItself) {
  const std::string self = m_scratch / "self.txt";
  m_scratch.writeFile("self.txt", "-via " + self + " x\n");
  const std::string nested = "\nERROR: Settings files nested too deeply, not read: " + self + "\n\n";

  C_CmdArgs args("lyr", 0, nullptr);
  const Parse result = parse(args, {"-via", self, "end"});
  EXPECT_FALSE(result.error);
  EXPECT_EQ(nested, result.err);
  // The file is not read again while it is being read.
  EXPECT_EQ((std::vector<std::string>{"x", "end"}), result.orphans);

  C_CmdArgs strict("lyr", 0, nullptr);
  const Parse ended = parse(strict, {"-eicv", "-via", self, "end"});
  EXPECT_TRUE(ended.orphans.empty());
  try {
    ASSERT_TRUE(ended.error);
    std::rethrow_exception(ended.error);
  } catch (const C_InvalidArgValueException &e) {
    EXPECT_EQ(nested, e.what());
  }
}

} // namespace

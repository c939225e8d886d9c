#include "resultfiles/MetricOutput.h"

#include "foundation/Language.h"
#include "resultfiles/MetricSink.h"
#include "support/CurrentArguments.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <typeinfo>

namespace {

using test_support::readFile;
using test_support::ScratchDirectory;

enum class Stream { none, standardOutput, file };

// The installed sink and its stream, in words.
std::string describeOutput() {
  const M_MetricBase *sink = M_currentMetricOutput();
  std::string text = !sink                                      ? "nothing"
                     : dynamic_cast<const M_MetricNull *>(sink) ? "null"
                     : dynamic_cast<const M_MetricLYR *>(sink)  ? "LYR"
                                                                : "other";
  const std::ostream *stream = M_metricStream();
  return text + (stream == nullptr      ? " without a stream"
                 : stream == &std::cout ? " on standard output"
                                        : " on a file");
}

// The current arguments with the output directory out of a scratch
// directory, and the record files written as the characters come; standard
// output goes into a buffer of the test.
class MetricOutputTest : public test_support::CurrentArgumentsTest {
protected:
  void SetUp() override {
    QL_resetLanguageCaches();
    setArguments({"-op", m_out});
  }
  void TearDown() override {
    closeMetricOutput();
    std::cout.rdbuf(m_stdout);
    QL_resetLanguageCaches();
  }

  test_support::EnvironmentVariable m_lang{"LANG", std::string("C")};
  ScratchDirectory m_dir;
  const std::string m_out = m_dir.makeDirectory("out");
  std::stringbuf m_buffer;
  std::streambuf *m_stdout = std::cout.rdbuf(&m_buffer);
};

TEST_F(MetricOutputTest, OpenInstallsTheSinkOfTheKind) {
  struct Case {
    const char *what;
    std::function<void()> open;
    std::string output;
    // The record file that gets the record written, if any.
    std::optional<std::string> recordFile;
  };
  const std::string other = m_dir.makeDirectory("other");
  const Case cases[] = {
      {"driver kind 0: the record file in the directory given",
       [&] { openMetricOutput("/src/a.c", other, 0); }, "LYR on a file", other + "/a.c.met"},
      {"driver kind 1", [&] { openMetricOutput("/src/a.c", other, 1); }, "LYR on standard output",
       std::nullopt},
      {"driver kind 2", [&] { openMetricOutput("/src/a.c", other, 2); }, "LYR on standard output",
       std::nullopt},
      {"driver kind 3", [&] { openMetricOutput("/src/a.c", other, 3); }, "LYR on standard output",
       std::nullopt},
      {"driver kind 4", [&] { openMetricOutput("/src/a.c", other, 4); }, "null without a stream",
       std::nullopt},
      {"kind 0 in the default output directory", [] { openMetric("/src/a.c", 0); }, "LYR on a file",
       m_out + "/a.c.met"},
      {"kind 1", [] { openMetric("/src/a.c", 1); }, "LYR on standard output", std::nullopt},
      {"kind 4", [] { openMetric("/src/a.c", 4); }, "null without a stream", std::nullopt},
      {"default kind 0", [] { openMetricDefault("/src/a.c", 0); }, "LYR on a file", m_out + "/a.c.met"},
      {"default kind 2", [] { openMetricDefault("/src/a.c", 2); }, "LYR on standard output", std::nullopt},
      {"default kind 4", [] { openMetricDefault("/src/a.c", 4); }, "null without a stream", std::nullopt},
      {"standard output", [] { openStandardMetricOutput(); }, "LYR on standard output", std::nullopt},
      {"standard output, default", [] { openStandardMetricOutputDefault(); }, "LYR on standard output",
       std::nullopt},
      {"\"-\" with open", [] { installMetricLYR("-"); }, "LYR on standard output", std::nullopt},
      {"\"-\" with the default open", [] { installMetricLYRDefault("-"); }, "LYR on standard output",
       std::nullopt},
      {"\"-\" with the append open is a record file", [&] { installMetricLYRAppend("-", other); },
       "LYR on a file", other + "/-.met"},
      {"null sink with a file name", [] { installMetricNull("/src/a.c"); }, "null without a stream",
       std::nullopt},
  };
  for (const Case &c : cases) {
    std::filesystem::remove_all(other);
    std::filesystem::remove_all(m_out);
    std::filesystem::create_directories(other);
    std::filesystem::create_directories(m_out);
    m_buffer.str("");
    c.open();
    EXPECT_EQ(c.output, describeOutput()) << c.what;
    M_currentMetricOutput()->writeMessage("a", "b");
    closeMetricOutput();
    EXPECT_EQ("null without a stream" == c.output ? "null without a stream" : "LYR without a stream",
              describeOutput())
        << c.what;
    const bool toStandardOutput = c.output == "LYR on standard output";
    EXPECT_EQ(toStandardOutput ? "<MSG> a b\n" : "", m_buffer.str()) << c.what;
    if (c.recordFile) {
      EXPECT_EQ("<MSG> a b\n", readFile(*c.recordFile)) << c.what;
    }
    // No record file is made but the one that is written.
    for (const std::string &dir : {other, m_out}) {
      for (const auto &entry : std::filesystem::directory_iterator(dir))
        EXPECT_EQ(c.recordFile.value_or(""), entry.path().string()) << c.what;
    }
  }
}

TEST_F(MetricOutputTest, AppendingKeepsTheRecordFileAndOpenWritesItAnew) {
  const std::string file = m_out + "/a.c.met";
  m_dir.writeFile("out/a.c.met", "<MSG> old\n");
  openMetricOutput("/src/a.c", m_out, 0);
  closeMetricOutput();
  EXPECT_EQ("<MSG> old\n", readFile(file));
  openMetricOutput("/src/a.c", m_out, 0);
  M_currentMetricOutput()->writeMessage("new", "line");
  closeMetricOutput();
  EXPECT_EQ("<MSG> old\n<MSG> new line\n", readFile(file));
  openMetric("/src/a.c", 0);
  closeMetricOutput();
  EXPECT_EQ("", readFile(file));
}

TEST_F(MetricOutputTest, AnInstallClosesTheSinkBefore) {
  openMetricOutput("/src/a.c", m_out, 0);
  M_currentMetricOutput()->writeMessage("first", "sink");
  openMetricOutput("/src/a.c", m_out, 4);
  EXPECT_EQ("<MSG> first sink\n", readFile(m_out + "/a.c.met"));
  EXPECT_EQ("null without a stream", describeOutput());
}

TEST_F(MetricOutputTest, ARecordFileThatCannotBeOpenedEndsTheOpenAndLeavesTheSinkWithoutAStream) {
  const std::string missing = m_dir / "missing";
  struct Case {
    const char *what;
    std::function<void()> open;
    std::string text;
  };
  const Case cases[] = {
      {"driver kind 0", [&] { openMetricOutput("/src/a.c", missing, 0); },
       "Cannot write metric file for '/src/a.c' in output directory '" + missing +
           "' (No such file or directory)."},
      {"open in the default output directory", [&] { installMetricLYR("src/b.c"); },
       "Cannot write metric file for 'src/b.c' in output directory '" + missing +
           "' (No such file or directory)."},
      {"default open", [&] { installMetricLYRDefault("b.c"); },
       "Cannot write metric file for 'b.c' in output directory '" + missing +
           "' (No such file or directory)."},
  };
  for (const Case &c : cases) {
    setArguments({"-op", missing});
    openStandardMetricOutput();
    try {
      c.open();
      ADD_FAILURE() << c.what << ": no exception";
    } catch (const M_LYRCannotOpenMetricFile &error) {
      EXPECT_EQ(c.text, std::string(error.what())) << c.what;
    }
    EXPECT_EQ("LYR without a stream", describeOutput()) << c.what;
    EXPECT_NO_THROW(flushMetricOutput()) << c.what;
    EXPECT_NO_THROW(closeMetricOutput()) << c.what;
    EXPECT_FALSE(std::filesystem::exists(missing)) << c.what;
  }
}

TEST_F(MetricOutputTest, FlushAndCloseAgainDoNothing) {
  openMetricOutput("/src/a.c", m_out, 0);
  M_currentMetricOutput()->writeMessage("a", "b");
  EXPECT_EQ("", readFile(m_out + "/a.c.met"));
  flushMetricOutput();
  EXPECT_EQ("<MSG> a b\n", readFile(m_out + "/a.c.met"));
  closeMetricOutput();
  EXPECT_NO_THROW(closeMetricOutput());
  EXPECT_NO_THROW(flushMetricOutput());
  EXPECT_EQ("LYR without a stream", describeOutput());

  // Standard output is neither flushed nor closed by the sink.
  openMetricOutput("/src/a.c", m_out, 2);
  closeMetricOutput();
  EXPECT_TRUE(std::cout.good());
  std::cout << "still open";
  EXPECT_EQ("still open", m_buffer.str());
}

} // namespace

// The output sink: the kinds chosen by the "debug" words, the factories and
// closing, the two counts, the entry operations with their suppressed flag,
// the error without a sink, and the suppression-record operations.
#include "messages/Output.h"
#include "cmdline/CmdArgs.h"
#include "cmdline/Options.h"
#include "messages/Diagnostic.h"
#include "messages/SuppressionRecord.h"
#include "support/CurrentArguments.h"
#include "support/Diagnostics.h"
#include "support/Locations.h"

#include <gtest/gtest.h>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using test_support::at;
using test_support::diagnostic;
using test_support::flaggedDiagnostic;
using test_support::withMacros;

TEST(OutputKindTest, DebugWordsChooseTheOutputKinds) {
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

// What a spy sink was asked to do, in order.
struct SpyLog {
  std::vector<std::string> calls;
  U_RefPtr<M_SuppressionRecord> record;
  bool closeThrows = false;
  bool sendThrows = false;
};

class SpyOutput : public M_OutputBase {
public:
  SpyOutput(SpyLog &log, std::string name) : m_log(log), m_name(std::move(name)) {}
  ~SpyOutput() override { m_log.calls.push_back(m_name + " destroyed"); }

  void close() override {
    m_log.calls.push_back(m_name + " close");
    if (m_log.closeThrows)
      throw std::runtime_error("close failed");
  }
  void send(const U_RefPtr<M_Diagnostic> &diagnostic, bool suppressed) override {
    m_log.calls.push_back(m_name + " send " + std::to_string(diagnostic->getNumber()) +
                          (suppressed ? " suppressed" : ""));
    if (m_log.sendThrows)
      throw std::runtime_error("send failed");
  }
  void write(const U_RefPtr<M_Diagnostic> &diagnostic, bool suppressed) override {
    m_log.calls.push_back(m_name + " write " + std::to_string(diagnostic->getNumber()) +
                          (suppressed ? " suppressed" : ""));
  }
  void writeSuppression(const U_RefPtr<M_SuppressionRecord> &record) override {
    m_log.calls.push_back(m_name + " suppression");
    m_log.record = record;
  }

private:
  SpyLog &m_log;
  std::string m_name;
};

class OutputTest : public test_support::CurrentArgumentsTest {
protected:
  void TearDown() override { M_closeOutput(); }

  void install(const std::string &name, int kind = 7) {
    M_installOutput(kind, std::make_unique<SpyOutput>(m_log, name));
  }
  std::vector<std::string> takeCalls() { return std::exchange(m_log.calls, {}); }

  SpyLog m_log;
};

TEST_F(OutputTest, AFactoryClosesAndDestroysTheSinkBeforeAndStartsTheCountsAgain) {
  install("first", 5);
  EXPECT_EQ(5, M_OutputKind());
  M_sendMessage(diagnostic(1));
  M_sendMessage(flaggedDiagnostic(2, false, true));
  EXPECT_EQ(1u, M_sentCount());
  EXPECT_EQ(1u, M_writtenCount());
  install("second", 0);
  EXPECT_EQ(0, M_OutputKind());
  EXPECT_EQ(0u, M_sentCount());
  EXPECT_EQ(0u, M_writtenCount());
  EXPECT_EQ((std::vector<std::string>{"first send 1", "first write 2", "first close", "first destroyed"}),
            takeCalls());
  ASSERT_NE(nullptr, M_currentOutput());

  M_sendMessage(diagnostic(3));
  M_closeOutput();
  EXPECT_EQ(nullptr, M_currentOutput());
  // Closing leaves the kind and the counts; a second close does nothing.
  EXPECT_EQ(0, M_OutputKind());
  EXPECT_EQ(1u, M_sentCount());
  M_closeOutput();
  EXPECT_EQ((std::vector<std::string>{"second send 3", "second close", "second destroyed"}), takeCalls());
  resetOutputCounters();
  EXPECT_EQ(0u, M_sentCount());
}

TEST_F(OutputTest, WithoutASinkTheMisuseIsReportedAndTheInteger17Thrown) {
  struct Case {
    bool error;
    const char *report;
  };
  const Case cases[] = {
      {false, "M_Output:81: Cannot send information before open().\n"},
      {true, "M_Output:99: Cannot send information before open().\n"},
  };
  for (const bool installedBefore : {false, true}) {
    for (const Case &c : cases) {
      SCOPED_TRACE(std::string(installedBefore ? "after close" : "never installed") +
                   (c.error ? ", error flag" : ""));
      if (installedBefore) {
        install("spy");
        M_sendMessage(diagnostic(1));
        M_closeOutput();
      }
      const std::uint32_t sent = M_sentCount();
      testing::internal::CaptureStderr();
      try {
        M_sendMessage(flaggedDiagnostic(1540, false, c.error));
        ADD_FAILURE() << "nothing thrown";
      } catch (int thrown) {
        EXPECT_EQ(17, thrown);
      }
      EXPECT_EQ(c.report, testing::internal::GetCapturedStderr());
      EXPECT_EQ(sent, M_sentCount());
      EXPECT_EQ(0u, M_writtenCount());
    }
  }
}

TEST_F(OutputTest, TheEntryChoosesWriteOrSendAndComputesTheSuppressedFlag) {
  struct Case {
    const char *product;
    std::vector<std::string> words;
    U_RefPtr<M_Diagnostic> diagnostic;
    const char *call;
  };
  const U_Location located = at("/p/a.c", 3, 1);
  const U_Location expanded = withMacros(at("/p/a.c", 4), {{at("/p/a.c", 1), "M"}});
  const Case cases[] = {
      {"lyr", {}, diagnostic(10, located), "spy send 10"},
      {"lyr", {}, flaggedDiagnostic(11, true, false, located), "spy send 11 suppressed"},
      {"lyr", {}, flaggedDiagnostic(12, true, true, located), "spy write 12"},
      {"lyr", {}, flaggedDiagnostic(13, false, true), "spy write 13"},
      {"lyr", {}, diagnostic(14, expanded), "spy send 14"},
      {"lyrpp", {"-hidemacrowarnings"}, diagnostic(15, expanded), "spy send 15 suppressed"},
      {"lyrpp", {"-hidemacrowarnings"}, diagnostic(16, located), "spy send 16"},
      {"lyrpp", {"-hidemacrowarnings"}, diagnostic(17), "spy send 17"},
      {"lyrpp", {"-hidemacrowarnings"}, flaggedDiagnostic(18, false, true, expanded), "spy write 18"},
      // The sink's own filters decide; the entry passes every number on.
      {"lyr", {"-nomsg", "19"}, diagnostic(19, located), "spy send 19"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.call);
    const test_support::CurrentArguments arguments(c.words, c.product);
    install("spy");
    M_sendMessage(c.diagnostic);
    EXPECT_EQ((std::vector<std::string>{c.call}), takeCalls());
    M_closeOutput();
    takeCalls();
  }
}

TEST_F(OutputTest, HideMacroWarningsIsReadAtTheFirstFilteredSend) {
  const U_Location expanded = withMacros(at("/p/a.c", 4), {{at("/p/a.c", 1), "M"}});
  const test_support::CurrentArguments arguments({"-hidemacrowarnings"}, "lyrpp");
  install("spy");
  M_sendMessage(diagnostic(1, expanded));
  C_setCurrentCmdArgs(C_CmdArgs("lyrpp", 0, nullptr));
  M_sendMessage(diagnostic(2, expanded));
  EXPECT_EQ((std::vector<std::string>{"spy send 1 suppressed", "spy send 2 suppressed"}), takeCalls());
}

TEST_F(OutputTest, AFailingSinkIsNotCountedAndAFailingCloseStillRemovesTheSink) {
  install("spy");
  m_log.sendThrows = true;
  EXPECT_THROW(M_sendMessage(diagnostic(1)), std::runtime_error);
  EXPECT_EQ(0u, M_sentCount());
  m_log.closeThrows = true;
  EXPECT_THROW(M_closeOutput(), std::runtime_error);
  EXPECT_EQ(nullptr, M_currentOutput());
  EXPECT_EQ((std::vector<std::string>{"spy send 1", "spy close", "spy destroyed"}), takeCalls());
  // The same when a factory replaces it: nothing is left installed.
  install("other", 1);
  EXPECT_THROW(install("third", 5), std::runtime_error);
  EXPECT_EQ(nullptr, M_currentOutput());
  EXPECT_EQ((std::vector<std::string>{"other close", "other destroyed", "third destroyed"}), takeCalls());
}

TEST_F(OutputTest, SuppressionRecordsReachTheSinkWithTheirKindAndParts) {
  const U_Location location = at("/p/a.c", 10, 5);
  const U_Location start = at("/p/a.c", 12, 1);
  const U_Location end = at("/p/a.c", 20, 1);
  const M_MessageRanges ranges = {{"100", "100"}, {"200", "250"}};
  // Without a sink nothing happens.
  M_sendSupRecord(location, "N", ranges, start);

  install("spy");
  struct Case {
    const char *name;
    void (*send)(const U_Location &, const U_Location &, const U_Location &, const M_MessageRanges &);
    std::uint32_t kind;
    bool hasRanges;
    bool hasEnd;
  };
  const Case cases[] = {
      {"suppression with end",
       [](const U_Location &l, const U_Location &s, const U_Location &e, const M_MessageRanges &r) {
         M_sendSupRecord(l, "N", r, s, e);
       },
       1, true, true},
      {"suppression without end",
       [](const U_Location &l, const U_Location &s, const U_Location &, const M_MessageRanges &r) {
         M_sendSupRecord(l, "N", r, s);
       },
       1, true, false},
      {"location record with end",
       [](const U_Location &l, const U_Location &s, const U_Location &e, const M_MessageRanges &) {
         M_sendLocRecord(l, "N", s, e);
       },
       0, false, true},
      {"location record without end",
       [](const U_Location &l, const U_Location &s, const U_Location &, const M_MessageRanges &) {
         M_sendLocRecord(l, "N", s);
       },
       0, false, false},
      {"any kind",
       [](const U_Location &l, const U_Location &s, const U_Location &e, const M_MessageRanges &r) {
         M_sendSuppressionRecord(2, l, "N", r, s, e);
       },
       2, true, true},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    c.send(location, start, end, ranges);
    EXPECT_EQ((std::vector<std::string>{"spy suppression"}), takeCalls());
    ASSERT_TRUE(m_log.record.isSet());
    const M_SuppressionRecord &record = *m_log.record;
    EXPECT_EQ(c.kind, record.getKind());
    EXPECT_EQ(location, record.getLocation());
    EXPECT_EQ("N", record.getName());
    EXPECT_EQ(c.hasRanges ? ranges : M_MessageRanges(), record.getMessageRanges());
    EXPECT_EQ(start, record.getStartLocation());
    EXPECT_EQ(c.hasEnd ? end : U_Location(), record.getEndLocation());
    EXPECT_EQ(1u, m_log.record->referenceCount());
    m_log.record.reset();
  }
  EXPECT_EQ(0u, M_sentCount());
  EXPECT_EQ(0u, M_writtenCount());
}

} // namespace

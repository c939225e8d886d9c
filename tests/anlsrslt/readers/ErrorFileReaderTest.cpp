// Error files written by the outputs of both formats, read back into model
// diagnostics: the read switch, the order and de-duplication, repeats across
// files, the display filter, the suppression decision over every error file of
// the run, and the listeners of each kind.
#include "anlsrslt/readers/ErrorFileReader.h"

#include "anlsrslt/model/ModelDiagnostic.h"
#include "anlsrslt/readers/FileOpenException.h"
#include "anlsrslt/suppression/DiagnosticTagSet.h"
#include "anlsrslt/suppression/SuppressionRecord.h"
#include "messages/Diagnostic.h"
#include "messages/Output.h"
#include "messages/SuppressionRecord.h"
#include "resultfiles/ErrorFileInput.h"
#include "resultfiles/ErrorFileOutput.h"
#include "resultfiles/ErrorFilePath.h"
#include "support/Bytes.h"
#include "support/CurrentArguments.h"
#include "support/Diagnostics.h"
#include "support/ErrorFileReaderReset.h"
#include "support/HeapInUse.h"
#include "support/ListenerListsReset.h"
#include "support/Locations.h"
#include "support/ScratchDirectory.h"
#include "support/SuppressionRecords.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace {

using test_support::at;
using test_support::diagnostic;
using test_support::DiagnosticList;
using test_support::includedAt;
using test_support::suppressionRecord;
using Records = std::vector<U_RefPtr<M_SuppressionRecord>>;

// What the listeners saw, in order.
std::vector<std::string> events;

std::string baseName(const std::string &path) { return path.substr(path.rfind('/') + 1); }

// "<number>@<file>:<line>:<column>" of a diagnostic.
std::string describe(const P_Diagnostic *diagnostic) {
  const M_Diagnostic &own = *diagnostic->m_diagnostic;
  const U_Location &location = own.getLocation();
  return std::to_string(own.getNumber()) + "@" + baseName(P_filenameTextOf(diagnostic->m_filename)) + ":" +
         std::to_string(location.getLine()) + ":" + std::to_string(location.getColumn());
}

std::string flags(bool repeat, bool suppressed) {
  return std::string(repeat ? " repeat" : "") + (suppressed ? " suppressed" : "");
}

void onDiagnostic(P_Diagnostic *d, bool repeat, bool suppressed) {
  events.push_back("diagnostic " + describe(d) + flags(repeat, suppressed));
}
void onMessage(P_Diagnostic *d, bool repeat, bool suppressed) {
  events.push_back("message " + describe(d) + flags(repeat, suppressed));
}
void onUnsuppressed(P_Diagnostic *d, bool repeat) {
  events.push_back("unsuppressed " + describe(d) + flags(repeat, false));
}
void onSuppressing(P_SuppressionRecord *record, P_Diagnostic *d) {
  events.push_back(std::string("suppressing ") + P_SuppressionRecord::getName(record) + " " + describe(d));
}
void onRecord(P_SuppressionRecord *record) {
  events.push_back(std::string("record ") + P_SuppressionRecord::getName(record));
}
void onText(P_Diagnostic *d, std::uint32_t index, const char *text) {
  events.push_back("text " + describe(d) + " " + std::to_string(index) + " " + text);
}
void onSub(P_Diagnostic *parent, P_Diagnostic *sub) {
  events.push_back("sub " + describe(parent) + " " + describe(sub));
}
void onHidden(std::uint32_t number, const char *file) {
  events.push_back("hidden " + std::to_string(number) + " " + baseName(file));
}
void onCallback() { events.push_back("callback"); }

class ErrorFileReaderTest : public testing::Test {
protected:
  void SetUp() override { resetRun(); }
  void TearDown() override {
    M_closeOutput();
    resetRun();
  }

  // Starts as a run does: nothing registered, nothing read.
  static void resetRun() {
    test_support::ListenerListsReset::resetAll();
    test_support::ErrorFileReaderReset::resetAll();
    events.clear();
  }

  std::string source(const std::string &name) const { return m_dir / name; }
  std::string errorFile(const std::string &name) const { return errorFilePath(m_dir.path(), source(name)); }

  // Writes the error file of the source through the output of the format
  // (kind 2 or 3); a diagnostic hidden by a pragma is written as suppressed.
  void writeErrorFile(const std::string &name, int kind, const DiagnosticList &diagnostics,
                      const Records &records = {}) {
    const std::string path = errorFile(name);
    std::filesystem::remove(path);
    kind == 2 ? openNewTamselOutput(path) : openNewTamsel2Output(path);
    for (const U_RefPtr<M_Diagnostic> &d : diagnostics)
      M_currentOutput()->write(d, d->isHiddenByPragma());
    for (const U_RefPtr<M_SuppressionRecord> &record : records)
      M_currentOutput()->writeSuppression(record);
    M_closeOutput();
  }

  int read(const std::string &name) {
    return readErrorFile(QL_Filename::fromPath(m_dir.path()), QL_Filename::fromPath(source(name)));
  }

  U_Location in(const std::string &name, std::int32_t line, std::int32_t column = 1) const {
    return at(source(name), line, column);
  }
  // A place in h.h, included from line 5 of a.c.
  U_Location inHeader(std::int32_t line, std::int32_t column = 1) const {
    return includedAt(in("a.c", 5, 0), source("h.h"), line, column);
  }

  test_support::CurrentArguments m_arguments;
  test_support::ScratchDirectory m_dir;
};

// A diagnostic with text parameters.
U_RefPtr<M_Diagnostic> withTexts(std::uint32_t number, const U_Location &location,
                                 const std::vector<std::string> &texts) {
  U_RefPtr<M_Diagnostic> made = diagnostic(number, location);
  for (const std::string &text : texts)
    made->addParameter(text);
  return made;
}

U_RefPtr<M_Diagnostic> withError(U_RefPtr<M_Diagnostic> made) {
  made->setError(true);
  return made;
}

TEST_F(ErrorFileReaderTest, ReadOnlyWhenAListenerOrTheDebugWordAsks) {
  struct Case {
    const char *what;
    std::function<void()> registration;
    std::vector<std::string> words;
    bool reads;
  };
  const Case cases[] = {
      {"nothing", [] {}, {}, false},
      {"hidden-diagnostic listener", [] { registerHiddenDiagnosticListener(onHidden); }, {}, false},
      {"error-file callback", [] { registerErrorFileCallback(onCallback); }, {}, false},
      {"other debug word", [] {}, {"-debug", "always-first"}, false},
      {"always_read_errors", [] {}, {"-debug", "always_read_errors"}, true},
      {"diagnostic listener", [] { registerDiagnosticListener(onDiagnostic); }, {}, true},
      {"message listener", [] { registerMessageListener(9, onMessage); }, {}, true},
      {"unsuppressed listener", [] { registerUnsuppressedDiagnosticListener(onUnsuppressed); }, {}, true},
      {"suppressing-record listener", [] { registerSuppressingRecordListener(onSuppressing); }, {}, true},
      {"suppression-record listener", [] { registerSuppressionRecordListener(onRecord); }, {}, true},
      {"parameter-text listener", [] { registerParameterTextListener(onText); }, {}, true},
      {"sub-diagnostic listener", [] { registerSubDiagnosticListener(onSub); }, {}, true},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    resetRun();
    m_arguments.set(c.words);
    c.registration();
    // The error file is missing: reading it fails.
    if (!c.reads) {
      EXPECT_EQ(2, read("a.c"));
      continue;
    }
    try {
      read("a.c");
      ADD_FAILURE() << "read a missing file";
    } catch (const P_FileOpenException &error) {
      EXPECT_EQ(QL_Filename::fromPath(errorFile("a.c")), error.fileName());
    }
  }
}

// Under "always_read_errors" alone the records of the file are indexed, unless
// "hiddenwarnings" is given and on; no listener exists to be called.
TEST_F(ErrorFileReaderTest, AlwaysReadErrorsAloneIndexesTheRecords) {
  struct Case {
    std::vector<std::string> words;
    bool indexed;
  };
  const Case cases[] = {
      {{"-debug", "always_read_errors"}, true},
      {{"-debug", "always_read_errors", "-hiddenwarnings-"}, true},
      {{"-debug", "always_read_errors", "-hiddenwarnings+"}, false},
  };
  for (const Case &c : cases) {
    resetRun();
    m_arguments.set(c.words);
    writeErrorFile("a.c", 3, {diagnostic(5, in("a.c", 3))},
                   {suppressionRecord(1, in("a.c", 1), {{"5", ""}}, in("a.c", 1, 0), in("a.c", 10, 0))});
    EXPECT_EQ(0, read("a.c"));
    EXPECT_EQ(c.indexed, P_DiagnosticTagSet::instance().isSuppressed(diagnostic(5, in("a.c", 3))))
        << c.words.back();
    EXPECT_TRUE(events.empty());
  }
}

// In both formats: sorted by the main-file place, a diagnostic of the main file
// before one of an included file at the same place, then line, column, number
// and parameter texts; of equal diagnostics the first written stays.
TEST_F(ErrorFileReaderTest, DiagnosticsAreDispatchedSortedWithoutDuplicates) {
  for (int kind : {2, 3}) {
    SCOPED_TRACE(kind);
    resetRun();
    registerDiagnosticListener(onDiagnostic);
    writeErrorFile("a.c", kind,
                   {
                       withTexts(5, in("a.c", 9), {}),
                       withTexts(7, in("a.c", 2, 4), {"y"}),
                       withTexts(3, inHeader(1), {}),
                       withTexts(7, in("a.c", 2, 4), {"x"}),
                       withTexts(7, in("a.c", 2, 4), {"x"}),
                       withError(withTexts(7, in("a.c", 2, 4), {"x"})),
                       withTexts(6, in("a.c", 2, 4), {"x"}),
                       withTexts(8, in("a.c", 5, 1), {}),
                       withTexts(2, in("a.c", 2, 3), {}),
                   });
    EXPECT_EQ(0, read("a.c"));
    const std::vector<std::string> expected = {
        "diagnostic 2@a.c:2:3", "diagnostic 6@a.c:2:4", "diagnostic 7@a.c:2:4", "diagnostic 7@a.c:2:4",
        "diagnostic 8@a.c:5:1", "diagnostic 3@h.h:1:1", "diagnostic 5@a.c:9:1",
    };
    EXPECT_EQ(expected, events);
  }
}

// The diagnostic kept of equal ones is the first in the file: the one without
// the error flag, which a region therefore suppresses.
TEST_F(ErrorFileReaderTest, TheFirstOfEqualDiagnosticsStays) {
  registerDiagnosticListener(onDiagnostic);
  const Records region = {suppressionRecord(1, in("a.c", 1), {{"7", ""}}, in("a.c", 1, 0), in("a.c", 9, 0))};
  writeErrorFile("a.c", 3, {diagnostic(7, in("a.c", 2)), withError(diagnostic(7, in("a.c", 2)))}, region);
  read("a.c");
  writeErrorFile("b.c", 3, {withError(diagnostic(7, in("a.c", 3))), diagnostic(7, in("a.c", 3))}, region);
  read("b.c");
  EXPECT_EQ((std::vector<std::string>{"diagnostic 7@a.c:2:1 suppressed", "diagnostic 7@a.c:3:1"}), events);
}

// An equal diagnostic of a later error file is a repeat: its listeners get the
// diagnostic dispatched first, and its parameters are not walked again.
TEST_F(ErrorFileReaderTest, RepeatsAcrossErrorFiles) {
  std::vector<P_Diagnostic *> seen;
  static std::vector<P_Diagnostic *> *dispatched;
  dispatched = &seen;
  registerDiagnosticListener([](P_Diagnostic *d, bool, bool) { dispatched->push_back(d); });
  registerUnsuppressedDiagnosticListener(onUnsuppressed);
  registerParameterTextListener(onText);
  writeErrorFile("a.c", 3, {withTexts(5, inHeader(4), {"p"})});
  writeErrorFile("b.c", 2, {withTexts(5, inHeader(4), {"p"}), withTexts(5, inHeader(4), {"q"})});
  read("a.c");
  read("b.c");
  ASSERT_EQ(3u, seen.size());
  EXPECT_EQ(seen[0], seen[1]);
  EXPECT_NE(seen[0], seen[2]);
  const std::vector<std::string> expected = {
      "unsuppressed 5@h.h:4:1", "text 5@h.h:4:1 0 p", "unsuppressed 5@h.h:4:1 repeat",
      "unsuppressed 5@h.h:4:1", "text 5@h.h:4:1 0 q",
  };
  EXPECT_EQ(expected, events);
}

// What the display filter drops reaches only the hidden-diagnostic listeners.
TEST_F(ErrorFileReaderTest, TheDisplayFilterSendsDiagnosticsToTheHiddenListeners) {
  struct Case {
    const char *what;
    std::vector<std::string> words;
    bool hiddenByPragma, hiddenByUser, error;
    const char *file;
    std::string event;
  };
  const std::string quiet = m_dir / "q";
  const Case cases[] = {
      {"plain", {}, false, false, false, "a.c", "diagnostic 5@a.c:3:1"},
      {"hidden by a pragma", {}, true, false, false, "a.c", "hidden 5 a.c"},
      {"hidden by a pragma, hiddenwarnings",
       {"-hiddenwarnings+"},
       true,
       false,
       false,
       "a.c",
       "diagnostic 5@a.c:3:1"},
      {"hidden by the user", {}, false, true, false, "a.c", "diagnostic 5@a.c:3:1"},
      {"quiet file", {"-quiet", quiet}, false, false, false, "q.h", "hidden 5 q.h"},
      {"quiet file, error", {"-quiet", quiet}, false, false, true, "q.h", "diagnostic 5@q.h:3:1"},
      {"nomsg", {"-nomsg", "5"}, false, false, false, "a.c", "hidden 5 a.c"},
      {"only another", {"-only", "6"}, false, false, false, "a.c", "hidden 5 a.c"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    resetRun();
    m_arguments.set(c.words);
    registerDiagnosticListener(onDiagnostic);
    registerHiddenDiagnosticListener(onHidden);
    U_RefPtr<M_Diagnostic> d = diagnostic(5, in(c.file, 3));
    d->setHiddenByPragma(c.hiddenByPragma);
    d->setHiddenByUser(c.hiddenByUser);
    d->setError(c.error);
    writeErrorFile("a.c", 3, {d});
    read("a.c");
    EXPECT_EQ(std::vector<std::string>{c.event}, events);
  }
}

// One file with a region for 7, a location record and a record whose region
// starts in a quiet file: the suppression-record listeners get the records
// outside quiet files first; then each diagnostic reaches the listeners of its
// number, the diagnostic listeners, and the suppressing-record or the
// unsuppressed listeners.
TEST_F(ErrorFileReaderTest, ListenersOfEachKind) {
  m_arguments.set({"-quiet", m_dir / "q"});
  registerMessageListener(7, onMessage);
  registerMessageListener(7, onMessage);
  registerDiagnosticListener(onDiagnostic);
  registerUnsuppressedDiagnosticListener(onUnsuppressed);
  registerSuppressingRecordListener(onSuppressing);
  registerSuppressionRecordListener(onRecord);
  writeErrorFile(
      "a.c", 3, {diagnostic(7, in("a.c", 20)), diagnostic(8, in("a.c", 3)), diagnostic(7, in("a.c", 3))},
      {
          suppressionRecord(1, in("a.c", 1), {{"7", ""}}, in("a.c", 1, 0), in("a.c", 10, 0), "region"),
          suppressionRecord(0, in("a.c", 2), {}, in("a.c", 2, 0), {}, "location"),
          suppressionRecord(1, in("a.c", 2), {{"8", ""}}, in("q.h", 1, 0), {}, "quiet"),
      });
  EXPECT_EQ(0, read("a.c"));
  const std::vector<std::string> expected = {
      "record region",
      "record location",
      "message 7@a.c:3:1 suppressed",
      "diagnostic 7@a.c:3:1 suppressed",
      "suppressing region 7@a.c:3:1",
      "diagnostic 8@a.c:3:1",
      "unsuppressed 8@a.c:3:1",
      "message 7@a.c:20:1",
      "diagnostic 7@a.c:20:1",
      "unsuppressed 7@a.c:20:1",
  };
  EXPECT_EQ(expected, events);
}

// The records of the file decide, by kind, number, region and include
// chain; the answer is the same whether the records are gathered for
// suppressing-record listeners or only asked about.
TEST_F(ErrorFileReaderTest, SuppressionsApplied) {
  const Records records = {
      suppressionRecord(1, in("a.c", 1), {{"5", "6"}}, in("a.c", 4, 0), in("a.c", 6, 0), "region"),
      suppressionRecord(2, in("a.c", 1), {{"5", ""}}, in("a.c", 30, 4), {}, "position"),
      suppressionRecord(0, in("a.c", 1), {{"5", ""}}, in("a.c", 40, 0), {}, "location"),
  };
  struct Case {
    U_RefPtr<M_Diagnostic> diagnostic;
    bool suppressed;
  };
  const Case cases[] = {
      {diagnostic(5, in("a.c", 4)), true},
      {diagnostic(6, in("a.c", 5)), true},
      {diagnostic(7, in("a.c", 5)), false},
      {diagnostic(5, in("a.c", 7)), false},
      {withError(diagnostic(5, in("a.c", 4, 9))), false},
      {diagnostic(5, in("a.c", 30, 4)), true},
      {diagnostic(5, in("a.c", 30, 5)), false},
      {diagnostic(5, in("a.c", 40, 0)), false},
      {diagnostic(5, inHeader(2)), true},
      {diagnostic(5, includedAt(in("a.c", 8, 0), source("g.h"), 2, 1)), false},
  };
  DiagnosticList diagnostics;
  for (const Case &c : cases)
    diagnostics.push_back(c.diagnostic);
  writeErrorFile("a.c", 3, diagnostics, records);
  static std::vector<bool> *answers;
  for (bool gathering : {false, true}) {
    SCOPED_TRACE(gathering ? "records gathered" : "only asked");
    resetRun();
    std::vector<bool> suppressed;
    answers = &suppressed;
    registerMessageListener(5, [](P_Diagnostic *, bool, bool s) { answers->push_back(s); });
    registerMessageListener(6, [](P_Diagnostic *, bool, bool s) { answers->push_back(s); });
    registerMessageListener(7, [](P_Diagnostic *, bool, bool s) { answers->push_back(s); });
    if (gathering)
      registerSuppressingRecordListener(onSuppressing);
    read("a.c");
    // The file's order: line 4 (5, then 5 with the error flag), line 5 (6,
    // 7, then the header included there), line 7, g.h included at line 8,
    // line 30 (columns 4 and 5), line 40.
    const std::vector<bool> expected = {true, false, true, false, true, false, false, true, false, false};
    EXPECT_EQ(expected, suppressed);
    if (gathering) {
      const std::vector<std::string> gathered = {
          "suppressing region 5@a.c:4:1", "suppressing region 6@a.c:5:1", "suppressing region 5@h.h:2:1",
          "suppressing position 5@a.c:30:4"};
      EXPECT_EQ(gathered, events);
    }
  }
}

// The records of every error file read before take part; a refused file
// dispatches nothing and takes nothing away.
TEST_F(ErrorFileReaderTest, RecordsOfEarlierErrorFilesSuppressLaterDiagnostics) {
  registerDiagnosticListener(onDiagnostic);
  writeErrorFile("b.c", 3, {diagnostic(5, inHeader(3))});
  read("b.c");
  writeErrorFile(
      "a.c", 3, {},
      {suppressionRecord(1, in("a.c", 1), {{"5", ""}}, at(source("h.h"), 1, 0), at(source("h.h"), 9, 0))});
  read("a.c");
  writeErrorFile("c.c", 3, {diagnostic(5, inHeader(3, 2))});
  std::filesystem::resize_file(errorFile("c.c"), std::filesystem::file_size(errorFile("c.c")) - 1);
  testing::internal::CaptureStderr();
  EXPECT_THROW(read("c.c"), P_FileOpenException);
  testing::internal::GetCapturedStderr();
  writeErrorFile("d.c", 2, {diagnostic(5, inHeader(3, 3))});
  read("d.c");
  EXPECT_EQ((std::vector<std::string>{"diagnostic 5@h.h:3:1", "diagnostic 5@h.h:3:3 suppressed"}), events);
}

// Texts of text, string-list and nested parameters in order, depth first;
// nested diagnostics and the history of the location reach the sub-diagnostic
// listeners whether or not a text listener exists.
TEST_F(ErrorFileReaderTest, ParameterTextsAndSubDiagnostics) {
  U_RefPtr<M_Diagnostic> deepest = withTexts(12, in("a.c", 7), {"n2"});
  U_RefPtr<M_Diagnostic> nested = withTexts(11, in("a.c", 6), {"n1"});
  nested->addParameterInGivenOrder({deepest});
  U_RefPtr<M_Diagnostic> top = withTexts(10, inHeader(2), {"t0"});
  top->addParameter(std::vector<std::string>{"l1", "l2"});
  top->addParameterInGivenOrder({nested});
  top->addParameter("t3");

  const std::vector<std::string> texts = {
      "text 10@h.h:2:1 0 t0", "text 10@h.h:2:1 1 l1", "text 10@h.h:2:1 1 l2",
      "text 11@a.c:6:1 0 n1", "text 12@a.c:7:1 0 n2", "text 10@h.h:2:1 3 t3",
  };
  const std::vector<std::string> subs = {
      "sub 10@h.h:2:1 11@a.c:6:1",
      "sub 11@a.c:6:1 12@a.c:7:1",
      "sub 10@h.h:2:1 1599@a.c:5:0",
  };
  struct Case {
    const char *what;
    bool textListener, subListener;
    std::vector<std::string> words;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"texts only", true, false, {}, texts},
      {"sub-diagnostics only", false, true, {}, subs},
      {"both",
       true,
       true,
       {},
       {texts[0], texts[1], texts[2], subs[0], texts[3], subs[1], texts[4], texts[5], subs[2]}},
      {"history step not wanted", false, true, {"-nomsg", "1599"}, {subs[0], subs[1]}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    resetRun();
    m_arguments.set(c.words);
    if (c.textListener)
      registerParameterTextListener(onText);
    if (c.subListener)
      registerSubDiagnosticListener(onSub);
    writeErrorFile("a.c", 3, {top});
    read("a.c");
    EXPECT_EQ(c.expected, events);
  }
}

// Message lists nested as deeply as the reader takes them are walked whole.
TEST_F(ErrorFileReaderTest, DeeplyNestedListsAreWalked) {
  static std::size_t subs;
  subs = 0;
  registerSubDiagnosticListener([](P_Diagnostic *, P_Diagnostic *) { ++subs; });
  U_RefPtr<M_Diagnostic> top = diagnostic(1, in("a.c", 1));
  for (std::uint32_t level = 0; level < M_maxMessageListNesting; ++level) {
    U_RefPtr<M_Diagnostic> outer = diagnostic(1, in("a.c", 1));
    outer->addParameterInGivenOrder({top});
    top = outer;
  }
  writeErrorFile("a.c", 3, {top});
  EXPECT_EQ(0, read("a.c"));
  EXPECT_EQ(M_maxMessageListNesting, subs);
}

// An entity parameter gives the rendering its flag selects; one without a
// display name gives nothing.
TEST_F(ErrorFileReaderTest, EntityParameters) {
  registerParameterTextListener(onText);
  U_RefPtr<M_Diagnostic> made = diagnostic(4, in("a.c", 1));
  made->addParameter(test_support::numberedName("f"), false);
  made->addParameter(test_support::numberedName("g"), true);
  made->addParameter(U_RefPtr<U_EntityDisplayName>(), true);
  const U_RefPtr<P_Diagnostic> p = new P_Diagnostic(made);
  collectDiagnosticParameters(p.pointer());
  EXPECT_EQ((std::vector<std::string>{"text 4@a.c:1:1 0 f#1", "text 4@a.c:1:1 1 g#2"}), events);
}

// Ranges as wide as the numbers go, and texts that do not fit 32 bits, are
// decided from the file with memory that does not grow with their widths.
TEST_F(ErrorFileReaderTest, HugeRangesAreDecidedInBoundedMemory) {
  static std::vector<std::string> *answers;
  std::vector<std::string> suppressed;
  answers = &suppressed;
  registerDiagnosticListener([](P_Diagnostic *d, bool, bool s) {
    answers->push_back(std::to_string(d->m_diagnostic->getNumber()) + (s ? " suppressed" : ""));
  });
  const std::vector<std::uint32_t> numbers = {5,          10000001,   2000000000, 2000000001, 2147482999,
                                              2147483000, 2147483647, 2294967296, 4294967295};
  DiagnosticList diagnostics;
  for (std::uint32_t number : numbers)
    diagnostics.push_back(diagnostic(number, in("a.c", 3)));
  writeErrorFile("a.c", 3, diagnostics,
                 {suppressionRecord(1, in("a.c", 1),
                                    {{"1", "10000000"},
                                     {"1", "2000000000"},
                                     {"2147483000", "99999999999"},
                                     {"-99999999999", "-2000000000"}},
                                    in("a.c", 1, 0), in("a.c", 9, 0))});
  const std::size_t before = test_support::heapBytesInUse();
  read("a.c");
  const std::size_t after = test_support::heapBytesInUse();
  EXPECT_LT(after, before + (1u << 20)) << "bytes kept: " << after - before;
  // By number as signed 32 bits: 2294967296 is -2000000000, 4294967295 is -1.
  const std::vector<std::string> expected = {
      "2294967296 suppressed", "4294967295", "5 suppressed", "10000001 suppressed",
      "2000000000 suppressed", "2000000001", "2147482999",   "2147483000 suppressed",
      "2147483647 suppressed"};
  EXPECT_EQ(expected, suppressed);
}

TEST_F(ErrorFileReaderTest, ErrorFileCallbacksAreCalledOnlyWhenNotified) {
  registerErrorFileCallback(onCallback);
  registerErrorFileCallback(onCallback);
  registerDiagnosticListener(onDiagnostic);
  writeErrorFile("a.c", 3, {});
  read("a.c");
  EXPECT_TRUE(events.empty());
  notifyErrorFileCallbacks();
  EXPECT_EQ(std::vector<std::string>{"callback"}, events);
}

TEST_F(ErrorFileReaderTest, FormatDiagnostic) {
  const U_RefPtr<P_Diagnostic> p = new P_Diagnostic(withTexts(1540, in("a.c", 3, 2), {"x"}));
  const char *shown = formatDiagnostic(p.pointer(), "%l:%c %n");
  EXPECT_STREQ("3:2 1540", shown);
  EXPECT_EQ(shown, formatDiagnostic(p.pointer(), "%l:%c %n")) << "interned";
  EXPECT_DEATH(
      formatDiagnostic(p.pointer(), nullptr),
      "Assertion at ErrorFileReader:[0-9]+: Assertion '0 != format && \"Dont dereference 0 in string "
      "pointer.\"' failed.");
  EXPECT_DEATH(
      formatDiagnostic(nullptr, "%u"),
      "Assertion at ErrorFileReader:[0-9]+: Assertion '0 != han && \"Dont dereference 0 in Diagnostic "
      "handle.\"' failed.");
  EXPECT_DEATH(collectDiagnosticParameters(nullptr),
               "Assertion at ErrorFileReader:[0-9]+: Assertion 'pDiag && \"Null ptr\"' failed.");
}

// The run's error-file output holds back until its file has had its turn: a
// sound file, read back or passed over, is appended to after the reading, a
// missing one is made, and one that cannot be read back, read or not, is left
// as it was while the diagnostics go to standard output.
TEST_F(ErrorFileReaderTest, TheRunsOutputWaitsForItsFileToBeReadBack) {
  struct Case {
    const char *what;
    std::vector<std::string> words;
    std::optional<std::string> file; // the bytes, none when missing
    bool throws;
    int outputKind;
  };
  const std::string sound = BYTES("\x00\x93\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00");
  const std::string damaged = sound + "\x08";
  const Case cases[] = {
      {"sound, not read", {}, sound, false, 3},
      {"sound, read", {"-debug", "always_read_errors"}, sound, false, 3},
      {"missing, read", {"-debug", "always_read_errors"}, std::nullopt, true, 3},
      {"damaged, not read", {}, damaged, false, 0},
      {"damaged, read", {"-debug", "always_read_errors"}, damaged, true, 0},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    resetRun();
    m_arguments.set(c.words);
    std::filesystem::remove(errorFile("a.c"));
    if (c.file)
      m_dir.writeFile("a.c.err", *c.file);
    openHeldErrorFileOutput(source("a.c"), m_dir.path(), 3);
    M_sendMessage(diagnostic(1540, in("a.c", 1, 0)));
    EXPECT_TRUE(M_errorFileOutputHolds());
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    if (c.throws)
      EXPECT_THROW(read("a.c"), P_FileOpenException);
    else
      read("a.c");
    const std::string out = testing::internal::GetCapturedStdout();
    testing::internal::GetCapturedStderr();
    EXPECT_FALSE(M_errorFileOutputHolds());
    EXPECT_EQ(c.outputKind, M_OutputKind());
    M_closeOutput();
    const std::string after = test_support::readFile(errorFile("a.c"));
    if (c.outputKind == 0) {
      EXPECT_EQ(*c.file, after);
      EXPECT_EQ(source("a.c") + ":1: Msg=1540 #params=0\n", out);
    } else {
      EXPECT_EQ(c.file.value_or(BYTES("\x00\x93\x00\x00\x00\x00\x00\x00")) +
                    BYTES("\x01\x00\x00\x00\x00\x08"),
                after.substr(0, c.file.value_or(std::string(8, ' ')).size() + 6));
    }
  }
}

} // namespace

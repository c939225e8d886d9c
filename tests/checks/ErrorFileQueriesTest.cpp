#include "anlsrslt/include/ErrorFileQueries.h"

#include "anlsrslt/include/QueryInterface.h"
#include "anlsrslt/model/ModelDiagnostic.h"
#include "anlsrslt/readers/ErrorFileReader.h"
#include "messages/Diagnostic.h"
#include "messages/Output.h"
#include "messages/SuppressionRecord.h"
#include "resultfiles/ErrorFileOutput.h"
#include "resultfiles/ErrorFilePath.h"
#include "support/CurrentArguments.h"
#include "support/Diagnostics.h"
#include "support/ErrorFileReaderReset.h"
#include "support/ListenerListsReset.h"
#include "support/Locations.h"
#include "support/ScratchDirectory.h"
#include "support/SuppressionRecords.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using test_support::at;
using test_support::diagnostic;
using test_support::suppressionRecord;

// What the listeners saw, in order.
std::vector<std::string> events;
// The suppression records met.
std::vector<P_SuppressionRecord *> records;

std::string baseName(const std::string &path) { return path.substr(path.rfind('/') + 1); }

// A read-back diagnostic rendered through the query interface.
std::string shown(P_Diagnostic *d) { return PI_formatDiagnostic(d, "%n@%l:%c"); }
std::string flags(bool repeat, bool suppressed) {
  return std::string(repeat ? " repeat" : "") + (suppressed ? " suppressed" : "");
}

void onDiagnostic(P_Diagnostic *d, bool repeat, bool suppressed) {
  events.push_back("diagnostic " + shown(d) + flags(repeat, suppressed));
}
void onMessage(P_Diagnostic *d, bool repeat, bool suppressed) {
  events.push_back("message " + shown(d) + flags(repeat, suppressed));
}
void onUnsuppressed(P_Diagnostic *d, bool repeat) {
  events.push_back("unsuppressed " + shown(d) + flags(repeat, false));
}
void onSuppressing(P_SuppressionRecord *record, P_Diagnostic *d) {
  events.push_back(std::string("suppressing ") + PI_suppressionRecordName(record) + " " + shown(d));
}
void onRecord(P_SuppressionRecord *record) {
  records.push_back(record);
  events.push_back(std::string("record ") + PI_suppressionRecordName(record));
}
void onText(P_Diagnostic *d, std::uint32_t index, const char *text) {
  events.push_back("text " + shown(d) + " " + std::to_string(index) + " " + text);
}
void onSub(P_Diagnostic *parent, P_Diagnostic *sub) {
  events.push_back("sub " + shown(parent) + " " + shown(sub));
}
void onHidden(std::uint32_t number, const char *file) {
  events.push_back("hidden " + std::to_string(number) + " " + baseName(file));
}

class ErrorFileQueriesTest : public testing::Test {
protected:
  void SetUp() override { resetRun(); }
  void TearDown() override {
    M_closeOutput();
    resetRun();
  }
  static void resetRun() {
    test_support::ListenerListsReset::resetAll();
    test_support::ErrorFileReaderReset::resetAll();
    events.clear();
    records.clear();
  }

  std::string source(const std::string &name) const { return m_dir / name; }

  // Writes the error file of a.c through the output and reads it back.
  int writeAndRead(const std::vector<U_RefPtr<M_Diagnostic>> &diagnostics,
                   const std::vector<U_RefPtr<M_SuppressionRecord>> &suppressions) {
    const std::string path = errorFilePath(m_dir.path(), source("a.c"));
    std::filesystem::remove(path);
    openNewTamsel2Output(path);
    for (const U_RefPtr<M_Diagnostic> &d : diagnostics)
      M_currentOutput()->write(d, d->isHiddenByPragma());
    for (const U_RefPtr<M_SuppressionRecord> &record : suppressions)
      M_currentOutput()->writeSuppression(record);
    M_closeOutput();
    return readErrorFile(QL_Filename::fromPath(m_dir.path()), QL_Filename::fromPath(source("a.c")));
  }

  test_support::CurrentArguments m_arguments;
  test_support::ScratchDirectory m_dir;
};

// One error file: a diagnostic with a text and a nested one, another that a
// record suppresses, and one hidden by a pragma; every listener registered
// through the query interface is called.
TEST_F(ErrorFileQueriesTest, EveryListenerRegisteredThroughTheInterface) {
  PI_registerUnsuppressedDiagnosticListener(onUnsuppressed);
  PI_registerMessageListener(5, onMessage);
  PI_registerDiagnosticListener(onDiagnostic);
  PI_registerParameterTextListener(onText);
  PI_registerSubDiagnosticListener(onSub);
  PI_registerHiddenDiagnosticListener(onHidden);
  PI_registerSuppressingRecordListener(onSuppressing);
  PI_registerSuppressionRecordListener(onRecord);

  U_RefPtr<M_Diagnostic> withText = diagnostic(5, at(source("a.c"), 3, 2));
  withText->addParameter(std::string("x"));
  withText->addParameterInGivenOrder({diagnostic(6, at(source("a.c"), 4, 1))});
  U_RefPtr<M_Diagnostic> hidden = diagnostic(8, at(source("a.c"), 9, 1));
  hidden->setHiddenByPragma(true);
  ASSERT_EQ(0, writeAndRead({withText, diagnostic(7, at(source("a.c"), 5, 1)), hidden},
                            {suppressionRecord(1, at(source("a.c"), 1, 0), {{"7", ""}},
                                               at(source("a.c"), 1, 0), at(source("a.c"), 10, 0), "sq")}));
  EXPECT_EQ((std::vector<std::string>{"record sq", "message 5@3:2", "diagnostic 5@3:2", "unsuppressed 5@3:2",
                                      "text 5@3:2 0 x", "sub 5@3:2 6@4:1", "diagnostic 7@5:1 suppressed",
                                      "suppressing sq 7@5:1", "hidden 8 a.c"}),
            events);
}

TEST_F(ErrorFileQueriesTest, TheFieldsOfASuppressionRecord) {
  PI_registerSuppressionRecordListener(onRecord);
  ASSERT_EQ(0,
            writeAndRead({}, {suppressionRecord(3, at(source("a.c"), 2, 4), {{"7", "9"}, {"12", ""}},
                                                at(source("a.c"), 6, 0), at(source("a.c"), 20, 1), "sq"),
                              suppressionRecord(1, at(source("a.c"), 30, 0), {}, at(source("a.c"), 31, 0))}));
  ASSERT_EQ(2u, records.size());
  const P_SuppressionRecord *record = records[0];
  EXPECT_EQ(3u, PI_suppressionRecordKind(record));
  EXPECT_STREQ("sq", PI_suppressionRecordName(record));
  const struct {
    const P_Location *location;
    std::uint32_t line, column;
  } places[] = {{PI_suppressionRecordLocation(record), 2, 4},
                {PI_suppressionRecordStart(record), 6, 0},
                {PI_suppressionRecordEnd(record), 20, 1}};
  for (const auto &place : places) {
    ASSERT_NE(nullptr, place.location) << place.line;
    EXPECT_EQ(source("a.c"), PI_locationFileName(place.location));
    EXPECT_EQ(place.line, PI_locationLine(place.location));
    EXPECT_EQ(place.column, PI_locationColumn(place.location));
  }
  ASSERT_EQ(2u, PI_suppressionRecordRangeCount(record));
  EXPECT_EQ(7u, PI_suppressionRecordRangeFrom(record, 0));
  EXPECT_EQ(9u, PI_suppressionRecordRangeTo(record, 0));
  EXPECT_EQ(12u, PI_suppressionRecordRangeFrom(record, 1));

  const P_SuppressionRecord *open = records[1];
  EXPECT_EQ(nullptr, PI_suppressionRecordEnd(open)) << "a record without an end";
  EXPECT_EQ(0u, PI_suppressionRecordRangeCount(open));
}

TEST_F(ErrorFileQueriesTest, AFormattedDiagnosticIsPooled) {
  const U_RefPtr<P_Diagnostic> d = new P_Diagnostic(diagnostic(1540, at("/q/a.c", 3, 2)));
  const char *text = PI_formatDiagnostic(d.pointer(), "%n at %l:%c");
  EXPECT_STREQ("1540 at 3:2", text);
  EXPECT_EQ(text, PI_formatDiagnostic(d.pointer(), "%n at %l:%c"));
}

using ErrorFileQueriesDeathTest = ErrorFileQueriesTest;

TEST_F(ErrorFileQueriesDeathTest, NullObjectsAndAnIndexBeyondTheRanges) {
  EXPECT_DEATH(PI_formatDiagnostic(nullptr, "%n"), "Dont dereference 0 in Diagnostic handle.");
  EXPECT_DEATH(PI_suppressionRecordKind(nullptr), "Suppression record handle is 0");
  EXPECT_DEATH(PI_suppressionRecordName(nullptr), "Suppression record handle is nil");
  EXPECT_DEATH(PI_suppressionRecordStart(nullptr), "Dont dereference 0.");
  PI_registerSuppressionRecordListener(onRecord);
  ASSERT_EQ(0,
            writeAndRead({}, {suppressionRecord(1, at(source("a.c"), 30, 0), {}, at(source("a.c"), 31, 0))}));
  ASSERT_EQ(1u, records.size());
  EXPECT_DEATH(PI_suppressionRecordRangeFrom(records[0], 0), "Index out of range");
}

} // namespace

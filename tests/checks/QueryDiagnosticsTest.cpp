#include "anlsrslt/include/QueryDiagnostics.h"

#include "anlsrslt/include/QueryInterface.h"
#include "anlsrslt/model/CountedPtr.h"
#include "anlsrslt/model/IncludeRecord.h"
#include "anlsrslt/model/ModelDiagnostic.h"
#include "anlsrslt/model/ModelLocation.h"
#include "anlsrslt/suppression/PragmaSuppression.h"
#include "foundation/IncludeSiteMap.h"
#include "messages/TextOutputs.h"
#include "support/CurrentArguments.h"
#include "support/IncludeRecords.h"
#include "support/PragmaSuppressStateReset.h"

#include <gtest/gtest.h>
#include <string>

namespace {

// What the simple output prints while the work runs.
template <class Work> std::string printed(Work work) {
  testing::internal::CaptureStdout();
  work();
  return testing::internal::GetCapturedStdout();
}

class QueryDiagnosticsTest : public test_support::CurrentArgumentsTest {
protected:
  void SetUp() override {
    test_support::PragmaSuppressStateReset::resetAll();
    M_openSimpleOutput();
  }
  void TearDown() override {
    M_closeOutput();
    test_support::PragmaSuppressStateReset::resetAll();
  }
};

TEST_F(QueryDiagnosticsTest, CreatedGivenTextsAndEmittedThroughTheOutput) {
  struct Case {
    std::uint32_t number;
    const char *file;
    std::uint32_t line;
    std::vector<const char *> texts;
    std::string out;
  };
  const Case cases[] = {
      {5013, "/qd/a.c", 3, {"unsigned long"}, "/qd/a.c:3: Msg=5013 #params=1 {unsigned long}\n"},
      {5119, "/qd/a.c", 5, {}, "/qd/a.c:5: Msg=5119 #params=0\n"},
      {4800, "/qd/b.h", 1, {"a", "b"}, "/qd/b.h:1: Msg=4800 #params=2 {a, b}\n"},
      {4800, "/qd/b.h", 2, {nullptr}, "/qd/b.h:2: Msg=4800 #params=1 {}\n"},
  };
  for (const Case &c : cases) {
    P_Diagnostic *diag = PI_createDiagnostic(c.number, c.file, c.line);
    ASSERT_NE(nullptr, diag);
    for (const char *text : c.texts)
      PI_addDiagnosticText(diag, text);
    EXPECT_EQ(c.number, PI_diagnosticMessageNumber(diag)) << c.out;
    EXPECT_STREQ(c.file, PI_diagnosticFileName(diag)) << c.out;
    EXPECT_EQ(c.line, PI_diagnosticLine(diag)) << c.out;
    EXPECT_EQ(0u, PI_diagnosticColumn(diag)) << c.out;
    EXPECT_EQ(c.out, printed([&] { PI_emitDiagnostic(diag); }));
  }
}

TEST_F(QueryDiagnosticsTest, AColumnASubDiagnosticAndTheLocationReadBack) {
  P_Diagnostic *diag = PI_createDiagnosticWithColumn(77, "/qd/c.c", 12, 4);
  P_Diagnostic *sub = PI_createDiagnostic(1599, "/qd/d.h", 2);
  PI_addSubDiagnostic(diag, sub);
  const U_RefPtr<P_Location> location(PI_diagnosticLocation(diag));
  EXPECT_STREQ("/qd/c.c", PI_locationFileName(location.pointer()));
  EXPECT_EQ(12u, PI_locationLine(location.pointer()));
  EXPECT_EQ(4u, PI_locationColumn(location.pointer()));
  EXPECT_EQ("/qd/c.c:12:4: Msg=77 #params=1 {MsgList={/qd/d.h:2: Msg=1599 #params=0}}\n",
            printed([&] { PI_emitDiagnostic(diag); }));
  // The sub-diagnostic is still the caller's.
  EXPECT_EQ(1599u, PI_diagnosticMessageNumber(sub));
  EXPECT_EQ("/qd/d.h:2: Msg=1599 #params=0\n", printed([&] { PI_emitDiagnostic(sub); }));
}

TEST_F(QueryDiagnosticsTest, ADiagnosticInAnIncludedFileCarriesItsIncludeLocation) {
  test_support::readIncludeRecord(QL_Filename::fromPath("/qd/inc/main.c"),
                                  QL_Filename::fromPath("/qd/inc/h.h"), 6);
  P_Diagnostic *diag = PI_createDiagnostic(5123, "/qd/inc/h.h", 2);
  const U_Location &location = diag->m_diagnostic->getLocation();
  ASSERT_TRUE(location.hasInclLoc());
  EXPECT_EQ("/qd/inc/main.c", location.getInclLoc().getFile().canonical().str());
  EXPECT_EQ(6, location.getInclLoc().getLine());
  printed([&] { PI_emitDiagnostic(diag); });
}

TEST_F(QueryDiagnosticsTest, InAPragmaRegionNothingIsSentAndTheDiagnosticIsDestroyedAllTheSame) {
  const QL_Filename file = QL_Filename::fromPath("/qd/pragma.c");
  PragmaSuppressState::instance().suppressMessage(5119, makeIncludedLocation(file, 10, 0), true);
  P_Diagnostic *suppressed = PI_createDiagnostic(5119, "/qd/pragma.c", 11);
  U_RefPtr<M_Diagnostic> kept = suppressed->m_diagnostic;
  EXPECT_EQ("", printed([&] { PI_emitDiagnostic(suppressed); }));
  EXPECT_EQ(1u, kept->referenceCount()) << "the model diagnostic let go of its diagnostic";
  EXPECT_EQ("/qd/pragma.c:9: Msg=5119 #params=0\n",
            printed([&] { PI_emitDiagnostic(PI_createDiagnostic(5119, "/qd/pragma.c", 9)); }));
  EXPECT_EQ("/qd/pragma.c:11: Msg=5120 #params=0\n",
            printed([&] { PI_emitDiagnostic(PI_createDiagnostic(5120, "/qd/pragma.c", 11)); }));
}

TEST_F(QueryDiagnosticsTest, AHandleStillHeldKeepsTheEmittedDiagnosticAlive) {
  P_Diagnostic *diag = PI_createDiagnostic(5, "/qd/held.c", 1);
  const U_RefPtr<P_Diagnostic> held(diag);
  printed([&] { PI_emitDiagnostic(diag); });
  EXPECT_EQ(5u, PI_diagnosticMessageNumber(held.pointer()));
}

TEST_F(QueryDiagnosticsTest, AFailingOutputStillDestroysTheDiagnostic) {
  M_closeOutput();
  P_Diagnostic *diag = PI_createDiagnostic(5, "/qd/fail.c", 1);
  U_RefPtr<M_Diagnostic> kept = diag->m_diagnostic;
  testing::internal::CaptureStderr();
  EXPECT_THROW(PI_emitDiagnostic(diag), int);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(1u, kept->referenceCount());
}

TEST_F(QueryDiagnosticsTest, ANameInADirectoryThatDoesNotExistIsReportedAsGiven) {
  for (const char *file : {"qd-gone/a.h", "/qd-gone/./a.h", "C:/qd-gone/a.h", "/qd/../qd/a.c"}) {
    P_Diagnostic *diag = PI_createDiagnostic(5, file, 1);
    EXPECT_STREQ(file, PI_diagnosticFileName(diag));
    EXPECT_EQ(std::string(file) + ":1: Msg=5 #params=0\n", printed([&] { PI_emitDiagnostic(diag); }));
  }
}

using QueryDiagnosticsDeathTest = QueryDiagnosticsTest;

TEST_F(QueryDiagnosticsDeathTest, ANullDiagnostic) {
  EXPECT_DEATH(PI_diagnosticFileName(nullptr), "Assertion '0 != diag && \"Dont dereference 0.\"' failed");
  EXPECT_DEATH(PI_diagnosticMessageNumber(nullptr), "Dont dereference 0.");
  EXPECT_DEATH(PI_diagnosticLocation(nullptr), "Dont dereference 0.");
  EXPECT_DEATH(PI_diagnosticLine(nullptr), "Assertion '0 != diag && \"Don't dereference 0.\"' failed");
  EXPECT_DEATH(PI_diagnosticColumn(nullptr), "Don't dereference 0.");
  EXPECT_DEATH(PI_locationLine(nullptr), "Assertion '0 != loc && \"Dont dereference 0.\"' failed");
}

} // namespace

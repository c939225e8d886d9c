// The display filters: every filter option as argument words, each row a
// diagnostic with what the output side shows, what the reader side passes on
// and what the simple text output prints of it.
#include "messages/DisplayFilters.h"
#include "cmdline/ProductEnvironment.h"
#include "messages/Diagnostic.h"
#include "messages/MessageCatalogue.h"
#include "messages/Output.h"
#include "messages/TextOutputs.h"
#include "support/CurrentArguments.h"
#include "support/Locations.h"

#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using test_support::at;
using test_support::withMacros;

// Where a diagnostic of a row lies.
enum class Where {
  nowhere,  // no location
  named,    // the input file named by the words
  header,   // a header that is not named
  implicit, // the pseudo-file of the implicit header
  macro,    // the header, expanded from a macro
};

struct Diag {
  std::uint32_t number;
  Where where;
  bool hiddenByPragma = false;
  bool error = false;
};

// The message file of the installation: 100 at a level numbered 3, 101 at
// one numbered 1; other numbers have the level "fatal" (99).
const char *const messageFile = "#define warning 3 Warnings\n"
                                "#define note 1 Notes\n"
                                "100 warning A warning\n"
                                "101 note A note\n";

class DisplayFiltersTest : public testing::Test {
protected:
  void TearDown() override {
    M_closeOutput();
    M_forgetMessageCatalogue();
  }

  std::string named() const { return m_tree / "a.c"; }
  std::string header() const { return m_tree / "inc/h.h"; }

  U_RefPtr<M_Diagnostic> make(const Diag &d) const {
    U_Location location;
    switch (d.where) {
    case Where::nowhere:
      break;
    case Where::named:
      location = at(named(), 3, 1);
      break;
    case Where::header:
      location = at(header(), 4, 2);
      break;
    case Where::implicit:
      location = currentImplicitHeaderLocation(0);
      break;
    case Where::macro:
      location = withMacros(at(header(), 5), {{at(header(), 1), "M"}});
      break;
    }
    U_RefPtr<M_Diagnostic> diagnostic = new M_Diagnostic(d.number, location);
    diagnostic->setHiddenByPragma(d.hiddenByPragma);
    diagnostic->setError(d.error);
    return diagnostic;
  }

  // What the simple text output prints of the diagnostic.
  std::string printed(const U_RefPtr<M_Diagnostic> &diagnostic) const {
    M_openSimpleOutput();
    testing::internal::CaptureStdout();
    M_sendMessage(diagnostic);
    return testing::internal::GetCapturedStdout();
  }

  test_support::ScratchDirectory m_tree;
};

TEST_F(DisplayFiltersTest, FilterOptionsDecideWhatIsShown) {
  const std::string quietDir = m_tree / "inc";
  const std::string tree = m_tree.path();
  struct Case {
    std::vector<std::string> words;
    Diag diagnostic;
    bool shown;   // M_isMessageShown
    bool passed;  // M_isDiagnosticShown
    bool printed; // by the simple text output
    const char *product = "lyr";
  };
  const Case cases[] = {
      // No filter options: everything is shown.
      {{}, {100, Where::header}, true, true, true},
      {{}, {100, Where::nowhere}, true, true, true},
      {{}, {100, Where::implicit}, true, true, true},
      // "only": the numbers wanted.
      {{"-only", "5"}, {100, Where::named}, false, false, false},
      {{"-only", "5"}, {5, Where::header}, true, true, true},
      {{"-only", "1-10"}, {7, Where::header}, true, true, true},
      {{"-only", "5", "-only", "100"}, {100, Where::nowhere}, true, true, true},
      // "nomsg": the numbers never wanted, before "only".
      {{"-nomsg", "100"}, {100, Where::named}, false, false, false},
      {{"-nomsg", "100"}, {101, Where::header}, true, true, true},
      {{"-nomsg", "99-101"}, {101, Where::nowhere}, false, false, false},
      {{"-only", "5", "-nomsg", "5"}, {5, Where::header}, false, false, false},
      // The error flag passes every filter.
      {{"-nomsg", "100"}, {100, Where::header, false, true}, true, true, true},
      {{"-only", "5"}, {100, Where::nowhere, false, true}, true, true, true},
      // "hiddenwarnings": diagnostics hidden by a pragma.
      {{}, {100, Where::named, true}, false, false, false},
      {{}, {100, Where::nowhere, true}, false, false, false},
      {{"-hiddenwarnings"}, {100, Where::header, true}, true, true, true},
      {{"-hiddenwarnings+"}, {100, Where::named, true}, true, true, true},
      {{"-hiddenwarnings+", "-hiddenwarnings-"}, {100, Where::named, true}, false, false, false},
      {{}, {100, Where::header, true, true}, true, true, true},
      {{"-hiddenwarnings", "-hdrsuppress"}, {100, Where::header, true}, false, false, false},
      // "hdrsuppress": only the named files and diagnostics without location.
      {{"-hdrsuppress"}, {100, Where::header}, false, false, false},
      {{"-hdrsuppress"}, {100, Where::implicit}, false, false, false},
      {{"-hdrsuppress"}, {100, Where::named}, true, true, true},
      {{"-hdrsuppress"}, {100, Where::nowhere}, true, true, true},
      {{"-hdrsuppress"}, {100, Where::header, false, true}, true, true, true},
      {{"-hdrsuppress+", "-hdrsuppress-"}, {100, Where::header}, true, true, true},
      // "quiet": files below a prefix, but never a named file.
      {{"-quiet", quietDir}, {100, Where::header}, false, false, false},
      {{"-quiet", quietDir}, {100, Where::named}, true, true, true},
      {{"-quiet", tree}, {100, Where::named}, true, true, true},
      {{"-quiet", tree, "-hdrsuppress"}, {100, Where::named}, true, true, true},
      {{"-quiet", quietDir}, {100, Where::nowhere}, true, true, true},
      {{"-quiet", quietDir}, {100, Where::header, false, true}, true, true, true},
      {{"-quiet", m_tree / "elsewhere"}, {100, Where::header}, true, true, true},
      // "hidemacrowarnings": diagnostics expanded from a macro count as
      // suppressed on their way to the output; the filters do not look.
      // (The option is one of the C++ analyser's.)
      {{"-hidemacrowarnings"}, {100, Where::macro}, true, true, false, "lyrpp"},
      {{"-hidemacrowarnings", "-hiddenwarnings"}, {100, Where::macro}, true, true, true, "lyrpp"},
      {{"-hidemacrowarnings"}, {100, Where::header}, true, true, true, "lyrpp"},
      {{"-hidemacrowarnings"}, {100, Where::nowhere}, true, true, true, "lyrpp"},
      {{"-hidemacrowarnings"}, {100, Where::macro, false, true}, true, true, true, "lyrpp"},
      {{"-hidemacrowarnings-"}, {100, Where::macro}, true, true, true, "lyrpp"},
      {{}, {100, Where::macro}, true, true, true},
      // "suppresslvl": catalogue levels, on the reader side only.
      {{"-suppresslvl", "3"}, {100, Where::header}, true, false, true},
      {{"-suppresslvl", "3"}, {101, Where::header}, true, true, true},
      {{"-suppresslvl", "1-3"}, {101, Where::nowhere}, true, false, true},
      {{"-suppresslvl", "99"}, {5, Where::named}, true, false, true},
      {{"-suppresslvl", "98"}, {5, Where::named}, true, true, true},
      {{"-suppresslvl", "3"}, {100, Where::header, false, true}, true, true, true},
      {{"-suppresslvl", "1", "-nomsg", "100"}, {100, Where::header}, false, false, false},
      {{"-suppresslvl", "1", "-hdrsuppress"}, {100, Where::header}, false, false, false},
      // "nogen" concerns the error file only.
      {{"-nogen"}, {100, Where::header}, true, true, true},
      {{"-nogen-"}, {100, Where::header}, true, true, true},
      {{"-nogen-", "-nomsg", "100"}, {100, Where::header}, false, false, false},
  };
  for (const Case &c : cases) {
    std::vector<std::string> words = c.words;
    words.push_back(named());
    SCOPED_TRACE(testing::PrintToString(c.words) + " number " + std::to_string(c.diagnostic.number) +
                 " where " + std::to_string(static_cast<int>(c.diagnostic.where)) + " pragma " +
                 std::to_string(c.diagnostic.hiddenByPragma) + " error " +
                 std::to_string(c.diagnostic.error));
    const test_support::CurrentArguments arguments(words, c.product);
    std::ofstream(productMessageFile(), std::ios::binary) << messageFile;
    M_forgetMessageCatalogue();
    const U_RefPtr<M_Diagnostic> diagnostic = make(c.diagnostic);
    EXPECT_EQ(c.shown, M_isMessageShown(diagnostic));
    EXPECT_EQ(c.passed, M_isDiagnosticShown(diagnostic));
    EXPECT_EQ(c.printed ? diagnostic->dumpText() + "\n" : "", printed(diagnostic));
    EXPECT_EQ(1u, diagnostic->referenceCount());
  }
}

TEST_F(DisplayFiltersTest, TheReaderSideReadsTheCatalogueOnlyForLevelsToSuppress) {
  // Reading the catalogue warns about the missing user message file.
  for (const bool levels : {false, true}) {
    SCOPED_TRACE(levels);
    std::vector<std::string> words = {"-usrfile", "missing.msg"};
    if (levels)
      words.insert(words.end(), {"-suppresslvl", "3"});
    const test_support::CurrentArguments arguments(words);
    M_forgetMessageCatalogue();
    testing::internal::CaptureStderr();
    EXPECT_TRUE(M_isDiagnosticShown(new M_Diagnostic(100)));
    EXPECT_EQ(levels, !testing::internal::GetCapturedStderr().empty());
  }
}

TEST_F(DisplayFiltersTest, NumberTestsAlone) {
  struct Case {
    std::vector<std::string> words;
    std::uint32_t number;
    int onlyState;
    int nomsgState;
    bool wanted;
  };
  const Case cases[] = {
      {{}, 7, 0, 0, true},
      {{"-only", "7"}, 7, 2, 0, true},
      {{"-only", "7"}, 8, 1, 0, false},
      {{"-nomsg", "7"}, 7, 0, 2, false},
      {{"-nomsg", "7"}, 8, 0, 1, true},
      {{"-only", "7", "-nomsg", "7"}, 7, 2, 2, false},
      {{"-only", "7", "-nomsg", "8"}, 8, 1, 2, false},
      {{"-only", "7-9", "-nomsg", "8"}, 9, 2, 1, true},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.words) + " number " + std::to_string(c.number));
    const test_support::CurrentArguments arguments(c.words);
    EXPECT_EQ(c.onlyState, M_onlyListState(c.number));
    EXPECT_EQ(c.nomsgState, M_nomsgListState(c.number));
    EXPECT_EQ(c.wanted, M_isMessageNumberWanted(c.number));
    // The number tests never look at flags or files.
    U_RefPtr<M_Diagnostic> diagnostic = new M_Diagnostic(c.number);
    diagnostic->setError(true);
    EXPECT_EQ(c.wanted, M_isMessageNumberWanted(diagnostic));
  }
}

TEST_F(DisplayFiltersTest, FiltersKeepTheOptionsTheyReadAtTheirFirstCall) {
  const test_support::CurrentArguments arguments({"-only", "5", "-hiddenwarnings"});
  U_RefPtr<M_Diagnostic> five = new M_Diagnostic(5);
  five->setHiddenByPragma(true);
  EXPECT_TRUE(M_isMessageShown(five));
  EXPECT_TRUE(M_isMessageNumberWanted(5u));
  // A later argument set does not reach what the filters keep, in a run.
  U_RefPtr<C_CmdArgs> other = new C_CmdArgs("lyr", 0, nullptr);
  C_setCurrentCmdArgs(*other);
  EXPECT_TRUE(M_isMessageShown(five));
  EXPECT_FALSE(M_isMessageShown(new M_Diagnostic(6)));
  EXPECT_FALSE(M_isMessageNumberWanted(6u));
  EXPECT_EQ(1, M_onlyListState(6));
}

} // namespace

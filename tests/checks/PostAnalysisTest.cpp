#include "checks/PostAnalysis.h"

#include "anlsrslt/readers/SourceFileReader.h"
#include "checks/ComplianceIds.h"
#include "checks/LibraryNameSets.h"
#include "checks/Tokenizer.h"
#include "cmdline/CmdArgs.h"
#include "support/CurrentArguments.h"
#include "support/ListenerListsReset.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// The module's initialisation with the current argument set, with nothing
// registered before; the tokenizer's table is as it was afterwards.
class PostAnalysisTest : public test_support::CurrentArgumentsTest {
protected:
  void SetUp() override {
    test_support::ListenerListsReset::resetAll();
    m_punctuators = punctuatorTable();
    punctuatorTable().clear();
  }
  void TearDown() override {
    test_support::ListenerListsReset::resetAll();
    punctuatorTable() = m_punctuators;
  }
  void initialise() {
    U_RefPtr<C_CmdArgs> args(new C_CmdArgs(m_arguments.args()));
    P_AnalysisMode mode = eamSingleFile;
    initComplianceChecks(args, mode);
  }

  std::vector<PunctuatorRecord> m_punctuators;
};

TEST_F(PostAnalysisTest, InitialisationFillsTheIdTableAndRegistersTheEndOfRunChecks) {
  ASSERT_FALSE(isRunEndListener(runComplianceChecks));
  initialise();
  struct Case {
    const char *id;
    std::uint32_t number;
  };
  const Case cases[] = {{"0038", 5013}, {"0026", 5087}, {"0030", 5119}, {"0039", 5120},
                        {"0040", 5122}, {"0034", 5123}, {"0035", 5124}, {"0036", 5127}};
  for (const Case &c : cases)
    EXPECT_EQ(c.number, Qmsg::get_msg(c.id, 1)) << c.id;
  EXPECT_TRUE(isRunEndListener(runComplianceChecks));
  EXPECT_FALSE(cKeywords().empty()) << "the library-name sets are filled";
  EXPECT_FALSE(punctuatorTable().empty()) << "the punctuator table is loaded";
}

} // namespace

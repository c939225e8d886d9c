#include "checks/PostAnalysis.h"

#include "anlsrslt/include/QueryInterface.h"
#include "checks/ComplianceIds.h"
#include "checks/LibraryChecks.h"
#include "checks/LibraryNameSets.h"
#include "checks/NameChecker.h"
#include "checks/SourceRescan.h"
#include "checks/Tokenizer.h"

namespace {

// The compliance ids of the shipped checks and the message numbers they
// report under.
constexpr const char *kShippedComplianceIds[] = {
    "0038:5013", "0026:5087", "0030:5119", "0039:5120", "0040:5122", "0034:5123", "0035:5124", "0036:5127",
};

} // namespace

void initComplianceChecks(U_RefPtr<C_CmdArgs> &args, P_AnalysisMode &) {
  // A faulty rule file ends the run here, before anything else is set up.
  initNameChecker(args);
  buildLibraryNameSets();
  loadPunctuatorTable();
  initSourceRescan();
  for (const char *entry : kShippedComplianceIds)
    Qmsg::add(entry);
  initBasicTypeCheck();
  initIncludeAfterCodeCheck();
  initErrnoCheck();
  initOffsetofCheck();
  initSetjmpCheck();
  initSignalHCheck();
  initStdioHCheck();
  initTimeHCheck();
  // Registered last, it still runs before the DEFINE end-of-run list.
  PI_registerRunEndListener(runComplianceChecks);
}

void runComplianceChecks() {
  addNonQuietIncludedFiles();
  runBasicTypeCheck();
  runIncludeAfterCodeCheck();
  runErrnoCheck();
  runOffsetofCheck();
  runSetjmpCheck();
  checkSignalHInclude();
  checkStdioHInclude();
  checkTimeHInclude();
}

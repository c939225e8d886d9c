#include "checks/PostAnalysis.h"

void initComplianceChecks(U_RefPtr<C_CmdArgs> &, P_AnalysisMode &) {}

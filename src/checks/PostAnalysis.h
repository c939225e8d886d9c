// The module's initialisation: setting up the checks and registering their
// listeners before the first input file is read.
#pragma once

#include "app/AnalysisMode.h"
#include "foundation/Ref.h"

class C_CmdArgs;

// Called once per run by the driver after the outputs are open. It reads only
// the argument set; no check is registered yet.
void initComplianceChecks(U_RefPtr<C_CmdArgs> &args, P_AnalysisMode &mode);

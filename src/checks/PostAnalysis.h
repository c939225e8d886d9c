// The compliance module's two callbacks: its initialisation, which sets up
// every check and registers every listener through which the checks are
// called back, and its end-of-run listener, which runs the checks over the
// analysed files and their headers.
#pragma once

#include "app/AnalysisMode.h"
#include "foundation/Ref.h"

class C_CmdArgs;

// Called once per run by the driver after the outputs are open and before
// the first input file. In this order: the name checker (when a rule file is
// configured: may throw its configuration error, and nothing after it is
// done), the library-name sets, the tokenizer's punctuator table, the source
// re-scan, the compliance-id table, the initialisations of the checks, and
// last runComplianceChecks as an end-of-run listener. The argument set goes
// on to the checks that take one.
void initComplianceChecks(U_RefPtr<C_CmdArgs> &args, P_AnalysisMode &mode);

// The end-of-run listener: adds the non-quiet included files to the files
// the token checks examine, then runs the basic-type, errno, offsetof,
// setjmp, "signal.h", "stdio.h" and "time.h" checks, in this order. It runs
// before the DEFINE end-of-run list (name checker, include placement).
void runComplianceChecks();

// The name checker: naming rules read from the rule file of option
// "namerulefile", applied at the end of the run to every define.
#pragma once

#include "foundation/Ref.h"

class C_CmdArgs;

// When the argument set names a rule file, loads its rules and registers the
// check in the DEFINE end-of-run list; otherwise does nothing. A rule file
// that cannot be read or holds a faulty rule raises the configuration error.
void initNameChecker(const U_RefPtr<C_CmdArgs> &args);

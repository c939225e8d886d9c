#include "checks/NameChecker.h"

// Stand-in: no rules are read yet.
void initNameChecker(const U_RefPtr<C_CmdArgs> &) {}

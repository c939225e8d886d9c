#include "checks/LibraryChecks.h"

// Stand-ins: the checks report nothing yet.
void initBasicTypeCheck() {}
void initIncludeAfterCodeCheck() {}
void initErrnoCheck() {}
void initOffsetofCheck() {}
void initSetjmpCheck() {}
void initSignalHCheck() {}
void initStdioHCheck() {}
void initTimeHCheck() {}

void runBasicTypeCheck() {}
void runIncludeAfterCodeCheck() {}
void runErrnoCheck() {}
void runOffsetofCheck() {}
void runSetjmpCheck() {}
void checkSignalHInclude() {}
void checkStdioHInclude() {}
void checkTimeHInclude() {}

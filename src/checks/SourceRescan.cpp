#include "checks/SourceRescan.h"

// Stand-ins: no file is re-read yet.
void initSourceRescan() {}
void addNonQuietIncludedFiles() {}

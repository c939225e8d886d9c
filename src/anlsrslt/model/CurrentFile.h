// The file under analysis and the output directory of the run, set once by
// the driver when it prepares the input files.
#pragma once

#include "foundation/FileIdentity.h"

#include <string>

// The main file of the run: the one input file, or in multi-file mode the
// cross-module analysis file. Both names are null until the driver sets it.
QL_Filename &P_currentFilenames();
// The directory of the main file's result files; empty until the driver sets it.
std::string &P_outputDirectory();

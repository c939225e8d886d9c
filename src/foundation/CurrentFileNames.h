// The canonical name of the file under analysis and the output directory of
// the run, converted to a requested encoding and pooled, so that the query
// interface can hand out the pointers for the rest of the process.
#pragma once

#include "foundation/EncodingKind.h"

// The canonical name of the run's main file (the input file, or the
// cross-module analysis file), in that encoding; pooled by internString.
const char *P_currentCanonicalFileNameAs(QL_EncodingKind kind);
// The same in the product's default encoding.
const char *P_currentCanonicalFileName();

// The run's output directory, in that encoding; pooled by internString.
const char *P_outputDirectoryNameAs(QL_EncodingKind kind);
// The same in the product's default encoding.
const char *P_outputDirectoryName();

// The include site of every included file: while the record files are read,
// the location of the #include that brought each file in (the last one read),
// so that a position named only by file, line and column gets its file's
// include history.
#pragma once

#include "foundation/Location.h"

#include <cstdint>

struct P_IncludeRecord;
template <class T> class P_CountedPtr;

// The position in the file, carrying the include location recorded for the
// file when there is one (looked up by the canonical name alone), else a
// location without parts.
U_Location makeIncludedLocation(const QL_Filename &file, std::int32_t line, std::int32_t column);

// The include listener: records that the record's included file was brought
// in at the record's line of the including file (column 0), a location that
// carries the including file's own include location as far as it is known
// now. A later record for the same file replaces it; entries made from the
// earlier one stay as they are. Entries last for the whole run. A chain that
// would grow past U_maxLocationDepth - 1 levels (only files that include
// themselves, or cycles of includes, make one) is cut: the site then carries
// no include location, so that every position made here nests within
// U_maxLocationDepth levels and reads back from an error file.
void onIncludeRelation(const P_CountedPtr<P_IncludeRecord> &record);

// Registers onIncludeRelation with the record reader; the driver calls it once
// per run before the first input file is read.
void registerIncludeRelationHandler();

// Where each included file was first included, as the include records of the
// record files say: kept for the run beside the model, read by nothing but
// its own lookup (the include site of a position comes from the include-site
// map of the foundation, where the last record wins).
#pragma once

#include "foundation/Location.h"
#include "foundation/StringStore.h"

#include <map>

struct P_IncludeRecord;
template <class T> class P_CountedPtr;

// The interned name text of an included file's proxy (in interning order) to
// the location of the #include that first brought it in.
using P_IncludeLocations = std::map<const char *, U_Location, U_InternedStringOrder>;

// The map of the run, created empty on first use and never emptied.
P_IncludeLocations &P_includeLocationMap();

// Records where the record's included file was included: at the record's
// line of the including file, column 0, carrying the location recorded for
// the including file as its include location when there is one. The first
// record of a file stays; a record without both files records nothing.
void P_recordIncludeLocation(P_IncludeLocations &map, const P_CountedPtr<P_IncludeRecord> &record);

// The location recorded for the file-name text, or the null location.
U_Location P_lookupIncludeLocation(const P_IncludeLocations &map, const char *fileName);

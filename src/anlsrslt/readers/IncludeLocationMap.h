// The include site of each included file, remembered while the record files
// are read so that a position named by file and line gets its include history.
#pragma once

class P_IncludeRecord;
template <class T> class P_CountedPtr;

// The include listener of the location model; it records nothing yet.
void onIncludeRelation(const P_CountedPtr<P_IncludeRecord> &record);

// Registers onIncludeRelation with the record reader; the driver calls it once
// per run before the first input file is read.
void registerIncludeRelationHandler();

// The include form of the relation records: "<R>I", the including file, the
// included file, the line of the #include and the flag letter "S" (a system
// include) or "-". Every include record goes to the include listeners; the
// include collector keeps them all for the checks.
#pragma once

#include "anlsrslt/model/IncludeRecord.h"

#include <cstdint>
#include <string>

class P_RecordFields;
template <class T> class P_CountedPtr;

using P_IncludeListener = void (*)(const P_CountedPtr<P_IncludeRecord> &record);

// Reads an include record from its whole line. Both file tokens must be read
// whole (ended by a blank or their closing quote): a line that ends before
// that, as the last line of a record file cut short does, is skipped, and
// under the debug word "show-relation-errors" reported on standard output
// with the record file and line number (P_reportSkippedRecord). The line
// number and the flags are not validated: a missing or unreadable line is 0.
// Records where the included file was first included, then calls every
// include listener with the record.
void handleIncludeRelation(const std::string &line);

// The flags of the include form: "S" 0x100, "-" none; any other letter is
// undefined (see P_flagsFromLetters).
std::uint32_t includeFlagsFromLetters(P_RecordFields &fields);

// Adds the function to the include listeners (once, however often it is
// registered) and switches on the reading of "R" records.
void registerIncludeListener(P_IncludeListener listener);
// Registers collectIncludeRecord as include listener.
void registerIncludeCollector();
// Files the record under its including file in includeRelationSet, after
// the records of that file filed before; a record without an including file
// is not filed.
void collectIncludeRecord(const P_CountedPtr<P_IncludeRecord> &record);
// Every include record collected in the run.
P_IncludeRelationSet &includeRelationSet();

// Whether the function is an include listener.
bool isIncludeListener(P_IncludeListener listener);

// Calls every include listener with the record, in registration order.
void notifyIncludeListeners(const P_CountedPtr<P_IncludeRecord> &record);

// The fields of an include record. A null record is a failed assertion that
// ends the process.
const char *P_includeFromFileName(const P_IncludeRecord *rel);
const char *P_includeToFileName(const P_IncludeRecord *rel);
std::int32_t P_includeLine(const P_IncludeRecord *rel);
bool P_includeHasFlagS(const P_IncludeRecord *rel);

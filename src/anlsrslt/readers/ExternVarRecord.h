// The external-variable records of a record file (tag "EXTV"): two encoded
// names and a line. Each record whose two names have symbols in the current
// translation unit is filed for the whole run under its second name; no
// listener is told.
#pragma once

#include "anlsrslt/model/CountedPtr.h"
#include "anlsrslt/model/ExternVar.h"
#include "foundation/StringStore.h"

#include <map>
#include <string>

// Records by their interned second name, in interning order of the names;
// the records of one name in reading order.
using P_ExternVarRecords =
    std::multimap<const char *, P_CountedPtr<P_ExternVarRecord>, U_InternedStringOrder>;

// The record handler of tag "EXTV": "<EXTV>", the first name, the second
// name, the line (0 when missing or not a number). A record with a name that
// has no symbol is dropped; under the debug word "show-extv-errors" the line
// is reported on standard output.
void handleExternVarRecord(const std::string &line);

// Switches on the reading of "EXTV" lines.
void registerExternVarHandler();

// Every record filed in the run.
P_ExternVarRecords &externVarRecords();

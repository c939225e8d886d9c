// The allocation records of a record file (tag "ALLOC"): an encoded name, the
// kind word, the file, the line and the column of the allocation. Each record
// whose name has a symbol in the current translation unit is kept for the
// whole run and given to the allocation listeners.
#pragma once

#include "anlsrslt/model/Alloc.h"
#include "anlsrslt/model/CountedPtr.h"

#include <string>
#include <vector>

// Called with each record filed; the record stays alive after the call.
using AllocListener = void (*)(P_AllocRecord *record);

// The record handler of tag "ALLOC": "<ALLOC>", the name, the kind word, the
// file (a file-name token), the line and the column; a missing line or column
// is 0. When two blanks follow the name and the rest of the line reads whole
// without a kind word, the kind word is empty (the record writer's line for a
// kind it has no word for). A record whose name has no symbol is dropped
// silently.
void handleAllocRecord(const std::string &line);

// "plain", "array" and "old" (exactly) give their kinds; any other word,
// the empty one included, gives P_allocOther.
AllocKind allocKindFromWord(const std::string &word);

// Switches on the reading of "ALLOC" lines and adds the listener (once).
void registerAllocListener(AllocListener listener);
// Switches on the reading of "ALLOC" lines and keeps the listener under the
// key; the reading calls none of these.
void registerAllocListener(const std::string &key, AllocListener listener);

// Every record filed in the run, in reading order.
std::vector<P_CountedPtr<P_AllocRecord>> &allocRecords();

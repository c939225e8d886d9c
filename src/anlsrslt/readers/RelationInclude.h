// The listeners that see every include relation read from a record file.
#pragma once

struct P_IncludeRecord;
template <class T> class P_CountedPtr;

using P_IncludeListener = void (*)(const P_CountedPtr<P_IncludeRecord> &record);

// Adds the function to the include listeners (once, however often it is
// registered) and switches on the reading of "R" records.
void registerIncludeListener(P_IncludeListener listener);

// Whether the function is an include listener.
bool isIncludeListener(P_IncludeListener listener);

// Calls every include listener with the record, in registration order.
void notifyIncludeListeners(const P_CountedPtr<P_IncludeRecord> &record);

// Locations handed to the query interface as plain pointers: one model
// location per file, line and column, kept until the process ends.
#pragma once

#include "foundation/Ref.h"

#include <cstdint>

class U_Location;
struct P_Location;

// The one model location of the location's file, line and column, made on
// first use; null for the null location. The first location interned for a
// position decides the history parts that every later equal one gets.
P_Location *internLocation(const U_Location &location);

// The order of the interned locations: U_compareLocations of their locations
// (file in interning order, then line, then column).
bool P_IsLocationLess(const U_RefPtr<P_Location> &a, const U_RefPtr<P_Location> &b);

// The interned name of the location's file, its line and its column. A null
// location is a failed assertion that ends the run.
const char *P_locationFileName(const P_Location *loc);
std::int32_t P_locationLine(const P_Location *loc);
std::int32_t P_locationColumn(const P_Location *loc);

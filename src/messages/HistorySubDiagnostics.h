// The history of a location (called from, instantiated from, included from,
// expanded from macros) as a list of internal-message diagnostics, one per
// step. Each step sits at the bare position of that step and carries the
// history of its own location as a list of nested diagnostics, so that the
// whole history becomes a tree.
#pragma once

#include "foundation/Ref.h"

#include <cstdint>
#include <vector>

class M_Diagnostic;
class U_Location;

// The history kinds, as bits of a mask.
constexpr std::uint32_t M_historyCalledFrom = 16;      // 1570
constexpr std::uint32_t M_historyInstantiatedFrom = 8; // 1597, with the entity's third rendering
constexpr std::uint32_t M_historyIncludedFrom = 4;     // 1599
constexpr std::uint32_t M_historyMacroExpansion = 2;   // 1598 per element, with the macro's name
constexpr std::uint32_t M_historyAll = 30;

// Appends to out one diagnostic per step of the kinds that the mask selects,
// in the order called-from, instantiated-from, included-from, macro history;
// the macro history from the end of its parent chain back to the location's
// own element. Each step's own history, followed with the same mask, becomes
// its list parameter; a step without any gets none. True when the location
// has at least one selected kind; false for a null location.
bool M_makeHistorySubDiagnostics(const U_Location &location, const std::uint32_t &mask,
                                 std::vector<U_RefPtr<M_Diagnostic>> &out);

// A new location with the file, line and column of the location and no
// history parts; null for a null location.
U_Location M_historyPosition(const U_Location &location);

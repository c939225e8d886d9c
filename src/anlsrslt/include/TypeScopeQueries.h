// Type and scope queries of the query interface: array types written as
// "[" dimension "," element type "]" (for instance "[10,ni]"), and the
// symbol that encloses a scope name. Conventions as in
// anlsrslt/include/QueryInterface.h.
#pragma once

#include <cstdint>

struct P_Symbol;

// Whether the type is an array type. An empty type, or an array type too
// short to hold a dimension and an element, fails an assertion.
bool PI_isTypeArray(const char *type);
// Whether the array type has no dimension ("[?,ni]", "[0,ni]").
bool PI_isUndimArray(const char *type);
// The element type, interned ("[3,[4,ni]]" gives "[4,ni]").
const char *PI_typeArrayElement(const char *type);
// The outer dimension (0 when negative or none).
std::uint32_t PI_typeArrayDimension(const char *type);

// Keeps, for each new symbol's scope name, the symbol of its nearest
// enclosing scope, which PI_scopeEnclosingSymbol gives; switches on "DEFINE"
// records.
void PI_registerScopeEnclosingSymbols();
// The symbol kept for the interned scope name; null when none.
P_Symbol *PI_scopeEnclosingSymbol(const char *scope);

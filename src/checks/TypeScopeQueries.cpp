#include "anlsrslt/include/TypeScopeQueries.h"

#include "anlsrslt/model/ScopeEnclosingSymbol.h"
#include "anlsrslt/model/TypeQueries.h"
#include "anlsrslt/readers/DefineRecord.h"

bool PI_isTypeArray(const char *type) { return P_isTypeArray(type); }
bool PI_isUndimArray(const char *type) { return P_isUndimArray(type); }
const char *PI_typeArrayElement(const char *type) { return P_typeArrayElement(type); }
std::uint32_t PI_typeArrayDimension(const char *type) { return P_typeArrayDimension(type); }

void PI_registerScopeEnclosingSymbols() { registerNewSymbolListener(onDefineCacheEnclosingSymbol); }
P_Symbol *PI_scopeEnclosingSymbol(const char *scope) { return P_scopeEnclosingSymbol(scope); }

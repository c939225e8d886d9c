#include "anlsrslt/model/ScopeEnclosingSymbol.h"

#include "anlsrslt/model/DefineAccessors.h"
#include "anlsrslt/model/EncodedName.h"
#include "anlsrslt/model/SymbolTable.h"
#include "foundation/Assertion.h"
#include "foundation/StringStore.h"

#include <string>

namespace {

struct EnclosingSymbols {
  P_EnclosingSymbolCache cache;
};

} // namespace

P_EnclosingSymbolCache &P_enclosingSymbolCache() {
  return U_singletonAfterInternPool<EnclosingSymbols>().cache;
}

P_Symbol *findEnclosingSymbol(const char *scope, SymbolTable &table) {
  std::string text = scope ? scope : "";
  while (!text.empty()) {
    const std::string component = P_lastComponent(text);
    if (component.empty())
      return nullptr;
    if (component[0] != '@')
      return P_findSymbolIn(internString(text.c_str()), table);
    if (component.compare(0, 3, "@UN") == 0)
      return nullptr;
    std::string outer = P_enclosingScopeName(text);
    // Each step leaves a shorter text; one that does not has reached the end.
    if (outer.size() >= text.size())
      return nullptr;
    text = std::move(outer);
  }
  return nullptr;
}

void cacheEnclosingSymbol(const char *scope, SymbolTable &table, P_EnclosingSymbolCache &cache) {
  if (cache.count(scope))
    return;
  if (P_Symbol *found = findEnclosingSymbol(scope, table))
    cache.emplace(scope, found);
}

void onDefineCacheEnclosingSymbol(P_Symbol *, P_Define *define) {
  cacheEnclosingSymbol(P_defineScopeName(define), SymbolTable::instance(), P_enclosingSymbolCache());
}

P_Symbol *P_scopeEnclosingSymbol(const char *scope) {
  return lookupEnclosingSymbol(scope, P_enclosingSymbolCache());
}

P_Symbol *lookupEnclosingSymbol(const char *scope, const P_EnclosingSymbolCache &cache) {
  if (0 == scope)
    assertFailed("ScopeEnclSymbol", __LINE__, "0 != scope && \"Scope is unset\"", true);
  if (*scope == '\0')
    return nullptr;
  const auto found = cache.find(scope);
  return found == cache.end() ? nullptr : found->second;
}

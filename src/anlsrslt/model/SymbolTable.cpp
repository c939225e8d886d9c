#include "anlsrslt/model/SymbolTable.h"

#include "anlsrslt/model/DefineAccessors.h"
#include "anlsrslt/model/EncodedName.h"
#include "anlsrslt/model/ScopeEnclosingSymbol.h"
#include "cmdline/OnceAnswer.h"
#include "cmdline/Options.h"
#include "foundation/Assertion.h"
#include "foundation/StringStore.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr const char *kUnit = "SymbolTable";

// The symbol id of every name asked for, by the name's address; never
// cleared.
struct SymbolIdCache {
  P_AddressMap<const char *> ids;
};

U_RefPtr<P_Symbol> lookup(const SymbolTable::SymbolMap &map, const char *id) {
  const U_RefPtr<P_Symbol> *found = map.find(id);
  return found ? *found : U_RefPtr<P_Symbol>();
}

// Whether the marked name ends with a slot list: only such a name has a
// return slot to blank, every other name is its own symbol id text.
bool endsWithSlots(const char *name, std::size_t length) {
  return length > 0 && static_cast<unsigned char>(name[length - 1]) == kMarkCloseSlots;
}

} // namespace

SymbolTable &SymbolTable::instance() { return U_singletonAfterInternPool<SymbolTable>(); }

const char *SymbolTable::symbolId(const char *name) {
  if (name == 0)
    assertFailed(kUnit, 259, "func != 0 && \"Dont dereference 0.\"", true);
  auto &ids = U_singletonAfterInternPool<SymbolIdCache>().ids;
  if (const char *const *known = ids.find(name))
    return *known;
  const char *id = internString(P_normaliseSymbolName(name).c_str());
  ids.tryEmplace(name, id);
  return id;
}

U_RefPtr<P_Symbol> SymbolTable::find(const SymbolMap &map, const char *name) {
  if (name == 0)
    assertFailed(kUnit, 247, "id != 0 && \"Dont dereference 0.\"", true);
  return lookup(map, symbolId(name));
}

U_RefPtr<P_Symbol> SymbolTable::findInUnit(const char *name) const {
  if (name == 0)
    assertFailed(kUnit, 208, "id != 0 && \"Dont dereference 0.\"", true);
  return find(m_unitSymbols, name);
}

bool SymbolTable::showSymbolErrors() {
  static C_OnceAnswer<bool> answer([] { return debugFlag("show-symbol-errors"); });
  return answer.get();
}

void SymbolTable::markDefineKind(P_Define &def, const char *id) const {
  if (P_defineIsEnumTag(&def) || P_defineIsLabel(&def)) {
    P_changeDefine(def, P_kindDeclaration | P_kindDefinition, def.m_flags);
    return;
  }
  if (def.m_kind & P_kindImplicit) {
    const bool known = m_unitSymbols.count(id) != 0;
    P_changeDefine(def, def.m_kind | (known ? P_kindDefinition : P_kindDeclaration), def.m_flags);
  }
}

U_RefPtr<P_Symbol> SymbolTable::makeSymbol(const DefinePtr &def) {
  U_RefPtr<P_Symbol> symbol(new P_Symbol(def));
  m_symbols.push_back(symbol);
  return symbol;
}

P_SymbolFiling SymbolTable::addDefine(const DefinePtr &def) {
  if (!def.isSet())
    return {U_RefPtr<P_Symbol>(), P_filedNothing};
  P_Define &define = *def;
  // The symbol id text, interned. Names are interned, so a name without a
  // return slot is its own id.
  const char *name = define.m_name ? define.m_name : internString("");
  const char *id = name;
  if (endsWithSlots(name, std::strlen(name))) {
    P_normaliseSymbolNameInto(name, m_idText);
    id = internString(m_idText.c_str());
  }
  markDefineKind(define, id);

  constexpr std::uint8_t createsSymbol = P_kindDeclaration | P_kindSpecialisation | P_kindX | P_kindP;
  const bool macro = define.m_nameSpace == P_spaceMacro;
  U_RefPtr<P_Symbol> symbol;
  if (!(define.m_kind & createsSymbol)) {
    if (macro) {
      symbol = makeSymbol(def);
    } else {
      symbol = lookup(m_unitSymbols, id);
      if (!symbol.isSet()) {
        // Nothing to add it to in this unit: it declares the entity here.
        P_changeDefine(define, (define.m_kind & ~P_kindRedeclaration) | P_kindDeclaration, define.m_flags);
        if (showSymbolErrors()) {
          std::fprintf(stdout, "Missing 'DC' for %s\n", P_unmarkName(name).c_str());
          std::fflush(stdout);
        }
      }
    }
  }
  if (!(define.m_kind & createsSymbol)) {
    if (define.m_kind & P_kindDefinition) {
      if (!macro) // a macro's new symbol holds it already
        symbol->addDefine(def);
      return {symbol, P_filedDefinition};
    }
    symbol->addRedeclaration(def);
    return {symbol, P_filedRedeclaration};
  }

  const bool external = define.m_linkage == P_linkageExternal;
  if (external)
    symbol = lookup(m_externalSymbols, id);
  if (symbol.isSet()) {
    // Whether the define is the unit's first of the id, joining what other
    // units filed.
    const bool firstInUnit = m_unitSymbols.tryEmplace(id, symbol).second;
    symbol->addDefine(def, firstInUnit);
    return {symbol, P_filedExistingSymbol};
  }
  // A new symbol of the define holds it as adding it would.
  symbol = makeSymbol(def);
  if (external)
    m_externalSymbols.tryEmplace(id, symbol);
  m_unitSymbols.tryEmplace(id, symbol);
  return {symbol, P_filedNewSymbol};
}

void SymbolTable::clearTranslationUnit() {
  m_unitSymbols.clear();
  // The enclosing symbols found so far belong to the unit that ends.
  P_enclosingSymbolCache().clear();
}

P_Symbol *P_findSymbol(const char *name) { return P_findSymbolIn(name, SymbolTable::instance()); }

P_Symbol *P_findSymbolIn(const char *name, SymbolTable &table) { return table.findInUnit(name).pointer(); }

#include "anlsrslt/model/SymbolTable.h"

SymbolTable &SymbolTable::instance() {
  static SymbolTable table;
  return table;
}

P_SymbolFiling SymbolTable::addDefine(const DefinePtr &def) {
  if (!def.isSet())
    return {U_RefPtr<P_Symbol>(), P_filedNothing};
  constexpr std::uint8_t createsSymbol = P_kindDeclaration | P_kindSpecialisation | P_kindX | P_kindP;
  std::uint32_t code;
  if (def->m_kind & createsSymbol)
    code = P_filedNewSymbol;
  else if (def->m_kind & P_kindDefinition)
    code = P_filedDefinition;
  else
    return {U_RefPtr<P_Symbol>(), P_filedRedeclaration};
  m_symbols.emplace_back(new P_Symbol(def));
  return {m_symbols.back(), code};
}

void SymbolTable::clearTranslationUnit() {}

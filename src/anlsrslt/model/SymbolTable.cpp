#include "anlsrslt/model/SymbolTable.h"

SymbolTable &SymbolTable::instance() {
  static SymbolTable table;
  return table;
}

P_SymbolFiling SymbolTable::addDefine(const DefinePtr &def) {
  if (!def.isSet())
    return {U_RefPtr<P_Symbol>(), P_filedNothing};
  ++m_filed;
  constexpr std::uint8_t createsSymbol = P_kindDeclaration | P_kindSpecialisation | P_kindX | P_kindP;
  std::uint32_t code;
  if (def->m_kind & createsSymbol)
    code = P_filedNewSymbol;
  else if (def->m_kind & P_kindDefinition)
    code = P_filedDefinition;
  else
    return {U_RefPtr<P_Symbol>(), P_filedRedeclaration};
  return {U_RefPtr<P_Symbol>(new P_Symbol(def)), code};
}

void SymbolTable::clearTranslationUnit() {}

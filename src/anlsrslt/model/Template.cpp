#include "anlsrslt/model/Template.h"

#include "anlsrslt/model/DefineAccessors.h"

P_TemplatePosition P_positionOf(const P_Define &def) {
  return P_TemplatePosition{P_defineFileName(&def), P_defineLine(&def)};
}

P_Template::P_Template(const DefinePtr &first)
    : m_primary(new P_Symbol(first)), m_name(P_defineName(first.pointer())) {
  m_positions.insert(P_positionOf(*first));
}

P_Template::~P_Template() = default;

bool P_Template::addToPrimary(const DefinePtr &def) {
  const bool added = m_primary->addDefine(def);
  m_positions.insert(P_positionOf(*def));
  return added;
}

bool P_Template::add(const DefinePtr &def, std::uint32_t addKind) {
  switch (addKind) {
  case P_addDeclaration:
    return addToPrimary(def);
  case P_addRedeclaration:
    m_primary->addRedeclaration(def);
    m_positions.insert(P_positionOf(*def));
    return true;
  case P_addDefinition:
    if (P_defineName(def.pointer()) == m_name)
      return addToPrimary(def);
    return addInstance(def, P_addDefinition);
  case P_addSpecialisation:
    return addInstance(def, P_addSpecialisation);
  case P_addNested:
    return addNestedTemplate(def);
  case P_addSettling:
    return settle(def, P_addSettling);
  default:
    return false;
  }
}

bool P_Template::addInstance(const DefinePtr &def, std::uint32_t addKind) {
  const char *name = P_defineName(def.pointer());
  if (m_positions.count(P_positionOf(*def))) {
    if (addKind == P_addSpecialisation) {
      const auto place = m_pendingList.insert(m_pendingList.end(), U_RefPtr<P_Symbol>(new P_Symbol(def)));
      m_pendingSymbolsStale = true;
      m_pendingByName.try_emplace(name, place);
      m_pendingCursor = name;
      return true;
    }
    const auto pending = m_pendingByName.find(name);
    if (pending != m_pendingByName.end())
      (*pending->second)->addDefine(def);
    return true;
  }
  if (m_pendingCursor && P_defineIsFunction(def.pointer()) && name == m_pendingCursor) {
    pendingCursorSymbol()->addDefine(def);
    return true;
  }
  if (addKind == P_addDefinition && settle(def, P_addDefinition))
    return false;
  for (auto nested = m_nestedByName.rbegin(); nested != m_nestedByName.rend(); ++nested)
    if (nested->second->add(def, addKind))
      return true;
  return false;
}

bool P_Template::settle(const DefinePtr &def, std::uint32_t addKind) {
  const char *name = P_defineName(def.pointer());
  if (m_pendingCursor && name == m_pendingCursor) {
    U_RefPtr<P_Symbol> settled;
    const auto known = m_settledByName.find(name);
    if (known == m_settledByName.end()) {
      settled = new P_Symbol(def);
      m_settledSymbols.push_back(settled);
      m_settledByName.emplace(name, settled);
    } else {
      settled = known->second;
      settled->addDefine(def);
    }
    const DefinePtr representative(pendingCursorSymbol()->define());
    if (representative.isSet() && representative->m_line == def->m_line)
      settled->addDefine(representative);
    dropPendingCursorEntry();
    return true;
  }
  const auto known = m_settledByName.find(name);
  if (known == m_settledByName.end())
    return false;
  if (addKind == P_addDefinition)
    known->second->addDefine(def);
  else
    known->second->addRedeclaration(def);
  return true;
}

bool P_Template::addNestedTemplate(const DefinePtr &def) {
  const char *name = P_defineName(def.pointer());
  const auto known = m_nestedByName.find(name);
  if (known == m_nestedByName.end()) {
    const U_RefPtr<P_Template> nested(new P_Template(def));
    m_nestedTemplates.push_back(nested);
    m_nestedByName.emplace(name, nested);
    if (m_pendingCursor)
      dropPendingCursorEntry();
    return true;
  }
  known->second->m_primary->addDefine(def);
  if (m_pendingCursor && name == m_pendingCursor)
    dropPendingCursorEntry();
  return false;
}

P_Symbol *P_Template::pendingCursorSymbol() const {
  if (!m_pendingCursor)
    return nullptr;
  const auto entry = m_pendingByName.find(m_pendingCursor);
  return entry == m_pendingByName.end() ? nullptr : entry->second->pointer();
}

const std::vector<U_RefPtr<P_Symbol>> &P_Template::pendingSymbols() const {
  if (m_pendingSymbolsStale) {
    m_pendingSymbols.assign(m_pendingList.begin(), m_pendingList.end());
    m_pendingSymbolsStale = false;
  }
  return m_pendingSymbols;
}

void P_Template::dropPendingCursorEntry() {
  const auto entry = m_pendingByName.find(m_pendingCursor);
  m_pendingCursor = nullptr;
  if (entry == m_pendingByName.end())
    return;
  // The entry's own symbol, not merely the last one opened: a name opened
  // again has a later symbol in the list that the map does not know.
  m_pendingList.erase(entry->second);
  m_pendingSymbolsStale = true;
  m_pendingByName.erase(entry);
}

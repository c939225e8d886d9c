#include "anlsrslt/model/TemplateTable.h"

#include "anlsrslt/model/DefineAccessors.h"
#include "anlsrslt/model/DefineSet.h"
#include "anlsrslt/model/EncodedName.h"
#include "foundation/Assertion.h"

#include <string>

TemplateTable &TemplateTable::instance() { return U_singletonAfterInternPool<TemplateTable>(); }

void TemplateTable::addDefine(const DefinePtr &def, std::vector<DefinePtr> &toFile) {
  add(def.isSet() ? def->m_name : nullptr, def, toFile);
}

void TemplateTable::add(const char *name, const DefinePtr &def, std::vector<DefinePtr> &toFile) {
  if (!def.isSet()) {
    toFile.push_back(def);
    return;
  }
  switch (P_defineTemplateClass(def.pointer())) {
  case 8:
  case 32:
    addScoped(name, def, toFile);
    return;
  case 4:
  case 16:
    addInstance(name, def, toFile);
    return;
  default:
    toFile.push_back(def);
    return;
  }
}

P_Template *TemplateTable::templateNamed(const char *name) const {
  const auto found = m_byName.find(name);
  return found == m_byName.end() ? nullptr : found->second.pointer();
}

void TemplateTable::addScoped(const char *name, const DefinePtr &def, std::vector<DefinePtr> &toFile) {
  const P_Define &define = *def;
  if (define.m_kind & (P_kindX | P_kindP)) {
    // Also an instance define of the innermost enclosing scope that carries
    // template arguments, when there is one.
    std::string scope = name ? name : "";
    while (!scope.empty() && P_templateArguments(scope).empty())
      scope = P_enclosingScopeName(scope);
    if (!scope.empty()) {
      const DefinePtr copy(new P_Define(define));
      copy->m_name = internString(scope.c_str());
      std::vector<DefinePtr> dropped;
      add(copy->m_name, copy, dropped);
    }
  }
  if (!(define.m_flags & P_flagU))
    toFile.push_back(def);
}

void TemplateTable::addDeclaration(const char *name, const DefinePtr &def) {
  const P_TemplatePosition position = P_positionOf(*def);
  const auto known = m_byName.find(name);
  if (known == m_byName.end()) {
    const U_RefPtr<P_Template> made(new P_Template(def));
    m_byName.emplace(name, made);
    m_templates.push_back(made);
    m_byPosition.try_emplace(position, made);
    return;
  }
  const U_RefPtr<P_Template> found = known->second;
  const bool added = found->add(def, P_addDeclaration);
  if (!added)
    assertFailedThrow("TemplateTable", 105,
                      "added && \"We should always add a new entry for a declaration in a different TU\"");
  m_byPosition.try_emplace(position, found);
}

void TemplateTable::addInstance(const char *name, const DefinePtr &def, std::vector<DefinePtr> &toFile) {
  P_Define &define = *def;
  const bool flagU = (define.m_flags & P_flagU) != 0;
  const P_TemplatePosition position = P_positionOf(define);
  if (define.m_kind & P_kindDeclaration) {
    addDeclaration(name, def);
    return;
  }
  if (define.m_kind & (P_kindDefinition | P_kindRedeclaration)) {
    P_Template *found = templateNamed(name);
    if (!found && (define.m_kind & P_kindRedeclaration)) {
      // The first word of a template not declared yet: it declares it.
      P_changeDefine(define, define.m_kind | P_kindDeclaration, define.m_flags);
      addDeclaration(name, def);
      found = templateNamed(name);
    }
    if (!found)
      return;
    if (!flagU)
      toFile.push_back(def);
    const std::uint32_t addKind = (define.m_kind & P_kindDefinition) ? P_addDefinition : P_addRedeclaration;
    if (found->add(def, addKind))
      m_byPosition.try_emplace(position, found);
    return;
  }
  if (!(define.m_kind & (P_kindSpecialisation | P_kindX | P_kindP)))
    return;
  if (define.m_kind & P_kindP) {
    P_Template *found = templateNamed(name);
    if (found && found->add(def, P_addNested))
      m_byPosition.try_emplace(position, found);
    return;
  }
  if (define.m_kind & P_kindX) {
    if (flagU) {
      P_changeDefine(define, (define.m_kind & ~P_kindX) | P_kindDeclaration, define.m_flags);
      addDeclaration(name, def);
      return;
    }
    P_Template *found = templateNamed(name);
    if (!found)
      return;
    toFile.push_back(def);
    if (found->add(def, P_addSettling))
      m_byPosition.try_emplace(position, found);
    return;
  }
  // An "S" define: an instance of the template found at its position.
  if (!flagU)
    toFile.push_back(def);
  const auto at = m_byPosition.find(position);
  if (at == m_byPosition.end())
    return;
  const U_RefPtr<P_Template> found = at->second;
  found->add(def, P_addSpecialisation);
  m_byName.try_emplace(name, found);
}

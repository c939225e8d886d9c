#include "anlsrslt/model/Symbol.h"

#include "foundation/Assertion.h"

#include <utility>

namespace {

constexpr const char *kUnit = "P_Symbol";
constexpr const char *kUnsetDefine = "def.isSet () && \"Trying to add unset pointer to symbol.\"";

void requireDefine(const DefinePtr &def, unsigned line) {
  if (!def.isSet())
    assertFailed(kUnit, line, kUnsetDefine, true);
}

void requireSymbol(const P_Symbol *han, unsigned line) {
  if (!han)
    assertFailed(kUnit, line, "0 != han && \"Dont dereference 0.\"", true);
}

void requireSymbolAndDefine(const P_Symbol *han, const DefinePtr &def, unsigned line) {
  if (!han || !def.isSet())
    assertFailed(kUnit, line, "0 != han && def.isSet () && \"Dont dereference 0.\"", true);
}

} // namespace

P_Symbol::P_Symbol(DefinePtr def) {
  if (!def.isSet())
    assertFailedThrow(kUnit, 41, "def.isSet () && \"Trying to create symbol from unset pointer.\"");
  m_declarations.insert(def);
  if (def->m_kind & P_kindDefinition)
    m_definition = def;
  m_declaration = std::move(def);
}

P_Symbol::~P_Symbol() = default;

bool P_Symbol::addDefine(DefinePtr def, bool firstInUnit) {
  requireDefine(def, 57);
  const bool definition = (def->m_kind & P_kindDefinition) != 0;
  if (definition && !firstInUnit && def->m_file == m_declaration->m_file &&
      def->m_line == m_declaration->m_line) {
    P_Define &declaration = *m_declaration;
    P_changeDefine(declaration, declaration.m_kind | P_kindDefinition, declaration.m_flags | def->m_flags);
    m_definition = m_declaration;
    return false;
  }
  if (P_Define *entry = m_declarations.atPlace(*def)) {
    P_absorbDefine(*entry, *def);
    def = entry;
  } else {
    m_declarations.insert(def);
  }
  if (definition)
    m_definition = def;
  m_declaration = std::move(def);
  return true;
}

void P_Symbol::addRedeclaration(DefinePtr def) {
  requireDefine(def, 88);
  if (!m_redeclList)
    m_redeclList = std::make_unique<RedeclList>();
  (*m_redeclList)[m_declaration].insert(def);
}

bool P_Symbol::hasRedeclarations(const DefinePtr &def) const {
  requireDefine(def, 115);
  return m_redeclList && m_redeclList->count(def) != 0;
}

const P_DefineSet &P_Symbol::redeclarations(const DefinePtr &def) const {
  requireDefine(def, 121);
  if (!m_redeclList || m_redeclList->find(def) == m_redeclList->end())
    assertFailed(kUnit, 123,
                 "iter != m_redeclList.end () && \"We have no redeclarations for this symbol/define\"", true);
  return m_redeclList->find(def)->second;
}

void P_Symbol::defineMerged(P_Define &gone, P_Define &kept) {
  if (m_declaration.pointer() == &gone)
    m_declaration = &kept;
  if (m_definition.pointer() == &gone)
    m_definition = &kept;
  if (!m_redeclList)
    return;
  const auto filed = m_redeclList->find(DefinePtr(&gone));
  if (filed == m_redeclList->end())
    return;
  P_DefineSet &into = (*m_redeclList)[DefinePtr(&kept)];
  for (P_Define *redeclaration : filed->second)
    into.insert(DefinePtr(redeclaration));
  m_redeclList->erase(filed);
}

const P_DefineSet *P_symbolDeclarations(const P_Symbol *han) {
  requireSymbol(han, 140);
  return &han->m_declarations;
}

P_Define *P_symbolDefine(const P_Symbol *han) {
  requireSymbol(han, 158);
  return han->define();
}

bool P_symbolHasRedeclarations(const P_Symbol *han, const DefinePtr &def) {
  requireSymbolAndDefine(han, def, 146);
  return han->hasRedeclarations(def);
}

const P_DefineSet *P_symbolRedeclarations(const P_Symbol *han, const DefinePtr &def) {
  requireSymbolAndDefine(han, def, 152);
  return &han->redeclarations(def);
}

static_assert(sizeof(P_Symbol) <= 64, "a symbol should stay small: a run holds one for most entities");

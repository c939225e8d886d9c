// One program entity with its defines.
#pragma once

#include "anlsrslt/model/Define.h"
#include "anlsrslt/model/DefineSet.h"
#include "foundation/Ref.h"

#include <map>
#include <memory>

// The defines of one entity: the declaration set, with one entry for each
// place (P_isAtSamePlace) where a define declared or defined the entity, the
// redeclarations filed under the declaration that was current when each
// came, the definition and the current declaration. The definition and the
// current declaration are entries of the set, so that a walk over the
// declarations meets every place once, as a definition when a define
// defined the entity there, and reaches every set of redeclarations.
struct P_Symbol : public U_Ref {
  // Redeclaration sets by declaration, keyed by the define's address; every
  // key is an entry of the declaration set.
  using RedeclList = std::map<DefinePtr, P_DefineSet>;

  // A symbol of the define, which is its current declaration, and its
  // definition when it has kind bit 2. An unset define is reported as a failed
  // assertion and throws U_AssertException.
  explicit P_Symbol(DefinePtr def);
  ~P_Symbol() override;

  // Adds a declaration or definition:
  // 1. a definition (kind bit 2) at the file and line of the current
  //    declaration is absorbed by it: the declaration gets bit 2 and the
  //    definition's flags and is the definition; the answer is false. Not so
  //    for the first define of its id in a unit that joins the symbol of
  //    other units (firstInUnit): file and line alone do not make it the
  //    declaration that another unit left current;
  // 2. otherwise the entry at the define's place, when the set has one,
  //    absorbs the define (P_absorbDefine) and becomes the current
  //    declaration, and the definition when the define is one;
  // 3. otherwise the define goes into the set and becomes the current
  //    declaration, and the definition when it is one.
  // An absorbed define is kept nowhere; the answer is true in 2 and 3. An
  // unset define is a failed assertion that ends the process.
  bool addDefine(DefinePtr def, bool firstInUnit = false);
  // Files the define under the current declaration; nothing else changes.
  void addRedeclaration(DefinePtr def);
  // Whether a set of redeclarations is filed under the define.
  bool hasRedeclarations(const DefinePtr &def) const;
  // The set filed under the define; a define without one is a failed
  // assertion that ends the process.
  const P_DefineSet &redeclarations(const DefinePtr &def) const;
  // The representative define: the definition, else the current declaration.
  P_Define *define() const { return m_definition.isSet() ? m_definition.pointer() : m_declaration.pointer(); }

  // A run makes a symbol for most entities: they come from a pool.
  static void *operator new(std::size_t size) { return P_ModelPool<64>::allocate(size); }
  static void operator delete(void *block, std::size_t size) noexcept {
    P_ModelPool<64>::release(block, size);
  }

  // The declaration gone changed to the place of kept in the declaration
  // set, which absorbed it: kept takes its place as current declaration or
  // definition, and its redeclarations join those of kept.
  void defineMerged(P_Define &gone, P_Define &kept);

  P_DefineSet m_declarations{this};
  // Made with the first redeclaration.
  std::unique_ptr<RedeclList> m_redeclList;
  DefinePtr m_definition;
  DefinePtr m_declaration;
};

// Accessors for the query interface; each asserts that the symbol is not
// null (and the define set), ending the process otherwise.
const P_DefineSet *P_symbolDeclarations(const P_Symbol *han);
P_Define *P_symbolDefine(const P_Symbol *han);
bool P_symbolHasRedeclarations(const P_Symbol *han, const DefinePtr &def);
// The symbol must have redeclarations filed under the define.
const P_DefineSet *P_symbolRedeclarations(const P_Symbol *han, const DefinePtr &def);

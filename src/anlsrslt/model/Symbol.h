// One program entity with its defines.
#pragma once

#include "anlsrslt/model/Define.h"
#include "anlsrslt/model/DefineSet.h"
#include "foundation/Ref.h"

#include <map>
#include <memory>

// The defines of one entity: every define that became its current
// declaration (equivalent ones are one entry), the redeclarations filed under
// the declaration that was current when each came, its definition and its
// current declaration. The current declaration is the define that came last
// even when the set kept an equivalent define in its place; that one stands
// for it in the set and takes its redeclarations, so that a walk over the
// declarations meets every place once and reaches every set of
// redeclarations. A definition absorbed by such a current declaration is
// therefore not seen by the walk: the entry that stands for it stays a
// declaration.
struct P_Symbol : public U_Ref {
  // Redeclaration sets by declaration, and where the next ones go while the
  // current declaration is not itself an entry of the declaration set.
  struct RedeclList {
    // Keyed by the define's address; every key is an entry of the set.
    std::map<DefinePtr, P_DefineSet> m_sets;
    // The entry equivalent to the current declaration when the set did not
    // take that; unset while the current declaration is an entry itself.
    DefinePtr m_standIn;
  };

  // A symbol of the define, which is its current declaration, and its
  // definition when it has kind bit 2. An unset define is reported as a failed
  // assertion and throws U_AssertException.
  explicit P_Symbol(DefinePtr def);
  ~P_Symbol() override;

  // Adds a declaration or definition. A definition (kind bit 2) at the place
  // of the current declaration (same file proxy and line) is absorbed by it:
  // the declaration gets bit 2 and the definition's flags, the definition is
  // kept nowhere, and the answer is false. Any other define goes into the
  // declaration set unless an equivalent define is there, and becomes the
  // current declaration either way, a definition also the definition; the
  // answer is true. An unset define is a failed assertion that ends the
  // process.
  bool addDefine(DefinePtr def);
  // Files the define under the current declaration, or under the entry that
  // stands for it in the declaration set; nothing else changes.
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

  // The declaration gone changed and left the declaration set, which holds
  // the equivalent kept instead: kept takes its place as current declaration,
  // definition or stand-in, and its redeclarations join those of kept.
  void defineMerged(P_Define &gone, P_Define &kept);

  P_DefineSet m_declarations{this};
  // Made with the first redeclaration or stand-in.
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

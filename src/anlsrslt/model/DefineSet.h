// The ordered define sets of the model: the declarations of a symbol and the
// redeclarations filed under each of them.
#pragma once

#include "anlsrslt/model/Define.h"

#include <cstddef>
#include <cstdint>
#include <set>

struct P_Symbol;

// A set of defines in isDefineLess order in which equivalent defines are one
// entry (the first one stays). Each define it holds knows the set, so that a
// define whose kind or flags change (P_changeDefine) is taken out before the
// change and put back after it; when an equivalent define is there by then,
// it is not put back, and the symbol that owns the set is told so.
class P_DefineSet {
public:
  using Defines = std::set<DefinePtr, P_DefineLess>;
  using const_iterator = Defines::const_iterator;

  // A set of the symbol's declarations has the symbol as owner; other sets
  // have none.
  explicit P_DefineSet(P_Symbol *owner = nullptr) : m_owner(owner) {}
  P_DefineSet(const P_DefineSet &) = delete;
  P_DefineSet &operator=(const P_DefineSet &) = delete;
  ~P_DefineSet();

  // Inserts the define unless an equivalent one is there. Gives the define of
  // the set that is equivalent to it: the define itself when it went in.
  P_Define *insert(const DefinePtr &def);

  bool contains(const P_Define *def) const;
  std::size_t size() const { return m_defines.size(); }
  bool empty() const { return m_defines.empty(); }
  const_iterator begin() const { return m_defines.begin(); }
  const_iterator end() const { return m_defines.end(); }

private:
  friend void P_changeDefine(P_Define &def, std::uint8_t kind, std::uint32_t flags);

  // Removes the define, found by identity under its current order.
  void takeOut(P_Define &def);
  // Puts it back unless an equivalent define is there; gives that define, or
  // null when it went back in.
  P_Define *putBack(P_Define &def);

  Defines m_defines;
  P_Symbol *m_owner;
};

// Gives the define new kind bits and flags. Every define set that holds it
// takes it out before the change and puts it back after it, so that no set
// holds a define out of order or two equivalent defines; a set that already
// holds an equivalent define keeps that one, and its owner symbol hands what
// it filed under the define over to it (P_Symbol::defineMerged).
void P_changeDefine(P_Define &def, std::uint8_t kind, std::uint32_t flags);

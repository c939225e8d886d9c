// One template of the template table: its own defines, the symbols of its
// instances and its nested templates.
#pragma once

#include "anlsrslt/model/Define.h"
#include "anlsrslt/model/Symbol.h"
#include "foundation/Ref.h"
#include "foundation/StringStore.h"

#include <cstdint>
#include <list>
#include <map>
#include <set>
#include <vector>

// Where a define stands: the interned name text of its file and its line.
struct P_TemplatePosition {
  const char *file;
  std::int32_t line;
};

// Positions by file name (in interning order, the same in every run), then
// line.
struct P_TemplatePositionLess {
  bool operator()(const P_TemplatePosition &a, const P_TemplatePosition &b) const {
    if (a.file != b.file)
      return U_InternedStringOrder()(a.file, b.file);
    return a.line < b.line;
  }
};

// The position of a define.
P_TemplatePosition P_positionOf(const P_Define &def);

// What P_Template::add is given a define for.
enum P_TemplateAddKind : std::uint32_t {
  P_addDeclaration = 0,    // a further declaration of the template's name
  P_addRedeclaration = 1,  // a redeclaration of it
  P_addDefinition = 2,     // a definition of it, or of an instance
  P_addSpecialisation = 3, // an "S" define found by its position
  P_addNested = 4,         // a "P" define of a known name
  P_addSettling = 5,       // an "X" define of a known name
};

struct P_Template : public U_Ref {
  // Names (interned marked names) in interning order, the same in every run.
  using SymbolsByName = std::map<const char *, U_RefPtr<P_Symbol>, U_InternedStringOrder>;
  using TemplatesByName = std::map<const char *, U_RefPtr<P_Template>, U_InternedStringOrder>;

  // The template of its first define, which makes its primary symbol. An
  // unset define fails there (reported, U_AssertException thrown).
  explicit P_Template(const DefinePtr &first);
  ~P_Template() override;
  // The pending entries point into the template's own list.
  P_Template(const P_Template &) = delete;
  P_Template &operator=(const P_Template &) = delete;

  // Takes the define as the add-kind says; whether it was taken. Defines
  // taken into the primary symbol add their position to the template's.
  bool add(const DefinePtr &def, std::uint32_t addKind);
  // An instance define (add-kind 2 or 3): an "S" at a position of the
  // template opens a pending symbol of its name, a definition there joins the
  // pending symbol of its name; elsewhere a function of the name opened last
  // joins that symbol; a definition may settle its name (answered false);
  // else the nested templates are offered it, last name first.
  bool addInstance(const DefinePtr &def, std::uint32_t addKind);
  // A definition (2) or "X" define (5) of an instance name: settles the
  // pending entry opened last when it has the name, else joins the settled
  // symbol of the name (a definition as declaration, an "X" as
  // redeclaration); false when there is none.
  bool settle(const DefinePtr &def, std::uint32_t addKind);
  // A "P" define: makes a nested template of its name (true), or joins the
  // primary symbol of the nested template of its name (false).
  bool addNestedTemplate(const DefinePtr &def);

  // The pending entry opened last, when there is one.
  P_Symbol *pendingCursorSymbol() const;
  // The pending symbols in the order they were opened, for walking. The list
  // stays valid until the template next changes.
  const std::vector<U_RefPtr<P_Symbol>> &pendingSymbols() const;

  // Pending symbols in the order they were opened. A name opened again while
  // its entry is pending opens a further symbol here that no entry knows.
  using PendingList = std::list<U_RefPtr<P_Symbol>>;
  using PendingByName = std::map<const char *, PendingList::iterator, U_InternedStringOrder>;

  U_RefPtr<P_Symbol> m_primary;
  std::set<P_TemplatePosition, P_TemplatePositionLess> m_positions;
  const char *m_name;
  PendingList m_pendingList;
  // Each pending name's symbol, as its place in the pending list, so that
  // settling or dropping it takes it out at once.
  PendingByName m_pendingByName;
  // The name of the pending entry opened last; null when none.
  const char *m_pendingCursor = nullptr;
  std::vector<U_RefPtr<P_Symbol>> m_settledSymbols;
  SymbolsByName m_settledByName;
  std::vector<U_RefPtr<P_Template>> m_nestedTemplates;
  TemplatesByName m_nestedByName;

private:
  // The pending list as a vector, made again on the first walk after a change.
  mutable std::vector<U_RefPtr<P_Symbol>> m_pendingSymbols;
  mutable bool m_pendingSymbolsStale = false;

  bool addToPrimary(const DefinePtr &def);
  // Takes the pending entry opened last out of the pending map and its own
  // symbol out of the pending list, and clears the cursor.
  void dropPendingCursorEntry();
};

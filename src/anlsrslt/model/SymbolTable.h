// The program-wide symbol table of the analysis results.
#pragma once

#include "anlsrslt/model/AddressMap.h"
#include "anlsrslt/model/Define.h"
#include "anlsrslt/model/Symbol.h"

#include <cstdint>
#include <string>
#include <vector>

// What filing one define did: the symbol it went to (unset for code 5) and
// the result code.
struct P_SymbolFiling {
  U_RefPtr<P_Symbol> symbol;
  std::uint32_t code;
};

// Result codes of SymbolTable::addDefine.
enum : std::uint32_t {
  P_filedNewSymbol = 0,      // a declaration or specialisation made a new symbol
  P_filedExistingSymbol = 2, // it joined the program-wide symbol of its id
  P_filedRedeclaration = 3,  // filed as a redeclaration
  P_filedDefinition = 4,     // a definition was added to its symbol
  P_filedNothing = 5,        // the define handle was unset
};

// Groups defines into symbols by symbol id: the interned symbol id text of
// the define's name (P_normaliseSymbolName), so that a function's symbol
// does not depend on its return slot. Every symbol ever made stays in the
// list of all symbols; symbols of external linkage are also kept by id for
// the whole run, and the symbols of the current translation unit by id until
// the next record file begins.
class SymbolTable {
public:
  // Symbol ids (interned texts, compared by address) to symbols; filled
  // insert-if-absent, so the first symbol filed under an id stays.
  using SymbolMap = P_AddressMap<U_RefPtr<P_Symbol>>;

  // The one symbol table of the run, created on first use. Tests and
  // benchmarks may make tables of their own.
  static SymbolTable &instance();

  SymbolTable() = default;
  SymbolTable(const SymbolTable &) = delete;
  SymbolTable &operator=(const SymbolTable &) = delete;

  // Files a define and says where it went:
  // - a declaration (kind bit 1, or 8, 32, 64) of external linkage joins the
  //   program-wide symbol of its id (code 2) or makes it (code 0); any other
  //   declaration makes a new symbol (code 0), kept as the unit's symbol of
  //   the id unless the unit has one;
  // - a definition joins the unit's symbol of its id (code 4), a macro
  //   definition makes a symbol of its own (code 4);
  // - a redeclaration is filed under the unit's symbol of its id (code 3);
  // - a definition or redeclaration whose id has no symbol in the unit is
  //   taken as a declaration ("Missing 'DC' for " and the name on standard
  //   output under the debug word "show-symbol-errors");
  // - an unset handle gives code 5 and no symbol.
  // Enum tags and labels are filed as declaration and definition at once;
  // an implicit define ("DI") as a definition when the unit knows its id,
  // else as a declaration.
  P_SymbolFiling addDefine(const DefinePtr &def);

  // Forgets the symbols of the translation unit read so far, and the
  // enclosing symbols found in it; a new record file begins. Every symbol
  // stays in the list of all symbols.
  void clearTranslationUnit();

  // The symbol id of a marked name (or of a symbol id, which is its own),
  // computed once per name address and kept for the process. A null name is a
  // failed assertion that ends the process.
  static const char *symbolId(const char *name);
  // The symbol filed under the name's symbol id in the map, or an unset
  // handle; a null name is a failed assertion.
  static U_RefPtr<P_Symbol> find(const SymbolMap &map, const char *name);
  // find in the current translation unit.
  U_RefPtr<P_Symbol> findInUnit(const char *name) const;
  // Settles the kind of a define before it is filed under the id: enum tags
  // and labels become declaration and definition (kind 3); an implicit
  // define becomes a definition when the unit has a symbol of the id, else a
  // declaration.
  void markDefineKind(P_Define &def, const char *id) const;
  // The debug word "show-symbol-errors" is given; asked once.
  static bool showSymbolErrors();

  // Every symbol, in the order they were made.
  const std::vector<U_RefPtr<P_Symbol>> &symbols() const { return m_symbols; }
  const SymbolMap &externalSymbols() const { return m_externalSymbols; }
  const SymbolMap &unitSymbols() const { return m_unitSymbols; }

private:
  U_RefPtr<P_Symbol> makeSymbol(const DefinePtr &def);

  std::vector<U_RefPtr<P_Symbol>> m_symbols;
  SymbolMap m_externalSymbols;
  SymbolMap m_unitSymbols;
  // The symbol id text of a function name, built in place.
  std::string m_idText;
};

// The symbol of the name's id in the current translation unit of the run's
// table (of the given table), or null. The table keeps every symbol until the
// process ends, so the pointer stays valid.
P_Symbol *P_findSymbol(const char *name);
P_Symbol *P_findSymbolIn(const char *name, SymbolTable &table);

// The program-wide symbol table of the analysis results.
#pragma once

#include "anlsrslt/model/Define.h"
#include "anlsrslt/model/Symbol.h"

#include <cstddef>
#include <cstdint>

// What filing one define did: the symbol it went to (unset for codes 3 and
// 5) and the result code.
struct P_SymbolFiling {
  U_RefPtr<P_Symbol> symbol;
  std::uint32_t code;
};

// Result codes of SymbolTable::addDefine.
enum : std::uint32_t {
  P_filedNewSymbol = 0,      // a declaration or specialisation made a new symbol
  P_filedExistingSymbol = 2, // it joined the program-wide symbol of its id
  P_filedRedeclaration = 3,  // filed as a redeclaration, or neither kind
  P_filedDefinition = 4,     // a definition was added to its symbol
  P_filedNothing = 5,        // the define handle was unset
};

// Groups nothing yet: grouping the defines of one entity by symbol id, per
// translation unit and program-wide, comes with the symbol table proper. Each
// define filed is handed back in a symbol of its own, which the table does
// not keep; the table counts the defines it was given.
class SymbolTable {
public:
  // The one symbol table of the run, created on first use. Tests and
  // benchmarks may make tables of their own.
  static SymbolTable &instance();

  SymbolTable() = default;
  SymbolTable(const SymbolTable &) = delete;
  SymbolTable &operator=(const SymbolTable &) = delete;

  // Files a define: a declaration or specialisation (kind bits 1, 8, 32 or
  // 64) gets a new symbol (code 0), a definition one as well (code 4); a
  // redeclaration or a define of no such kind gives code 3, an unset handle
  // code 5.
  P_SymbolFiling addDefine(const DefinePtr &def);

  // Forgets the symbols of the translation unit read so far; a new record
  // file begins.
  void clearTranslationUnit();

  // How many defines were filed (unset handles not counted).
  std::size_t filedCount() const { return m_filed; }

private:
  std::size_t m_filed = 0;
};

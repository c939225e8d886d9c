// The enclosing symbol of a scope name: the symbol of the nearest enclosing
// scope that the current translation unit knows, looked up once per scope
// name and kept while that unit is read.
#pragma once

#include <map>

struct P_Define;
struct P_Symbol;
class SymbolTable;

// Interned scope names (by address) to the symbol found for them.
using P_EnclosingSymbolCache = std::map<const char *, P_Symbol *>;

// The cache of the run, created empty on first use. The symbol table empties
// it whenever it forgets its translation unit: a scope resolves in the unit
// it is read in, so that a static function of one name in two files gives
// each file its own symbol.
P_EnclosingSymbolCache &P_enclosingSymbolCache();

// Walks from the scope name outwards over components written as '@' codes
// (other than "@UN") to the first ordinary one, and gives the symbol that the
// table's current translation unit holds for that scope; null when there is
// none, or when the walk meets "@UN", an empty component or an empty text.
P_Symbol *findEnclosingSymbol(const char *scope, SymbolTable &table);
// Looks the scope name (interned) up and keeps the symbol found; a scope
// already kept is not looked up again, one without a symbol is not kept.
void cacheEnclosingSymbol(const char *scope, SymbolTable &table, P_EnclosingSymbolCache &cache);
// A new-symbol listener of the DEFINE reader: keeps the enclosing symbol of
// the define's scope name (in the run's symbol table).
void onDefineCacheEnclosingSymbol(P_Symbol *symbol, P_Define *define);
// The symbol kept for the interned scope name, or null (also for the empty
// name). A null name is a failed assertion that ends the process.
P_Symbol *P_scopeEnclosingSymbol(const char *scope);
P_Symbol *lookupEnclosingSymbol(const char *scope, const P_EnclosingSymbolCache &cache);

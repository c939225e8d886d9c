#include "anlsrslt/model/SymbolTable.h"

SymbolTable &SymbolTable::instance() {
  static SymbolTable table;
  return table;
}

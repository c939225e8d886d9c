// The program-wide symbol table of the analysis results.
#pragma once

// Holds nothing yet: defines and symbols come with the record readers.
class SymbolTable {
public:
  // The one symbol table, created on first use.
  static SymbolTable &instance();

  SymbolTable(const SymbolTable &) = delete;
  SymbolTable &operator=(const SymbolTable &) = delete;

private:
  SymbolTable() = default;
};

// One allocation record ("ALLOC") of a record file: an allocated entity, the
// kind of allocation, and the file, line and column where it happens.
#pragma once

#include "anlsrslt/model/FilenameProxy.h"
#include "foundation/Ref.h"

#include <cstdint>
#include <utility>

struct P_Symbol;

// The kind word of an allocation record.
enum AllocKind : std::uint32_t {
  P_allocPlain = 0, // "plain"
  P_allocArray = 1, // "array"
  P_allocOld = 2,   // "old"
  P_allocOther = 3, // any other word, or none
};

// Held through P_CountedPtr<P_AllocRecord>; the record keeps its own handle to
// the file's proxy, dropped with the record. The name is an interned marked
// name; the symbol is never null (the reader files no record without it) and
// stays alive in the symbol table for the whole run.
struct P_AllocRecord {
  P_AllocRecord(const char *name, AllocKind kind, U_RefPtr<FilenameProxy> file, std::int32_t line,
                std::int32_t column, P_Symbol *symbol)
      : m_name(name), m_kind(kind), m_file(std::move(file)), m_line(line), m_column(column),
        m_symbol(symbol) {}

  const char *m_name;
  AllocKind m_kind;
  U_RefPtr<FilenameProxy> m_file;
  std::int32_t m_line;
  std::int32_t m_column;
  P_Symbol *m_symbol;
};

// The fields of a record; a null record is a failed assertion that ends the
// process.
const char *P_allocName(const P_AllocRecord *record);
// The interned name of the file's proxy.
const char *P_allocFileName(const P_AllocRecord *record);
std::int32_t P_allocLine(const P_AllocRecord *record);
std::int32_t P_allocColumn(const P_AllocRecord *record);
P_Symbol *P_allocSymbol(const P_AllocRecord *record);
bool P_allocIsPlain(const P_AllocRecord *record);
bool P_allocIsArray(const P_AllocRecord *record);
bool P_allocIsOld(const P_AllocRecord *record);
bool P_allocIsOtherKind(const P_AllocRecord *record);

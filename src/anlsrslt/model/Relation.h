// One relation record of a record file: two entities of the analysed program
// joined by a relation kind (calls, uses, is-base-of, ...), with the line of
// the record and its flag letters.
#pragma once

#include "anlsrslt/model/CountedPtr.h"
#include "foundation/StringStore.h"

#include <cstdint>
#include <map>

struct P_Symbol;

// The flag letters of a relation record, one bit each.
enum RelationFlags : std::uint32_t {
  P_relationFlagR = 0x01,
  P_relationFlagW = 0x02,
  P_relationFlagV = 0x04,
  P_relationFlag1 = 0x08,
  P_relationFlag5 = 0x10,
  P_relationFlag2 = 0x20,
  P_relationFlag3 = 0x40,
  P_relationFlag7 = 0x80,
};

// Held through P_CountedPtr<P_Relation>. The names are interned marked names;
// the symbols are those of the names in the translation unit the record was
// read in, which the symbol table keeps for the whole run. The kind letter is
// not kept: the reader hands each relation to the listeners of its kind.
struct P_Relation {
  // Stores every field, then fails an assertion (ending the process) for a
  // null name or symbol: the reader makes no relation without them.
  P_Relation(const char *object, const char *subject, std::uint32_t line, P_Symbol *objectSym,
             P_Symbol *subjectSym, std::uint32_t flags);

  const char *m_object;
  const char *m_subject;
  std::uint32_t m_line;
  P_Symbol *m_objectSym;
  P_Symbol *m_subjectSym;
  std::uint32_t m_flags; // bits of RelationFlags
};

// Relations filed under one interned name, names in interning order (the same
// in every run), the relations of one name in filing order.
using P_RelationsByName = std::multimap<const char *, P_CountedPtr<P_Relation>, U_InternedStringOrder>;

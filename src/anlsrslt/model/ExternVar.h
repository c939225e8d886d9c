// One external-variable record ("EXTV") of a record file: two entities and a
// line, each entity with the symbol it has in the translation unit the record
// was read in.
#pragma once

#include <cstdint>

struct P_Symbol;

// Held through P_CountedPtr<P_ExternVarRecord>. The names are interned marked
// names; the symbols are never null (the reader files no record without
// them) and stay alive in the symbol table for the whole run.
struct P_ExternVarRecord {
  P_ExternVarRecord(const char *firstName, const char *secondName, std::int32_t line, P_Symbol *firstSymbol,
                    P_Symbol *secondSymbol)
      : m_firstName(firstName), m_secondName(secondName), m_line(line), m_firstSymbol(firstSymbol),
        m_secondSymbol(secondSymbol) {}

  const char *m_firstName;
  const char *m_secondName;
  std::int32_t m_line;
  P_Symbol *m_firstSymbol;
  P_Symbol *m_secondSymbol;
};

// The fields of a record; a null record is a failed assertion that ends the
// process.
const char *P_externVarFirstName(const P_ExternVarRecord *record);
const char *P_externVarSecondName(const P_ExternVarRecord *record);
P_Symbol *P_externVarFirstSymbol(const P_ExternVarRecord *record);
P_Symbol *P_externVarSecondSymbol(const P_ExternVarRecord *record);
std::int32_t P_externVarLine(const P_ExternVarRecord *record);

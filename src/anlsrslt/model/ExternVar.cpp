#include "anlsrslt/model/ExternVar.h"

#include "foundation/Assertion.h"

namespace {

const P_ExternVarRecord *checked(const P_ExternVarRecord *han) {
  U_ASSERT(0 != han && "Dont dereference 0.");
  return han;
}

} // namespace

const char *P_externVarFirstName(const P_ExternVarRecord *record) { return checked(record)->m_firstName; }

const char *P_externVarSecondName(const P_ExternVarRecord *record) { return checked(record)->m_secondName; }

P_Symbol *P_externVarFirstSymbol(const P_ExternVarRecord *record) { return checked(record)->m_firstSymbol; }

P_Symbol *P_externVarSecondSymbol(const P_ExternVarRecord *record) { return checked(record)->m_secondSymbol; }

std::int32_t P_externVarLine(const P_ExternVarRecord *record) { return checked(record)->m_line; }

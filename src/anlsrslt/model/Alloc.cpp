#include "anlsrslt/model/Alloc.h"

#include "foundation/Assertion.h"

namespace {

const P_AllocRecord *checked(const P_AllocRecord *han) {
  U_ASSERT(0 != han && "Dont dereference 0.");
  return han;
}

bool hasKind(const P_AllocRecord *record, AllocKind kind) { return checked(record)->m_kind == kind; }

} // namespace

const char *P_allocName(const P_AllocRecord *record) { return checked(record)->m_name; }

const char *P_allocFileName(const P_AllocRecord *record) { return P_filenameTextOf(checked(record)->m_file); }

std::int32_t P_allocLine(const P_AllocRecord *record) { return checked(record)->m_line; }

std::int32_t P_allocColumn(const P_AllocRecord *record) { return checked(record)->m_column; }

P_Symbol *P_allocSymbol(const P_AllocRecord *record) { return checked(record)->m_symbol; }

bool P_allocIsPlain(const P_AllocRecord *record) { return hasKind(record, P_allocPlain); }

bool P_allocIsArray(const P_AllocRecord *record) { return hasKind(record, P_allocArray); }

bool P_allocIsOld(const P_AllocRecord *record) { return hasKind(record, P_allocOld); }

bool P_allocIsOtherKind(const P_AllocRecord *record) { return hasKind(record, P_allocOther); }

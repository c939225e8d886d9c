#include "anlsrslt/include/LiteralQueries.h"

#include "anlsrslt/model/IterSlots.h"
#include "anlsrslt/model/Literal.h"
#include "anlsrslt/readers/LiteralRecord.h"
#include "checks/QueryWalk.h"
#include "foundation/Assertion.h"

void PI_registerLiteralHandler() { registerLiteralHandler(); }

std::int32_t PI_beginLiterals() { return beginWalk<P_LiteralIter>(literalRecords()); }
PI_WALK_MEMBERS(P_LiteralIter, PI_literalsAtEnd, PI_currentLiteral, PI_nextLiteral)

std::uint32_t PI_literalLine(const P_Literal *literal) {
  return static_cast<std::uint32_t>(P_literalLine(literal));
}
std::uint32_t PI_literalColumn(const P_Literal *literal) {
  return static_cast<std::uint32_t>(P_literalColumn(literal));
}
bool PI_literalHasI(const P_Literal *literal) { return (P_literalHasI(literal) & P_literalIncluded) != 0; }
bool PI_hasLiteralSuffix(const P_Literal *literal) { return P_literalHasSuffix(literal); }

const char *PI_literalSuffix(const P_Literal *han) {
  if (!PI_hasLiteralSuffix(han))
    assertFailed(__FILE_NAME__, __LINE__,
                 "PI_hasLiteralSuffix (han) && \"Only try to get a suffix if there was one\"", true);
  return P_literalSuffix(han);
}

bool PI_isSameLiteral(const P_Literal *a, const P_Literal *b) { return P_isSameLiteral(a, b); }

// Each member hands the literal to the model's accessor of the same name.
#define PI_LITERAL_QUERY(Result, Name)                                                                       \
  Result PI_##Name(const P_Literal *literal) { return P_##Name(literal); }

PI_LITERAL_QUERY(const char *, literalText)
PI_LITERAL_QUERY(const char *, literalFileName)
PI_LITERAL_QUERY(const char *, literalEntity)

PI_LITERAL_QUERY(bool, literalSuffixIsLong)
PI_LITERAL_QUERY(bool, literalSuffixIsLongLong)
PI_LITERAL_QUERY(bool, literalSuffixIsUnsigned)
PI_LITERAL_QUERY(bool, literalSuffixIsFloat)
PI_LITERAL_QUERY(bool, literalHasMark)
PI_LITERAL_QUERY(bool, literalMarkIsP)
PI_LITERAL_QUERY(bool, literalMarkIsN)

PI_LITERAL_QUERY(bool, literalLitTypeIsD)
PI_LITERAL_QUERY(bool, literalLitTypeIsL)
PI_LITERAL_QUERY(bool, literalLitTypeIsH)
PI_LITERAL_QUERY(bool, literalLitTypeIsO)
PI_LITERAL_QUERY(bool, literalLitTypeIsC)
PI_LITERAL_QUERY(bool, literalLitTypeIsS)
PI_LITERAL_QUERY(bool, literalLitTypeIsF)
PI_LITERAL_QUERY(bool, literalLitTypeIsB)
PI_LITERAL_QUERY(bool, literalLitTypeIsE)
PI_LITERAL_QUERY(bool, literalLitTypeIsW)

PI_LITERAL_QUERY(bool, literalTypeLetterIsM)
PI_LITERAL_QUERY(bool, literalTypeLetterIsF)
PI_LITERAL_QUERY(bool, literalTypeLetterIsT)
PI_LITERAL_QUERY(bool, literalTypeLetterIsD)
PI_LITERAL_QUERY(bool, literalTypeLetterIsB)
PI_LITERAL_QUERY(bool, literalTypeLetterIsE)
PI_LITERAL_QUERY(bool, literalTypeLetterIsO)
PI_LITERAL_QUERY(bool, literalTypeLetterIsA)
PI_LITERAL_QUERY(bool, literalTypeLetterIsS)
PI_LITERAL_QUERY(bool, literalTypeLetterIsU)
PI_LITERAL_QUERY(bool, literalTypeLetterIsP)
PI_LITERAL_QUERY(bool, literalTypeLetterIsC)
PI_LITERAL_QUERY(bool, literalTypeLetterIsOther)

PI_LITERAL_QUERY(bool, literalScopeIsB)
PI_LITERAL_QUERY(bool, literalScopeIsC)
PI_LITERAL_QUERY(bool, literalScopeIsF)
PI_LITERAL_QUERY(bool, literalScopeIsS)
PI_LITERAL_QUERY(bool, literalScopeIsP)
PI_LITERAL_QUERY(bool, literalScopeIsT)
PI_LITERAL_QUERY(bool, literalScopeIsR)

#undef PI_LITERAL_QUERY

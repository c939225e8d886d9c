// Literals ("LIT" records) through the query interface: the walk over every
// literal of the run and the fields and tests of one literal. Conventions as
// in anlsrslt/include/QueryInterface.h. The field members read the literal
// unchecked; every test, PI_literalSuffix included, fails an assertion for a
// null literal.
#pragma once

#include <cstdint>

class P_Literal;

// Switches on the reading of "LIT" records.
void PI_registerLiteralHandler();

// Every literal read, by file (in the order the names were first interned),
// line and column.
std::int32_t PI_beginLiterals();
bool PI_literalsAtEnd(std::int32_t id);
P_Literal *PI_currentLiteral(std::int32_t id); // null at the end
bool PI_nextLiteral(std::int32_t id);

// The text as written (quotes and prefix kept), the position, and the entity
// the literal stands in.
const char *PI_literalText(const P_Literal *literal);
const char *PI_literalFileName(const P_Literal *literal);
std::uint32_t PI_literalLine(const P_Literal *literal);
std::uint32_t PI_literalColumn(const P_Literal *literal);
const char *PI_literalEntity(const P_Literal *literal);
// Whether the literal lies in an included file.
bool PI_literalHasI(const P_Literal *literal);

// The suffix: whether there is one, its text (there must be one: an
// assertion fails otherwise) and what it says.
bool PI_hasLiteralSuffix(const P_Literal *literal);
const char *PI_literalSuffix(const P_Literal *literal);
bool PI_literalSuffixIsLong(const P_Literal *literal);
bool PI_literalSuffixIsLongLong(const P_Literal *literal);
bool PI_literalSuffixIsUnsigned(const P_Literal *literal);
bool PI_literalSuffixIsFloat(const P_Literal *literal);

// The mark letter.
bool PI_literalHasMark(const P_Literal *literal);
bool PI_literalMarkIsP(const P_Literal *literal);
bool PI_literalMarkIsN(const P_Literal *literal);

// The letters of the two-letter literal kind.
bool PI_literalLitTypeIsD(const P_Literal *literal);
bool PI_literalLitTypeIsL(const P_Literal *literal);
bool PI_literalLitTypeIsH(const P_Literal *literal);
bool PI_literalLitTypeIsO(const P_Literal *literal);
bool PI_literalLitTypeIsC(const P_Literal *literal);
bool PI_literalLitTypeIsS(const P_Literal *literal);
bool PI_literalLitTypeIsF(const P_Literal *literal);
bool PI_literalLitTypeIsB(const P_Literal *literal);
bool PI_literalLitTypeIsE(const P_Literal *literal);
bool PI_literalLitTypeIsW(const P_Literal *literal);

// The type letter; Other for a letter without a test of its own.
bool PI_literalTypeLetterIsM(const P_Literal *literal);
bool PI_literalTypeLetterIsF(const P_Literal *literal);
bool PI_literalTypeLetterIsT(const P_Literal *literal);
bool PI_literalTypeLetterIsD(const P_Literal *literal);
bool PI_literalTypeLetterIsB(const P_Literal *literal);
bool PI_literalTypeLetterIsE(const P_Literal *literal);
bool PI_literalTypeLetterIsO(const P_Literal *literal);
bool PI_literalTypeLetterIsA(const P_Literal *literal);
bool PI_literalTypeLetterIsS(const P_Literal *literal);
bool PI_literalTypeLetterIsU(const P_Literal *literal);
bool PI_literalTypeLetterIsP(const P_Literal *literal);
bool PI_literalTypeLetterIsC(const P_Literal *literal);
bool PI_literalTypeLetterIsOther(const P_Literal *literal);

// The scope letter; F also for a letter without a test of its own ("N" and
// "-" answer no test).
bool PI_literalScopeIsB(const P_Literal *literal);
bool PI_literalScopeIsC(const P_Literal *literal);
bool PI_literalScopeIsF(const P_Literal *literal);
bool PI_literalScopeIsS(const P_Literal *literal);
bool PI_literalScopeIsP(const P_Literal *literal);
bool PI_literalScopeIsT(const P_Literal *literal);
bool PI_literalScopeIsR(const P_Literal *literal);

// The same literal object.
bool PI_isSameLiteral(const P_Literal *a, const P_Literal *b);

#include "anlsrslt/model/Literal.h"

#include "anlsrslt/model/Define.h"
#include "foundation/Assertion.h"

#include <utility>

namespace {

const P_Literal *checked(const P_Literal *literal) {
  U_ASSERT(0 != literal && "Dont dereference 0.");
  return literal;
}

bool hasSuffixFlag(const P_Literal *literal, std::uint8_t bit) {
  return (checked(literal)->m_suffixFlags & bit) != 0;
}
bool hasMark(const P_Literal *literal, std::uint32_t bit) { return (checked(literal)->m_mark & bit) != 0; }
bool hasLitType(const P_Literal *literal, std::uint16_t bit) {
  return (checked(literal)->m_litType & bit) != 0;
}
bool hasTypeLetter(const P_Literal *literal, std::uint8_t code) {
  return checked(literal)->m_typeLetter == code;
}
bool inScope(const P_Literal *literal, std::uint8_t code) { return checked(literal)->m_scope == code; }

} // namespace

P_Literal::P_Literal(const char *text, const char *suffix, std::uint8_t suffixFlags, std::uint32_t mark,
                     U_RefPtr<FilenameProxy> file, std::int32_t line, std::int32_t column,
                     std::uint32_t inclusion, std::uint16_t litType, const char *entity, std::uint8_t scope,
                     std::uint8_t typeLetter)
    : m_text(text), m_suffix(suffix), m_suffixFlags(suffixFlags), m_mark(mark), m_file(std::move(file)),
      m_line(line), m_column(column), m_inclusion(inclusion), m_litType(litType), m_entity(entity),
      m_scope(scope), m_typeLetter(typeLetter) {}

bool isLiteralLess(const P_Literal &a, const P_Literal &b) {
  if (a.m_file != b.m_file)
    return isFilenameProxyLess(a.m_file, b.m_file);
  if (a.m_line != b.m_line)
    return a.m_line < b.m_line;
  return a.m_column < b.m_column;
}

bool P_isSameLiteral(const P_Literal *a, const P_Literal *b) { return a == b; }

const char *P_literalText(const P_Literal *literal) { return literal->m_text; }
const char *P_literalSuffix(const P_Literal *literal) { return literal->m_suffix; }
const char *P_literalFileName(const P_Literal *literal) { return P_filenameTextOf(literal->m_file); }
std::int32_t P_literalLine(const P_Literal *literal) { return literal->m_line; }
std::int32_t P_literalColumn(const P_Literal *literal) { return literal->m_column; }
std::uint32_t P_literalHasI(const P_Literal *literal) { return literal->m_inclusion & P_literalIncluded; }
const char *P_literalEntity(const P_Literal *literal) { return literal->m_entity; }

bool P_literalHasSuffix(const P_Literal *literal) { return !hasSuffixFlag(literal, P_suffixNone); }
bool P_literalSuffixIsLong(const P_Literal *literal) { return hasSuffixFlag(literal, P_suffixLong); }
bool P_literalSuffixIsLongLong(const P_Literal *literal) { return hasSuffixFlag(literal, P_suffixLongLong); }
bool P_literalSuffixIsUnsigned(const P_Literal *literal) { return hasSuffixFlag(literal, P_suffixUnsigned); }
bool P_literalSuffixIsFloat(const P_Literal *literal) { return hasSuffixFlag(literal, P_suffixFloat); }

bool P_literalHasMark(const P_Literal *literal) { return !hasMark(literal, P_markNone); }
bool P_literalMarkIsP(const P_Literal *literal) { return hasMark(literal, P_markP); }
bool P_literalMarkIsN(const P_Literal *literal) { return hasMark(literal, P_markN); }

bool P_literalLitTypeIsD(const P_Literal *literal) { return hasLitType(literal, P_litTypeD); }
bool P_literalLitTypeIsL(const P_Literal *literal) { return hasLitType(literal, P_litTypeL); }
bool P_literalLitTypeIsH(const P_Literal *literal) { return hasLitType(literal, P_litTypeH); }
bool P_literalLitTypeIsO(const P_Literal *literal) { return hasLitType(literal, P_litTypeO); }
bool P_literalLitTypeIsC(const P_Literal *literal) { return hasLitType(literal, P_litTypeC); }
bool P_literalLitTypeIsS(const P_Literal *literal) { return hasLitType(literal, P_litTypeS); }
bool P_literalLitTypeIsF(const P_Literal *literal) { return hasLitType(literal, P_litTypeF); }
bool P_literalLitTypeIsB(const P_Literal *literal) { return hasLitType(literal, P_litTypeB); }
bool P_literalLitTypeIsE(const P_Literal *literal) { return hasLitType(literal, P_litTypeE); }
bool P_literalLitTypeIsW(const P_Literal *literal) { return hasLitType(literal, P_litTypeW); }

bool P_literalTypeLetterIsM(const P_Literal *literal) { return hasTypeLetter(literal, P_typeLetterM); }
bool P_literalTypeLetterIsF(const P_Literal *literal) { return hasTypeLetter(literal, P_typeLetterF); }
bool P_literalTypeLetterIsT(const P_Literal *literal) { return hasTypeLetter(literal, P_typeLetterT); }
bool P_literalTypeLetterIsD(const P_Literal *literal) { return hasTypeLetter(literal, P_typeLetterD); }
bool P_literalTypeLetterIsB(const P_Literal *literal) { return hasTypeLetter(literal, P_typeLetterB); }
bool P_literalTypeLetterIsE(const P_Literal *literal) { return hasTypeLetter(literal, P_typeLetterE); }
bool P_literalTypeLetterIsO(const P_Literal *literal) { return hasTypeLetter(literal, P_typeLetterO); }
bool P_literalTypeLetterIsA(const P_Literal *literal) { return hasTypeLetter(literal, P_typeLetterA); }
bool P_literalTypeLetterIsS(const P_Literal *literal) { return hasTypeLetter(literal, P_typeLetterS); }
bool P_literalTypeLetterIsU(const P_Literal *literal) { return hasTypeLetter(literal, P_typeLetterU); }
bool P_literalTypeLetterIsP(const P_Literal *literal) { return hasTypeLetter(literal, P_typeLetterP); }
bool P_literalTypeLetterIsC(const P_Literal *literal) { return hasTypeLetter(literal, P_typeLetterC); }
bool P_literalTypeLetterIsOther(const P_Literal *literal) {
  return hasTypeLetter(literal, P_typeLetterOther);
}

bool P_literalScopeIsB(const P_Literal *literal) { return inScope(literal, P_scopeBlock); }
bool P_literalScopeIsC(const P_Literal *literal) { return inScope(literal, P_scopeClass); }
bool P_literalScopeIsF(const P_Literal *literal) { return inScope(literal, P_scopeFile); }
bool P_literalScopeIsS(const P_Literal *literal) { return inScope(literal, P_scopeNamespace); }
bool P_literalScopeIsP(const P_Literal *literal) { return inScope(literal, P_scopePrototype); }
bool P_literalScopeIsT(const P_Literal *literal) { return inScope(literal, P_scopeTemplate); }
bool P_literalScopeIsR(const P_Literal *literal) { return inScope(literal, P_scopeR); }

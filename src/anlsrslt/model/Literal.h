// One literal of a record file ("LIT" record): its text as written, its
// suffix, its position and its classification letters in coded form, with
// the accessors and yes/no tests that the query interface hands to checks.
#pragma once

#include "anlsrslt/model/FilenameProxy.h"
#include "foundation/Ref.h"

#include <cstdint>

// Suffix flags (m_suffixFlags).
enum LiteralSuffixFlags : std::uint8_t {
  P_suffixNone = 1,     // the word "-"
  P_suffixLong = 2,     // "l"
  P_suffixLongLong = 4, // "ll" or "i64"
  P_suffixUnsigned = 8, // "u"
  P_suffixFloat = 16,   // "f"
};

// Mark codes (m_mark).
enum LiteralMark : std::uint32_t {
  P_markNone = 1, // "-"
  P_markP = 2,    // any letter but "-" and "N"
  P_markN = 4,    // "N"
};

// Inclusion codes (m_inclusion).
enum LiteralInclusion : std::uint32_t {
  P_literalIncluded = 2, // "I"
  P_literalInMain = 4,   // any other letter
};

// Literal-type bits (m_litType): one for the first letter of the kind word,
// one for the second.
enum LiteralTypeBits : std::uint16_t {
  P_litTypeB = 0x001,
  P_litTypeC = 0x002,
  P_litTypeD = 0x004,
  P_litTypeF = 0x008,
  P_litTypeH = 0x010,
  P_litTypeL = 0x020,
  P_litTypeO = 0x040,
  P_litTypeS = 0x080,
  P_litTypeE = 0x100,
  P_litTypeW = 0x200,
};

// Type-letter codes (m_typeLetter): M F T D B E O A S U P C, any other 12.
enum LiteralTypeLetter : std::uint8_t {
  P_typeLetterM,
  P_typeLetterF,
  P_typeLetterT,
  P_typeLetterD,
  P_typeLetterB,
  P_typeLetterE,
  P_typeLetterO,
  P_typeLetterA,
  P_typeLetterS,
  P_typeLetterU,
  P_typeLetterP,
  P_typeLetterC,
  P_typeLetterOther,
};

class P_Literal : public U_Ref {
public:
  // Takes the texts interned (compared by address) and keeps its own handle
  // of the file.
  P_Literal(const char *text, const char *suffix, std::uint8_t suffixFlags, std::uint32_t mark,
            U_RefPtr<FilenameProxy> file, std::int32_t line, std::int32_t column, std::uint32_t inclusion,
            std::uint16_t litType, const char *entity, std::uint8_t scope, std::uint8_t typeLetter);
  ~P_Literal() override = default;

  const char *m_text;   // as written, quotes and "L" prefix kept
  const char *m_suffix; // as written; "-" for none
  std::uint8_t m_suffixFlags;
  std::uint32_t m_mark;
  U_RefPtr<FilenameProxy> m_file;
  std::int32_t m_line;
  std::int32_t m_column;
  std::uint32_t m_inclusion;
  std::uint16_t m_litType;
  const char *m_entity;
  std::uint8_t m_scope; // record character code of the scope letter
  std::uint8_t m_typeLetter;
};

using LiteralPtr = U_RefPtr<P_Literal>;

// Literals are ordered by file (in the order the canonical names were first
// interned), then line, then column; two at one position are equivalent.
bool isLiteralLess(const P_Literal &a, const P_Literal &b);
struct P_LiteralLess {
  bool operator()(const LiteralPtr &a, const LiteralPtr &b) const { return isLiteralLess(*a, *b); }
};

// The same object.
bool P_isSameLiteral(const P_Literal *a, const P_Literal *b);

// Fields; these do not check the literal.
const char *P_literalText(const P_Literal *literal);
const char *P_literalSuffix(const P_Literal *literal);
const char *P_literalFileName(const P_Literal *literal);
std::int32_t P_literalLine(const P_Literal *literal);
std::int32_t P_literalColumn(const P_Literal *literal);
// 2 when the literal lies in an included file, else 0.
std::uint32_t P_literalHasI(const P_Literal *literal);
const char *P_literalEntity(const P_Literal *literal);

// Yes/no tests; each asserts that the literal is not null ("Dont dereference
// 0.").
bool P_literalHasSuffix(const P_Literal *literal);
bool P_literalSuffixIsLong(const P_Literal *literal);
bool P_literalSuffixIsLongLong(const P_Literal *literal);
bool P_literalSuffixIsUnsigned(const P_Literal *literal);
bool P_literalSuffixIsFloat(const P_Literal *literal);
bool P_literalHasMark(const P_Literal *literal);
bool P_literalMarkIsP(const P_Literal *literal);
bool P_literalMarkIsN(const P_Literal *literal);
bool P_literalLitTypeIsD(const P_Literal *literal);
bool P_literalLitTypeIsL(const P_Literal *literal);
bool P_literalLitTypeIsH(const P_Literal *literal);
bool P_literalLitTypeIsO(const P_Literal *literal);
bool P_literalLitTypeIsC(const P_Literal *literal);
bool P_literalLitTypeIsS(const P_Literal *literal);
bool P_literalLitTypeIsF(const P_Literal *literal);
bool P_literalLitTypeIsB(const P_Literal *literal);
bool P_literalLitTypeIsE(const P_Literal *literal);
bool P_literalLitTypeIsW(const P_Literal *literal);
bool P_literalTypeLetterIsM(const P_Literal *literal);
bool P_literalTypeLetterIsF(const P_Literal *literal);
bool P_literalTypeLetterIsT(const P_Literal *literal);
bool P_literalTypeLetterIsD(const P_Literal *literal);
bool P_literalTypeLetterIsB(const P_Literal *literal);
bool P_literalTypeLetterIsE(const P_Literal *literal);
bool P_literalTypeLetterIsO(const P_Literal *literal);
bool P_literalTypeLetterIsA(const P_Literal *literal);
bool P_literalTypeLetterIsS(const P_Literal *literal);
bool P_literalTypeLetterIsU(const P_Literal *literal);
bool P_literalTypeLetterIsP(const P_Literal *literal);
bool P_literalTypeLetterIsC(const P_Literal *literal);
bool P_literalTypeLetterIsOther(const P_Literal *literal);
// Scope letters B, C, S, P, T, R; F also answers for any letter without a
// code of its own. "N" and "-" have no test.
bool P_literalScopeIsB(const P_Literal *literal);
bool P_literalScopeIsC(const P_Literal *literal);
bool P_literalScopeIsF(const P_Literal *literal);
bool P_literalScopeIsS(const P_Literal *literal);
bool P_literalScopeIsP(const P_Literal *literal);
bool P_literalScopeIsT(const P_Literal *literal);
bool P_literalScopeIsR(const P_Literal *literal);

// Record lines, one per input line, through the LIT reader: nothing may
// crash, and each line must read as stream extraction from the whole line
// reads it. A reference reader with a string stream decides which lines give
// a literal and what its fields are. Each literal goes into a set of the
// input, and every accessor and yes/no test takes it apart; at the end the
// set must be in strict position order.
#include "FuzzSupport.h"

#include "anlsrslt/model/RecordTokens.h"
#include "anlsrslt/readers/LiteralRecord.h"
#include "foundation/QuotedToken.h"
#include "foundation/StringStore.h"

#include <cstdlib>
#include <sstream>
#include <string>

namespace {

void check(bool condition) {
  if (!condition)
    std::abort();
}

void checkAgainstReference(const std::string &line, const LiteralPtr &literal) {
  std::istringstream in(line);
  std::string tag, text, suffix, kind, entity;
  U_RefPtr<FilenameProxy> file;
  std::int32_t number = 0, column = 0;
  char mark = '\0', inclusion = '\0', scope = '\0', typeLetter = '\0';
  in >> tag;
  const bool tagged = static_cast<bool>(in) && tag == "<LIT>";
  if (tagged) {
    in >> U_QuotedToken(text) >> suffix >> mark >> file >> number >> column >> inclusion >> kind >> entity >>
        scope >> typeLetter;
  }
  const bool readable = tagged && static_cast<bool>(in) && kind.size() == 2;
  check(literal.isSet() == readable);
  if (!readable)
    return;
  check(literal->m_text == internString(text.c_str()));
  check(literal->m_suffix == internString(suffix.c_str()));
  check(literal->m_suffixFlags == literalSuffixFlags(suffix));
  check(literal->m_mark == literalMarkFromChar(mark));
  check(literal->m_file == file);
  check(literal->m_line == number);
  check(literal->m_column == column);
  check(literal->m_inclusion == literalInclusionFromChar(inclusion));
  check(literal->m_litType == literalTypeFromCode(kind));
  check(literal->m_entity == internString(entity.c_str()));
  check(literal->m_scope == P_decodeRecordChar(scope));
  check(literal->m_typeLetter == literalTypeLetterFromChar(typeLetter));
}

// The codes stay in their tables, and every accessor and test answers.
void takeApart(const P_Literal *literal) {
  check((literal->m_suffixFlags & ~31u) == 0);
  check(literal->m_mark == 1 || literal->m_mark == 2 || literal->m_mark == 4);
  check(literal->m_inclusion == 2 || literal->m_inclusion == 4);
  const unsigned firstLetterBits = literal->m_litType & 0xFFu;
  check((literal->m_litType & ~0x3FFu) == 0 && (firstLetterBits & (firstLetterBits - 1)) == 0);
  check(literal->m_scope <= 8 && literal->m_typeLetter <= 12);
  check(P_literalHasSuffix(literal) == ((literal->m_suffixFlags & 1) == 0));
  (void)P_literalText(literal);
  (void)P_literalSuffix(literal);
  (void)P_literalFileName(literal);
  (void)P_literalHasI(literal);
  (void)P_literalEntity(literal);
  (void)P_literalSuffixIsLongLong(literal);
  (void)P_literalMarkIsN(literal);
  (void)P_literalLitTypeIsW(literal);
  (void)P_literalTypeLetterIsOther(literal);
  (void)P_literalScopeIsF(literal);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  fuzz_support::useInstallation();
  P_LiteralSet set;
  fuzz_support::forEachLine(data, size, [&set](const std::string &line) {
    const LiteralPtr literal = readLiteralRecord(line);
    checkAgainstReference(line, literal);
    if (literal.isSet())
      takeApart(literal.pointer());
    readAndStoreLiteral(line, set);
  });
  const P_Literal *previous = nullptr;
  for (const LiteralPtr &literal : set) {
    check(!previous || isLiteralLess(*previous, *literal));
    check(!isLiteralLess(*literal, *literal));
    previous = literal.pointer();
  }
  return 0;
}

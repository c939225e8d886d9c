#include "anlsrslt/readers/LiteralRecord.h"

#include "anlsrslt/model/RecordTokens.h"
#include "anlsrslt/model/SymbolTable.h"
#include "anlsrslt/readers/RecordFields.h"
#include "anlsrslt/readers/SourceFileReader.h"
#include "foundation/ScratchText.h"
#include "foundation/StringStore.h"

namespace {

// Lower case of the "C" locale; other bytes stay.
char asciiLower(char c) {
  const unsigned char byte = static_cast<unsigned char>(c);
  return (byte >= 'A' && byte <= 'Z') ? static_cast<char>(byte - 'A' + 'a') : c;
}

// The fields of one line, kept from line to line so that reading a line
// allocates nothing once they have grown.
struct LiteralFields {
  std::string text;
  std::string suffix;
  std::string kind;
  std::string entity;
};

// Gives back the room of the fields after a long line, however reading it
// ends.
struct LongFieldsRelease {
  LiteralFields &fields;
  ~LongFieldsRelease() {
    for (std::string *field : {&fields.text, &fields.suffix, &fields.kind, &fields.entity})
      U_releaseLongScratch(*field);
  }
};

} // namespace

P_LiteralSet &literalRecords() {
  static P_LiteralSet literals;
  return literals;
}

void registerLiteralHandler() { registerRecordHandler("LIT", handleLiteralRecord); }

void handleLiteralRecord(const std::string &line) { readAndStoreLiteral(line, literalRecords()); }

void readAndStoreLiteral(const std::string &line, P_LiteralSet &set) {
  LiteralPtr literal = readLiteralRecord(line);
  if (!literal.isSet()) {
    if (SymbolTable::showSymbolErrors())
      P_reportSkippedRecord("LIT");
    return;
  }
  set.insert(std::move(literal));
}

LiteralPtr readLiteralRecord(const std::string &line) {
  static LiteralFields fields;
  const LongFieldsRelease release{fields};
  P_RecordFields in(line);
  // Every field starts with a value, so that nothing of a line read only in
  // part is left over from an earlier one.
  U_RefPtr<FilenameProxy> file;
  std::int32_t number = 0;
  std::int32_t column = 0;
  char mark = '\0';
  char inclusion = '\0';
  char scope = '\0';
  char typeLetter = '\0';
  const std::string_view tag = in.word();
  if (tag != "<LIT>")
    return LiteralPtr();
  in.quoted(fields.text).word(fields.suffix).letter(mark).file(file).number(number).number(column);
  in.letter(inclusion).word(fields.kind).word(fields.entity).letter(scope).letter(typeLetter);
  if (!in || fields.kind.size() != 2)
    return LiteralPtr();
  return LiteralPtr(new P_Literal(internString(fields.text.c_str()), internString(fields.suffix.c_str()),
                                  literalSuffixFlags(fields.suffix), literalMarkFromChar(mark),
                                  std::move(file), number, column, literalInclusionFromChar(inclusion),
                                  literalTypeFromCode(fields.kind), internString(fields.entity.c_str()),
                                  static_cast<std::uint8_t>(P_decodeRecordChar(scope)),
                                  literalTypeLetterFromChar(typeLetter)));
}

std::uint8_t literalSuffixFlags(std::string_view suffix) {
  std::string lower(suffix);
  for (char &c : lower)
    c = asciiLower(c);
  if (lower == "-")
    return P_suffixNone;
  std::uint8_t flags = lower.find('u') != std::string::npos ? P_suffixUnsigned : 0;
  if (lower.find("ll") != std::string::npos)
    flags |= P_suffixLongLong;
  else if (lower.find('l') != std::string::npos)
    flags |= P_suffixLong;
  else if (lower.find('f') != std::string::npos)
    flags |= P_suffixFloat;
  else if (lower.find("i64") != std::string::npos)
    flags |= P_suffixLongLong;
  return flags;
}

std::uint16_t literalTypeFromCode(std::string_view kind) {
  if (kind.size() != 2)
    return 0;
  std::uint16_t bits = 0;
  switch (kind[0]) {
  case 'B':
    bits = P_litTypeB;
    break;
  case 'C':
    bits = P_litTypeC;
    break;
  case 'D':
    bits = P_litTypeD;
    break;
  case 'F':
    bits = P_litTypeF;
    break;
  case 'H':
    bits = P_litTypeH;
    break;
  case 'L':
    bits = P_litTypeL;
    break;
  case 'O':
    bits = P_litTypeO;
    break;
  case 'S':
    bits = P_litTypeS;
    break;
  default:
    break;
  }
  if (kind[1] == 'E')
    bits |= P_litTypeE;
  else if (kind[1] == 'W')
    bits |= P_litTypeW;
  return bits;
}

std::uint8_t literalTypeLetterFromChar(char letter) {
  switch (letter) {
  case 'M':
    return P_typeLetterM;
  case 'F':
    return P_typeLetterF;
  case 'T':
    return P_typeLetterT;
  case 'D':
    return P_typeLetterD;
  case 'B':
    return P_typeLetterB;
  case 'E':
    return P_typeLetterE;
  case 'O':
    return P_typeLetterO;
  case 'A':
    return P_typeLetterA;
  case 'S':
    return P_typeLetterS;
  case 'U':
    return P_typeLetterU;
  case 'P':
    return P_typeLetterP;
  case 'C':
    return P_typeLetterC;
  default:
    return P_typeLetterOther;
  }
}

std::uint32_t literalMarkFromChar(char letter) {
  if (letter == '-')
    return P_markNone;
  return letter == 'N' ? P_markN : P_markP;
}

std::uint32_t literalInclusionFromChar(char letter) {
  return letter == 'I' ? P_literalIncluded : P_literalInMain;
}

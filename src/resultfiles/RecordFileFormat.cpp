#include "resultfiles/RecordFileFormat.h"

#include "cmdline/OnceAnswer.h"
#include "cmdline/PrintableFileName.h"
#include "cmdline/ProductEnvironment.h"
#include "foundation/FileIdentity.h"
#include "foundation/Location.h"
#include "foundation/NamedFiles.h"
#include "foundation/PathText.h"
#include "foundation/TextConversion.h"

#include <array>
#include <type_traits>
#include <utility>

namespace {

struct RelationKind {
  const char *letter;
  const char *name;
};

constexpr std::array<RelationKind, 8> relationKinds = {{
    {"I", "Includes"},
    {"B", "Is-base-of"},
    {"R", "Has-by-reference"},
    {"P", "Has-by-pointer"},
    {"V", "Has-by-value"},
    {"U", "Uses"},
    {"C", "Calls"},
    {"X", "Refers-to"},
}};

// The entry of the table at the code, or the text for codes outside it.
template <std::size_t N, class Code>
const char *lookUp(const std::array<const char *, N> &table, Code code, const char *other) {
  if constexpr (std::is_signed_v<Code>) {
    if (code < 0)
      return other;
  }
  if (static_cast<std::uint64_t>(code) >= N)
    return other;
  return table[static_cast<std::size_t>(code)];
}

// The file text kept for the last file asked about; a new generation of
// once-computed answers (tests only) forgets it.
struct FileTextCache {
  U_Filename canonical;
  std::string text;
  std::uint64_t generation = 0;
};

} // namespace

const char *metricScopeLetter(std::uint32_t code) {
  static constexpr std::array<const char *, 7> letters = {"F", "B", "C", "P", "T", "R", "S"};
  return lookUp(letters, code, "-");
}

const char *defineKindCode(std::uint32_t kind) {
  static constexpr std::array<const char *, 8> codes = {"DF", "DC", "DR", "DI", "DS", "DX", "DP", "DF"};
  return lookUp(codes, kind, "??");
}

bool isRelationKind(std::uint32_t kind) { return kind >= 1 && kind <= relationKinds.size(); }

const char *relationKindLetter(std::uint32_t kind) {
  return isRelationKind(kind) ? relationKinds[kind - 1].letter : "?";
}

const char *relationKindName(std::uint32_t kind) {
  return isRelationKind(kind) ? relationKinds[kind - 1].name : "???";
}

const char *accessDigit(std::uint32_t code) {
  switch (code & 0xF0) {
  case 0x80:
    return "1";
  case 0x40:
    return "2";
  case 0x20:
    return "3";
  case 0x90:
    return "5";
  case 0x30:
    return "7";
  default:
    return "";
  }
}

std::uint32_t accessCode(bool digit1, bool digit2, bool digit3, bool digitPlus4) {
  std::uint32_t code = digit1 ? 0x80 : (digit2 ? 0x40 : (digit3 ? 0x20 : 0));
  if (digitPlus4)
    code += 0x10;
  return code;
}

std::string relationFlagText(std::uint32_t flags, std::uint32_t kind) {
  if (flags == 0)
    return "-";
  std::string text;
  static constexpr std::array<std::pair<std::uint32_t, char>, 4> letters = {
      {{0x01, 'R'}, {0x02, 'W'}, {0x04, 'V'}, {0x08, 'S'}}};
  for (const auto &[bit, letter] : letters) {
    if (flags & bit)
      text += letter;
  }
  if (kind == 2)
    text += accessDigit(flags);
  else if (flags & 0x10)
    text += 'I';
  return text;
}

const char *literalKindText(int kind) {
  static constexpr std::array<const char *, 14> texts = {"",   "DN", "HN", "ON", "FN", "",   "CN",
                                                         "SN", "CE", "HE", "OE", "CW", "SW", "LN"};
  return lookUp(texts, kind, "");
}

const char *literalTypeLetter(int type) {
  static constexpr std::array<const char *, 13> letters = {"T", "D", "E", "B", "O", "A", "S",
                                                           "C", "U", "F", "X", "M", "P"};
  return lookUp(letters, type, "?");
}

const char *literalKLetter(std::uint32_t code) {
  static constexpr std::array<const char *, 3> letters = {"P", "N", "-"};
  return lookUp(letters, code, "?");
}

const char *externalKindLetter(std::uint32_t kind) {
  static constexpr std::array<const char *, 4> letters = {"?", "V", "D", "N"};
  return lookUp(letters, kind, "?");
}

const char *allocationKindWord(std::uint32_t kind) {
  static constexpr std::array<const char *, 3> words = {"plain", "array", "old"};
  return lookUp(words, kind, "");
}

std::string quotedFileText(const std::string &text) {
  if (text.find_first_of(" \t") == std::string::npos)
    return text;
  return '"' + text + '"';
}

std::string metricFileText(const QL_Filename &file) {
  if (!file.canonical().isSet())
    return std::string();
  static FileTextCache cache;
  const std::uint64_t generation = C_OnceAnswers::generation();
  if (cache.canonical != file.canonical() || cache.generation != generation) {
    const std::string text = QL_fromInternal(QL_toNativeSlashes(printableFileName(file)), eceEUC);
    cache = {file.canonical(), quotedFileText(text), generation};
  }
  return cache.text;
}

std::string metricFileNameText(const std::string &name) {
  return quotedFileText(QL_toNativeSlashes(QL_toInternal(name, eceEUC)));
}

const char *whereLetter(const U_Location &location) {
  if (isNamedFileLocation(location))
    return "N";
  static C_OnceAnswer<QL_Filename> implicitHeader([] { return currentImplicitHeaderLocation(0).getFile(); });
  return location.getFile() == implicitHeader.get() ? "N" : "I";
}

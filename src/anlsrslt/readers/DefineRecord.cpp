#include "anlsrslt/readers/DefineRecord.h"

#include "anlsrslt/model/DefineAccessors.h"
#include "anlsrslt/model/RecordTokens.h"
#include "anlsrslt/model/SymbolTable.h"
#include "anlsrslt/model/TemplateTable.h"
#include "anlsrslt/readers/ListenerList.h"
#include "anlsrslt/readers/RecordFields.h"
#include "foundation/Assertion.h"
#include "foundation/ScratchText.h"
#include "foundation/StringStore.h"

#include <string_view>
#include <vector>

namespace {

SymbolTable *&contextSlot() {
  static SymbolTable *context = nullptr;
  return context;
}

P_ListenerList<P_RunEndListener> &defineRunEndListeners() {
  static P_ListenerList<P_RunEndListener> listeners;
  return listeners;
}
P_ListenerList<P_DefineListener> &newSymbolListeners() {
  static P_ListenerList<P_DefineListener> listeners;
  return listeners;
}
P_ListenerList<P_DefineListener> &existingSymbolListeners() {
  static P_ListenerList<P_DefineListener> listeners;
  return listeners;
}
P_ListenerList<P_DefineListener> &definitionListeners() {
  static P_ListenerList<P_DefineListener> listeners;
  return listeners;
}
P_ListenerList<P_TemplateDefineListener> &templateDefineListeners() {
  static P_ListenerList<P_TemplateDefineListener> listeners;
  return listeners;
}

bool noDefineListener() {
  return defineRunEndListeners().empty() && newSymbolListeners().empty() &&
         existingSymbolListeners().empty() && definitionListeners().empty() &&
         templateDefineListeners().empty();
}

// The kind bit of a kind code: "D" and a letter.
std::uint8_t kindFromCode(char letter) {
  switch (letter) {
  case 'C':
    return P_kindDeclaration;
  case 'R':
    return P_kindRedeclaration;
  case 'S':
    return P_kindSpecialisation;
  case 'I':
    return P_kindImplicit;
  case 'X':
    return P_kindX;
  case 'P':
    return P_kindP;
  default:
    return P_kindDefinition;
  }
}

// The name space of a two-character name-space code, decided by its second
// character ('B' also by the first).
std::uint8_t nameSpaceFromCode(char first, char second) {
  switch (second) {
  case 'B':
    return first == 'L' ? P_spaceLabel : P_spaceMember;
  case 'T':
    return P_spaceTypedef;
  case 'F':
    return P_spaceFunction;
  case 'E':
    return P_spaceEnumerator;
  case 'M':
    return P_spaceMacro;
  case 'V':
    return P_spaceVariable;
  case '-':
    return P_spaceNone;
  default:
    return P_spaceTag;
  }
}

std::uint32_t flagOfLetter(char letter) {
  switch (letter) {
  case 'F':
    return P_flagF;
  case 'O':
    return P_flagO;
  case 'I':
    return P_flagI;
  case 'V':
    return P_flagV;
  case 'P':
    return P_flagP;
  case 'S':
    return P_flagS;
  case 'D':
    return P_flagD;
  case 'A':
    return P_flagA;
  case 'R':
    return P_flagR;
  case '1':
    return P_flag1;
  case '2':
    return P_flag2;
  case '3':
    return P_flag3;
  case '5':
    return P_flag5;
  case '7':
    return P_flag7;
  case 'G':
    return P_flagG;
  case 'T':
    return P_flagT;
  case 'U':
    return P_flagU;
  default:
    return 0;
  }
}

std::uint32_t flagsFromLetters(std::string_view letters) {
  std::uint32_t flags = 0;
  for (char letter : letters)
    flags |= flagOfLetter(letter);
  return flags;
}

// The fields of one line, kept from line to line so that reading a line
// allocates nothing once they have grown.
struct DefineFields {
  P_NameToken name;
  std::string type;
};

// Gives back the room of the fields after a long line, however reading it
// ends.
struct LongFieldsRelease {
  DefineFields &fields;
  ~LongFieldsRelease() {
    U_releaseLongScratch(fields.name.str());
    U_releaseLongScratch(fields.type);
  }
};

} // namespace

void setSymbolTableContext(SymbolTable *symbols) { contextSlot() = symbols; }

SymbolTable *symbolTableContext() { return contextSlot(); }

P_Symbol *P_findRecordSymbol(const char *name) {
  SymbolTable *symbols = symbolTableContext();
  return symbols ? P_findSymbolIn(name, *symbols) : nullptr;
}

std::uint8_t linkageFromLetter(char letter) {
  switch (letter) {
  case 'X':
    return P_linkageExternal;
  case 'N':
    return P_linkageNo;
  case '-':
    return P_linkageNone;
  default:
    return P_linkageInternal;
  }
}

DefinePtr readDefineLine(const std::string &line) {
  static DefineFields fields;
  const LongFieldsRelease release{fields};
  P_RecordFields in(line);
  // Every field starts with a value, so that nothing of a line read only in
  // part is left over from an earlier one.
  U_RefPtr<FilenameProxy> file;
  std::int32_t number = 0;
  char inclusion = '\0';
  char scope = '\0';
  char linkage = '\0';
  in.word(); // the tag
  in.name(fields.name).file(file).number(number).letter(inclusion);
  const std::string_view kind = in.word();
  const std::string_view nameSpace = in.word();
  in.letter(scope).letter(linkage).word(fields.type);
  // No source has a line before its first: a negative line is no place to
  // report a name at, nor to place an #include against.
  if (!in || number < 0 || kind.size() != 2 || kind[0] != 'D' || nameSpace.size() != 2)
    return DefinePtr();
  const std::string_view flags = in.word(); // may be missing: no flags
  return DefinePtr(
      new P_Define(internString(fields.name.str().c_str()), std::move(file), number, inclusion == 'I' ? 0 : 1,
                   kindFromCode(kind[1]), nameSpaceFromCode(nameSpace[0], nameSpace[1]),
                   static_cast<std::uint8_t>(P_decodeRecordChar(scope)), linkageFromLetter(linkage),
                   internString(fields.type.c_str()), flagsFromLetters(flags)));
}

void handleDefineRecord(const std::string &line) {
  SymbolTable *data = symbolTableContext();
  U_ASSERT(data != 0 && "Symbol table context not set.");
  const DefinePtr rec = readDefineLine(line);
  if (!rec.isSet()) {
    if (SymbolTable::showSymbolErrors())
      P_reportSkippedRecord("DEFINE");
    return;
  }
  if (noDefineListener())
    return;
  // The list of one record, in a buffer that serves every record (a
  // listener that handles a record of its own meanwhile gets another one).
  static std::vector<DefinePtr> spare;
  std::vector<DefinePtr> defines;
  defines.swap(spare);
  TemplateTable::instance().addDefine(rec, defines);
  for (const DefinePtr &def : defines) {
    const P_SymbolFiling filed = data->addDefine(def);
    notifyDefineListeners(filed.symbol, def, filed.code);
  }
  const bool noneFiled = defines.empty();
  defines.clear();
  spare.swap(defines);
  if (noneFiled || P_defineIsKindX(rec.pointer()))
    notifyTemplateDefineListeners(rec);
}

void registerDefineRunEndListener(P_RunEndListener listener) {
  defineRunEndListeners().addOnce(listener);
  registerRecordHandler("DEFINE", handleDefineRecord);
  registerRunEndListener(notifyDefineRunEndListeners);
}

void registerNewSymbolListener(P_DefineListener listener) {
  newSymbolListeners().addOnce(listener);
  registerRecordHandler("DEFINE", handleDefineRecord);
}

void registerExistingSymbolListener(P_DefineListener listener) {
  existingSymbolListeners().addOnce(listener);
  registerRecordHandler("DEFINE", handleDefineRecord);
}

void registerDefinitionListener(P_DefineListener listener) {
  definitionListeners().addOnce(listener);
  registerRecordHandler("DEFINE", handleDefineRecord);
}

void registerTemplateDefineListener(P_TemplateDefineListener listener) {
  templateDefineListeners().add(listener);
  registerRecordHandler("DEFINE", handleDefineRecord);
}

void notifyDefineRunEndListeners() { defineRunEndListeners().notify(); }

void notifyDefineListeners(const U_RefPtr<P_Symbol> &sym, const DefinePtr &define, std::uint32_t code) {
  P_ListenerList<P_DefineListener> *listeners = nullptr;
  switch (code) {
  case P_filedNewSymbol:
    listeners = &newSymbolListeners();
    break;
  case P_filedExistingSymbol:
    listeners = &existingSymbolListeners();
    break;
  case P_filedDefinition:
    listeners = &definitionListeners();
    break;
  default:
    return;
  }
  U_ASSERT((sym.isSet() && (0 != sym.pointer())) && "New symbol could not be added.");
  listeners->notify(sym.pointer(), define.pointer());
}

void notifyTemplateDefineListeners(const DefinePtr &define) {
  templateDefineListeners().notify(define.pointer());
}

// Record lines, one per input line, through the DEFINE reader: nothing may
// crash, and each line must read as stream extraction from the whole line
// reads it. A reference reader with a string stream (and the file-name token
// read a character at a time with istream::get) decides which lines give a
// define and what its fields are. The handler then files each line into the
// template and symbol tables with a listener in every list, and the listeners
// take the define apart with every accessor. A line "<UNIT>" begins another
// translation unit. At the end every define set of both tables must be in
// order without equivalent entries, every declaration set must hold at most
// one entry a place, and every symbol must hold its current declaration, its
// definition and the keys of its redeclarations among its declarations; then
// the class-tag and function walk calls its listeners with class or struct
// tags and functions only.
#include "FuzzSupport.h"

#include "anlsrslt/model/DefineAccessors.h"
#include "anlsrslt/model/EncodedName.h"
#include "anlsrslt/model/RecordTokens.h"
#include "anlsrslt/model/SymbolTable.h"
#include "anlsrslt/model/TemplateTable.h"
#include "anlsrslt/readers/ClassFunctionListeners.h"
#include "anlsrslt/readers/DefineRecord.h"
#include "foundation/QuotedToken.h"
#include "foundation/StringStore.h"
#include "support/TemplateTableReset.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {

void check(bool condition) {
  if (!condition)
    std::abort();
}

// U_QuotedToken reads the tokens of the line as the reference does, and
// leaves its stream in the same state after each.
void checkQuotedTokens(const std::string &line) {
  std::istringstream reference(line);
  std::istringstream tested(line);
  std::string expected;
  std::string token;
  for (std::size_t count = 0; count <= line.size() + 1; ++count) {
    fuzz_support::referenceFileToken(reference, expected);
    tested >> U_QuotedToken(token);
    check(token == expected);
    check(reference.rdstate() == tested.rdstate());
    if (!reference)
      return;
  }
}

void checkAgainstReference(const std::string &line) {
  std::istringstream in(line);
  std::string tag, name, fileToken, kind, nameSpace, type, flags;
  std::int32_t number = 0;
  char inclusion = '\0', scope = '\0', linkage = '\0';
  in >> tag >> name;
  fuzz_support::referenceFileToken(in, fileToken);
  in >> number >> inclusion >> kind >> nameSpace >> scope >> linkage >> type;
  const bool readable =
      static_cast<bool>(in) && number >= 0 && kind.size() == 2 && kind[0] == 'D' && nameSpace.size() == 2;
  in >> flags;

  const DefinePtr define = readDefineLine(line);
  check(define.isSet() == readable);
  if (!readable)
    return;
  U_RefPtr<FilenameProxy> file;
  P_readFilenameProxy(fileToken, file);
  check(define->m_name == internString(P_markEncodedName(name).c_str()));
  check(define->m_file == file);
  check(define->m_line == number);
  check(define->m_inMainFile == (inclusion == 'I' ? 0 : 1));
  const std::uint8_t kindBit = define->m_kind;
  check(kindBit != 0 && (kindBit & (kindBit - 1)) == 0 && kindBit <= 64);
  check(define->m_nameSpace <= 8);
  check(define->m_scope == P_decodeRecordChar(scope));
  check(define->m_linkage == linkageFromLetter(linkage));
  check(define->m_type == internString(type.c_str()));
  check((define->m_flags & ~0x1FFFFu) == 0);
  check((define->m_flags == 0) == (flags.find_first_of("FOIVPSDAR12357GTU") == std::string::npos));
}

// Every accessor of the define; none may fail on what a record can hold.
void takeApart(P_Define *define) {
  (void)P_defineFileName(define);
  (void)P_defineDisplayName(define);
  (void)P_defineIsClassOrStructTag(define);
  (void)P_defineIsEnumTag(define);
  (void)P_defineIsUnionTag(define);
  (void)P_defineHasFlagR(define);
  (void)P_defineIsTemplateInstance(define, true);
  (void)P_defineScopeName(define);
  (void)P_defineTemplateArguments(define);
  (void)P_defineParameterList(define);
  (void)P_defineLastComponent(define);
  (void)P_defineBareName(define);
  (void)P_defineNameWithoutTemplateArguments(define);
  (void)P_defineSymbolIdName(define);
  (void)P_defineUnqualifiedIdName(define);
  (void)P_defineIsConstructor(define);
  (void)P_defineIsConstructorSignature(define);
  (void)P_defineNameBeginsEqualsAt(define);
  (void)P_defineIsMain(define);
  (void)P_defineTypeIsNbOrUb(define);
  (void)P_restoreNameBytes(P_defineUnqualifiedName(define));
}

void checkOrder(const P_DefineSet &set) {
  const P_Define *previous = nullptr;
  std::size_t count = 0;
  for (const P_Define *def : set) {
    check(def && (!previous || isDefineLess(*previous, *def)));
    previous = def;
    ++count;
  }
  check(count == set.size());
}

void checkSymbol(const P_Symbol &symbol) {
  checkOrder(symbol.m_declarations);
  // One entry a place: no entry is at the place of another, and the lookup
  // of an entry's place finds that entry.
  for (const P_Define *def : symbol.m_declarations) {
    for (const P_Define *other : symbol.m_declarations)
      check(other == def || !P_isAtSamePlace(*other, *def));
    check(symbol.m_declarations.atPlace(*def) == def);
  }
  // The current declaration and the definition are entries of the set, and
  // redeclarations are filed under entries only, so that a walk over the
  // declarations reaches them all.
  check(symbol.m_declaration.isSet());
  check(symbol.m_declarations.contains(symbol.m_declaration.pointer()));
  check(!symbol.m_definition.isSet() || symbol.m_declarations.contains(symbol.m_definition.pointer()));
  if (symbol.m_redeclList)
    for (const auto &[declaration, redeclarations] : *symbol.m_redeclList) {
      check(symbol.m_declarations.contains(declaration.pointer()));
      checkOrder(redeclarations);
    }
}

void checkTemplate(const P_Template &t) {
  checkSymbol(*t.m_primary);
  const std::vector<U_RefPtr<P_Symbol>> &pending = t.pendingSymbols();
  check(pending.size() == t.m_pendingList.size());
  for (const U_RefPtr<P_Symbol> &symbol : pending)
    checkSymbol(*symbol);
  for (const U_RefPtr<P_Symbol> &symbol : t.m_settledSymbols)
    checkSymbol(*symbol);
  for (const auto &[name, place] : t.m_pendingByName) {
    (void)name;
    check(std::find(pending.begin(), pending.end(), *place) != pending.end());
  }
  check(!t.m_pendingCursor || t.m_pendingByName.count(t.m_pendingCursor) == 1);
  check(t.m_nestedTemplates.size() == t.m_nestedByName.size());
  for (const U_RefPtr<P_Template> &nested : t.m_nestedTemplates)
    checkTemplate(*nested);
}

void onSymbol(P_Symbol *symbol, P_Define *define) {
  check(symbol && symbol->define());
  takeApart(define);
}
void onTemplateDefine(P_Define *define) { takeApart(define); }
void onRunEnd() {}
void onClassOrFunction(P_Define *define, void *) {
  check(P_defineIsClassOrStructTag(define) || P_defineIsFunction(define));
  takeApart(define);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  static const bool registered = [] {
    fuzz_support::useInstallation();
    registerDefineRunEndListener(onRunEnd);
    registerNewSymbolListener(onSymbol);
    registerExistingSymbolListener(onSymbol);
    registerDefinitionListener(onSymbol);
    registerTemplateDefineListener(onTemplateDefine);
    registerClassTagListener(nullptr, onClassOrFunction);
    registerFunctionListener(nullptr, onClassOrFunction);
    return true;
  }();
  (void)registered;

  test_support::TemplateTableReset::reset();
  SymbolTable symbols;
  setSymbolTableContext(&symbols);
  fuzz_support::forEachLine(data, size, [&symbols](const std::string &line) {
    if (line == "<UNIT>") {
      symbols.clearTranslationUnit();
      return;
    }
    checkQuotedTokens(line);
    checkAgainstReference(line);
    handleDefineRecord(line);
  });
  for (const U_RefPtr<P_Symbol> &symbol : symbols.symbols())
    checkSymbol(*symbol);
  for (const U_RefPtr<P_Template> &t : TemplateTable::instance().templates())
    checkTemplate(*t);
  notifyClassAndFunctionListeners();
  setSymbolTableContext(nullptr);
  return 0;
}

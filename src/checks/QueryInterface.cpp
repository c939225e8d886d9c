#include "anlsrslt/include/QueryInterface.h"

#include "anlsrslt/model/CurrentFile.h"
#include "anlsrslt/model/DefineAccessors.h"
#include "anlsrslt/model/EncodedName.h"
#include "anlsrslt/model/IterSlots.h"
#include "anlsrslt/model/ModelLocation.h"
#include "anlsrslt/model/Symbol.h"
#include "anlsrslt/model/SymbolTable.h"
#include "anlsrslt/model/Template.h"
#include "anlsrslt/model/TemplateTable.h"
#include "anlsrslt/model/impl/IterCont.h"
#include "anlsrslt/readers/DefineRecord.h"
#include "anlsrslt/readers/RelationInclude.h"
#include "anlsrslt/readers/Source.h"
#include "anlsrslt/readers/SourceFileReader.h"
#include "checks/QueryWalk.h"
#include "foundation/Assertion.h"
#include "foundation/EncodingKind.h"
#include "foundation/Language.h"
#include "foundation/StringStore.h"
#include "foundation/TextConversion.h"

#include <string>

namespace {

// The internal text converted for the encoding code and interned.
const char *convertedForCode(const std::string &text, int encoding) {
  QL_EncodingKind kind = eceEUC;
  if (encoding == 1)
    kind = QL_defaultEncoding();
  else if (encoding != 0)
    assertFailed(__FILE_NAME__, __LINE__, "! \"Illegal encoding specified\"", true);
  return internString(QL_fromInternal(text, kind).c_str());
}

const P_Template &templateOf(const P_Template *scope) {
  U_ASSERT(0 != scope && "Dont dereference 0.");
  return *scope;
}

} // namespace

const char *PI_getAnalysedFile(int encoding) {
  return convertedForCode(P_currentFilenames().canonical().str(), encoding);
}

const char *PI_getOutputPath(int encoding) { return convertedForCode(P_outputDirectory(), encoding); }

const char *PI_displayName(const char *encodedName) { return P_displayName(encodedName); }
const char *PI_encodedFormOf(const char *displayName) { return P_encodedFormOf(displayName); }
P_Define *PI_symbolDefine(const P_Symbol *symbol) { return P_symbolDefine(symbol); }

bool PI_symbolHasRedeclarations(const P_Symbol *symbol, P_Define *declaration) {
  return P_symbolHasRedeclarations(symbol, DefinePtr(declaration));
}

P_Symbol *PI_scopeDefineGroup(const P_Template *scope) {
  U_ASSERT(0 != scope && "Dont dereference 0.");
  return scope->m_primary.pointer();
}

const char *PI_locationFileName(const P_Location *loc) {
  U_ASSERT(0 != loc && "Dont dereference 0.");
  return P_filenameTextOf(loc->m_file);
}

std::uint32_t PI_locationLine(const P_Location *loc) {
  U_ASSERT(0 != loc && "Dont dereference 0.");
  return static_cast<std::uint32_t>(loc->m_line);
}

std::uint32_t PI_locationColumn(const P_Location *loc) {
  U_ASSERT(0 != loc && "Dont dereference 0.");
  return static_cast<std::uint32_t>(loc->m_column);
}

const char *PI_sourceFileName(const P_Source *source) { return P_sourceFileName(source); }
bool PI_sourceIsAnalysedFile(const P_Source *source) { return P_sourceIsAnalysedFile(source); }

void PI_registerSourceListener(PI_SourceListener listener) { registerSourceListener(listener); }
void PI_registerRunEndListener(PI_RunEndListener listener) { registerRunEndListener(listener); }
void PI_registerDefineRunEndListener(PI_RunEndListener listener) { registerDefineRunEndListener(listener); }
void PI_registerNewSymbolListener(PI_DefineListener listener) { registerNewSymbolListener(listener); }
void PI_registerExistingSymbolListener(PI_DefineListener listener) {
  registerExistingSymbolListener(listener);
}
void PI_registerDefinitionListener(PI_DefineListener listener) { registerDefinitionListener(listener); }

std::int32_t PI_beginDefines(const P_Symbol *symbol) {
  return beginWalk<P_DefineIter>(*P_symbolDeclarations(symbol));
}

std::int32_t PI_beginRedeclarations(const P_Symbol *symbol, P_Define *declaration) {
  return beginWalk<P_DefineIter>(*P_symbolRedeclarations(symbol, DefinePtr(declaration)));
}

bool PI_definesAtEnd(std::int32_t id) { return IterCont<P_DefineIter>::instance().atEnd(id); }
P_Define *PI_currentDefine(std::int32_t id) { return IterCont<P_DefineIter>::instance().current(id); }
bool PI_nextDefine(std::int32_t id) { return IterCont<P_DefineIter>::instance().next(id); }

std::int32_t PI_beginFileDefineGroups() { return beginWalk<P_SymbolIter>(SymbolTable::instance().symbols()); }

std::int32_t PI_beginScopeFirstDefineGroups(const P_Template *scope) {
  return beginWalk<P_SymbolIter>(templateOf(scope).pendingSymbols());
}

std::int32_t PI_beginScopeDefineGroups(const P_Template *scope) {
  return beginWalk<P_SymbolIter>(templateOf(scope).m_settledSymbols);
}

bool PI_defineGroupsAtEnd(std::int32_t id) { return IterCont<P_SymbolIter>::instance().atEnd(id); }
P_Symbol *PI_currentDefineGroup(std::int32_t id) { return IterCont<P_SymbolIter>::instance().current(id); }
bool PI_nextDefineGroup(std::int32_t id) { return IterCont<P_SymbolIter>::instance().next(id); }

std::int32_t PI_beginTopScopes() { return beginWalk<P_TemplateIter>(TemplateTable::instance().templates()); }

std::int32_t PI_beginChildScopes(const P_Template *scope) {
  return beginWalk<P_TemplateIter>(templateOf(scope).m_nestedTemplates);
}

bool PI_scopesAtEnd(std::int32_t id) { return IterCont<P_TemplateIter>::instance().atEnd(id); }
P_Template *PI_currentScope(std::int32_t id) { return IterCont<P_TemplateIter>::instance().current(id); }
bool PI_nextScope(std::int32_t id) { return IterCont<P_TemplateIter>::instance().next(id); }

std::int32_t PI_beginIncludes() { return beginWalk<P_IncludeIter>(includeRelationSet()); }
bool PI_includesAtEnd(std::int32_t id) { return IterCont<P_IncludeIter>::instance().atEnd(id); }
P_IncludeRecord *PI_currentInclude(std::int32_t id) {
  return IterCont<P_IncludeIter>::instance().current(id);
}
bool PI_nextInclude(std::int32_t id) { return IterCont<P_IncludeIter>::instance().next(id); }

std::uint32_t PI_includeLine(const P_IncludeRecord *include) {
  return static_cast<std::uint32_t>(P_includeLine(include));
}
const char *PI_includeFromFileName(const P_IncludeRecord *include) { return P_includeFromFileName(include); }
const char *PI_includeToFileName(const P_IncludeRecord *include) { return P_includeToFileName(include); }
bool PI_includeHasFlagS(const P_IncludeRecord *include) { return P_includeHasFlagS(include); }

void PI_registerIncludeCollector() { registerIncludeCollector(); }

// The query interface of the compliance checks: plain functions through which
// a check registers its listeners, walks the model's collections and reads
// each model object. Objects cross as plain pointers that the model keeps
// alive; texts come back interned and live until the process ends; no member
// changes a reference count. A null object fails the assertion of the model
// operation the member hands it to.
//
// A collection is walked with an iteration id, numbered per kind of walk:
//   for (std::int32_t id = PI_beginDefines (sym); !PI_definesAtEnd (id);) {
//     P_Define *def = PI_currentDefine (id);
//     ...
//     if (PI_nextDefine (id)) break;
//   }
// next gives true on the step that reaches the end, and only then is the id
// free for another walk (the id freed last is handed out first). A walk that
// is empty from the start, or that its caller leaves early, keeps its id for
// the rest of the run. An id that was never handed out fails an assertion, as
// does next on a walk at its end.
//
// Diagnostics: anlsrslt/include/QueryDiagnostics.h; defines:
// anlsrslt/include/DefineQueries.h; option values:
// anlsrslt/include/QueryOptions.h.
#pragma once

#include <cstdint>

struct P_Define;
struct P_Symbol;
struct P_Template;
struct P_IncludeRecord;
struct P_Location;
class P_Source;

using PI_SourceListener = void (*)(const P_Source *source);
using PI_RunEndListener = void (*)();
using PI_DefineListener = void (*)(P_Symbol *symbol, P_Define *define);

// The file under analysis (in multi-file mode the cross-module analysis
// file) as its canonical name, and the output directory of the run. Encoding
// code 0 gives the internal encoding, 1 the product's default encoding (the
// form file-system calls take); any other code fails an assertion.
const char *PI_getAnalysedFile(int encoding);
const char *PI_getOutputPath(int encoding);

// Defines: the declarations of a symbol; the redeclarations filed under one
// of its declarations (which must have some: PI_symbolHasRedeclarations).
std::int32_t PI_beginDefines(const P_Symbol *symbol);
std::int32_t PI_beginRedeclarations(const P_Symbol *symbol, P_Define *declaration);
bool PI_definesAtEnd(std::int32_t id);
P_Define *PI_currentDefine(std::int32_t id); // null at the end
bool PI_nextDefine(std::int32_t id);

// Symbols ("define groups"): every symbol of the run in the order they were
// made; a template's first (pending) and second (settled instance) lists.
std::int32_t PI_beginFileDefineGroups();
std::int32_t PI_beginScopeFirstDefineGroups(const P_Template *scope);
std::int32_t PI_beginScopeDefineGroups(const P_Template *scope);
bool PI_defineGroupsAtEnd(std::int32_t id);
P_Symbol *PI_currentDefineGroup(std::int32_t id); // null at the end
bool PI_nextDefineGroup(std::int32_t id);

// Templates ("scopes"): every template of the template table; the templates
// nested in one.
std::int32_t PI_beginTopScopes();
std::int32_t PI_beginChildScopes(const P_Template *scope);
bool PI_scopesAtEnd(std::int32_t id);
P_Template *PI_currentScope(std::int32_t id); // null at the end
bool PI_nextScope(std::int32_t id);

// Include records of every record file read, grouped by including file.
std::int32_t PI_beginIncludes();
bool PI_includesAtEnd(std::int32_t id);
P_IncludeRecord *PI_currentInclude(std::int32_t id); // null at the end
bool PI_nextInclude(std::int32_t id);

// Include records.
std::uint32_t PI_includeLine(const P_IncludeRecord *include);
const char *PI_includeFromFileName(const P_IncludeRecord *include);
const char *PI_includeToFileName(const P_IncludeRecord *include);
bool PI_includeHasFlagS(const P_IncludeRecord *include);

// Names and symbols.
// The display form of a name in marked form.
const char *PI_displayName(const char *encodedName);
// The marked form of a name in display form.
const char *PI_encodedFormOf(const char *displayName);
// The symbol's representative define: its definition, else its current
// declaration.
P_Define *PI_symbolDefine(const P_Symbol *symbol);
// Whether a set of redeclarations is filed under the declaration.
bool PI_symbolHasRedeclarations(const P_Symbol *symbol, P_Define *declaration);
// The template's own primary symbol.
P_Symbol *PI_scopeDefineGroup(const P_Template *scope);

// Locations (made by PI_diagnosticLocation); each asserts a location.
const char *PI_locationFileName(const P_Location *location);
std::uint32_t PI_locationLine(const P_Location *location);
std::uint32_t PI_locationColumn(const P_Location *location);

// Sources, as the per-source listeners get them.
const char *PI_sourceFileName(const P_Source *source);
bool PI_sourceIsAnalysedFile(const P_Source *source);

// Registrations. Each list holds a function once; registering the first
// listener of a record kind switches on the reading of that kind.
// A function called with each input file before its record file is read.
void PI_registerSourceListener(PI_SourceListener listener);
// A function called once after the last input file.
void PI_registerRunEndListener(PI_RunEndListener listener);
// A function called at the end of the run after the other end-of-run
// listeners, in registration order; switches on "DEFINE" records.
void PI_registerDefineRunEndListener(PI_RunEndListener listener);
// Functions called as a define makes a new symbol, joins the program-wide
// symbol of its id, or is a definition; each switches on "DEFINE" records.
void PI_registerNewSymbolListener(PI_DefineListener listener);
void PI_registerExistingSymbolListener(PI_DefineListener listener);
void PI_registerDefinitionListener(PI_DefineListener listener);
// Keeps every include record of the run for PI_beginIncludes; switches on
// "R" records.
void PI_registerIncludeCollector();

// The define queries of the query interface: each reads one field of a
// define, tests one or gives one form of its name. Each asserts that the
// define is not null ("Dont dereference 0."). Names are in marked form unless
// said otherwise; texts are interned and live until the process ends.
#pragma once

#include <cstdint>

struct P_Define;

// Fields and forms of the name.
const char *PI_defineFileName(const P_Define *def);
std::uint32_t PI_defineLine(const P_Define *def);
const char *PI_defineName(const P_Define *def);
const char *PI_defineType(const P_Define *def);
// The name with every template argument list removed.
const char *PI_defineNameWithoutTemplateArguments(const P_Define *def);
// The qualifier before the last top-level "::"; empty when none.
const char *PI_defineScopeName(const P_Define *def);
// The template argument list of the last component; empty when none.
const char *PI_defineTemplateArguments(const P_Define *def);
// The text inside a final parameter slot list; empty when none.
const char *PI_defineParameterList(const P_Define *def);
// The last component; for a function with its template arguments and slots.
const char *PI_defineUnqualifiedName(const P_Define *def);
// For a function the symbol id text of the name (of the unqualified name);
// otherwise the name (the unqualified name).
const char *PI_defineSymbolIdName(const P_Define *def);
const char *PI_defineUnqualifiedIdName(const P_Define *def);
// The last component with its template arguments.
const char *PI_defineLastComponent(const P_Define *def);
// The last component cut before its template arguments and slot list.
const char *PI_defineBareName(const P_Define *def);

// Kinds.
bool PI_defineIsDeclaration(const P_Define *def);
bool PI_defineIsDefinition(const P_Define *def);
bool PI_defineIsImplicit(const P_Define *def);
bool PI_defineIsSpecialisation(const P_Define *def);
bool PI_defineIsKindP(const P_Define *def);
bool PI_defineIsKindX(const P_Define *def);
// Template class 4, 8, 16 or 32: the name or a scope carries template
// arguments, or flag 0x10000 is set.
bool PI_defineIsTemplateRelated(const P_Define *def);
// The record came from an included file (inclusion letter 'I').
bool PI_defineIsInIncludedFile(const P_Define *def);

// Give their argument back unchanged.
P_Define *PI_defineIdentity(P_Define *def);
P_Define *PI_defineIdentity2(P_Define *def);

// Constructors and special names.
bool PI_defineIsConstructor(const P_Define *def);
bool PI_defineIsConstructorSignature(const P_Define *def);
bool PI_defineNameBeginsEqualsAt(const P_Define *def);
// A function "main" of external linkage outside any scope.
bool PI_defineIsMain(const P_Define *def);
// The type text is "nb" or "ub".
bool PI_defineTypeIsNbOrUb(const P_Define *def);
// Both defines name the same file and line.
bool PI_isSameDefinePlace(const P_Define *a, const P_Define *b);

// Linkages.
bool PI_defineHasExternalLinkage(const P_Define *def);
bool PI_defineHasInternalLinkage(const P_Define *def);

// Name spaces.
bool PI_defineIsClassOrStructTag(const P_Define *def);
bool PI_defineIsStructTag(const P_Define *def);
bool PI_defineIsUnionTag(const P_Define *def);
bool PI_defineIsEnumerator(const P_Define *def);
bool PI_defineIsFunction(const P_Define *def);
bool PI_defineIsMacro(const P_Define *def);
bool PI_defineIsLabel(const P_Define *def);
bool PI_defineIsMember(const P_Define *def);
bool PI_defineIsTag(const P_Define *def);
bool PI_defineIsTypedef(const P_Define *def);
bool PI_defineIsObject(const P_Define *def);

// Scopes.
bool PI_defineHasBlockScope(const P_Define *def);
bool PI_defineHasClassScope(const P_Define *def);
bool PI_defineHasFileScope(const P_Define *def);
bool PI_defineHasNamespaceScope(const P_Define *def);
bool PI_defineHasPrototypeScope(const P_Define *def);
bool PI_defineHasTemplateScope(const P_Define *def);

// Flag letters.
bool PI_defineHasFlagS(const P_Define *def);
bool PI_defineHasFlagA(const P_Define *def);
bool PI_defineHasFlagF(const P_Define *def);
bool PI_defineHasFlagI(const P_Define *def);
bool PI_defineHasFlagO(const P_Define *def);
bool PI_defineHasFlagD(const P_Define *def);
bool PI_defineHasFlagP(const P_Define *def);
bool PI_defineHasFlagR(const P_Define *def);
bool PI_defineHasFlagV(const P_Define *def);
bool PI_defineHasFlag1(const P_Define *def);
bool PI_defineHasFlag2(const P_Define *def);
bool PI_defineHasFlag3(const P_Define *def);
bool PI_defineHasFlag5(const P_Define *def);
bool PI_defineHasFlag7(const P_Define *def);
bool PI_defineHasFlagG(const P_Define *def);
bool PI_defineHasFlagT(const P_Define *def);
bool PI_defineHasFlagU(const P_Define *def);

// Composite tests.
// A declaration that is not implicit.
bool PI_defineIsPlainDeclaration(const P_Define *def);
// An object that is not a member, or is of class scope.
bool PI_defineIsVariable(const P_Define *def);
// A member that is not of class scope (defined outside its class).
bool PI_defineIsMemberOutsideClass(const P_Define *def);
// Flag V without flag P.
bool PI_defineHasFlagVWithoutP(const P_Define *def);

// The define accessors: plain functions that read one field of a define,
// test one, or give one derived form of its name. The query interface hands
// them on to the checks; the tables of the model make the same tests.
//
// Each asserts that the define is not null ("Dont dereference 0."). Texts are
// interned and live until the process ends; names are in marked form.
#pragma once

#include "anlsrslt/model/Define.h"

#include <cstdint>

// Fields.
const char *P_defineFileName(const P_Define *def);
std::int32_t P_defineLine(const P_Define *def);
const char *P_defineName(const P_Define *def);
const char *P_defineType(const P_Define *def);
// The display form of the name.
const char *P_defineDisplayName(const P_Define *def);
// The record was read from an included file (inclusion letter 'I').
bool P_defineIsInIncludedFile(const P_Define *def);

// Kind bits.
bool P_defineIsDeclaration(const P_Define *def);
bool P_defineIsDefinition(const P_Define *def);
bool P_defineIsKindR(const P_Define *def);
bool P_defineIsKindS(const P_Define *def);
bool P_defineIsImplicit(const P_Define *def);
bool P_defineIsKindX(const P_Define *def);
bool P_defineIsKindP(const P_Define *def);
// Kind bit 8, 32 or 64.
bool P_defineIsSpecialisation(const P_Define *def);

// Name spaces.
bool P_defineIsLabel(const P_Define *def);
bool P_defineIsTag(const P_Define *def);
bool P_defineIsTypedef(const P_Define *def);
bool P_defineIsFunction(const P_Define *def);
bool P_defineIsEnumerator(const P_Define *def);
bool P_defineIsMacro(const P_Define *def);
// A variable or a member.
bool P_defineIsObject(const P_Define *def);
// A member, or anything of class scope.
bool P_defineIsMember(const P_Define *def);

// The kind of a class tag's type text: '{' and a letter, at least four
// characters in all. A type text that is null, shorter or not braced is no
// class tag, and every tag test below answers false for it.
enum ClassTagKind : int {
  P_notAClassTag = -1,
  P_tagClass = 0, // 'c' and every unlisted letter
  P_tagStruct = 1,
  P_tagUnion = 2,
  P_tagEnum = 3,
};
ClassTagKind classTagKind(const char *type);

// Tags (name space 1) of a class tag kind.
bool P_defineIsClassOrStructTag(const P_Define *def);
bool P_defineIsStructTag(const P_Define *def);
bool P_defineIsUnionTag(const P_Define *def);
bool P_defineIsEnumTag(const P_Define *def);

// Scopes.
bool P_defineHasFileScope(const P_Define *def);
bool P_defineHasBlockScope(const P_Define *def);
bool P_defineHasPrototypeScope(const P_Define *def);
bool P_defineHasClassScope(const P_Define *def);
bool P_defineHasTemplateScope(const P_Define *def);
bool P_defineHasNamespaceScope(const P_Define *def);

// Linkages; a linkage letter outside the table reads as internal.
bool P_defineHasExternalLinkage(const P_Define *def);
bool P_defineHasInternalLinkage(const P_Define *def);

// Flag bits, one per flag letter.
bool P_defineHasFlagF(const P_Define *def);
bool P_defineHasFlagO(const P_Define *def);
bool P_defineHasFlagI(const P_Define *def);
bool P_defineHasFlagV(const P_Define *def);
bool P_defineHasFlagP(const P_Define *def);
bool P_defineHasFlagS(const P_Define *def);
bool P_defineHasFlagD(const P_Define *def);
bool P_defineHasFlagA(const P_Define *def);
bool P_defineHasFlag1(const P_Define *def);
bool P_defineHasFlag2(const P_Define *def);
bool P_defineHasFlag3(const P_Define *def);
bool P_defineHasFlag5(const P_Define *def);
bool P_defineHasFlag7(const P_Define *def);
bool P_defineHasFlagG(const P_Define *def);
bool P_defineHasFlagT(const P_Define *def);
bool P_defineHasFlagU(const P_Define *def);
// Flag R, which every define of prototype scope has as well.
bool P_defineHasFlagR(const P_Define *def);

// The template class (P_templateClassOf of name, type and flags), computed on
// first use and kept in the define.
std::uint8_t P_defineTemplateClass(const P_Define *def);
// Template class 4, 8, 16 or 32.
bool P_defineIsTemplateRelated(const P_Define *def);
// Template class 4 or 16; with also, 8 and 32 as well.
bool P_defineIsTemplateInstance(const P_Define *def, bool also);

// Derived forms of the name, each computed once per (name, type) and kept.
// The qualifier before the last top-level "::"; empty when none.
const char *P_defineScopeName(const P_Define *def);
// The marked template argument list of the last component; empty when none.
const char *P_defineTemplateArguments(const P_Define *def);
// The text inside a final marked slot list; empty when none.
const char *P_defineParameterList(const P_Define *def);
// For a function, everything after the last top-level ':' (template
// arguments and slot list included); for any other define the last
// component. Functions and others are cached apart, so a function and a
// variable of one name and type each get their own form.
const char *P_defineUnqualifiedName(const P_Define *def);
// The last component with its template arguments, for every name space
// (P_lastNameComponent: a name without "::" is cut as well).
const char *P_defineLastComponent(const P_Define *def);
// The last component cut before its template arguments and slot list
// (P_bareNameComponent: a name without "::" is cut as well).
const char *P_defineBareName(const P_Define *def);

// The name with every marked template argument list removed.
const char *P_defineNameWithoutTemplateArguments(const P_Define *def);
// For a function, the symbol id text of the name (return slot blanked);
// otherwise the name.
const char *P_defineSymbolIdName(const P_Define *def);
// For a function, the symbol id text of the unqualified name; otherwise the
// unqualified name.
const char *P_defineUnqualifiedIdName(const P_Define *def);

// The unqualified name begins with '@' and its display form begins with
// "@constructor" (with "@constructor(,") and is longer.
bool P_defineIsConstructor(const P_Define *def);
bool P_defineIsConstructorSignature(const P_Define *def);
// The display form of the unqualified name begins with "=@" and is longer.
bool P_defineNameBeginsEqualsAt(const P_Define *def);
// A function "main" of external linkage outside any scope.
bool P_defineIsMain(const P_Define *def);
// The type text is "nb" or "ub".
bool P_defineTypeIsNbOrUb(const P_Define *def);
// Both defines name the same file proxy and line.
bool P_isSameDefinePlace(const P_Define *a, const P_Define *b);

// Whether the display form of a marked name begins with the prefix and is
// longer than it.
bool P_displayNameStartsWith(const char *marked, const char *prefix);
// The display form of a marked name text.
const char *P_displayFormOf(const char *marked);
// The interned marked form of a name in display form.
const char *P_encodedFormOf(const char *display);

#include "anlsrslt/include/DefineQueries.h"

#include "anlsrslt/model/DefineAccessors.h"

// Each query hands the define to the model's accessor of the same name.
#define PI_DEFINE_QUERY(Result, Name)                                                                        \
  Result PI_##Name(const P_Define *def) { return P_##Name(def); }

PI_DEFINE_QUERY(const char *, defineFileName)
PI_DEFINE_QUERY(const char *, defineName)
PI_DEFINE_QUERY(const char *, defineType)
PI_DEFINE_QUERY(const char *, defineNameWithoutTemplateArguments)
PI_DEFINE_QUERY(const char *, defineScopeName)
PI_DEFINE_QUERY(const char *, defineTemplateArguments)
PI_DEFINE_QUERY(const char *, defineParameterList)
PI_DEFINE_QUERY(const char *, defineUnqualifiedName)
PI_DEFINE_QUERY(const char *, defineSymbolIdName)
PI_DEFINE_QUERY(const char *, defineUnqualifiedIdName)
PI_DEFINE_QUERY(const char *, defineLastComponent)
PI_DEFINE_QUERY(const char *, defineBareName)

PI_DEFINE_QUERY(bool, defineIsDeclaration)
PI_DEFINE_QUERY(bool, defineIsDefinition)
PI_DEFINE_QUERY(bool, defineIsImplicit)
PI_DEFINE_QUERY(bool, defineIsSpecialisation)
PI_DEFINE_QUERY(bool, defineIsKindP)
PI_DEFINE_QUERY(bool, defineIsKindX)
PI_DEFINE_QUERY(bool, defineIsTemplateRelated)
PI_DEFINE_QUERY(bool, defineIsInIncludedFile)

PI_DEFINE_QUERY(bool, defineIsConstructor)
PI_DEFINE_QUERY(bool, defineIsConstructorSignature)
PI_DEFINE_QUERY(bool, defineNameBeginsEqualsAt)
PI_DEFINE_QUERY(bool, defineIsMain)
PI_DEFINE_QUERY(bool, defineTypeIsNbOrUb)

PI_DEFINE_QUERY(bool, defineHasExternalLinkage)
PI_DEFINE_QUERY(bool, defineHasInternalLinkage)

PI_DEFINE_QUERY(bool, defineIsClassOrStructTag)
PI_DEFINE_QUERY(bool, defineIsStructTag)
PI_DEFINE_QUERY(bool, defineIsUnionTag)
PI_DEFINE_QUERY(bool, defineIsEnumerator)
PI_DEFINE_QUERY(bool, defineIsFunction)
PI_DEFINE_QUERY(bool, defineIsMacro)
PI_DEFINE_QUERY(bool, defineIsLabel)
PI_DEFINE_QUERY(bool, defineIsMember)
PI_DEFINE_QUERY(bool, defineIsTag)
PI_DEFINE_QUERY(bool, defineIsTypedef)
PI_DEFINE_QUERY(bool, defineIsObject)

PI_DEFINE_QUERY(bool, defineHasBlockScope)
PI_DEFINE_QUERY(bool, defineHasClassScope)
PI_DEFINE_QUERY(bool, defineHasFileScope)
PI_DEFINE_QUERY(bool, defineHasNamespaceScope)
PI_DEFINE_QUERY(bool, defineHasPrototypeScope)
PI_DEFINE_QUERY(bool, defineHasTemplateScope)

PI_DEFINE_QUERY(bool, defineHasFlagS)
PI_DEFINE_QUERY(bool, defineHasFlagA)
PI_DEFINE_QUERY(bool, defineHasFlagF)
PI_DEFINE_QUERY(bool, defineHasFlagI)
PI_DEFINE_QUERY(bool, defineHasFlagO)
PI_DEFINE_QUERY(bool, defineHasFlagD)
PI_DEFINE_QUERY(bool, defineHasFlagP)
PI_DEFINE_QUERY(bool, defineHasFlagR)
PI_DEFINE_QUERY(bool, defineHasFlagV)
PI_DEFINE_QUERY(bool, defineHasFlag1)
PI_DEFINE_QUERY(bool, defineHasFlag2)
PI_DEFINE_QUERY(bool, defineHasFlag3)
PI_DEFINE_QUERY(bool, defineHasFlag5)
PI_DEFINE_QUERY(bool, defineHasFlag7)
PI_DEFINE_QUERY(bool, defineHasFlagG)
PI_DEFINE_QUERY(bool, defineHasFlagT)
PI_DEFINE_QUERY(bool, defineHasFlagU)

#undef PI_DEFINE_QUERY

std::uint32_t PI_defineLine(const P_Define *def) { return static_cast<std::uint32_t>(P_defineLine(def)); }

P_Define *PI_defineIdentity(P_Define *def) { return def; }
P_Define *PI_defineIdentity2(P_Define *def) { return def; }

bool PI_isSameDefinePlace(const P_Define *a, const P_Define *b) { return P_isSameDefinePlace(a, b); }

bool PI_defineIsPlainDeclaration(const P_Define *def) {
  return PI_defineIsDeclaration(def) && !PI_defineIsImplicit(def);
}

bool PI_defineIsVariable(const P_Define *def) {
  return PI_defineIsObject(def) && (!PI_defineIsMember(def) || PI_defineHasClassScope(def));
}

bool PI_defineIsMemberOutsideClass(const P_Define *def) {
  return PI_defineIsMember(def) && !PI_defineHasClassScope(def);
}

bool PI_defineHasFlagVWithoutP(const P_Define *def) {
  return PI_defineHasFlagV(def) && !PI_defineHasFlagP(def);
}

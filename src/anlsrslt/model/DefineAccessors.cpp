#include "anlsrslt/model/DefineAccessors.h"

#include "anlsrslt/model/EncodedName.h"
#include "foundation/Assertion.h"
#include "foundation/StringStore.h"

#include <cstring>
#include <functional>
#include <string>
#include <unordered_map>
#include <utility>

namespace {

const P_Define *checked(const P_Define *def) {
  U_ASSERT(0 != def && "Dont dereference 0.");
  return def;
}

bool hasKind(const P_Define *def, std::uint8_t bits) { return (checked(def)->m_kind & bits) != 0; }
bool inNameSpace(const P_Define *def, std::uint8_t space) { return checked(def)->m_nameSpace == space; }
bool inScope(const P_Define *def, std::uint8_t scope) { return checked(def)->m_scope == scope; }
bool hasFlag(const P_Define *def, std::uint32_t bit) { return (checked(def)->m_flags & bit) != 0; }

bool isTagOfKind(const P_Define *def, ClassTagKind kind) {
  return inNameSpace(def, P_spaceTag) && classTagKind(def->m_type) == kind;
}

// A derived name form per (name, type), both interned and so keyed by address.
struct NamePairHash {
  std::size_t operator()(const std::pair<const char *, const char *> &key) const {
    const std::size_t first = std::hash<const void *>()(key.first);
    return first ^
           (std::hash<const void *>()(key.second) + 0x9E3779B97F4A7C15u + (first << 6) + (first >> 2));
  }
};
using NameFormCache = std::unordered_map<std::pair<const char *, const char *>, const char *, NamePairHash>;
using NameForm = std::string (*)(const std::string &marked);

// The form of the define's name that compute gives, interned, computed on the
// first miss of the cache and kept.
const char *cachedDefineNameForm(NameFormCache &cache, const P_Define *def, NameForm compute) {
  const std::pair<const char *, const char *> key(def->m_name, def->m_type);
  auto found = cache.find(key);
  if (found != cache.end())
    return found->second;
  const char *form = internString(compute(def->m_name).c_str());
  cache.emplace(key, form);
  return form;
}

// One cache per accessor, made with its first use.
template <NameForm compute> const char *cachedForm(const P_Define *def) {
  static NameFormCache cache;
  return cachedDefineNameForm(cache, checked(def), compute);
}

const char *interned(const std::string &text) { return internString(text.c_str()); }

} // namespace

const char *P_defineFileName(const P_Define *def) { return P_filenameTextOf(checked(def)->m_file); }
std::int32_t P_defineLine(const P_Define *def) { return checked(def)->m_line; }
const char *P_defineName(const P_Define *def) { return checked(def)->m_name; }
const char *P_defineType(const P_Define *def) { return checked(def)->m_type; }
const char *P_defineDisplayName(const P_Define *def) { return P_displayName(checked(def)->m_name); }
bool P_defineIsInIncludedFile(const P_Define *def) { return checked(def)->m_inMainFile == 0; }

bool P_defineIsDeclaration(const P_Define *def) { return hasKind(def, P_kindDeclaration); }
bool P_defineIsDefinition(const P_Define *def) { return hasKind(def, P_kindDefinition); }
bool P_defineIsKindR(const P_Define *def) { return hasKind(def, P_kindRedeclaration); }
bool P_defineIsKindS(const P_Define *def) { return hasKind(def, P_kindSpecialisation); }
bool P_defineIsImplicit(const P_Define *def) { return hasKind(def, P_kindImplicit); }
bool P_defineIsKindX(const P_Define *def) { return hasKind(def, P_kindX); }
bool P_defineIsKindP(const P_Define *def) { return hasKind(def, P_kindP); }
bool P_defineIsSpecialisation(const P_Define *def) {
  return hasKind(def, P_kindSpecialisation | P_kindX | P_kindP);
}

bool P_defineIsLabel(const P_Define *def) { return inNameSpace(def, P_spaceLabel); }
bool P_defineIsTag(const P_Define *def) { return inNameSpace(def, P_spaceTag); }
bool P_defineIsTypedef(const P_Define *def) { return inNameSpace(def, P_spaceTypedef); }
bool P_defineIsFunction(const P_Define *def) { return inNameSpace(def, P_spaceFunction); }
bool P_defineIsEnumerator(const P_Define *def) { return inNameSpace(def, P_spaceEnumerator); }
bool P_defineIsMacro(const P_Define *def) { return inNameSpace(def, P_spaceMacro); }
bool P_defineIsObject(const P_Define *def) {
  return inNameSpace(def, P_spaceVariable) || inNameSpace(def, P_spaceMember);
}
bool P_defineIsMember(const P_Define *def) {
  return inNameSpace(def, P_spaceMember) || inScope(def, P_scopeClass);
}

ClassTagKind classTagKind(const char *type) {
  if (!type || std::strlen(type) <= 3 || type[0] != '{')
    return P_notAClassTag;
  switch (type[1]) {
  case 's':
    return P_tagStruct;
  case 'u':
    return P_tagUnion;
  case 'e':
    return P_tagEnum;
  default:
    return P_tagClass;
  }
}

bool P_defineIsClassOrStructTag(const P_Define *def) {
  return isTagOfKind(def, P_tagClass) || isTagOfKind(def, P_tagStruct);
}
bool P_defineIsStructTag(const P_Define *def) { return isTagOfKind(def, P_tagStruct); }
bool P_defineIsUnionTag(const P_Define *def) { return isTagOfKind(def, P_tagUnion); }
bool P_defineIsEnumTag(const P_Define *def) { return isTagOfKind(def, P_tagEnum); }

bool P_defineHasFileScope(const P_Define *def) { return inScope(def, P_scopeFile); }
bool P_defineHasBlockScope(const P_Define *def) { return inScope(def, P_scopeBlock); }
bool P_defineHasPrototypeScope(const P_Define *def) { return inScope(def, P_scopePrototype); }
bool P_defineHasClassScope(const P_Define *def) { return inScope(def, P_scopeClass); }
bool P_defineHasTemplateScope(const P_Define *def) { return inScope(def, P_scopeTemplate); }
bool P_defineHasNamespaceScope(const P_Define *def) { return inScope(def, P_scopeNamespace); }

bool P_defineHasExternalLinkage(const P_Define *def) { return checked(def)->m_linkage == P_linkageExternal; }
bool P_defineHasInternalLinkage(const P_Define *def) { return checked(def)->m_linkage == P_linkageInternal; }

bool P_defineHasFlagF(const P_Define *def) { return hasFlag(def, P_flagF); }
bool P_defineHasFlagO(const P_Define *def) { return hasFlag(def, P_flagO); }
bool P_defineHasFlagI(const P_Define *def) { return hasFlag(def, P_flagI); }
bool P_defineHasFlagV(const P_Define *def) { return hasFlag(def, P_flagV); }
bool P_defineHasFlagP(const P_Define *def) { return hasFlag(def, P_flagP); }
bool P_defineHasFlagS(const P_Define *def) { return hasFlag(def, P_flagS); }
bool P_defineHasFlagD(const P_Define *def) { return hasFlag(def, P_flagD); }
bool P_defineHasFlagA(const P_Define *def) { return hasFlag(def, P_flagA); }
bool P_defineHasFlag1(const P_Define *def) { return hasFlag(def, P_flag1); }
bool P_defineHasFlag2(const P_Define *def) { return hasFlag(def, P_flag2); }
bool P_defineHasFlag3(const P_Define *def) { return hasFlag(def, P_flag3); }
bool P_defineHasFlag5(const P_Define *def) { return hasFlag(def, P_flag5); }
bool P_defineHasFlag7(const P_Define *def) { return hasFlag(def, P_flag7); }
bool P_defineHasFlagG(const P_Define *def) { return hasFlag(def, P_flagG); }
bool P_defineHasFlagT(const P_Define *def) { return hasFlag(def, P_flagT); }
bool P_defineHasFlagU(const P_Define *def) { return hasFlag(def, P_flagU); }
bool P_defineHasFlagR(const P_Define *def) { return hasFlag(def, P_flagR) || inScope(def, P_scopePrototype); }

std::uint8_t P_defineTemplateClass(const P_Define *def) {
  checked(def);
  if (def->m_templateClass == P_templateClassUnknown)
    def->m_templateClass = P_templateClassOf(def->m_name, def->m_type, def->m_flags);
  return def->m_templateClass;
}

bool P_defineIsTemplateRelated(const P_Define *def) {
  const std::uint8_t templateClass = P_defineTemplateClass(def);
  return templateClass == 4 || templateClass == 8 || templateClass == 16 || templateClass == 32;
}

bool P_defineIsTemplateInstance(const P_Define *def, bool also) {
  const std::uint8_t templateClass = P_defineTemplateClass(def);
  return templateClass == 4 || templateClass == 16 || (also && (templateClass == 8 || templateClass == 32));
}

const char *P_defineScopeName(const P_Define *def) { return cachedForm<P_enclosingScopeName>(def); }
const char *P_defineTemplateArguments(const P_Define *def) { return cachedForm<P_templateArguments>(def); }
const char *P_defineParameterList(const P_Define *def) { return cachedForm<P_parameterSlots>(def); }
const char *P_defineUnqualifiedName(const P_Define *def) {
  // The form depends on the name space as well as on the name: functions and
  // other defines keep their forms in separate caches.
  if (P_defineIsFunction(def))
    return cachedForm<P_unqualifiedName>(def);
  return cachedForm<P_lastNameComponent>(def);
}
const char *P_defineLastComponent(const P_Define *def) { return cachedForm<P_lastNameComponent>(def); }
const char *P_defineBareName(const P_Define *def) { return cachedForm<P_bareNameComponent>(def); }

const char *P_defineNameWithoutTemplateArguments(const P_Define *def) {
  return P_stripTemplateArguments(checked(def)->m_name);
}

const char *P_defineSymbolIdName(const P_Define *def) {
  if (!P_defineIsFunction(def))
    return def->m_name;
  return interned(P_normaliseSymbolName(def->m_name));
}

const char *P_defineUnqualifiedIdName(const P_Define *def) {
  const char *unqualified = P_defineUnqualifiedName(def);
  if (!P_defineIsFunction(def))
    return unqualified;
  return interned(P_normaliseSymbolName(unqualified));
}

bool P_displayNameStartsWith(const char *marked, const char *prefix) {
  const char *display = P_displayName(marked);
  const std::size_t length = std::strlen(prefix);
  return std::strlen(display) > length && std::strncmp(display, prefix, length) == 0;
}

bool P_defineIsConstructor(const P_Define *def) {
  const char *unqualified = P_defineUnqualifiedName(def);
  return unqualified[0] == '@' && P_displayNameStartsWith(unqualified, "@constructor");
}

bool P_defineIsConstructorSignature(const P_Define *def) {
  const char *unqualified = P_defineUnqualifiedName(def);
  return unqualified[0] == '@' && P_displayNameStartsWith(unqualified, "@constructor(,");
}

bool P_defineNameBeginsEqualsAt(const P_Define *def) {
  return P_displayNameStartsWith(P_defineUnqualifiedName(def), "=@");
}

bool P_defineIsMain(const P_Define *def) {
  return std::strcmp(P_defineLastComponent(def), "main") == 0 && P_defineIsFunction(def) &&
         P_defineHasExternalLinkage(def) && P_defineScopeName(def)[0] == '\0';
}

bool P_defineTypeIsNbOrUb(const P_Define *def) {
  const char *type = checked(def)->m_type;
  return type && (type[0] == 'n' || type[0] == 'u') && type[1] == 'b' && type[2] == '\0';
}

bool P_isSameDefinePlace(const P_Define *a, const P_Define *b) {
  return checked(a)->m_file == checked(b)->m_file && a->m_line == b->m_line;
}

const char *P_displayFormOf(const char *marked) { return P_displayName(marked); }

const char *P_encodedFormOf(const char *display) { return P_encodeName(display ? display : ""); }

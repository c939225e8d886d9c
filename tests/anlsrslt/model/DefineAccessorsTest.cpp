#include "anlsrslt/model/DefineAccessors.h"

#include "anlsrslt/model/EncodedName.h"
#include "foundation/FileIdentity.h"
#include "foundation/StringStore.h"

#include <gtest/gtest.h>
#include <string>

namespace {

// The fields of a define that a test sets; the rest as a plain variable.
struct Fields {
  std::string name = "::x"; // encoded, marked when made
  std::uint8_t nameSpace = P_spaceVariable;
  std::uint8_t scope = P_scopeFile;
  std::uint8_t linkage = P_linkageExternal;
  std::string type = "ni";
  std::uint32_t flags = 0;
  std::uint8_t kind = P_kindDefinition;
  std::uint8_t inMainFile = 1;
  std::string file = "/s/a.c";
  std::int32_t line = 7;
};

DefinePtr make(const Fields &f) {
  return DefinePtr(new P_Define(P_encodeName(f.name), P_filenameProxyFor(QL_Filename::fromPath(f.file)),
                                f.line, f.inMainFile, f.kind, f.nameSpace, f.scope, f.linkage,
                                internString(f.type.c_str()), f.flags));
}

DefinePtr named(const std::string &name, std::uint8_t nameSpace, const std::string &type = "ni") {
  Fields f;
  f.name = name;
  f.nameSpace = nameSpace;
  f.type = type;
  return make(f);
}

std::string shown(const char *marked) { return P_unmarkName(marked); }

TEST(DefineAccessorsTest, Fields) {
  Fields f;
  f.name = "::A<int>::f(v)";
  f.type = "v";
  f.inMainFile = 0;
  const DefinePtr define = make(f);
  const P_Define *def = define.pointer();
  EXPECT_STREQ("/s/a.c", P_defineFileName(def));
  EXPECT_EQ(7, P_defineLine(def));
  EXPECT_EQ(P_encodeName("::A<int>::f(v)"), P_defineName(def));
  EXPECT_EQ(internString("v"), P_defineType(def));
  EXPECT_STREQ("::A<int>::f(v)", P_defineDisplayName(def));
  EXPECT_TRUE(P_defineIsInIncludedFile(def));
  f.inMainFile = 1;
  EXPECT_FALSE(P_defineIsInIncludedFile(make(f).pointer()));
}

TEST(DefineAccessorsTest, KindBits) {
  const struct {
    std::uint8_t kind;
    bool declaration, definition, r, s, implicit, x, p, specialisation;
  } cases[] = {
      {1, true, false, false, false, false, false, false, false},
      {2, false, true, false, false, false, false, false, false},
      {3, true, true, false, false, false, false, false, false},
      {4, false, false, true, false, false, false, false, false},
      {8, false, false, false, true, false, false, false, true},
      {16, false, false, false, false, true, false, false, false},
      {32, false, false, false, false, false, true, false, true},
      {64, false, false, false, false, false, false, true, true},
  };
  for (const auto &c : cases) {
    Fields f;
    f.kind = c.kind;
    const DefinePtr define = make(f);
    const P_Define *def = define.pointer();
    EXPECT_EQ(c.declaration, P_defineIsDeclaration(def)) << int(c.kind);
    EXPECT_EQ(c.definition, P_defineIsDefinition(def)) << int(c.kind);
    EXPECT_EQ(c.r, P_defineIsKindR(def)) << int(c.kind);
    EXPECT_EQ(c.s, P_defineIsKindS(def)) << int(c.kind);
    EXPECT_EQ(c.implicit, P_defineIsImplicit(def)) << int(c.kind);
    EXPECT_EQ(c.x, P_defineIsKindX(def)) << int(c.kind);
    EXPECT_EQ(c.p, P_defineIsKindP(def)) << int(c.kind);
    EXPECT_EQ(c.specialisation, P_defineIsSpecialisation(def)) << int(c.kind);
  }
}

// Each row: the name space and scope, and the tests that hold (L label, T
// tag, Y typedef, F function, E enumerator, M macro, O object, B member).
TEST(DefineAccessorsTest, NameSpacesAndScopes) {
  const struct {
    std::uint8_t nameSpace, scope;
    std::string holds;
  } cases[] = {
      {0, 1, "L"}, {1, 1, "T"}, {2, 1, "OB"}, {3, 1, "Y"},  {4, 1, "F"},  {5, 1, "E"},
      {6, 1, "M"}, {7, 1, "O"}, {8, 1, ""},   {7, 4, "OB"}, {4, 4, "FB"},
  };
  for (const auto &c : cases) {
    Fields f;
    f.nameSpace = c.nameSpace;
    f.scope = c.scope;
    const DefinePtr define = make(f);
    const P_Define *def = define.pointer();
    std::string holds;
    const std::pair<char, bool> tests[] = {
        {'L', P_defineIsLabel(def)},    {'T', P_defineIsTag(def)},        {'Y', P_defineIsTypedef(def)},
        {'F', P_defineIsFunction(def)}, {'E', P_defineIsEnumerator(def)}, {'M', P_defineIsMacro(def)},
        {'O', P_defineIsObject(def)},   {'B', P_defineIsMember(def)},
    };
    for (const auto &[letter, result] : tests)
      if (result)
        holds += letter;
    EXPECT_EQ(c.holds, holds) << "name space " << int(c.nameSpace) << ", scope " << int(c.scope);
  }

  // One scope test per scope code; none for 0, 6 and 8.
  for (std::uint8_t scope = 0; scope <= 8; ++scope) {
    Fields f;
    f.scope = scope;
    const DefinePtr define = make(f);
    const P_Define *def = define.pointer();
    const std::string holds =
        std::string(P_defineHasFileScope(def) ? "1" : "") + (P_defineHasBlockScope(def) ? "2" : "") +
        (P_defineHasPrototypeScope(def) ? "3" : "") + (P_defineHasClassScope(def) ? "4" : "") +
        (P_defineHasTemplateScope(def) ? "5" : "") + (P_defineHasNamespaceScope(def) ? "7" : "");
    const std::string expected = (scope == 0 || scope == 6 || scope == 8) ? "" : std::to_string(scope);
    EXPECT_EQ(expected, holds) << "scope " << int(scope);
  }
}

TEST(DefineAccessorsTest, ClassTags) {
  const struct {
    std::string type;
    ClassTagKind kind;
  } cases[] = {
      {"{c::A}", P_tagClass}, {"{s::A}", P_tagStruct},   {"{u::A}", P_tagUnion},  {"{e::A}", P_tagEnum},
      {"{x::A}", P_tagClass}, {"{s::}", P_tagStruct},    {"{s:", P_notAClassTag}, {"{s}", P_notAClassTag},
      {"", P_notAClassTag},   {"s::A}", P_notAClassTag}, {"ni", P_notAClassTag},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(c.kind, classTagKind(c.type.c_str())) << c.type;
    const DefinePtr tag = named("::A", P_spaceTag, c.type);
    const P_Define *def = tag.pointer();
    EXPECT_EQ(c.kind == P_tagClass || c.kind == P_tagStruct, P_defineIsClassOrStructTag(def)) << c.type;
    EXPECT_EQ(c.kind == P_tagStruct, P_defineIsStructTag(def)) << c.type;
    EXPECT_EQ(c.kind == P_tagUnion, P_defineIsUnionTag(def)) << c.type;
    EXPECT_EQ(c.kind == P_tagEnum, P_defineIsEnumTag(def)) << c.type;
    // Only tags are class tags.
    const DefinePtr typedefDefine = named("::A", P_spaceTypedef, c.type);
    EXPECT_FALSE(P_defineIsClassOrStructTag(typedefDefine.pointer())) << c.type;
    EXPECT_FALSE(P_defineIsEnumTag(typedefDefine.pointer())) << c.type;
  }
  EXPECT_EQ(P_notAClassTag, classTagKind(nullptr));
}

TEST(DefineAccessorsTest, LinkagesAndFlags) {
  const struct {
    std::uint8_t linkage;
    bool external, internal;
  } linkages[] = {{0, false, true}, {1, true, false}, {2, false, false}, {3, false, false}};
  for (const auto &c : linkages) {
    Fields f;
    f.linkage = c.linkage;
    const DefinePtr define = make(f);
    EXPECT_EQ(c.external, P_defineHasExternalLinkage(define.pointer())) << int(c.linkage);
    EXPECT_EQ(c.internal, P_defineHasInternalLinkage(define.pointer())) << int(c.linkage);
  }

  using FlagTest = bool (*)(const P_Define *);
  const struct {
    FlagTest test;
    std::uint32_t bit;
  } flags[] = {
      {P_defineHasFlagF, 0x1},    {P_defineHasFlagO, 0x2},     {P_defineHasFlagI, 0x4},
      {P_defineHasFlagV, 0x8},    {P_defineHasFlagP, 0x10},    {P_defineHasFlagS, 0x20},
      {P_defineHasFlagD, 0x40},   {P_defineHasFlagA, 0x80},    {P_defineHasFlagR, 0x100},
      {P_defineHasFlag1, 0x200},  {P_defineHasFlag2, 0x400},   {P_defineHasFlag3, 0x800},
      {P_defineHasFlag5, 0x1000}, {P_defineHasFlag7, 0x2000},  {P_defineHasFlagG, 0x4000},
      {P_defineHasFlagT, 0x8000}, {P_defineHasFlagU, 0x10000},
  };
  for (const auto &c : flags) {
    Fields f;
    f.flags = c.bit;
    const DefinePtr with = make(f);
    f.flags = 0x1FFFF & ~c.bit;
    const DefinePtr without = make(f);
    EXPECT_TRUE(c.test(with.pointer())) << std::hex << c.bit;
    EXPECT_FALSE(c.test(without.pointer())) << std::hex << c.bit;
  }
  // Every prototype-scope define has flag R.
  Fields f;
  f.scope = P_scopePrototype;
  EXPECT_TRUE(P_defineHasFlagR(make(f).pointer()));
}

TEST(DefineAccessorsTest, TemplateClass) {
  const struct {
    std::string name;
    std::uint32_t flags;
    std::uint8_t templateClass;
    bool related, instance, instanceAlso;
  } cases[] = {
      {"::f", 0, 2, false, false, false},         {"::A<int>", 0, 16, true, true, true},
      {"::A<int>", 0x10000, 4, true, true, true}, {"::A", 0x10000, 8, true, false, true},
      {"::A<int>::f", 0, 32, true, false, true},
  };
  for (const auto &c : cases) {
    Fields f;
    f.name = c.name;
    f.flags = c.flags;
    const DefinePtr define = make(f);
    const P_Define *def = define.pointer();
    EXPECT_EQ(P_templateClassUnknown, def->m_templateClass) << c.name;
    EXPECT_EQ(c.related, P_defineIsTemplateRelated(def)) << c.name;
    EXPECT_EQ(c.templateClass, def->m_templateClass) << c.name << ": kept in the define";
    EXPECT_EQ(c.templateClass, P_defineTemplateClass(def)) << c.name;
    EXPECT_EQ(c.instance, P_defineIsTemplateInstance(def, false)) << c.name;
    EXPECT_EQ(c.instanceAlso, P_defineIsTemplateInstance(def, true)) << c.name;
  }
  // The kept class is not computed again.
  const DefinePtr define = named("::f", P_spaceFunction);
  define->m_templateClass = 16;
  EXPECT_TRUE(P_defineIsTemplateInstance(define.pointer(), false));
}

TEST(DefineAccessorsTest, NameForms) {
  const struct {
    std::string name;
    std::uint8_t nameSpace;
    // Display forms of scope, template arguments, parameter list,
    // unqualified, last component, bare name, name without template
    // arguments, symbol id and unqualified id.
    std::string scope, arguments, parameters, unqualified, last, bare, stripped, id, unqualifiedId;
  } cases[] = {
      {"::ns::A<int>::f(ni,pc)", P_spaceFunction, "::ns::A<int>", "", "ni,pc", "f(ni,pc)", "f", "f",
       "::ns::A::f(ni,pc)", "::ns::A<int>::f( ,pc)", "f( ,pc)"},
      {"::ns::A<int>::f(ni,pc)", P_spaceVariable, "::ns::A<int>", "", "ni,pc", "f", "f", "f",
       "::ns::A::f(ni,pc)", "::ns::A<int>::f(ni,pc)", "f"},
      {"::ns::Map<K,V>", P_spaceTag, "::ns", "<K,V>", "", "Map<K,V>", "Map<K,V>", "Map", "::ns::Map",
       "::ns::Map<K,V>", "Map<K,V>"},
      {"x", P_spaceVariable, "", "", "", "x", "x", "x", "x", "x", "x"},
      // Without a leading "::" the last component and the bare name are cut
      // before the slot list and the template arguments all the same.
      {"f(ni,pc)", P_spaceFunction, "", "", "ni,pc", "f(ni,pc)", "f", "f", "f(ni,pc)", "f( ,pc)", "f( ,pc)"},
      {"Map<K,V>", P_spaceTag, "", "<K,V>", "", "Map<K,V>", "Map<K,V>", "Map", "Map", "Map<K,V>", "Map<K,V>"},
      {"Map<K,V>::f(v)", P_spaceFunction, "Map<K,V>", "", "v", "f(v)", "f", "f", "Map::f(v)",
       "Map<K,V>::f( )", "f( )"},
  };
  for (const auto &c : cases) {
    const DefinePtr define = named(c.name, c.nameSpace);
    const P_Define *def = define.pointer();
    const std::string where = c.name + " in name space " + std::to_string(c.nameSpace);
    EXPECT_EQ(c.scope, shown(P_defineScopeName(def))) << where;
    EXPECT_EQ(c.arguments, shown(P_defineTemplateArguments(def))) << where;
    EXPECT_EQ(c.parameters, shown(P_defineParameterList(def))) << where;
    EXPECT_EQ(c.unqualified, shown(P_defineUnqualifiedName(def))) << where;
    EXPECT_EQ(c.last, shown(P_defineLastComponent(def))) << where;
    EXPECT_EQ(c.bare, shown(P_defineBareName(def))) << where;
    EXPECT_EQ(c.stripped, shown(P_defineNameWithoutTemplateArguments(def))) << where;
    EXPECT_EQ(c.id, shown(P_defineSymbolIdName(def))) << where;
    EXPECT_EQ(c.unqualifiedId, shown(P_defineUnqualifiedIdName(def))) << where;
    // Interned, and the same pointer on every call.
    EXPECT_EQ(internString(P_defineUnqualifiedName(def)), P_defineUnqualifiedName(def)) << where;
    EXPECT_EQ(P_defineScopeName(def), P_defineScopeName(def)) << where;
  }
}

// A function and a variable of one name and type each get their own
// unqualified name, whichever is asked first.
TEST(DefineAccessorsTest, UnqualifiedNamesOfFunctionsAndOthersAreCachedApart) {
  const DefinePtr function = named("::g(v)", P_spaceFunction, "v");
  const DefinePtr variable = named("::g(v)", P_spaceVariable, "v");
  EXPECT_EQ("g(v)", shown(P_defineUnqualifiedName(function.pointer())));
  EXPECT_EQ("g", shown(P_defineUnqualifiedName(variable.pointer())));

  const DefinePtr otherFirst = named("::h(v)", P_spaceVariable, "v");
  const DefinePtr functionSecond = named("::h(v)", P_spaceFunction, "v");
  EXPECT_EQ("h", shown(P_defineUnqualifiedName(otherFirst.pointer())));
  EXPECT_EQ("h(v)", shown(P_defineUnqualifiedName(functionSecond.pointer())));
}

TEST(DefineAccessorsTest, DisplayPrefixes) {
  const struct {
    std::string name;
    bool constructor, signature, equalsAt;
  } cases[] = {
      {"::ns::Box<int>::@constructor(,ni)", true, true, false},
      {"::Box::@constructor(ni)", true, false, false},
      {"::Box::@constructor", false, false, false}, // the display form must be longer than the prefix
      {"::Box::@destructor()", false, false, false},
      {"::Box::=@x(v)", false, false, true},
      {"::Box::=@", false, false, false},
  };
  for (const auto &c : cases) {
    const DefinePtr define = named(c.name, P_spaceFunction);
    EXPECT_EQ(c.constructor, P_defineIsConstructor(define.pointer())) << c.name;
    EXPECT_EQ(c.signature, P_defineIsConstructorSignature(define.pointer())) << c.name;
    EXPECT_EQ(c.equalsAt, P_defineNameBeginsEqualsAt(define.pointer())) << c.name;
  }
  EXPECT_TRUE(P_displayNameStartsWith(P_encodeName("::a<b>"), "::a<"));
  EXPECT_FALSE(P_displayNameStartsWith(P_encodeName("::a"), "::a"));
  EXPECT_STREQ("::a<b>", P_displayFormOf(P_encodedFormOf("::a<b>")));
  EXPECT_EQ(P_encodeName("::a<b>"), P_encodedFormOf("::a<b>"));
}

TEST(DefineAccessorsTest, MainAndOtherTests) {
  const struct {
    std::string name;
    std::uint8_t nameSpace, linkage;
    bool isMain;
  } cases[] = {
      {"main", P_spaceFunction, P_linkageExternal, true},
      {"::main(ni)", P_spaceFunction, P_linkageExternal, true},
      {"main(ni)", P_spaceFunction, P_linkageExternal, true},
      {"main(ni)", P_spaceFunction, P_linkageInternal, false},
      {"main(ni)", P_spaceVariable, P_linkageExternal, false},
      {"main<int>(ni)", P_spaceFunction, P_linkageExternal, false},
      {"::main", P_spaceFunction, P_linkageExternal, true},
      {"::ns::main(ni)", P_spaceFunction, P_linkageExternal, false},
      {"main", P_spaceFunction, P_linkageInternal, false},
      {"main", P_spaceVariable, P_linkageExternal, false},
      {"mains", P_spaceFunction, P_linkageExternal, false},
  };
  for (const auto &c : cases) {
    Fields f;
    f.name = c.name;
    f.nameSpace = c.nameSpace;
    f.linkage = c.linkage;
    EXPECT_EQ(c.isMain, P_defineIsMain(make(f).pointer())) << c.name;
  }

  for (const auto &[type, nbOrUb] : {std::pair<std::string, bool>{"nb", true},
                                     {"ub", true},
                                     {"xb", false},
                                     {"nbx", false},
                                     {"n", false},
                                     {"", false}}) {
    const DefinePtr define = named("::x", P_spaceVariable, type);
    EXPECT_EQ(nbOrUb, P_defineTypeIsNbOrUb(define.pointer())) << type;
  }

  Fields here;
  const DefinePtr a = make(here);
  const DefinePtr b = make(here);
  here.line = 8;
  const DefinePtr otherLine = make(here);
  here.line = 7;
  here.file = "/s/b.c";
  const DefinePtr otherFile = make(here);
  EXPECT_TRUE(P_isSameDefinePlace(a.pointer(), b.pointer()));
  EXPECT_FALSE(P_isSameDefinePlace(a.pointer(), otherLine.pointer()));
  EXPECT_FALSE(P_isSameDefinePlace(a.pointer(), otherFile.pointer()));
}

TEST(DefineAccessorsTest, CopiesAndMergedFlags) {
  Fields f;
  f.name = "::A<int>";
  f.flags = P_flagS;
  const DefinePtr define = make(f);
  P_defineTemplateClass(define.pointer());
  const DefinePtr copy(new P_Define(*define));
  EXPECT_EQ(P_templateClassUnknown, copy->m_templateClass) << "a copy starts the template class afresh";
  EXPECT_EQ(define->m_name, copy->m_name);
  EXPECT_EQ(define->m_file, copy->m_file);
  EXPECT_EQ(3u, define->m_file->referenceCount()) << "the proxy map, the define and its copy";
  f.flags = P_flagU;
  copy->mergeFlags(make(f).pointer());
  copy->mergeFlags(nullptr);
  EXPECT_EQ(P_flagS | P_flagU, copy->m_flags);
}

TEST(DefineAccessorsTest, NullDefines) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(P_defineName(nullptr), "Dont dereference 0.");
  EXPECT_DEATH(P_defineUnqualifiedName(nullptr), "Dont dereference 0.");
  EXPECT_DEATH(P_defineIsTemplateRelated(nullptr), "Dont dereference 0.");
}

} // namespace

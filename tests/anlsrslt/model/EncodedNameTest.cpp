#include "anlsrslt/model/EncodedName.h"

#include "foundation/StringStore.h"

#include <gtest/gtest.h>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

// Marker bytes, written apart so that a following letter is never read as a
// hex digit of the escape.
#define M8C "\x8C"
#define M8D "\x8D"
#define M8E "\x8E"
#define M8F "\x8F"
#define M90 "\x90"

namespace {

// Marker bytes shown as the brackets they stand for, for failure messages.
std::string shown(const std::string &text) {
  std::string result;
  for (unsigned char c : text) {
    if (c >= 0x80) {
      static const char digits[] = "0123456789ABCDEF";
      result += '[';
      result += digits[c >> 4];
      result += digits[c & 15];
      result += ']';
    } else {
      result += static_cast<char>(c);
    }
  }
  return result;
}

struct WorkedExample {
  std::string encoded;
  std::string marked;
  std::string symbolId;
  std::string unqualified;
  std::string lastComponent;
  std::string bare;
  std::string enclosingScope;
  std::string templateArguments;
  std::string parameterSlots;
  std::string stripped;
  std::string display;
  int templateClass;      // flag 0x10000 clear
  int templateClassFlagU; // flag 0x10000 set
};

const WorkedExample workedExamples[] = {
    {"::ns::Box<int>::put(.,ni)", "::ns::Box" M8C "int" M8D "::put" M8E "." M90 "ni" M8F,
     "::ns::Box" M8C "int" M8D "::put" M8E " " M90 "ni" M8F, "put" M8E "." M90 "ni" M8F, "put", "put",
     "::ns::Box" M8C "int" M8D, "", "." M90 "ni", "::ns::Box::put" M8E "." M90 "ni" M8F,
     "::ns::Box<int>::put(.,ni)", 32, 8},
    // Only the outermost brackets are marked; the tag 's' becomes 'c'.
    {"::ns::Box<{s::Pair<ni,ni>}>", "::ns::Box" M8C "{c::Pair<ni,ni>}" M8D,
     "::ns::Box" M8C "{c::Pair<ni,ni>}" M8D, "Box" M8C "{c::Pair<ni,ni>}" M8D,
     "Box" M8C "{c::Pair<ni,ni>}" M8D, "Box", "::ns", M8C "{c::Pair<ni,ni>}" M8D, "", "::ns::Box",
     "::ns::Box<{c::Pair<ni,ni>}>", 16, 4},
    // A constructor's empty return slot also becomes one blank.
    {"::ns::Box<int>::@constructor(,ni)", "::ns::Box" M8C "int" M8D "::@constructor" M8E M90 "ni" M8F,
     "::ns::Box" M8C "int" M8D "::@constructor" M8E " " M90 "ni" M8F, "@constructor" M8E M90 "ni" M8F,
     "@constructor", "@constructor", "::ns::Box" M8C "int" M8D, "", M90 "ni",
     "::ns::Box::@constructor" M8E M90 "ni" M8F, "::ns::Box<int>::@constructor(,ni)", 32, 8},
    // Parentheses and commas nested in a slot stay plain.
    {"::g(p(ni,ni),ni)", "::g" M8E "p(ni,ni)" M90 "ni" M8F, "::g" M8E " " M90 "ni" M8F,
     "g" M8E "p(ni,ni)" M90 "ni" M8F, "g", "g", "", "", "p(ni,ni)" M90 "ni",
     "::g" M8E "p(ni,ni)" M90 "ni" M8F, "::g(p(ni,ni),ni)", 2, 8},
    // With no marked ',' the whole slot list becomes one blank.
    {"::f(ni)", "::f" M8E "ni" M8F, "::f" M8E " " M8F, "f" M8E "ni" M8F, "f", "f", "", "", "ni",
     "::f" M8E "ni" M8F, "::f(ni)", 2, 8},
    // A listed code keeps its '@'.
    {"::@UN7::g(.)", "::@UN7::g" M8E "." M8F, "::@UN7::g" M8E " " M8F, "g" M8E "." M8F, "g", "g", "::@UN7",
     "", ".", "::@UN7::g" M8E "." M8F, "::@UN7::g(.)", 2, 8},
    // An unlisted code loses its closing '@', in the display form too.
    {"::@xy@::v", "::@xy::v", "::@xy::v", "v", "v", "v", "::@xy", "", "", "::@xy::v", "::@xy::v", 2, 8},
    {"::new[](p.,ui)", "::new[]" M8E "p." M90 "ui" M8F, "::new[]" M8E " " M90 "ui" M8F,
     "new[]" M8E "p." M90 "ui" M8F, "new[]", "new[]", "", "", "p." M90 "ui", "::new[]" M8E "p." M90 "ui" M8F,
     "::new[](p.,ui)", 2, 8},
    {"::A<B<C>>::D", "::A" M8C "B<C>" M8D "::D", "::A" M8C "B<C>" M8D "::D", "D", "D", "D",
     "::A" M8C "B<C>" M8D, "", "", "::A::D", "::A<B<C>>::D", 32, 8},
};

TEST(EncodedNameTest, WorkedExamples) {
  for (const WorkedExample &c : workedExamples) {
    const std::string marked = P_markEncodedName(c.encoded);
    ASSERT_EQ(shown(c.marked), shown(marked)) << c.encoded;
    EXPECT_EQ(shown(c.symbolId), shown(P_normaliseSymbolName(marked))) << c.encoded;
    EXPECT_EQ(shown(c.unqualified), shown(P_unqualifiedName(marked))) << c.encoded;
    EXPECT_EQ(shown(c.lastComponent), shown(P_lastComponent(marked))) << c.encoded;
    EXPECT_EQ(shown(c.bare), shown(P_bareName(marked))) << c.encoded;
    EXPECT_EQ(shown(c.enclosingScope), shown(P_enclosingScopeName(marked))) << c.encoded;
    EXPECT_EQ(shown(c.templateArguments), shown(P_templateArguments(marked))) << c.encoded;
    EXPECT_EQ(shown(c.parameterSlots), shown(P_parameterSlots(marked))) << c.encoded;
    EXPECT_EQ(shown(c.stripped), shown(P_stripTemplateArguments(marked))) << c.encoded;
    EXPECT_EQ(c.display, P_unmarkName(marked)) << c.encoded;
    EXPECT_EQ(c.templateClass, P_templateClassOf(marked.c_str(), "ni", 0)) << c.encoded;
    EXPECT_EQ(c.templateClassFlagU, P_templateClassOf(marked.c_str(), nullptr, 0x10000)) << c.encoded;
    EXPECT_EQ(!c.parameterSlots.empty(), P_hasParameterSlots(marked)) << c.encoded;
    EXPECT_EQ(marked, P_restoreNameBytes(marked)) << "ASCII names hold no kept name bytes: " << c.encoded;

    // The forms taking a type give what the one-argument forms give.
    const std::string type = "{s::T}";
    EXPECT_EQ(P_normaliseSymbolName(marked), P_normaliseSymbolName(marked, type)) << c.encoded;
    EXPECT_EQ(P_unqualifiedName(marked), P_unqualifiedName(marked, type)) << c.encoded;
    EXPECT_EQ(P_lastComponent(marked), P_lastComponent(marked, type)) << c.encoded;
    EXPECT_EQ(P_bareName(marked), P_bareName(marked, type)) << c.encoded;
    EXPECT_EQ(P_templateArguments(marked), P_templateArguments(marked, type)) << c.encoded;
    EXPECT_EQ(P_enclosingScopeName(marked), P_enclosingScopeName(marked, type)) << c.encoded;
    EXPECT_EQ(P_parameterSlots(marked), P_parameterSlots(marked, type)) << c.encoded;
    EXPECT_EQ(P_scopeHasTemplateArguments(marked), P_scopeHasTemplateArguments(marked, type)) << c.encoded;
  }
}

// Marking alone, over the rows of the marking machine that the worked
// examples do not reach.
TEST(EncodedNameTest, MarkingMachine) {
  const struct {
    std::string encoded;
    std::string marked;
  } cases[] = {
      {"", ""},
      {"plain", "plain"},
      {"::f(ni", "::f" M8E "ni"}, // left open: nothing closes it
      {"::f(ni))", "::f" M8E "ni" M8F ")"},
      {"::T<a>b>", "::T" M8C "a" M8D "b>"}, // '>' outside a list passes
      {"a,b>c)", "a,b>c)"},
      {"::f(a,(b,c),d)", "::f" M8E "a" M90 "(b,c)" M90 "d" M8F},
      {"::T<f(a,b)>", "::T" M8C "f(a,b)" M8D}, // nothing is marked inside a list
      {"::T<{s::S}>::f({s::S},s)", "::T" M8C "{c::S}" M8D "::f" M8E "{c::S}" M90 "s" M8F},
      {"{s::ns::sum}", "{c::ns::sum}"}, // identifiers after "::" keep their 's'
      {"{ss<s>}", "{cc<s>}"},           // a list opened in braces is not marked
      {"::@a<b@::v", "::@a<b::v"},      // no marking inside an unlisted code
      {"::@x{s}@::v", "::@x{c}::v"},    // braces inside an unlisted code
      {"::@@x", "::@x"},                // an empty unlisted code
      {"::@", "::@"},                   // too short for a listed prefix
      {"::@c", "::@c"},
      {"::@co", "::@co"},
      {"::@FuncTempParam1<T>", "::@FuncTempParam1" M8C "T" M8D},
      {"::@dp::x", "::@dp::x"},
      {"::@unnamed1::f(a)", "::@unnamed1::f" M8E "a" M8F},
      {"::@BLOCK3::x", "::@BLOCK3::x"},
      {"::@prx::x", "::@prx::x"},
      {"::@Cl::x", "::@Cl::x"},
      {"::@de::x", "::@de::x"},
      {"::@q<x>@", "::@q<x>"},
      {"::operator<(a,b)", "::operator" M8C "(a,b)"}, // the '<' opens a list that takes the rest
      {"::x::", "::x::"},
      {"a:b(c)", "a:b" M8E "c" M8F}, // a single ':' starts no component
      {"::a[b]", "::a[b]"},
      {"::new[]", "::new[]"},
  };
  for (const auto &c : cases)
    EXPECT_EQ(shown(c.marked), shown(P_markEncodedName(c.encoded))) << c.encoded;
}

TEST(EncodedNameTest, UnbalancedAndEmptyNames) {
  // A dangling 0x8E keeps the scan's slot switch on: no top-level ':'.
  const std::string open = P_markEncodedName("::f(ni");
  EXPECT_EQ(open, P_unqualifiedName(open));
  EXPECT_EQ(open, P_lastComponent(open));
  EXPECT_EQ(open, P_bareName(open));
  EXPECT_EQ("", P_enclosingScopeName(open));
  EXPECT_EQ("", P_parameterSlots(open));
  EXPECT_FALSE(P_hasParameterSlots(open));
  EXPECT_EQ(open, P_normaliseSymbolName(open));
  EXPECT_EQ("::f(ni", P_unmarkName(open));

  const std::string empty = P_markEncodedName("");
  EXPECT_EQ("", empty);
  EXPECT_EQ("", P_unmarkName(empty));
  EXPECT_EQ("", P_normaliseSymbolName(empty));
  EXPECT_EQ("", P_parameterSlots(empty));
  EXPECT_FALSE(P_hasParameterSlots(empty));
  EXPECT_EQ(2, P_templateClassOf("", "", 0));
  EXPECT_EQ(2, P_templateClassOf(nullptr, nullptr, 0));

  // A name without ':' is its own last component and bare name.
  EXPECT_EQ("x", P_lastComponent("x"));
  EXPECT_EQ("x", P_bareName("x"));
  EXPECT_EQ("", P_enclosingScopeName("x"));
  EXPECT_EQ("", P_enclosingScopeName(":x")) << "the ':' is the first byte";
}

// The brace switch flips at each brace instead of counting depth: after two
// closing braces it is off again, so a ':' inside nested braces is top-level.
TEST(EncodedNameTest, BraceSwitchFlips) {
  const std::string name = "::a{{c::b}}";
  EXPECT_EQ(name, P_markEncodedName(name));
  EXPECT_EQ("b}}", P_unqualifiedName(name));
  EXPECT_EQ("::a{{c", P_enclosingScopeName(name));
  // One level of braces hides its ':'.
  EXPECT_EQ("a{c::b}", P_unqualifiedName("::a{c::b}"));
}

// The define accessors' forms (P_lastNameComponent, P_bareNameComponent) cut
// a name without a top-level ':' as well; with one they are the same but for
// a marked '>' that closes no list of the component.
TEST(EncodedNameTest, LastComponentAndBareNameAroundAtSigns) {
  const struct {
    std::string marked;
    std::string lastComponent;
    std::string bare;
    std::string lastNameComponent;
    std::string bareNameComponent;
  } cases[] = {
      {"::f@" M8C "int" M8D "x", "f@" M8C "int" M8D "x", "f@", "f@" M8C "int" M8D "x", "f@"},
      {"::f@" M8C "a" M8C "b", "f@" M8C "a", "f@", "f@" M8C "a", "f@"}, // no 0x8D follows
      {"::f@g", "f@", "f@", "f@", "f@"},
      {"::@g@h", "@g@", "@g@", "@g@", "@g@"},
      {"::T" M8C "a" M8D M8C "b" M8D, "T" M8C "a" M8D, "T", "T" M8C "a" M8D, "T"},
      {"::T" M8C "a" M8C "b", "T", "T", "T", "T"}, // an opening without its close ends the walk
      {"::x" M8D "y" M8C, "x" M8D, "x" M8D "y", "x", "x" M8D "y"},
      {"::f" M8E "a" M8F, "f", "f", "f", "f"},
      // No top-level ':'.
      {"f" M8E "ni" M8F, "f" M8E "ni" M8F, "f" M8E "ni" M8F, "f", "f"},
      {"T" M8C "a" M8D "x" M8E M8F, "T" M8C "a" M8D "x" M8E M8F, "T" M8C "a" M8D "x" M8E M8F, "T" M8C "a" M8D,
       "T"},
      {"f@g", "f@g", "f@g", "f@", "f@"},
      {"@g" M8C "a" M8D, "@g" M8C "a" M8D, "@g" M8C "a" M8D, "@g" M8C "a" M8D, "@g"},
      {"x", "x", "x", "x", "x"},
      {"", "", "", "", ""},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(shown(c.lastComponent), shown(P_lastComponent(c.marked))) << shown(c.marked);
    EXPECT_EQ(shown(c.bare), shown(P_bareName(c.marked))) << shown(c.marked);
    EXPECT_EQ(shown(c.lastNameComponent), shown(P_lastNameComponent(c.marked))) << shown(c.marked);
    EXPECT_EQ(shown(c.bareNameComponent), shown(P_bareNameComponent(c.marked))) << shown(c.marked);
  }
}

TEST(EncodedNameTest, TemplateArgumentsBelongToTheLastComponent) {
  const struct {
    std::string marked;
    std::string arguments;
    bool scopeHasArguments;
    std::string stripped;
  } cases[] = {
      {"::A" M8C "int" M8D "::B", "", true, "::A::B"},
      {"::A" M8C "int" M8D "::B" M8C "char" M8D "::c", "", true, "::A::B::c"},
      {"::A::B" M8C "char" M8D, M8C "char" M8D, false, "::A::B"},
      {"::A" M8C "x" M8D "::B" M8C "y" M8D, M8C "y" M8D, true, "::A::B"},
      {"::A" M8C "open", "", false, "::A" M8C "open"},
      {"::A" M8D "x" M8C, "", false, "::A" M8D "x" M8C},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(shown(c.arguments), shown(P_templateArguments(c.marked))) << shown(c.marked);
    EXPECT_EQ(c.scopeHasArguments, P_scopeHasTemplateArguments(c.marked)) << shown(c.marked);
    EXPECT_EQ(shown(c.stripped), shown(P_stripTemplateArguments(c.marked))) << shown(c.marked);
  }
  EXPECT_EQ(internString("::A::B"), P_stripTemplateArguments("::A" M8C "int" M8D "::B"));
}

TEST(EncodedNameTest, SymbolIdsIgnoreTheReturnSlot) {
  const std::string a = P_markEncodedName("::f(ni,pc)");
  const std::string b = P_markEncodedName("::f(v,pc)");
  EXPECT_NE(a, b);
  EXPECT_EQ(P_normaliseSymbolName(a), P_normaliseSymbolName(b));
  EXPECT_NE(P_normaliseSymbolName(a), P_normaliseSymbolName(P_markEncodedName("::f(ni,ni)")));
  std::string reused = "left over";
  P_normaliseSymbolNameInto(a, reused);
  EXPECT_EQ(P_normaliseSymbolName(a), reused);
}

TEST(EncodedNameTest, DisplayNamesAreCachedAndInterned) {
  const std::string marked = P_markEncodedName("::cache::Box<int>::get(ni)");
  const char *first = P_displayName(marked.c_str());
  EXPECT_STREQ("::cache::Box<int>::get(ni)", first);
  EXPECT_EQ(first, P_displayName(std::string(marked).c_str())) << "the same text gives the same pointer";
  EXPECT_EQ(internString("::cache::Box<int>::get(ni)"), first);
  EXPECT_STREQ("", P_displayName(nullptr));
  std::string reused = "left over";
  P_unmarkNameInto(marked, reused);
  EXPECT_STREQ(first, reused.c_str());
}

TEST(EncodedNameTest, EncodeNameInternsTheMarkedForm) {
  const char *encoded = P_encodeName("::ns::Box<int>::put(.,ni)");
  EXPECT_EQ(internString("::ns::Box" M8C "int" M8D "::put" M8E "." M90 "ni" M8F), encoded);
  EXPECT_EQ(encoded, P_encodeName("::ns::Box<int>::put(.,ni)"));
  EXPECT_EQ(internString(""), P_encodeName(""));
}

// Half-width katakana (0x8E and a byte) and JIS X 0212 characters (0x8F and
// two bytes) are EUC characters, not markers: they survive every operation
// and come back in the display form.
#define KANA                                                                                                 \
  "\x8E\xB6"                                                                                                 \
  "\x8E\xC5"
#define KANA2                                                                                                \
  "\x8E\xB6"                                                                                                 \
  "\x8E\xC6"
#define HOJO "\x8F\xB0\xA1"
#define KANJI "\xB4\xC1"

TEST(EncodedNameTest, EucNamesKeepTheirBytes) {
  const struct {
    std::string encoded;
    std::string unqualified; // with its name bytes given back, markers as they are
    std::string bare;
    std::string enclosingScope;
    std::string parameterSlots;
    std::string symbolId;
  } cases[] = {
      {"::ns::" KANA, KANA, KANA, "::ns", "", "::ns::" KANA},
      {"::" KANA "::" HOJO, HOJO, HOJO, "::" KANA, "", "::" KANA "::" HOJO},
      {"::f" HOJO "(" KANA "," HOJO ")", "f" HOJO M8E KANA M90 HOJO M8F, "f" HOJO, "", KANA M90 HOJO,
       "::f" HOJO M8E " " M90 HOJO M8F},
      // A component that does not begin with an identifier character is passed
      // whole up to the next '@', so nothing after it is marked.
      {"::" HOJO "(v)", HOJO "(v)", HOJO "(v)", "", "", "::" HOJO "(v)"},
      {"::Box<" KANA ">::f(v," KANJI ")", "f" M8E "v" M90 KANJI M8F, "f", "::Box" M8C KANA M8D, "v" M90 KANJI,
       "::Box" M8C KANA M8D "::f" M8E " " M90 KANJI M8F},
      {"::f(" KANA ")", "f" M8E KANA M8F, "f", "", KANA, "::f" M8E " " M8F},
      {"::f(" HOJO "," KANA ")", "f" M8E HOJO M90 KANA M8F, "f", "", HOJO M90 KANA,
       "::f" M8E " " M90 KANA M8F},
  };
  for (const auto &c : cases) {
    const std::string marked = P_markEncodedName(c.encoded);
    EXPECT_EQ(shown(c.encoded), shown(P_unmarkName(marked))) << shown(c.encoded);
    EXPECT_STREQ(c.encoded.c_str(), P_displayName(marked.c_str())) << shown(c.encoded);
    EXPECT_EQ(shown(c.unqualified), shown(P_restoreNameBytes(P_unqualifiedName(marked)))) << shown(c.encoded);
    EXPECT_EQ(shown(c.bare), shown(P_restoreNameBytes(P_bareName(marked)))) << shown(c.encoded);
    EXPECT_EQ(shown(c.enclosingScope), shown(P_restoreNameBytes(P_enclosingScopeName(marked))))
        << shown(c.encoded);
    EXPECT_EQ(shown(c.parameterSlots), shown(P_restoreNameBytes(P_parameterSlots(marked))))
        << shown(c.encoded);
    EXPECT_EQ(shown(c.symbolId), shown(P_restoreNameBytes(P_normaliseSymbolName(marked))))
        << shown(c.encoded);
  }

  // Names that differ in one katakana character have different symbol ids.
  EXPECT_NE(P_normaliseSymbolName(P_markEncodedName("::" KANA "(v)")),
            P_normaliseSymbolName(P_markEncodedName("::" KANA2 "(v)")));
  EXPECT_EQ(2, P_templateClassOf(P_encodeName("::ns::" KANA), "", 0));
  EXPECT_EQ(16, P_templateClassOf(P_encodeName("::T" KANA "<" HOJO ">"), "", 0));
}

// Marker bytes and the escape byte that stand in an encoded name, whatever
// character they belong to, are name bytes: kept in two bytes in the marked
// form, never taken for markers, and given back in the display form.
#define K8C "\x91\x92"
#define K8D "\x91\x93"
#define K8E "\x91\x94"
#define K8F "\x91\x95"
#define K90 "\x91\x96"
#define K91 "\x91\x97"
TEST(EncodedNameTest, MarkerBytesOfAnEncodedNameAreNameBytes) {
  const struct {
    std::string encoded;
    std::string marked;
    std::string parameterSlots;
  } cases[] = {
      {"::T" M8C "int" M8D, "::T" K8C "int" K8D, ""},
      {"::f" M8E "ni" M90 "v" M8F, "::f" K8E "ni" K90 "v" K8F, ""},
      {"::k" M8E "x" M8F, "::k" K8E "x" K8F, ""},
      {"::g(" M8F ")", "::g" M8E K8F M8F, K8F},
      {"::h(" M8F "\xB0)", "::h" M8E K8F "\xB0" M8F, K8F "\xB0"},
      // A 0x91 of the name is kept too, so a name that holds the escape's own
      // pairs comes back as it was.
      {"::x\x91\x94y", "::x" K91 "\x94y", ""},
      {"::x\x91", "::x" K91, ""},
      {"::f(\x91\x97)", "::f" M8E K91 "\x97" M8F, K91 "\x97"},
  };
  for (const auto &c : cases) {
    const std::string marked = P_markEncodedName(c.encoded);
    EXPECT_EQ(shown(c.marked), shown(marked)) << shown(c.encoded);
    EXPECT_EQ("", shown(P_templateArguments(marked))) << shown(c.encoded);
    EXPECT_EQ(shown(c.parameterSlots), shown(P_parameterSlots(marked))) << shown(c.encoded);
    EXPECT_EQ(shown(c.encoded), shown(P_unmarkName(marked))) << shown(c.encoded);
    EXPECT_EQ(shown(c.encoded), shown(P_displayName(marked.c_str()))) << shown(c.encoded);
  }
}

// Names as record files hold them when they are not translated: UTF-8, whose
// continuation bytes 0x8C to 0x91 are common, and Shift_JIS, whose second
// bytes may also be '@', '{', '}' or 's'. Each is taken apart as its
// structure says and comes back byte for byte.
#define NODE_UTF8 "\xE3\x83\x8E\xE3\x83\xBC\xE3\x83\x89" // katakana "node"
#define FOO_UTF8 "\xEF\xBC\xA6\xEF\xBD\x8F\xEF\xBD\x8F"  // full-width "Foo"
#define BOTAN_SJIS "\x83\x7B\x83\x5E\x83\x93"            // katakana "button": '{'
#define AI_SJIS "\x83\x40\x83\x43"                       // small a, i: '@'
#define MA_SJIS "\x83\x7D"                               // katakana ma: '}'
#define PI_SJIS "\x83\x73"                               // katakana pi: 's'
#define NAMAE_SJIS "\x96\xBC\x91\x4F"                    // kanji "name": 0x91
TEST(EncodedNameTest, NamesInOtherEncodingsAreTakenApartByTheirStructure) {
  const struct {
    std::string encoded;
    std::string bare; // of the define accessors, name bytes given back
    std::string enclosingScope;
    std::string parameterSlots;
  } cases[] = {
      {"::" NODE_UTF8, NODE_UTF8, "", ""},
      {"::app::" FOO_UTF8, FOO_UTF8, "::app", ""},
      {"::f(" NODE_UTF8 "," FOO_UTF8 ")", "f", "", NODE_UTF8 "," FOO_UTF8},
      {"::T<" FOO_UTF8 ">::x", "x", "::T<" FOO_UTF8 ">", ""},
      {"::" BOTAN_SJIS, BOTAN_SJIS, "", ""},
      {"::ns::" AI_SJIS, AI_SJIS, "::ns", ""},
      {"::" MA_SJIS "::x", "x", "::" MA_SJIS, ""},
      {"::f(" NAMAE_SJIS "," BOTAN_SJIS ")", "f", "", NAMAE_SJIS "," BOTAN_SJIS},
      {"::ns::" NAMAE_SJIS, NAMAE_SJIS, "::ns", ""},
  };
  for (const auto &c : cases) {
    const std::string marked = P_markEncodedName(c.encoded);
    EXPECT_EQ(shown(c.encoded), shown(P_displayName(marked.c_str()))) << shown(c.encoded);
    EXPECT_EQ(shown(c.bare), shown(P_restoreNameBytes(P_bareNameComponent(marked)))) << shown(c.encoded);
    EXPECT_EQ(shown(c.enclosingScope), shown(P_unmarkName(P_enclosingScopeName(marked)))) << shown(c.encoded);
    EXPECT_EQ(shown(c.parameterSlots), shown(P_unmarkName(P_parameterSlots(marked)))) << shown(c.encoded);
  }
  // The 's' of a Shift_JIS character in braces is no class tag; a tag 's'
  // still becomes 'c'.
  EXPECT_STREQ("::T<{c::a" PI_SJIS "}>", P_displayName(P_encodeName("::T<{s::a" PI_SJIS "}>")));
  // In UTF-8 and EUC no character ends before an ASCII byte of its own: a
  // '{' after one is a brace.
  EXPECT_EQ(shown("::T" M8C NODE_UTF8 "{c::a}" M8D),
            shown(P_restoreNameBytes(P_markEncodedName("::T<" NODE_UTF8 "{s::a}>"))));
}

// The encoding a name is read in: EUC where its bytes allow it, then UTF-8,
// each also with its last character cut short, and Shift_JIS for the rest.
TEST(EncodedNameTest, NameEncodings) {
  const struct {
    std::string name;
    QL_EncodingKind encoding;
  } cases[] = {
      {"", eceEUC},
      {"count", eceEUC},
      {"x\xA4\xA2\x8E\xB1\x8F\xB0\xA1", eceEUC},
      {"\xC3\xA9", eceEUC}, // whole characters of both
      {NODE_UTF8, eceUTF},
      {"x\xF0\x9F\x98\x80", eceUTF},
      {BOTAN_SJIS, eceSJIS},
      {NAMAE_SJIS, eceSJIS},
      {"\xA4\xA2\xA4", eceEUC},
      {"\x8F\xB0", eceEUC},
      {NODE_UTF8 "\xE3\x83", eceUTF},
      // Only the last character may be cut short.
      {"\xA4\xA2\xA4z", eceSJIS},
      // Bytes that begin no character of either.
      {"\x8E\xE0", eceSJIS},
      {"\xFF", eceSJIS},
  };
  for (const auto &c : cases)
    EXPECT_EQ(c.encoding, P_nameEncoding(c.name)) << shown(c.name);
}

// Names that differ only in bytes that marking reads as markers when they are
// not kept apart.
TEST(EncodedNameTest, DifferentNamesHaveDifferentSymbolIds) {
  const struct {
    std::string first, second;
  } cases[] = {
      {"::\xE3\x81\x8E"
       "A\xE3\x81\x8F",
       "::\xE3\x81\x8E"
       "B\xE3\x81\x8F"}, // UTF-8 "gi", a letter, "ku"
      {"::" NODE_UTF8 "(v)", "::" FOO_UTF8 "(v)"},
      {"::f" M8E "a" M8F, "::f" M8E "b" M8F},
      {"::f(a)", "::f" M8E "a" M8F},
      {"::x\x91\x94", "::x" M8E},
      {"::" AI_SJIS, "::" MA_SJIS},
  };
  for (const auto &c : cases) {
    const std::string first = P_normaliseSymbolName(P_markEncodedName(c.first));
    const std::string second = P_normaliseSymbolName(P_markEncodedName(c.second));
    EXPECT_NE(first, second) << shown(c.first) << " and " << shown(c.second);
    EXPECT_EQ(shown(c.first), shown(P_displayName(P_encodeName(c.first))));
  }
}

// Marking against a plain rendering of the marking machine's table: over
// random names, the marked form with its name bytes given back, the display
// form, the symbol id and the bare name are those of the table, with every
// byte that is kept in two read as a byte no row names. Two names get one
// marked form, or one symbol id, only when the table gives them one.
struct Symbol {
  unsigned char byte;
  bool kept = false;   // a byte that marking must not read
  bool marker = false; // written by the machine
  bool operator==(const Symbol &other) const { return byte == other.byte && marker == other.marker; }
  bool operator<(const Symbol &other) const {
    return byte != other.byte ? byte < other.byte : marker < other.marker;
  }
};
using Symbols = std::vector<Symbol>;

unsigned char readAs(const Symbol &s) { return s.kept ? 0xA0 : s.byte; }

bool isIdentifierSymbol(const Symbols &w, std::size_t i) {
  const unsigned char c = readAs(w[i]);
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         (c == '[' && i + 1 < w.size() && readAs(w[i + 1]) == ']');
}

Symbols tableMark(Symbols w) {
  std::vector<int> states{0};
  std::size_t i = 0;
  const auto mark = [&](unsigned char marker) {
    w[i].byte = marker;
    w[i].marker = true;
  };
  while (i < w.size()) {
    const unsigned char c = readAs(w[i]);
    switch (states.back()) {
    case 0:
      if (c == '(') {
        states.push_back(6);
        mark(0x8E);
      } else if (c == '<') {
        states.push_back(3);
        mark(0x8C);
      } else if (c == ':') {
        states.push_back(1);
      } else if (c == '{') {
        states.push_back(4);
      }
      ++i;
      break;
    case 1:
      states.pop_back();
      if (c == ':') {
        states.push_back(2);
        ++i;
      }
      break;
    case 2: {
      states.pop_back();
      if (c == '@') {
        ++i;
        static const char *const listed[] = {"co", "de", "UN", "BL", "pr", "Fu", "Cl", "dp", "un"};
        bool isListed = false;
        for (const char *prefix : listed)
          isListed =
              isListed || (i + 2 <= w.size() && readAs(w[i]) == prefix[0] && readAs(w[i + 1]) == prefix[1]);
        if (!isListed) {
          states.push_back(7);
          break;
        }
      }
      if (i < w.size() && isIdentifierSymbol(w, i)) {
        while (i < w.size() && isIdentifierSymbol(w, i))
          ++i;
      } else {
        while (i < w.size() && readAs(w[i]) != '@')
          ++i;
      }
      break;
    }
    case 3:
      if (c == '(') {
        states.push_back(5);
      } else if (c == '<') {
        states.push_back(3);
      } else if (c == '>') {
        states.pop_back();
        if (states.back() == 0)
          mark(0x8D);
      } else if (c == ':') {
        states.push_back(1);
      } else if (c == '{') {
        states.push_back(4);
      }
      ++i;
      break;
    case 4:
      if (c == ':')
        states.push_back(1);
      else if (c == '<')
        states.push_back(3);
      else if (c == '{')
        states.push_back(4);
      else if (c == '}')
        states.pop_back();
      else if (c == 's')
        w[i].byte = 'c';
      ++i;
      break;
    case 5:
      if (c == '(')
        states.push_back(5);
      else if (c == ')')
        states.pop_back();
      else if (c == ':')
        states.push_back(1);
      else if (c == '{')
        states.push_back(4);
      ++i;
      break;
    case 6:
      if (c == '(') {
        states.push_back(5);
      } else if (c == ')') {
        states.pop_back();
        if (states.back() == 0)
          mark(0x8F);
      } else if (c == ',') {
        mark(0x90);
      } else if (c == ':') {
        states.push_back(1);
      } else if (c == '{') {
        states.push_back(4);
      }
      ++i;
      break;
    case 7:
      if (c == '@') {
        states.pop_back();
        w.erase(w.begin() + static_cast<std::ptrdiff_t>(i));
      } else if (c == '{') {
        states.push_back(4);
        ++i;
      } else {
        states.push_back(2);
      }
      break;
    }
  }
  return w;
}

bool isMarker(const Symbol &s, unsigned char byte) { return s.marker && s.byte == byte; }

// The symbol id of the table's marked name: its return slot made one blank.
Symbols tableSymbolId(Symbols w) {
  if (w.empty() || !isMarker(w.back(), 0x8F))
    return w;
  std::size_t open = w.size();
  for (std::size_t i = 0; i < w.size(); ++i)
    if (isMarker(w[i], 0x8E))
      open = i;
  if (open == w.size())
    return w;
  std::size_t end = w.size() - 1;
  for (std::size_t i = open; i < w.size(); ++i) {
    if (isMarker(w[i], 0x90)) {
      end = i;
      break;
    }
  }
  w.erase(w.begin() + static_cast<std::ptrdiff_t>(open + 1), w.begin() + static_cast<std::ptrdiff_t>(end));
  w.insert(w.begin() + static_cast<std::ptrdiff_t>(open + 1), Symbol{' '});
  return w;
}

// The bare name of the define accessors on the table's marked name.
Symbols tableBareName(const Symbols &w) {
  bool arguments = false, slots = false, braces = false;
  std::size_t start = 0;
  for (std::size_t i = w.size(); i-- > 0;) {
    const Symbol &s = w[i];
    if (isMarker(s, 0x8C) || isMarker(s, 0x8D))
      arguments = !arguments;
    else if (isMarker(s, 0x8E) || isMarker(s, 0x8F))
      slots = !slots;
    else if (!s.marker && (readAs(s) == '{' || readAs(s) == '}'))
      braces = !braces;
    else if (!s.marker && readAs(s) == ':' && !arguments && !slots && !braces) {
      start = i + 1;
      break;
    }
  }
  std::size_t end = start;
  while (end < w.size() && !isMarker(w[end], 0x8C) && !isMarker(w[end], 0x8E)) {
    ++end;
    if (!w[end - 1].marker && readAs(w[end - 1]) == '@' && end - 1 != start)
      break;
  }
  return Symbols(w.begin() + static_cast<std::ptrdiff_t>(start),
                 w.begin() + static_cast<std::ptrdiff_t>(end));
}

std::string bytesOf(const Symbols &w, bool unmark) {
  std::string text;
  for (const Symbol &s : w)
    text += static_cast<char>(unmark && s.marker ? "<>(),"[s.byte - 0x8C] : s.byte);
  return text;
}

bool isMarkerOrEscapeByte(unsigned char b) { return b >= 0x8C && b <= 0x91; }

// Random names of random bytes, mostly of those that marking reads; a byte
// above 0x7F never stands right before '@', '{', '}' or 's' (that is left to
// the Shift_JIS names below).
Symbols randomBytes(std::mt19937 &random) {
  static const std::string read = "():<>,{}@s[]_az09";
  Symbols name;
  const std::size_t length = random() % 24;
  while (name.size() < length) {
    unsigned char b;
    switch (random() % 4) {
    case 0:
    case 1:
      b = static_cast<unsigned char>(read[random() % read.size()]);
      break;
    case 2:
      b = static_cast<unsigned char>(0x8C + random() % 6);
      break;
    default:
      b = static_cast<unsigned char>(0x80 + random() % 128);
      break;
    }
    if (!name.empty() && name.back().byte >= 0x80 && (b == '@' || b == '{' || b == '}' || b == 's'))
      name.push_back(Symbol{'_'});
    name.push_back(Symbol{b, isMarkerOrEscapeByte(b)});
  }
  return name;
}

// Random Shift_JIS names: characters (second bytes often those that marking
// reads), half-width katakana and pieces of name structure. Each holds a
// character that is no UTF-8 and one that is no EUC, whatever stands around
// them.
Symbols randomShiftJis(std::mt19937 &random) {
  static const char *const pieces[] = {"::", "<",   ">",  "(", ")", ",", "{s",
                                       "}",  "@co", "@x", "@", "a", "s", "_1"};
  static const std::string readTrails = "@{}s";
  Symbols name;
  const auto character = [&name](unsigned char lead, unsigned char trail) {
    name.push_back(Symbol{lead, isMarkerOrEscapeByte(lead)});
    name.push_back(Symbol{trail, isMarkerOrEscapeByte(trail) ||
                                     readTrails.find(static_cast<char>(trail)) != std::string::npos});
  };
  const std::size_t pieceCount = random() % 10;
  const std::size_t noUtf8 = random() % (pieceCount + 1);
  const std::size_t noEuc = random() % (pieceCount + 1);
  for (std::size_t k = 0; k <= pieceCount; ++k) {
    if (k == noUtf8)
      character(0xE0, '@');
    if (k == noEuc)
      character(0x88, '}');
    switch (random() % 4) {
    case 0:
      for (const char *p = pieces[random() % std::size(pieces)]; *p; ++p)
        name.push_back(Symbol{static_cast<unsigned char>(*p)});
      break;
    case 1:
      name.push_back(Symbol{static_cast<unsigned char>(0xA1 + random() % (0xDF - 0xA1 + 1))});
      break;
    default: {
      const unsigned lead = random() % 60;
      const unsigned trail = random() % 3 == 0 ? static_cast<unsigned char>(readTrails[random() % 4])
                                               : 0x40 + random() % (0xFC - 0x40 + 1);
      if (trail == 0x7F)
        break;
      character(static_cast<unsigned char>(lead < 31 ? 0x81 + lead : 0xE0 + (lead - 31)),
                static_cast<unsigned char>(trail));
      break;
    }
    }
  }
  return name;
}

TEST(EncodedNameTest, MarkingAgreesWithTheTableOverRandomNames) {
  std::mt19937 random(39);
  std::map<std::string, Symbols> markedForms; // marked text: the table's marked name
  std::map<std::string, Symbols> symbolIds;   // symbol id text: the table's symbol id
  for (int round = 0; round < 20000; ++round) {
    const Symbols name = round % 2 ? randomBytes(random) : randomShiftJis(random);
    const std::string encoded = bytesOf(name, false);
    const Symbols table = tableMark(name);
    const std::string marked = P_markEncodedName(encoded);
    ASSERT_EQ(shown(bytesOf(table, false)), shown(P_restoreNameBytes(marked))) << shown(encoded);
    ASSERT_EQ(shown(bytesOf(table, true)), shown(P_unmarkName(marked))) << shown(encoded);
    const std::string id = P_normaliseSymbolName(marked);
    ASSERT_EQ(shown(bytesOf(tableSymbolId(table), false)), shown(P_restoreNameBytes(id))) << shown(encoded);
    ASSERT_EQ(shown(bytesOf(tableBareName(table), false)),
              shown(P_restoreNameBytes(P_bareNameComponent(marked))))
        << shown(encoded);
    const auto [form, newForm] = markedForms.emplace(marked, table);
    ASSERT_TRUE(newForm || form->second == table) << shown(encoded) << " shares its marked form";
    const auto [symbolId, newId] = symbolIds.emplace(id, tableSymbolId(table));
    ASSERT_TRUE(newId || symbolId->second == tableSymbolId(table))
        << shown(encoded) << " shares its symbol id";
  }
  // The other way round: names the table keeps apart stay apart.
  std::set<Symbols> tableForms;
  for (const auto &[marked, table] : markedForms)
    EXPECT_TRUE(tableForms.insert(table).second) << shown(marked);
}

TEST(EncodedNameTest, NamePredicates) {
  const struct {
    std::string name;
    bool templateParameter;
    bool lacksScopePrefix;
  } cases[] = {
      {"", false, true},
      {":", false, true},
      {"::", false, false},
      {"x::y", false, true},
      {"::f::@ClassTempParam1", true, false},
      {"::f::@FuncTempParam0", true, false},
      {"::f::@ClassTempPara", false, false},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(c.templateParameter, P_isTemplateParameterName(c.name)) << c.name;
    EXPECT_EQ(c.lacksScopePrefix, P_lacksScopePrefix(c.name)) << c.name;
  }

  const struct {
    std::string text; // the character tested is the first one
    bool identifier;
  } characters[] = {
      {"a", true},  {"Z", true},  {"0", true},  {"_", true},     {"[]", true}, {"[", false}, {"[x", false},
      {"]", false}, {"@", false}, {":", false}, {"\xB4", false}, {M8E, false}, {"", false},
  };
  for (const auto &c : characters)
    EXPECT_EQ(c.identifier, P_isIdentifierChar(c.text.data(), c.text.data() + c.text.size())) << c.text;
}

} // namespace

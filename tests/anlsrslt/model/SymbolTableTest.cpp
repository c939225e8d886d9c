#include "anlsrslt/model/SymbolTable.h"

#include "anlsrslt/model/EncodedName.h"
#include "support/CurrentArguments.h"
#include "support/ModelDump.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using test_support::defineOf;
using test_support::describeSymbols;

// The files of these tests, known in this order before any test runs, so that
// defines order by file the same way whichever test comes first.
class SymbolTableTest : public testing::Test {
protected:
  static void SetUpTestSuite() {
    for (const char *path : {"/symtab/a.c", "/symtab/b.c", "/symtab/c.c", "/symtab/h.h", "/symtab/m.c"})
      P_filenameProxyFor(QL_Filename::fromPath(path));
    for (const char *type : {"(.)", "(i)"})
      internString(type);
  }

  // Files every record of each unit, the unit map emptied before each unit
  // as the record reader does; gives the result codes in order.
  static std::vector<std::uint32_t> file(SymbolTable &table,
                                         const std::vector<std::vector<std::string>> &units) {
    std::vector<std::uint32_t> codes;
    for (const std::vector<std::string> &unit : units) {
      table.clearTranslationUnit();
      for (const std::string &fields : unit) {
        const P_SymbolFiling filed = table.addDefine(defineOf(fields));
        EXPECT_TRUE(filed.symbol.isSet()) << fields;
        codes.push_back(filed.code);
      }
    }
    return codes;
  }
};

TEST_F(SymbolTableTest, RecordSequencesAndWhatTheTableMakesOfThem) {
  const struct Scenario {
    const char *title;
    std::vector<std::vector<std::string>> units;
    std::vector<std::uint32_t> codes;
    std::vector<std::string> symbols;
  } scenarios[] = {
      {"a definition at the place of the declaration is absorbed by it",
       {{"x /symtab/a.c 1 N DC OV F X ni S", "x /symtab/a.c 1 N DF OV F X ni A"}},
       {0, 4},
       {"x: {a.c:1 CF SA} def a.c:1 CF SA cur a.c:1 CF SA"}},
      {"a definition elsewhere becomes the current declaration",
       {{"::f(v) /symtab/a.c 1 N DC OF F X v -", "::f(v) /symtab/a.c 5 N DF OF F X v -"}},
       {0, 4},
       {"::f(v): {a.c:1 C, a.c:5 F} def a.c:5 F cur a.c:5 F"}},
      {"redeclarations go under the current declaration",
       {{"x /symtab/a.c 1 N DC OV F X ni -", "x /symtab/a.c 2 N DR OV F X ni -",
         "x /symtab/a.c 3 N DR OV F X ni -", "x /symtab/a.c 4 N DC OV F X ni -",
         "x /symtab/a.c 5 N DR OV F X ni -"}},
       {0, 3, 3, 2, 3},
       {"x: {a.c:1 C, a.c:4 C} cur a.c:4 C redecl a.c:1 C {a.c:2 R, a.c:3 R} redecl a.c:4 C {a.c:5 R}"}},
      {"declarations order by file, then line, whatever their order of filing",
       {{"x /symtab/b.c 2 N DC OV F X ni -", "x /symtab/a.c 9 N DC OV F X ni -",
         "x /symtab/b.c 1 N DC OV F X ni -"}},
       {0, 2, 2},
       {"x: {a.c:9 C, b.c:1 C, b.c:2 C} cur b.c:1 C"}},
      {"a definition of nothing in the unit declares",
       {{"x /symtab/a.c 1 N DF OV F I ni -"}},
       {0},
       {"x: {a.c:1 CF} def a.c:1 CF cur a.c:1 CF"}},
      {"so does a redeclaration, which is then no redeclaration",
       {{"x /symtab/a.c 1 N DR OV F I ni -"}},
       {0},
       {"x: {a.c:1 C} cur a.c:1 C"}},
      {"external declarations of two units are one symbol",
       {{"x /symtab/a.c 1 N DC OV F X ni -"}, {"x /symtab/b.c 1 N DC OV F X ni -"}},
       {0, 2},
       {"x: {a.c:1 C, b.c:1 C} cur b.c:1 C"}},
      {"an external definition of nothing in the unit joins the program-wide symbol",
       {{"x /symtab/a.c 1 N DC OV F X ni -"}, {"x /symtab/b.c 1 N DF OV F X ni -"}},
       {0, 2},
       {"x: {a.c:1 C, b.c:1 CF} def b.c:1 CF cur b.c:1 CF"}},
      {"internal declarations of two units are two symbols",
       {{"x /symtab/a.c 1 N DC OV F I ni -"}, {"x /symtab/b.c 1 N DC OV F I ni -"}},
       {0, 0},
       {"x: {a.c:1 C} cur a.c:1 C", "x: {b.c:1 C} cur b.c:1 C"}},
      {"two internal declarations in one unit: the unit keeps the first",
       {{"x /symtab/a.c 1 N DC OV F I ni -", "x /symtab/a.c 2 N DC OV F I ni -",
         "x /symtab/a.c 3 N DF OV F I ni -"}},
       {0, 0, 4},
       {"x: {a.c:1 C, a.c:3 F} def a.c:3 F cur a.c:3 F", "x: {a.c:2 C} cur a.c:2 C"}},
      {"enum tags and labels are declaration and definition, other tags are not",
       {{"::E /symtab/a.c 1 N DR TG F X {e::E} -", "lab /symtab/a.c 2 N DC LB B N - -",
         "::S /symtab/a.c 3 N DR TG F X {s::S} -"}},
       {0, 0, 0},
       {"::E: {a.c:1 CF} def a.c:1 CF cur a.c:1 CF", "lab: {a.c:2 CF} def a.c:2 CF cur a.c:2 CF",
        "::S: {a.c:3 C} cur a.c:3 C"}},
      {"a tag whose type is no class tag is no enum tag",
       {{"x /symtab/a.c 1 N DF XQ F X int -", "y /symtab/a.c 2 N DR TG F X {e} -",
         "z /symtab/a.c 3 N DR XE F X ni -"}},
       {0, 0, 0},
       {"x: {a.c:1 CF} def a.c:1 CF cur a.c:1 CF", "y: {a.c:2 C} cur a.c:2 C", "z: {a.c:3 C} cur a.c:3 C"}},
      {"an implicit define declares what the unit does not know, else defines it",
       {{"x /symtab/a.c 1 N DI OV F X ni -", "x /symtab/a.c 2 N DI OV F X ni -"}},
       {0, 4},
       {"x: {a.c:1 CI, a.c:2 FI} def a.c:2 FI cur a.c:2 FI"}},
      {"every macro definition is a symbol of its own, outside the unit",
       {{"M /symtab/a.c 1 N DF OM - - - F", "M /symtab/a.c 2 N DC OM - - - O",
         "M /symtab/a.c 3 N DF OM - - - F", "M /symtab/a.c 4 N DR OM - - - -",
         "M /symtab/a.c 5 N DR OV F I ni -"}},
       {4, 0, 4, 3, 3},
       {"M: {a.c:1 F F} def a.c:1 F F cur a.c:1 F F",
        "M: {a.c:2 C O} cur a.c:2 C O redecl a.c:2 C O {a.c:5 R}",
        "M: {a.c:3 F F} def a.c:3 F F cur a.c:3 F F", "M: {a.c:4 R} cur a.c:4 R redecl a.c:4 R {a.c:4 R}"}},
      {"an external inline function of a header, declared and defined on one line, in two units",
       {{"::f(v) /symtab/h.h 3 I DC OF F X v I", "::f(v) /symtab/h.h 3 I DF OF F X v I"},
        {"::f(v) /symtab/h.h 3 I DC OF F X v I", "::f(v) /symtab/h.h 3 I DF OF F X v I",
         "::f(v) /symtab/h.h 9 I DR OF F X v -"}},
       {0, 4, 2, 4, 3},
       {"::f(v): {h.h:3 CF I} def h.h:3 CF I cur h.h:3 CF I redecl h.h:3 CF I {h.h:9 R}"}},
      {"a declaration at a place held is absorbed by the entry there, which takes its redeclarations",
       {{"x /symtab/h.h 3 I DC OV F X ni -", "x /symtab/h.h 4 I DR OV F X ni -"},
        {"x /symtab/h.h 3 I DC OV F X ni -", "x /symtab/h.h 5 I DR OV F X ni -"}},
       {0, 3, 2, 3},
       {"x: {h.h:3 C} cur h.h:3 C redecl h.h:3 C {h.h:4 R, h.h:5 R}"}},
      {"a definition that such a declaration absorbs defines the entry",
       {{"::f(v) /symtab/h.h 3 I DC OF F X v -"},
        {"::f(v) /symtab/h.h 3 I DC OF F X v -", "::f(v) /symtab/h.h 3 I DF OF F X v I",
         "::f(v) /symtab/h.h 7 I DR OF F X v -"},
        {"::f(v) /symtab/h.h 3 I DC OF F X v -", "::f(v) /symtab/h.h 8 I DR OF F X v -"}},
       {0, 2, 4, 3, 2, 3},
       {"::f(v): {h.h:3 CF I} def h.h:3 CF I cur h.h:3 CF I redecl h.h:3 CF I {h.h:7 R, h.h:8 R}"}},
      {"defines at one place with other flags are one entry with the flags of both",
       {{"x /symtab/a.c 1 N DC OV F X ni S", "x /symtab/a.c 4 N DC OV F X ni -",
         "x /symtab/a.c 1 N DC OV F X ni A"}},
       {0, 2, 2},
       {"x: {a.c:1 C SA, a.c:4 C} cur a.c:1 C SA"}},
      {"defines that differ only in their names are one entry, which stays",
       {{"::f(ni) /symtab/a.c 1 N DC OF F X v -", "::f(pc) /symtab/a.c 1 N DC OF F X v -"}},
       {0, 2},
       {"::f(ni): {a.c:1 C} cur a.c:1 C"}},
  };
  for (const Scenario &s : scenarios) {
    SymbolTable table;
    EXPECT_EQ(s.codes, file(table, s.units)) << s.title;
    EXPECT_EQ(s.symbols, describeSymbols(table.symbols())) << s.title;
  }
}

// One entity of a shared header, seen by two or three units, each of which
// declares it there ("C"), declares and then defines it there ("CF"), or
// declares it there and defines it in its own file ("CE"). The header's place
// is one entry, a definition when any unit defined the entity there; the
// current declaration and the definition are entries. Only external linkage
// joins the units; with internal or no linkage each unit's declaration makes
// a symbol of its own.
TEST_F(SymbolTableTest, AnEntityOfASharedHeaderInSeveralUnits) {
  const struct Case {
    std::vector<std::string> units;
    std::string external;             // the one symbol, without its name
    std::vector<std::string> perUnit; // the symbols of internal or no linkage
  } cases[] = {
      {{"C", "C"}, "{h.h:1 C} cur h.h:1 C", {"{h.h:1 C} cur h.h:1 C", "{h.h:1 C} cur h.h:1 C"}},
      {{"CF", "CF"},
       "{h.h:1 CF} def h.h:1 CF cur h.h:1 CF",
       {"{h.h:1 CF} def h.h:1 CF cur h.h:1 CF", "{h.h:1 CF} def h.h:1 CF cur h.h:1 CF"}},
      {{"CE", "CE"},
       "{a.c:5 F, b.c:5 F, h.h:1 C} def b.c:5 F cur b.c:5 F",
       {"{a.c:5 F, h.h:1 C} def a.c:5 F cur a.c:5 F", "{b.c:5 F, h.h:1 C} def b.c:5 F cur b.c:5 F"}},
      {{"C", "CF"},
       "{h.h:1 CF} def h.h:1 CF cur h.h:1 CF",
       {"{h.h:1 C} cur h.h:1 C", "{h.h:1 CF} def h.h:1 CF cur h.h:1 CF"}},
      {{"CF", "C"},
       "{h.h:1 CF} def h.h:1 CF cur h.h:1 CF",
       {"{h.h:1 CF} def h.h:1 CF cur h.h:1 CF", "{h.h:1 C} cur h.h:1 C"}},
      {{"C", "CE"},
       "{b.c:5 F, h.h:1 C} def b.c:5 F cur b.c:5 F",
       {"{h.h:1 C} cur h.h:1 C", "{b.c:5 F, h.h:1 C} def b.c:5 F cur b.c:5 F"}},
      {{"CE", "C"},
       "{a.c:5 F, h.h:1 C} def a.c:5 F cur h.h:1 C",
       {"{a.c:5 F, h.h:1 C} def a.c:5 F cur a.c:5 F", "{h.h:1 C} cur h.h:1 C"}},
      {{"CF", "CE"},
       "{b.c:5 F, h.h:1 CF} def b.c:5 F cur b.c:5 F",
       {"{h.h:1 CF} def h.h:1 CF cur h.h:1 CF", "{b.c:5 F, h.h:1 C} def b.c:5 F cur b.c:5 F"}},
      {{"CE", "CF"},
       "{a.c:5 F, h.h:1 CF} def h.h:1 CF cur h.h:1 CF",
       {"{a.c:5 F, h.h:1 C} def a.c:5 F cur a.c:5 F", "{h.h:1 CF} def h.h:1 CF cur h.h:1 CF"}},
      {{"C", "CF", "C"},
       "{h.h:1 CF} def h.h:1 CF cur h.h:1 CF",
       {"{h.h:1 C} cur h.h:1 C", "{h.h:1 CF} def h.h:1 CF cur h.h:1 CF", "{h.h:1 C} cur h.h:1 C"}},
      {{"CF", "C", "CF"},
       "{h.h:1 CF} def h.h:1 CF cur h.h:1 CF",
       {"{h.h:1 CF} def h.h:1 CF cur h.h:1 CF", "{h.h:1 C} cur h.h:1 C",
        "{h.h:1 CF} def h.h:1 CF cur h.h:1 CF"}},
      {{"C", "CE", "C"},
       "{b.c:5 F, h.h:1 C} def b.c:5 F cur h.h:1 C",
       {"{h.h:1 C} cur h.h:1 C", "{b.c:5 F, h.h:1 C} def b.c:5 F cur b.c:5 F", "{h.h:1 C} cur h.h:1 C"}},
      {{"CE", "CF", "C"},
       "{a.c:5 F, h.h:1 CF} def h.h:1 CF cur h.h:1 CF",
       {"{a.c:5 F, h.h:1 C} def a.c:5 F cur a.c:5 F", "{h.h:1 CF} def h.h:1 CF cur h.h:1 CF",
        "{h.h:1 C} cur h.h:1 C"}},
  };
  // Name, then name space, scope, linkage and type as the records give them.
  const struct Entity {
    const char *name;
    const char *space;
    const char *scope;
    const char *type;
  } entities[] = {
      {"::Fn(v,v)", "OF", "F", "v"},
      {"count", "OV", "F", "ni"},
      {"Node", "TG", "F", "{s::Node}"},
      {"Node::size", "MB", "C", "ni"},
  };
  const char *const unitFiles[] = {"a.c", "b.c", "c.c"};
  for (const Case &c : cases) {
    for (const Entity &e : entities) {
      for (const char *linkage : {"X", "I", "N"}) {
        const auto record = [&](const std::string &place, const char *kind) {
          return std::string(e.name) + " /symtab/" + place + " " + kind + " " + e.space + " " + e.scope +
                 " " + linkage + " " + e.type + " -";
        };
        std::vector<std::vector<std::string>> units;
        for (std::size_t u = 0; u < c.units.size(); ++u) {
          std::vector<std::string> unit{record("h.h 1 I", "DC")};
          if (c.units[u] == "CF")
            unit.push_back(record("h.h 1 I", "DF"));
          else if (c.units[u] == "CE")
            unit.push_back(record(std::string(unitFiles[u]) + " 5 N", "DF"));
          units.push_back(unit);
        }
        std::vector<std::string> expected;
        const std::string name = P_displayName(P_encodeName(e.name));
        if (std::string(linkage) == "X")
          expected.push_back(name + ": " + c.external);
        else
          for (const std::string &symbol : c.perUnit)
            expected.push_back(name + ": " + symbol);
        SymbolTable table;
        file(table, units);
        EXPECT_EQ(expected, describeSymbols(table.symbols())) << test_support::describeUnits(units);
      }
    }
  }
}

// Units that declare and define a function of a shared header, in every
// order: the symbol's declarations are the same, one entry a place, a
// definition where any unit defined the function. h.h has the function at
// line 2 and, in some units, again at line 5.
TEST_F(SymbolTableTest, TheSameDeclarationsInEveryOrderOfTheUnits) {
  const std::string declared2 = "::Fn(v,v) /symtab/h.h 2 I DC OF F X v -";
  const std::string defined2 = "::Fn(v,v) /symtab/h.h 2 I DF OF F X v -";
  const std::string declared5 = "::Fn(v,v) /symtab/h.h 5 I DC OF F X v -";
  const std::string defined5 = "::Fn(v,v) /symtab/h.h 5 I DF OF F X v -";
  const struct Case {
    const char *title;
    std::vector<std::vector<std::string>> units;
    std::string declarations;
  } cases[] = {
      {"declared at 2 / declared and defined at 2 / declared at 2",
       {{declared2}, {declared2, defined2}, {declared2}},
       "{h.h:2 CF}"},
      {"declared and defined at 2 / declared at 2 / declared and defined at 2",
       {{declared2, defined2}, {declared2}, {declared2, defined2}},
       "{h.h:2 CF}"},
      {"declared at 2 and defined at 5 / declared and defined at 5 only",
       {{declared2, defined5}, {declared5, defined5}},
       "{h.h:2 C, h.h:5 CF}"},
      {"declared at 2 / defined at 5 alone / declared at 2 and 5",
       {{declared2}, {defined5}, {declared2, declared5}},
       "{h.h:2 C, h.h:5 CF}"},
      {"declared with one type / defined alone at that line with another",
       {{"::Fn(v,v) /symtab/h.h 2 I DC OF F X (.) -"}, {"::Fn(v,v) /symtab/h.h 2 I DF OF F X (i) -"}},
       "{h.h:2 C, h.h:2 CF}"},
      {"declared and defined in the main file / defined alone there as an included file",
       {{"::Fn(v,v) /symtab/m.c 3 N DC OF F X v -", "::Fn(v,v) /symtab/m.c 3 N DF OF F X v -"},
        {"::Fn(v,v) /symtab/m.c 3 I DF OF F X v -"}},
       "{m.c:3 CF, m.c:3 CF}"},
      {"the flags of every unit at one place",
       {{"::Fn(v,v) /symtab/h.h 2 I DC OF F X v S"},
        {"::Fn(v,v) /symtab/h.h 2 I DC OF F X v A", defined2},
        {"::Fn(v,v) /symtab/h.h 2 I DC OF F X v I"}},
       "{h.h:2 CF ISA}"},
  };
  for (const Case &c : cases) {
    for (const std::vector<std::vector<std::string>> &units : test_support::everyOrder(c.units)) {
      SymbolTable table;
      file(table, units);
      ASSERT_EQ(1u, table.symbols().size()) << c.title;
      const P_Symbol &symbol = *table.symbols()[0];
      EXPECT_EQ(c.declarations, test_support::describeDefines(symbol.m_declarations))
          << c.title << ": " << test_support::describeUnits(units);
      EXPECT_TRUE(symbol.m_declarations.contains(symbol.m_declaration.pointer())) << c.title;
      EXPECT_TRUE(symbol.m_declarations.contains(symbol.m_definition.pointer())) << c.title;
    }
  }
}

} // namespace

namespace {

TEST_F(SymbolTableTest, SymbolIdsBlankTheReturnSlotAndAreTheirOwnIds) {
  const struct Case {
    const char *encoded;
    const char *id; // marked
  } cases[] = {
      {"x", "x"},
      {"::f(v)", "::f\x8E \x8F"},
      {"::f(ni)", "::f\x8E \x8F"},
      {"::A<int>::put(.,ni)", "::A\x8Cint\x8D::put\x8E \x90ni\x8F"},
      {"::C::@constructor(,ni)", "::C::@constructor\x8E \x90ni\x8F"},
      {"::A<int>", "::A\x8Cint\x8D"},
      {"", ""},
  };
  for (const Case &c : cases) {
    const char *name = P_encodeName(c.encoded);
    const char *id = SymbolTable::symbolId(name);
    EXPECT_EQ(internString(c.id), id) << c.encoded;
    EXPECT_EQ(id, SymbolTable::symbolId(name)) << c.encoded;
    EXPECT_EQ(id, SymbolTable::symbolId(id)) << c.encoded << ": an id is its own";
  }

  // The table files a define under the id that the lookup finds.
  SymbolTable table;
  const P_SymbolFiling filed = table.addDefine(defineOf("::f(ni) /symtab/a.c 1 N DC OF F X v -"));
  EXPECT_EQ(filed.symbol, table.findInUnit(P_encodeName("::f(pc)"))) << "another return slot, the same id";
  EXPECT_EQ(filed.symbol, SymbolTable::find(table.externalSymbols(), P_encodeName("::f(v)")));
  EXPECT_EQ(1u, table.unitSymbols().count(internString("::f\x8E \x8F")));
  EXPECT_FALSE(table.findInUnit(P_encodeName("::f(v,ni)")).isSet());
}

TEST_F(SymbolTableTest, EmptyingTheUnitKeepsEverySymbolAndTheProgramWideOnes) {
  SymbolTable table;
  const char *external = P_encodeName("e");
  const char *internal = P_encodeName("i");
  table.addDefine(defineOf("e /symtab/a.c 1 N DC OV F X ni -"));
  const P_SymbolFiling first = table.addDefine(defineOf("i /symtab/a.c 2 N DC OV F I ni -"));
  EXPECT_EQ(first.symbol.pointer(), P_findSymbolIn(internal, table));

  table.clearTranslationUnit();
  EXPECT_EQ(nullptr, P_findSymbolIn(internal, table));
  EXPECT_EQ(nullptr, P_findSymbolIn(external, table));
  EXPECT_EQ(2u, table.symbols().size());
  EXPECT_EQ(first.symbol, table.symbols()[1]) << "still held";
  EXPECT_EQ(2u, first.symbol->referenceCount()) << "by the list and this test";

  // The next unit: the external name joins its symbol, the internal one
  // makes another, and a definition finds them in the unit again.
  EXPECT_EQ(P_filedExistingSymbol, table.addDefine(defineOf("e /symtab/b.c 1 N DC OV F X ni -")).code);
  EXPECT_EQ(P_filedNewSymbol, table.addDefine(defineOf("i /symtab/b.c 2 N DC OV F I ni -")).code);
  EXPECT_EQ(P_filedDefinition, table.addDefine(defineOf("i /symtab/b.c 3 N DF OV F I ni -")).code);
  EXPECT_EQ(3u, table.symbols().size());
  EXPECT_EQ(table.symbols()[2].pointer(), P_findSymbolIn(internal, table));
}

TEST_F(SymbolTableTest, AnUnsetDefineIsFiledNowhere) {
  SymbolTable table;
  const P_SymbolFiling filed = table.addDefine(DefinePtr());
  EXPECT_EQ(P_filedNothing, filed.code);
  EXPECT_FALSE(filed.symbol.isSet());
  EXPECT_TRUE(table.symbols().empty());
}

// A definition or redeclaration that finds nothing in the unit is reported
// under "show-symbol-errors", with its name as the record wrote it: no marker
// byte reaches the output.
TEST_F(SymbolTableTest, MissingDeclarationsAreReportedUnderTheDebugWord) {
  for (const bool debug : {false, true}) {
    test_support::CurrentArguments arguments(debug ? std::vector<std::string>{"-debug", "show-symbol-errors"}
                                                   : std::vector<std::string>{});
    SymbolTable table;
    testing::internal::CaptureStdout();
    table.addDefine(defineOf("::f(v) /symtab/a.c 1 N DF OF F X v -"));
    table.addDefine(defineOf("::f(v) /symtab/a.c 2 N DR OF F X v -"));
    table.addDefine(defineOf("x /symtab/a.c 3 N DR OV F X ni -"));
    table.addDefine(defineOf("M /symtab/a.c 4 N DF OM - - - -"));
    EXPECT_EQ(debug ? "Missing 'DC' for ::f(v)\nMissing 'DC' for x\n" : "",
              testing::internal::GetCapturedStdout())
        << "debug " << debug;
  }
}

TEST_F(SymbolTableTest, LookupsOfNothingAreAssertions) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  SymbolTable table;
  EXPECT_DEATH(SymbolTable::symbolId(nullptr),
               "Assertion at SymbolTable:259: Assertion 'func != 0 && \"Dont dereference 0.\"' failed.");
  EXPECT_DEATH(SymbolTable::find(table.unitSymbols(), nullptr),
               "Assertion at SymbolTable:247: Assertion 'id != 0 && \"Dont dereference 0.\"' failed.");
  EXPECT_DEATH(table.findInUnit(nullptr),
               "Assertion at SymbolTable:208: Assertion 'id != 0 && \"Dont dereference 0.\"' failed.");
  EXPECT_DEATH(P_findSymbolIn(nullptr, table), "SymbolTable:208");
}

} // namespace

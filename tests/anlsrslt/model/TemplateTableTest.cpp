#include "anlsrslt/model/TemplateTable.h"

#include "anlsrslt/model/DefineAccessors.h"
#include "anlsrslt/model/EncodedName.h"
#include "anlsrslt/model/SymbolTable.h"
#include "foundation/Exception.h"
#include "support/ModelDump.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using test_support::defineOf;
using test_support::describeSymbols;
using test_support::describeTemplate;

// The texts of a table's keys, sorted, joined by blanks.
std::string sortedTexts(std::vector<std::string> texts) {
  std::sort(texts.begin(), texts.end());
  std::string joined;
  for (const std::string &text : texts)
    joined += (joined.empty() ? "" : " ") + text;
  return joined;
}

std::string namesOf(const TemplateTable &table) {
  std::vector<std::string> names;
  for (const auto &entry : table.byName())
    names.push_back(P_displayName(entry.first));
  return sortedTexts(names);
}

std::string positionsOf(const TemplateTable &table) {
  std::vector<std::string> positions;
  for (const auto &entry : table.byPosition()) {
    const std::string file = entry.first.file;
    positions.push_back(file.substr(file.rfind('/') + 1) + ":" + std::to_string(entry.first.line));
  }
  return sortedTexts(positions);
}

class TemplateTableTest : public testing::Test {
protected:
  // Files and names known in this order, whichever test runs first: the
  // nested templates of one test are known in the other order than they
  // are made.
  static void SetUpTestSuite() {
    for (const char *path : {"/tmpl/a.h", "/tmpl/a.c", "/tmpl/b.c", "/tmpl/n.h"})
      P_filenameProxyFor(QL_Filename::fromPath(path));
    P_encodeName("::Nest<U*>");
    P_encodeName("::Nest<U&>");
  }
};

// A run's two tables and the road of the DEFINE records through them.
struct Tables {
  // The template table first, then the symbol table for each define it
  // hands on, the unit map emptied before each unit. Gives per record "-"
  // when nothing was handed on, else the result code of each define handed
  // on.
  std::string file(const std::vector<std::vector<std::string>> &units) {
    std::string road;
    for (const std::vector<std::string> &unit : units) {
      symbols.clearTranslationUnit();
      for (const std::string &fields : unit) {
        std::vector<DefinePtr> toFile;
        templates.addDefine(defineOf(fields), toFile);
        std::string step;
        for (const DefinePtr &def : toFile)
          step.append(step.empty() ? "" : ",").append(std::to_string(symbols.addDefine(def).code));
        road.append(road.empty() ? "" : " ").append(step.empty() ? "-" : step);
      }
    }
    return road;
  }

  std::vector<std::string> describeTemplates() const {
    std::vector<std::string> texts;
    for (const U_RefPtr<P_Template> &t : templates.templates())
      texts.push_back(describeTemplate(*t));
    return texts;
  }

  TemplateTable templates;
  SymbolTable symbols;
};

const std::string declareA = "::A<T> /tmpl/a.h 5 I DC TG F X {c::A<T>} U";
const std::string specialiseA = "::A<int> /tmpl/a.h 5 I DS TG F X {c::A<int>} -";
const std::string primaryA = "::A<T> primary [::A<T>: {a.h:5 C U} cur a.h:5 C U] at {a.h:5}";

TEST_F(TemplateTableTest, RecordSequencesAndWhatTheTablesMakeOfThem) {
  const struct Scenario {
    const char *title;
    std::vector<std::vector<std::string>> units;
    std::string road;
    std::vector<std::string> templates;
    std::string names;
    std::string positions;
    std::vector<std::string> symbols;
  } scenarios[] = {
      {"no template arguments: handed on untouched",
       {{"::f(v) /tmpl/a.c 1 N DC OF F X v -"}},
       "0",
       {},
       "",
       "",
       {"::f(v): {a.c:1 C} cur a.c:1 C"}},
      {"a template declared in two units at one header position is one template",
       {{"::A<T> /tmpl/a.h 5 I DC TG F X {c::A<T>} -"}, {"::A<T> /tmpl/a.h 5 I DC TG F X {c::A<T>} -"}},
       "- -",
       {"::A<T> primary [::A<T>: {a.h:5 C} cur a.h:5 C] at {a.h:5}"},
       "::A<T>",
       "a.h:5",
       {}},
      {"instances of no template and implicit instances are dropped",
       {{"::B<int> /tmpl/a.c 3 N DF TG F X {c::B<int>} -", "::B<int> /tmpl/a.c 4 N DP TG F X {c::B<int>} -",
         declareA, "::A<T> /tmpl/a.c 6 N DI TG F X {c::A<T>} -"}},
       "- - - -",
       {primaryA},
       "::A<T>",
       "a.h:5",
       {}},
      {"a redeclaration of an unknown template declares it and is its own redeclaration",
       {{"::C<int> /tmpl/a.c 3 N DR TG F X {c::C<int>} -"}},
       "0",
       {"::C<int> primary [::C<int>: {a.c:3 CR} cur a.c:3 CR redecl a.c:3 CR {a.c:3 CR}] at {a.c:3}"},
       "::C<int>",
       "a.c:3",
       {"::C<int>: {a.c:3 CR} cur a.c:3 CR"}},
      {"the template's own definition joins its primary symbol, and declares in the symbol table",
       {{declareA, "::A<T> /tmpl/a.h 40 I DF TG F X {c::A<T>} -"}},
       "- 0",
       {"::A<T> primary [::A<T>: {a.h:5 C U, a.h:40 CF} def a.h:40 CF cur a.h:40 CF] at {a.h:5, a.h:40}"},
       "::A<T>",
       "a.h:40 a.h:5",
       {"::A<T>: {a.h:40 CF} def a.h:40 CF cur a.h:40 CF"}},
      {"an S at a template's position opens a pending instance, whose name then answers for the template",
       {{declareA, specialiseA}},
       "- 0",
       {primaryA + " pending [::A<int>: {a.h:5 S} cur a.h:5 S] cursor ::A<int>"},
       "::A<T> ::A<int>",
       "a.h:5",
       {"::A<int>: {a.h:5 S} cur a.h:5 S"}},
      {"an S at no template's position is only handed on",
       {{declareA, "::D<int> /tmpl/a.c 9 N DS TG F X {c::D<int>} -"}},
       "- 0",
       {primaryA},
       "::A<T>",
       "a.h:5",
       {"::D<int>: {a.c:9 S} cur a.c:9 S"}},
      {"a definition of the pending name elsewhere settles it, and is answered as not taken",
       {{declareA, specialiseA, "::A<int> /tmpl/a.c 20 N DF TG F X {c::A<int>} -"}},
       "- 0 4",
       {primaryA + " settled [::A<int>: {a.c:20 F} def a.c:20 F cur a.c:20 F]"},
       "::A<T> ::A<int>",
       "a.h:5",
       {"::A<int>: {a.h:5 S, a.c:20 F} def a.c:20 F cur a.c:20 F"}},
      {"settling on the line of the pending instance takes that one along",
       {{declareA, specialiseA, "::A<int> /tmpl/b.c 5 N DF TG F X {c::A<int>} -"}},
       "- 0 4",
       {primaryA + " settled [::A<int>: {a.h:5 S, b.c:5 F} def b.c:5 F cur a.h:5 S]"},
       "::A<T> ::A<int>",
       "a.h:5",
       {"::A<int>: {a.h:5 S, b.c:5 F} def b.c:5 F cur b.c:5 F"}},
      {"a function definition of the pending name joins the pending instance",
       {{declareA, specialiseA, "::A<int> /tmpl/a.c 20 N DF OF F X v -"}},
       "- 0 4",
       {primaryA + " pending [::A<int>: {a.h:5 S, a.c:20 F} def a.c:20 F cur a.c:20 F] cursor ::A<int>"},
       "::A<T> ::A<int>",
       "a.c:20 a.h:5",
       {"::A<int>: {a.h:5 S, a.c:20 F} def a.c:20 F cur a.c:20 F"}},
      {"X defines: settling the pending name, then redeclaring the settled one, of known names only",
       {{declareA, specialiseA, "::A<int> /tmpl/a.c 30 N DX TG F X {c::A<int>} -"},
        {"::A<int> /tmpl/b.c 31 N DX TG F X {c::A<int>} -", "::E<int> /tmpl/b.c 32 N DX TG F X {c::E<int>} -",
         "::A<T> /tmpl/b.c 40 N DX TG F X {c::A<T>} -"}},
       "- 0 2 2 - 0",
       {primaryA + " settled [::A<int>: {a.c:30 X} cur a.c:30 X redecl a.c:30 X {b.c:31 X}]"},
       "::A<T> ::A<int>",
       "a.c:30 a.h:5 b.c:31",
       {"::A<int>: {a.h:5 S, a.c:30 X, b.c:31 X} cur b.c:31 X", "::A<T>: {b.c:40 X} cur b.c:40 X"}},
      {"an X define with flag U declares its template",
       {{"::F<int> /tmpl/a.c 3 N DX TG F X {c::F<int>} U"}},
       "-",
       {"::F<int> primary [::F<int>: {a.c:3 C U} cur a.c:3 C U] at {a.c:3}"},
       "::F<int>",
       "a.c:3",
       {}},
      {"a P define of a known name makes a nested template, later ones join it; neither is handed on",
       {{declareA, "::A<T*> /tmpl/a.h 5 I DS TG F X {c::A<T*>} U",
         "::A<T*> /tmpl/a.h 12 I DP TG F X {c::A<T*>} -", "::A<T*> /tmpl/a.h 13 I DP TG F X {c::A<T*>} -"}},
       "- - - -",
       {primaryA + " nested [::A<T*> primary [::A<T*>: {a.h:12 P, a.h:13 P} cur a.h:13 P] at {a.h:12}]"},
       "::A<T*> ::A<T>",
       "a.h:12 a.h:5",
       {}},
      {"scoped X and P defines are also filed as instances of their innermost template scope",
       {{declareA, "::A<T>::f /tmpl/a.h 6 I DX OF F X v -", "::A<T>::g /tmpl/a.h 7 I DP OF F X v -"}},
       "- 0 0",
       {primaryA + " nested [::A<T> primary [::A<T>: {a.h:7 P} cur a.h:7 P] at {a.h:7}]"},
       "::A<T>",
       "a.h:5 a.h:7",
       {"::A<T>::f: {a.h:6 X} cur a.h:6 X", "::A<T>::g: {a.h:7 P} cur a.h:7 P"}},
      {"scoped defines with flag U are not handed on, nor filed without a template scope",
       {{"::N::h /tmpl/a.c 3 N DX OF F X v U", "::N::k /tmpl/a.c 4 N DC OV F X ni U",
         "::A<T>::m /tmpl/a.h 6 I DC MB C N ni -"}},
       "- - 0",
       {},
       "",
       "",
       {"::A<T>::m: {a.h:6 C} cur a.h:6 C"}},
      {"the nested templates are offered an instance in descending order of their names",
       {{"::Nest<T> /tmpl/n.h 5 I DC TG F X {c::Nest<T>} U",
         "::Nest<U&> /tmpl/n.h 5 I DS TG F X {c::Nest<U&>} U",
         "::Nest<U&> /tmpl/n.h 12 I DP TG F X {c::Nest<U&>} U",
         "::Nest<U*> /tmpl/n.h 5 I DS TG F X {c::Nest<U*>} U",
         "::Nest<U*> /tmpl/n.h 12 I DP TG F X {c::Nest<U*>} U",
         "::Nest<int> /tmpl/n.h 12 I DS TG F X {c::Nest<int>} U"}},
       "- - - - - -",
       {"::Nest<T> primary [::Nest<T>: {n.h:5 C U} cur n.h:5 C U] at {n.h:5} nested [::Nest<U&> primary "
        "[::Nest<U&>: {n.h:12 P U} cur n.h:12 P U] at {n.h:12} pending [::Nest<int>: {n.h:12 S U} cur n.h:12 "
        "S U] "
        "cursor ::Nest<int>] nested [::Nest<U*> primary [::Nest<U*>: {n.h:12 P U} cur n.h:12 P U] at "
        "{n.h:12}]"},
       "::Nest<T> ::Nest<U&> ::Nest<U*> ::Nest<int>",
       "n.h:12 n.h:5",
       {}},
      {"settling a name opened twice takes the symbol of its entry out of the pending list",
       {{declareA, "::A<T> /tmpl/a.h 6 I DC TG F X {c::A<T>} U", specialiseA,
         "::A<int> /tmpl/a.h 6 I DS TG F X {c::A<int>} -",
         "::A<int> /tmpl/a.c 20 N DF TG F X {c::A<int>} -"}},
       "- - 0 2 4",
       {"::A<T> primary [::A<T>: {a.h:5 C U, a.h:6 C U} cur a.h:6 C U] at {a.h:5, a.h:6} pending [::A<int>: "
        "{a.h:6 S} cur a.h:6 S] settled [::A<int>: {a.c:20 F} def a.c:20 F cur a.c:20 F]"},
       "::A<T> ::A<int>",
       "a.h:5 a.h:6",
       {"::A<int>: {a.h:5 S, a.h:6 S, a.c:20 F} def a.c:20 F cur a.c:20 F"}},
      {"an X that the symbol table makes an enum tag moves to the place of the settled entry, which absorbs "
       "it",
       {{"::E<T> /tmpl/a.h 5 I DC TG F X {e::E<T>} U", "::E<int> /tmpl/a.h 5 I DS TG F X {e::E<int>} -",
         "::E<int> /tmpl/a.c 9 N DF TG F X {e::E<int>} -", "::E<int> /tmpl/a.h 5 I DS TG F X {e::E<int>} -",
         "::E<int> /tmpl/a.c 9 N DX TG F X {e::E<int>} D"}},
       "- 0 2 2 2",
       {"::E<T> primary [::E<T>: {a.h:5 C U} cur a.h:5 C U] at {a.h:5} settled [::E<int>: {a.c:9 CF D} def "
        "a.c:9 "
        "CF D cur a.c:9 CF D]"},
       "::E<T> ::E<int>",
       "a.c:9 a.h:5",
       {"::E<int>: {a.h:5 CF, a.c:9 CF D} def a.c:9 CF D cur a.c:9 CF D"}},
  };
  for (const Scenario &s : scenarios) {
    Tables tables;
    EXPECT_EQ(s.road, tables.file(s.units)) << s.title;
    EXPECT_EQ(s.templates, tables.describeTemplates()) << s.title;
    EXPECT_EQ(s.names, namesOf(tables.templates)) << s.title;
    EXPECT_EQ(s.positions, positionsOf(tables.templates)) << s.title;
    EXPECT_EQ(s.symbols, describeSymbols(tables.symbols.symbols())) << s.title;
  }
}

// The declaration sets of a template's symbols and of its nested templates'
// symbols, each as its name and its set.
void addDeclarationSets(const P_Template &t, std::vector<std::string> &sets) {
  sets.push_back(test_support::describeDeclarations(*t.m_primary));
  for (const U_RefPtr<P_Symbol> &symbol : t.pendingSymbols())
    sets.push_back(test_support::describeDeclarations(*symbol));
  for (const U_RefPtr<P_Symbol> &symbol : t.m_settledSymbols)
    sets.push_back(test_support::describeDeclarations(*symbol));
  for (const U_RefPtr<P_Template> &nested : t.m_nestedTemplates)
    addDeclarationSets(*nested, sets);
}

// Instance defines sit in a template's symbols and in the symbol table at
// once, so that what one table makes of a define the other sees: in every
// order of the units each table's symbols have the same declarations, in
// order and with one entry a place.
TEST_F(TemplateTableTest, DefinesSharedByBothTablesInEveryOrderOfTheUnits) {
  const std::string declareQueue = "::Queue<E> /tmpl/a.h 1 I DC TG F X {c::Queue<E>} U";
  const std::string queueOfInt = "::Queue<int> /tmpl/a.h 1 I DS TG F X {c::Queue<int>} -";
  const std::string declareClear = "::Queue<int>::Clear(v) /tmpl/a.h 3 I DC OF C X v -";
  const std::string defineClear = "::Queue<int>::Clear(v) /tmpl/a.h 3 I DF OF C X v -";
  const struct Case {
    const char *title;
    std::vector<std::vector<std::string>> units;
    std::vector<std::string> templates; // sorted
    std::vector<std::string> symbols;   // sorted
  } cases[] = {
      {"a class template instance defined at the template's line by one unit, its member defined there too",
       {{declareQueue, queueOfInt, declareClear},
        {declareQueue, queueOfInt, "::Queue<int> /tmpl/a.h 1 I DF TG F X {c::Queue<int>} -", declareClear,
         defineClear}},
       {"::Queue<E>: {a.h:1 C U}", "::Queue<int>: {a.h:1 FS}", "::Queue<int>: {a.h:1 S}"},
       {"::Queue<int>: {a.h:1 FS}", "::Queue<int>::Clear(v): {a.h:3 CF}"}},
      {"an instance settled by one unit on the line of its pending instance takes that one along",
       {{declareA, specialiseA, "::A<int> /tmpl/n.h 5 I DF TG F X {c::A<int>} -"}, {declareA, specialiseA}},
       {"::A<T>: {a.h:5 C U}", "::A<int>: {a.h:5 S, n.h:5 F}", "::A<int>: {a.h:5 S}"},
       {"::A<int>: {a.h:5 S, n.h:5 F}"}},
  };
  for (const Case &c : cases) {
    for (const std::vector<std::vector<std::string>> &units : test_support::everyOrder(c.units)) {
      Tables tables;
      tables.file(units);
      std::vector<std::string> templates;
      for (const U_RefPtr<P_Template> &t : tables.templates.templates())
        addDeclarationSets(*t, templates);
      std::vector<std::string> symbols;
      for (const U_RefPtr<P_Symbol> &symbol : tables.symbols.symbols())
        symbols.push_back(test_support::describeDeclarations(*symbol));
      std::sort(templates.begin(), templates.end());
      std::sort(symbols.begin(), symbols.end());
      EXPECT_EQ(c.templates, templates) << test_support::describeUnits(units);
      EXPECT_EQ(c.symbols, symbols) << test_support::describeUnits(units);
    }
  }
}

// Each pending symbol of the template as name@file:line of its define, in
// list order, and the cursor.
std::string pendingOf(const P_Template &t) {
  std::string text;
  for (const U_RefPtr<P_Symbol> &symbol : t.pendingSymbols()) {
    const P_Define *def = symbol->define();
    const std::string file = P_defineFileName(def);
    text += std::string(P_displayName(P_defineName(def))) + "@" + file.substr(file.rfind('/') + 1) + ":" +
            std::to_string(def->m_line) + " ";
  }
  return text + "cursor " + (t.m_pendingCursor ? P_displayName(t.m_pendingCursor) : "none");
}

TEST_F(TemplateTableTest, PendingListAsEachRecordLeavesIt) {
  // The list is walked after every record: an entry settled or dropped leaves
  // the list at its own place, whatever was opened after it; a name opened
  // again keeps its first symbol as its entry.
  const struct Step {
    std::string record;
    std::string pending;
  } steps[] = {
      {declareA, "cursor none"},
      {"::A<T> /tmpl/a.h 6 I DC TG F X {c::A<T>} U", "cursor none"},
      {specialiseA, "::A<int>@a.h:5 cursor ::A<int>"},
      {"::A<long> /tmpl/a.h 5 I DS TG F X {c::A<long>} -", "::A<int>@a.h:5 ::A<long>@a.h:5 cursor ::A<long>"},
      {"::A<int> /tmpl/a.h 6 I DS TG F X {c::A<int>} -",
       "::A<int>@a.h:5 ::A<long>@a.h:5 ::A<int>@a.h:6 cursor ::A<int>"},
      {"::A<int> /tmpl/a.c 20 N DF TG F X {c::A<int>} -", "::A<long>@a.h:5 ::A<int>@a.h:6 cursor none"},
      {"::A<char> /tmpl/a.h 5 I DS TG F X {c::A<char>} -",
       "::A<long>@a.h:5 ::A<int>@a.h:6 ::A<char>@a.h:5 cursor ::A<char>"},
      {"::A<long> /tmpl/a.h 6 I DS TG F X {c::A<long>} -",
       "::A<long>@a.h:5 ::A<int>@a.h:6 ::A<char>@a.h:5 ::A<long>@a.h:6 cursor ::A<long>"},
      {"::A<long> /tmpl/b.c 31 N DX TG F X {c::A<long>} -",
       "::A<int>@a.h:6 ::A<char>@a.h:5 ::A<long>@a.h:6 cursor none"},
      {"::A<int> /tmpl/a.h 5 I DS TG F X {c::A<int>} -",
       "::A<int>@a.h:6 ::A<char>@a.h:5 ::A<long>@a.h:6 ::A<int>@a.h:5 cursor ::A<int>"},
      {"::A<int> /tmpl/a.c 40 N DF TG F X {c::A<int>} -",
       "::A<int>@a.h:6 ::A<char>@a.h:5 ::A<long>@a.h:6 cursor none"},
      {"::A<T*> /tmpl/a.h 5 I DS TG F X {c::A<T*>} U",
       "::A<int>@a.h:6 ::A<char>@a.h:5 ::A<long>@a.h:6 ::A<T*>@a.h:5 cursor ::A<T*>"},
      {"::A<T*> /tmpl/a.h 12 I DP TG F X {c::A<T*>} -",
       "::A<int>@a.h:6 ::A<char>@a.h:5 ::A<long>@a.h:6 cursor none"},
      {"::A<char> /tmpl/a.h 6 I DS TG F X {c::A<char>} -",
       "::A<int>@a.h:6 ::A<char>@a.h:5 ::A<long>@a.h:6 ::A<char>@a.h:6 cursor ::A<char>"},
      {"::A<char> /tmpl/a.h 13 I DP TG F X {c::A<char>} -",
       "::A<int>@a.h:6 ::A<long>@a.h:6 ::A<char>@a.h:6 cursor none"},
  };
  Tables tables;
  for (const Step &step : steps) {
    tables.file({{step.record}});
    ASSERT_EQ(1u, tables.templates.templates().size());
    EXPECT_EQ(step.pending, pendingOf(*tables.templates.templates()[0])) << step.record;
  }
}

} // namespace

namespace {

TEST_F(TemplateTableTest, WhatIsNotTakenAndWhatCannotBe) {
  Tables tables;
  std::vector<DefinePtr> toFile;
  tables.templates.addDefine(DefinePtr(), toFile);
  ASSERT_EQ(1u, toFile.size()) << "an unset define is handed on as it is";
  EXPECT_FALSE(toFile[0].isSet());

  tables.templates.addDefine(defineOf(declareA), toFile);
  const U_RefPtr<P_Template> declared = tables.templates.templates().at(0);
  EXPECT_FALSE(declared->add(defineOf("::A<T> /tmpl/a.h 7 I DC TG F X {c::A<T>} U"), 6))
      << "no such add-kind";

  // A further declaration that the template does not take: one that is a
  // definition as well, at the place of the current declaration.
  const DefinePtr both = defineOf("::A<T> /tmpl/a.h 5 I DC TG F X {c::A<T>} U");
  P_changeDefine(*both, P_kindDeclaration | P_kindDefinition, both->m_flags);
  testing::internal::CaptureStderr();
  EXPECT_THROW(tables.templates.addDefine(both, toFile), U_AssertException);
  EXPECT_EQ("Assertion at TemplateTable:105: Assertion 'added && \"We should always add a new entry for a "
            "declaration in a different TU\"' failed.\n",
            testing::internal::GetCapturedStderr());
}

} // namespace

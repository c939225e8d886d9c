#include "anlsrslt/include/QueryInterface.h"

#include "anlsrslt/include/DefineQueries.h"
#include "anlsrslt/model/CurrentFile.h"
#include "anlsrslt/model/SymbolTable.h"
#include "anlsrslt/model/TemplateTable.h"
#include "anlsrslt/readers/DefineRecord.h"
#include "anlsrslt/readers/RelationRecord.h"
#include "anlsrslt/readers/Source.h"
#include "anlsrslt/readers/SourceFileReader.h"
#include "support/CurrentArguments.h"
#include "support/ListenerListsReset.h"
#include "support/RelationStoresReset.h"
#include "support/TemplateTableReset.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

void onNewSymbol(P_Symbol *, P_Define *) {}

// A define as "<display name>@<line>".
std::string describe(const P_Define *def) {
  return std::string(PI_displayName(PI_defineName(def))) + "@" + std::to_string(PI_defineLine(def));
}

// The defines of a symbol's declarations, each walk run to its end.
std::string definesOf(const P_Symbol *symbol) {
  std::string text;
  for (std::int32_t id = PI_beginDefines(symbol); !PI_definesAtEnd(id);) {
    text.append(text.empty() ? "" : " ").append(describe(PI_currentDefine(id)));
    if (PI_nextDefine(id))
      break;
  }
  return text;
}

// The symbols of a walk, each as "[<its defines>]", skipping the first ones.
std::string symbolsOf(std::int32_t id, std::size_t skip = 0) {
  std::string text;
  for (std::size_t index = 0; !PI_defineGroupsAtEnd(id); ++index) {
    if (index >= skip)
      text += "[" + definesOf(PI_currentDefineGroup(id)) + "]";
    if (PI_nextDefineGroup(id))
      break;
  }
  return text;
}

// A small model read from record lines, into the run's own symbol and
// template tables, with nothing else registered or collected.
class QueryInterfaceTest : public test_support::CurrentArgumentsTest {
protected:
  void SetUp() override {
    reset();
    setSymbolTableContext(&SymbolTable::instance());
    m_symbolsBefore = SymbolTable::instance().symbols().size();
    PI_registerNewSymbolListener(onNewSymbol);
    PI_registerIncludeCollector();
  }
  void TearDown() override {
    reset();
    setSymbolTableContext(nullptr);
  }
  static void reset() {
    test_support::ListenerListsReset::resetAll();
    test_support::RelationStoresReset::resetAll();
    test_support::TemplateTableReset::reset();
  }

  // Reads the lines of one record file.
  static void read(const std::vector<std::string> &lines) {
    SymbolTable::instance().clearTranslationUnit();
    for (const std::string &line : lines) {
      if (line.rfind("<DEFINE>", 0) == 0)
        handleDefineRecord(line);
      else
        handleRelationRecord(line);
    }
  }

  std::size_t m_symbolsBefore = 0;
};

TEST_F(QueryInterfaceTest, SymbolsAndTheirDefinesInTheOrderTheyWereMade) {
  read({"<DEFINE> f(ni) /q/a.c 3 N DC OF F X ni -", "<DEFINE> g /q/a.c 4 N DC OV F X ni -",
        "<DEFINE> f(ni) /q/a.c 9 N DF OF F X ni -"});
  read({"<DEFINE> g /q/b.c 2 N DC OV F X ni -"});
  EXPECT_EQ("[f(ni)@3 f(ni)@9][g@4 g@2]", symbolsOf(PI_beginFileDefineGroups(), m_symbolsBefore));

  const P_Symbol *f = SymbolTable::instance().symbols()[m_symbolsBefore].pointer();
  EXPECT_EQ("f(ni)@9", describe(PI_symbolDefine(f))) << "the definition represents the symbol";
}

TEST_F(QueryInterfaceTest, RedeclarationsFiledUnderADeclaration) {
  read({"<DEFINE> x /q/r.c 1 N DC OV F I ni -", "<DEFINE> x /q/r.c 2 N DR OV F I ni -",
        "<DEFINE> x /q/r.c 5 N DR OV F I ni -"});
  const P_Symbol *x = SymbolTable::instance().symbols()[m_symbolsBefore].pointer();
  P_Define *declaration = PI_symbolDefine(x);
  ASSERT_TRUE(PI_symbolHasRedeclarations(x, declaration));
  std::string seen;
  for (std::int32_t id = PI_beginRedeclarations(x, declaration); !PI_definesAtEnd(id);) {
    seen += describe(PI_currentDefine(id)) + " ";
    if (PI_nextDefine(id))
      break;
  }
  EXPECT_EQ("x@2 x@5 ", seen);
}

TEST_F(QueryInterfaceTest, NestedWalksHandOutIdsOfTheirOwnAndGetThemBackLastFreedFirst) {
  read({"<DEFINE> a /q/n.c 1 N DC OV F I ni -", "<DEFINE> b /q/n.c 2 N DC OV F I ni -"});
  const P_Symbol *a = SymbolTable::instance().symbols()[m_symbolsBefore].pointer();
  const P_Symbol *b = SymbolTable::instance().symbols()[m_symbolsBefore + 1].pointer();

  // Two walks at once have two ids; the one ended last is handed out first.
  const std::int32_t first = PI_beginDefines(a);
  const std::int32_t second = PI_beginDefines(b);
  EXPECT_NE(first, second);
  EXPECT_TRUE(PI_nextDefine(second));
  EXPECT_TRUE(PI_nextDefine(first));
  EXPECT_TRUE(PI_definesAtEnd(first));
  EXPECT_EQ(nullptr, PI_currentDefine(first)) << "current gives null at the end";
  EXPECT_EQ(first, PI_beginDefines(a));
  EXPECT_EQ(second, PI_beginDefines(b));
  EXPECT_TRUE(PI_nextDefine(first));
  EXPECT_TRUE(PI_nextDefine(second));

  // Inner walks inside an outer one: each inner walk ends before the next
  // begins, so all of them get one id.
  std::vector<std::int32_t> innerIds;
  const std::int32_t outer = PI_beginFileDefineGroups();
  for (std::size_t index = 0; !PI_defineGroupsAtEnd(outer); ++index) {
    if (index >= m_symbolsBefore) {
      const std::int32_t inner = PI_beginDefines(PI_currentDefineGroup(outer));
      innerIds.push_back(inner);
      while (!PI_nextDefine(inner)) {
      }
    }
    if (PI_nextDefineGroup(outer))
      break;
  }
  EXPECT_EQ((std::vector<std::int32_t>{second, second}), innerIds);

  // A walk left before its end keeps its id for good.
  const std::int32_t abandoned = PI_beginDefines(a);
  const std::int32_t next = PI_beginDefines(b);
  EXPECT_NE(abandoned, next);
  EXPECT_TRUE(PI_nextDefine(next));
  EXPECT_NE(abandoned, PI_beginDefines(b));
}

TEST_F(QueryInterfaceTest, AnEmptyWalkIsAtItsEndAtOnceAndKeepsItsId) {
  read({"<DEFINE> ::A<T> /q/t.h 5 I DC TG F X {c::A<T>} U"});
  const std::int32_t top = PI_beginTopScopes();
  ASSERT_FALSE(PI_scopesAtEnd(top));
  P_Template *scope = PI_currentScope(top);
  const std::int32_t empty = PI_beginChildScopes(scope);
  EXPECT_TRUE(PI_scopesAtEnd(empty));
  EXPECT_EQ(nullptr, PI_currentScope(empty));
  EXPECT_TRUE(PI_nextScope(top));
  const std::int32_t after = PI_beginChildScopes(scope);
  EXPECT_NE(empty, after);
  EXPECT_EQ(top, after) << "the outer walk's id was freed last";
}

TEST_F(QueryInterfaceTest, TemplatesWithTheirOwnSymbolInstancesAndNestedTemplates) {
  read({"<DEFINE> ::A<T> /q/t.h 5 I DC TG F X {c::A<T>} U",
        "<DEFINE> ::A<T*> /q/t.h 5 I DS TG F X {c::A<T*>} U",
        "<DEFINE> ::A<T*> /q/t.h 12 I DP TG F X {c::A<T*>} -",
        "<DEFINE> ::A<int> /q/t.h 5 I DS TG F X {c::A<int>} -",
        "<DEFINE> ::A<int> /q/t.c 20 N DF TG F X {c::A<int>} -",
        "<DEFINE> ::A<char> /q/t.h 5 I DS TG F X {c::A<char>} -"});
  std::vector<std::string> seen;
  const std::int32_t top = PI_beginTopScopes();
  for (; !PI_scopesAtEnd(top);) {
    const P_Template *scope = PI_currentScope(top);
    seen.push_back("own [" + definesOf(PI_scopeDefineGroup(scope)) + "] first " +
                   symbolsOf(PI_beginScopeFirstDefineGroups(scope)) + " second " +
                   symbolsOf(PI_beginScopeDefineGroups(scope)));
    for (std::int32_t child = PI_beginChildScopes(scope); !PI_scopesAtEnd(child);) {
      seen.push_back("child [" + definesOf(PI_scopeDefineGroup(PI_currentScope(child))) + "]");
      if (PI_nextScope(child))
        break;
    }
    if (PI_nextScope(top))
      break;
  }
  EXPECT_EQ((std::vector<std::string>{"own [::A<T>@5] first [::A<char>@5] second [::A<int>@20]",
                                      "child [::A<T*>@12]"}),
            seen);
}

TEST_F(QueryInterfaceTest, IncludeRecordsOfEveryRecordFileGroupedByIncludingFile) {
  read({"<R>I /q/a.c /q/x.h 1 S", "<R>I /q/x.h /q/y.h 7 -"});
  read({"<R>I /q/a.c /q/y.h 4 -"});
  std::vector<std::string> seen;
  for (std::int32_t id = PI_beginIncludes(); !PI_includesAtEnd(id);) {
    const P_IncludeRecord *include = PI_currentInclude(id);
    seen.push_back(std::string(PI_includeFromFileName(include)) + ":" +
                   std::to_string(PI_includeLine(include)) + " " + PI_includeToFileName(include) +
                   (PI_includeHasFlagS(include) ? " S" : ""));
    if (PI_nextInclude(id))
      break;
  }
  EXPECT_EQ((std::vector<std::string>{"/q/a.c:1 /q/x.h S", "/q/a.c:4 /q/y.h", "/q/x.h:7 /q/y.h"}), seen);
}

TEST_F(QueryInterfaceTest, DefineQueriesAndCompositeTests) {
  read({"<DEFINE> v /q/d.c 1 N DC OV F X ni -", "<DEFINE> ::C::m /q/d.c 2 N DC MB C N ni -",
        "<DEFINE> ::C::m /q/d.c 9 N DF MB S N ni -", "<DEFINE> i /q/d.c 3 N DI OV F X ni V",
        "<DEFINE> w /q/d.c 4 N DC OV F X ni VP"});
  const std::vector<P_Define *> defines = [&] {
    std::vector<P_Define *> all;
    for (std::size_t k = m_symbolsBefore; k < SymbolTable::instance().symbols().size(); ++k)
      for (std::int32_t id = PI_beginDefines(SymbolTable::instance().symbols()[k].pointer());
           !PI_definesAtEnd(id);) {
        all.push_back(PI_currentDefine(id));
        if (PI_nextDefine(id))
          break;
      }
    return all;
  }();
  struct Case {
    std::string define;
    bool plainDeclaration, variable, memberOutsideClass, flagVWithoutP;
  };
  const Case cases[] = {
      {"v@1", true, true, false, false},       {"::C::m@2", true, true, false, false},
      {"::C::m@9", false, false, true, false}, {"i@3", false, true, false, true},
      {"w@4", true, true, false, false},
  };
  ASSERT_EQ(std::size(cases), defines.size());
  for (std::size_t k = 0; k < defines.size(); ++k) {
    const Case &c = cases[k];
    const P_Define *def = defines[k];
    EXPECT_EQ(c.define, describe(def));
    EXPECT_EQ(c.plainDeclaration, PI_defineIsPlainDeclaration(def)) << c.define;
    EXPECT_EQ(c.variable, PI_defineIsVariable(def)) << c.define;
    EXPECT_EQ(c.memberOutsideClass, PI_defineIsMemberOutsideClass(def)) << c.define;
    EXPECT_EQ(c.flagVWithoutP, PI_defineHasFlagVWithoutP(def)) << c.define;
    EXPECT_EQ(def, PI_defineIdentity(defines[k])) << c.define;
  }
  EXPECT_STREQ("/q/d.c", PI_defineFileName(defines[0]));
  EXPECT_STREQ("m", PI_defineBareName(defines[1]));
  EXPECT_STREQ("::C", PI_displayName(PI_defineScopeName(defines[1])));
  EXPECT_TRUE(PI_defineHasExternalLinkage(defines[0]));
  EXPECT_TRUE(PI_isSameDefinePlace(defines[0], defines[0]));
  EXPECT_FALSE(PI_isSameDefinePlace(defines[0], defines[4]));
}

TEST_F(QueryInterfaceTest, SourcesAndTheFileUnderAnalysis) {
  const QL_Filename analysed = QL_Filename::fromPath("/q/main.c");
  const QL_Filename saved = P_currentFilenames();
  P_currentFilenames() = analysed;
  const P_Source main(1, 2, P_filenameProxyFor(analysed));
  const P_Source other(2, 2, P_filenameProxyFor(QL_Filename::fromPath("/q/other.c")));
  EXPECT_STREQ("/q/main.c", PI_sourceFileName(&main));
  EXPECT_TRUE(PI_sourceIsAnalysedFile(&main));
  EXPECT_FALSE(PI_sourceIsAnalysedFile(&other));
  EXPECT_STREQ("/q/main.c", PI_getAnalysedFile(0));
  EXPECT_STREQ("/q/main.c", PI_getAnalysedFile(1));
  EXPECT_EQ(PI_getAnalysedFile(0), PI_getAnalysedFile(0)) << "interned";
  P_currentFilenames() = saved;
}

TEST_F(QueryInterfaceTest, TheOutputDirectory) {
  const std::string saved = P_outputDirectory();
  P_outputDirectory() = "/q/out";
  EXPECT_STREQ("/q/out", PI_getOutputPath(0));
  EXPECT_STREQ("/q/out", PI_getOutputPath(1));
  P_outputDirectory() = saved;
}

using QueryInterfaceDeathTest = QueryInterfaceTest;

TEST_F(QueryInterfaceDeathTest, AnEncodingCodeOtherThanZeroOrOne) {
  EXPECT_DEATH(PI_getAnalysedFile(2), "Assertion '! \"Illegal encoding specified\"' failed");
  EXPECT_DEATH(PI_getOutputPath(-1), "Illegal encoding specified");
}

TEST_F(QueryInterfaceDeathTest, AnIdNeverHandedOut) {
  EXPECT_DEATH(PI_definesAtEnd(1 << 30), "Iterator Id is out of range.");
  EXPECT_DEATH(PI_currentInclude(-1), "Iterator Id is out of range.");
}

TEST_F(QueryInterfaceDeathTest, ANullObject) {
  EXPECT_DEATH(PI_scopeDefineGroup(nullptr), "Dont dereference 0.");
  EXPECT_DEATH(PI_defineLine(nullptr), "Dont dereference 0.");
  EXPECT_DEATH(PI_includeLine(nullptr), "Dont dereference 0.");
}

} // namespace

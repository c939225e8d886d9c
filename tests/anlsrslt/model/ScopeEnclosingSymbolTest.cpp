#include "anlsrslt/model/ScopeEnclosingSymbol.h"

#include "anlsrslt/model/DefineAccessors.h"
#include "anlsrslt/model/EncodedName.h"
#include "anlsrslt/model/SymbolTable.h"
#include "foundation/StringStore.h"
#include "support/ModelDump.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using test_support::defineOf;

const char *marked(const std::string &encoded) { return P_encodeName(encoded); }

// The enclosing symbol found for a scope name (given encoded).
P_Symbol *enclosing(const std::string &scope, SymbolTable &table) {
  return findEnclosingSymbol(marked(scope), table);
}

TEST(ScopeEnclosingSymbolTest, TheWalkStepsOverCodedScopesToAnOrdinaryOne) {
  SymbolTable table;
  table.clearTranslationUnit();
  const P_SymbolFiling box = table.addDefine(defineOf("::ns::Box<int> /enc/a.c 1 N DC TG F X - -"));
  const P_SymbolFiling f = table.addDefine(defineOf("::f(v) /enc/a.c 2 N DC OF F X v -"));
  ASSERT_TRUE(box.symbol.isSet());
  ASSERT_TRUE(f.symbol.isSet());
  const struct Case {
    std::string scope;
    P_Symbol *expected;
  } cases[] = {
      {"::ns::Box<int>", box.symbol.get()},
      {"::f(v)::@BL3", f.symbol.get()},
      {"::f(v)::@BL3::@BL4", f.symbol.get()},
      {"::f(v)::@UN7::@BL3", nullptr},
      {"::@UN7", nullptr},
      {"::nowhere::@BL2", nullptr},
      {"", nullptr},
  };
  for (const Case &c : cases)
    EXPECT_EQ(c.expected, enclosing(c.scope, table)) << c.scope;
}

TEST(ScopeEnclosingSymbolTest, OnlyFoundSymbolsAreCachedAndEachUnitFindsItsOwn) {
  SymbolTable table;
  P_EnclosingSymbolCache &cache = P_enclosingSymbolCache();
  const char *scope = marked("::local(v)::@BL1");
  // First unit: the scope is asked before its function is known, then after.
  table.clearTranslationUnit();
  cacheEnclosingSymbol(scope, table, cache);
  EXPECT_EQ(nullptr, P_scopeEnclosingSymbol(scope));
  const P_SymbolFiling first = table.addDefine(defineOf("::local(v) /enc/a.c 1 N DF OF F I v -"));
  cacheEnclosingSymbol(scope, table, cache);
  EXPECT_EQ(first.symbol.get(), P_scopeEnclosingSymbol(scope));

  // Second unit: a static function of the same name is a symbol of its own.
  table.clearTranslationUnit();
  EXPECT_EQ(nullptr, P_scopeEnclosingSymbol(scope));
  const P_SymbolFiling second = table.addDefine(defineOf("::local(v) /enc/b.c 1 N DF OF F I v -"));
  ASSERT_NE(first.symbol, second.symbol);
  cacheEnclosingSymbol(scope, table, cache);
  EXPECT_EQ(second.symbol.get(), P_scopeEnclosingSymbol(scope));
  EXPECT_EQ(nullptr, P_scopeEnclosingSymbol(internString("")));
  table.clearTranslationUnit();
}

TEST(ScopeEnclosingSymbolDeathTest, ANullScopeEndsTheProcess) {
  EXPECT_DEATH(P_scopeEnclosingSymbol(nullptr), "ScopeEnclSymbol:.*0 != scope && \"Scope is unset\"");
}

} // namespace

#include "anlsrslt/model/impl/IterCont.h"

#include "anlsrslt/model/IterSlots.h"
#include "anlsrslt/model/Symbol.h"
#include "anlsrslt/model/Template.h"
#include "foundation/StringStore.h"
#include "support/ModelDump.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using test_support::defineOf;

using NodeStore = IterCont<P_GraphNodeIter>;
const std::vector<std::uint32_t> kNodes = {7, 0, 9};
const std::vector<std::uint32_t> kNoNodes;

// Reads a whole walk the way the query interface does.
template <class S, class C>
std::vector<typename S::Element> walkAll(IterCont<S> &store, const C &collection) {
  std::vector<typename S::Element> seen;
  const std::int32_t id = store.create(collection.begin(), collection.end()).id;
  while (!store.atEnd(id)) {
    seen.push_back(store.current(id));
    store.next(id);
  }
  return seen;
}

TEST(IterContTest, IdsCountFromZeroAndFreedIdsComeBackLastInFirstOut) {
  NodeStore store;
  EXPECT_EQ(0, store.create(kNodes.begin(), kNodes.end()).id);
  EXPECT_EQ(1, store.create(kNodes.begin(), kNodes.end()).id);
  // Walk 0 to its end: next says so exactly once, on the last step.
  EXPECT_FALSE(store.next(0));
  EXPECT_FALSE(store.next(0));
  EXPECT_TRUE(store.next(0));
  EXPECT_TRUE(store.atEnd(0));
  EXPECT_EQ(0u, store.current(0));
  EXPECT_EQ(0, store.create(kNodes.begin(), kNodes.end()).id);

  // Ids 2..5 live; 3 ends before 5: 5 comes back first.
  for (int expected = 2; expected <= 5; ++expected)
    EXPECT_EQ(expected, store.create(kNodes.end() - 1, kNodes.end()).id);
  EXPECT_TRUE(store.next(3));
  EXPECT_TRUE(store.next(5));
  EXPECT_EQ(5, store.create(kNodes.begin(), kNodes.end()).id);
  EXPECT_EQ(3, store.create(kNodes.begin(), kNodes.end()).id);
  EXPECT_EQ(6, store.create(kNodes.begin(), kNodes.end()).id);
  EXPECT_EQ(0u, store.freeCount());
}

TEST(IterContTest, EmptyAndAbandonedWalksKeepTheirIds) {
  NodeStore store;
  const std::int32_t empty = store.create(kNoNodes.begin(), kNoNodes.end()).id;
  EXPECT_TRUE(store.atEnd(empty));
  EXPECT_EQ(0u, store.current(empty));
  const std::int32_t abandoned = store.create(kNodes.begin(), kNodes.end()).id;
  EXPECT_FALSE(store.next(abandoned));
  // Neither id is free: new walks get new ids.
  EXPECT_EQ(0u, store.freeCount());
  EXPECT_EQ(2, store.create(kNodes.begin(), kNodes.end()).id);
  EXPECT_EQ(3, store.idCount());
  // The abandoned walk still reads where it was left.
  EXPECT_EQ(0u, store.current(abandoned));
  EXPECT_FALSE(store.atEnd(abandoned));
}

TEST(IterContTest, NestedWalksOfOneStoreRunApart) {
  NodeStore store;
  std::vector<std::string> pairs;
  const std::int32_t outer = store.create(kNodes.begin(), kNodes.end()).id;
  while (!store.atEnd(outer)) {
    const std::int32_t inner = store.create(kNodes.begin(), kNodes.end()).id;
    EXPECT_NE(outer, inner);
    while (!store.atEnd(inner)) {
      pairs.push_back(std::to_string(store.current(outer)) + "-" + std::to_string(store.current(inner)));
      store.next(inner);
    }
    store.next(outer);
  }
  EXPECT_EQ((std::vector<std::string>{"7-7", "7-0", "7-9", "0-7", "0-0", "0-9", "9-7", "9-0", "9-9"}), pairs);
  // The inner walks reused one id; the outer one freed its own at the end.
  EXPECT_EQ(2, store.idCount());
  EXPECT_EQ(2u, store.freeCount());
}

TEST(IterContTest, GraphNodeZeroAndTheEndReadAlike) {
  NodeStore store;
  const std::int32_t id = store.create(kNodes.begin() + 1, kNodes.end()).id;
  EXPECT_EQ(0u, store.current(id));
  EXPECT_FALSE(store.atEnd(id));
  store.next(id);
  store.next(id);
  EXPECT_EQ(0u, store.current(id));
  EXPECT_TRUE(store.atEnd(id));
}

TEST(IterContTest, StoresOfDifferentSlotTypesCountApart) {
  IterCont<P_DefineIter> &defineStore = IterCont<P_DefineIter>::instance();
  IterCont<P_SymbolIter> &symbolStore = IterCont<P_SymbolIter>::instance();
  EXPECT_EQ(&defineStore, &IterCont<P_DefineIter>::instance());
  const std::int32_t symbolIds = symbolStore.idCount();
  const std::int32_t defineIds = defineStore.idCount();
  P_DefineSet defines;
  defines.insert(defineOf("iter_x /iter/a.c 1 N DC OV F X ni -"));
  const std::int32_t id = defineStore.create(defines.begin(), defines.end()).id;
  EXPECT_LE(id, defineIds);
  EXPECT_EQ(symbolIds, symbolStore.idCount());
  defineStore.next(id);
}

TEST(IterContTest, EachStoreWalksItsCollection) {
  // Defines: the declarations in set order.
  P_DefineSet defines;
  const DefinePtr first = defineOf("iter_a /iter/a.c 1 N DC OV F X ni -");
  const DefinePtr second = defineOf("iter_a /iter/a.c 2 N DC OV F X ni -");
  defines.insert(second);
  defines.insert(first);
  IterCont<P_DefineIter> defineStore;
  EXPECT_EQ((std::vector<P_Define *>{first.pointer(), second.pointer()}), walkAll(defineStore, defines));

  // Includes: the records of one file in reading order.
  P_IncludeRelationSet includes;
  const U_RefPtr<FilenameProxy> from = P_filenameProxyFor(QL_Filename::fromPath("/iter/a.c"));
  P_CountedPtr<P_IncludeRecord> one = P_makeCounted<P_IncludeRecord>();
  P_CountedPtr<P_IncludeRecord> two = P_makeCounted<P_IncludeRecord>();
  includes.emplace(from, one);
  includes.emplace(from, two);
  IterCont<P_IncludeIter> includeStore;
  EXPECT_EQ((std::vector<P_IncludeRecord *>{one.pointer(), two.pointer()}), walkAll(includeStore, includes));

  // Symbols and templates: array order.
  std::vector<U_RefPtr<P_Symbol>> symbols;
  for (const char *fields : {"iter_s /iter/a.c 3 N DC OV F X ni -", "iter_t /iter/a.c 4 N DC OV F X ni -"})
    symbols.push_back(new P_Symbol(defineOf(fields)));
  IterCont<P_SymbolIter> symbolStore;
  EXPECT_EQ((std::vector<P_Symbol *>{symbols[0].pointer(), symbols[1].pointer()}),
            walkAll(symbolStore, symbols));

  // Graph edges.
  std::vector<P_CountedPtr<P_ControlGraphEdge>> edges;
  edges.push_back(P_makeCounted<P_ControlGraphEdge>(1u, 2u));
  IterCont<P_GraphEdgeIter> edgeStore;
  const std::vector<P_ControlGraphEdge *> seenEdges = walkAll(edgeStore, edges);
  ASSERT_EQ(1u, seenEdges.size());
  EXPECT_EQ(2u, seenEdges[0]->m_to);
}

TEST(IterContTest, AnOptionValueWalkKeepsItsTable) {
  const char *name = internString("iter-option");
  const char *other = internString("iter-other");
  P_CountedPtr<P_ProductOptionTable> table = P_makeCounted<P_ProductOptionTable>();
  table->emplace(name, internString("one"));
  table->emplace(other, internString("x"));
  table->emplace(name, internString("two"));
  IterCont<P_OptionValueIter> store;
  const auto range = table->equal_range(name);
  const std::int32_t id = store.create(range.first, range.second, table).id;
  // The table is built afresh meanwhile: the walk still reads the old one.
  table = P_makeCounted<P_ProductOptionTable>();
  std::vector<std::string> values;
  while (!store.atEnd(id)) {
    values.emplace_back(store.current(id));
    store.next(id);
  }
  EXPECT_EQ((std::vector<std::string>{"one", "two"}), values);
}

TEST(IterContDeathTest, MisuseEndsTheProcess) {
  const struct Case {
    const char *title;
    void (*call)(NodeStore &store);
    const char *report;
  } cases[] = {
      {"atEnd at the next id", [](NodeStore &s) { s.atEnd(1); }, "Iterator Id is out of range"},
      {"current at the next id", [](NodeStore &s) { s.current(1); }, "Iterator Id is out of range"},
      {"next at the next id", [](NodeStore &s) { s.next(1); }, "Iterator Id is out of range"},
      {"a negative id", [](NodeStore &s) { s.atEnd(-1); }, "key < nextId"},
      {"next at the end", [](NodeStore &s) { s.next(0); }, "Iterator is already at its end"},
  };
  for (const Case &c : cases) {
    NodeStore store;
    store.create(kNoNodes.begin(), kNoNodes.end());
    EXPECT_DEATH(c.call(store), c.report) << c.title;
  }
}

TEST(IterContDeathTest, AnUnsetHandleInAWalkedListEndsTheProcess) {
  std::vector<U_RefPtr<P_Symbol>> symbols(1);
  IterCont<P_SymbolIter> symbolStore;
  const std::int32_t id = symbolStore.create(symbols.begin(), symbols.end()).id;
  EXPECT_DEATH(symbolStore.current(id), "P_SymbolIter:.*DefinePtr is Null pointer in container");
  std::vector<U_RefPtr<P_Template>> templates(1);
  IterCont<P_TemplateIter> templateStore;
  const std::int32_t templateId = templateStore.create(templates.begin(), templates.end()).id;
  EXPECT_DEATH(templateStore.current(templateId), "P_TemplateIter:.*DefinePtr is Null pointer in container");
}

} // namespace

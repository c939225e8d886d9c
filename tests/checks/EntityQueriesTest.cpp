#include "anlsrslt/include/EntityQueries.h"

#include "anlsrslt/include/DefineQueries.h"
#include "anlsrslt/include/QueryInterface.h"
#include "anlsrslt/model/SymbolTable.h"
#include "anlsrslt/readers/SourceFileReader.h"

#include "RecordQueriesTest.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using test_support::QueryWalk;
using test_support::walkAll;

// Functions and variables of a.c; their names are first pooled here, in this
// order.
const std::vector<std::string> defines = {
    "<DEFINE> eq_f /q/a.c 1 N DF OF F X v -",         "<DEFINE> eq_g /q/a.c 2 N DF OF F X v -",
    "<DEFINE> eq_v /q/a.c 3 N DF OV F X ni -",        "<DEFINE> eq_w /q/a.c 4 N DF OV F X ni -",
    "<DEFINE> eq_S /q/a.c 5 N DF TG F N {s::eq_S} -",
};

std::vector<std::string> withDefines(const std::vector<std::string> &lines) {
  return test_support::linesThen(defines, lines);
}

// The display name of a symbol's representative define.
std::string nameOf(const P_Symbol *symbol) {
  return symbol ? PI_displayName(PI_defineName(PI_symbolDefine(symbol))) : "(null)";
}

// What the listeners were told, in order.
std::vector<std::string> events;

using EntityQueriesTest = test_support::RecordQueriesTest;

const QueryWalk<P_ExternVarRecord *> externVars = {PI_externVarsAtEnd, PI_currentExternVar, PI_nextExternVar};

// A record as "<first>(<its symbol>)><second>(<its symbol>)@<line>".
std::string describe(const P_ExternVarRecord *record) {
  return std::string(PI_externVarFirstName(record)) + "(" + nameOf(PI_externVarFirstSymbol(record)) + ")>" +
         PI_externVarSecondName(record) + "(" + nameOf(PI_externVarSecondSymbol(record)) + ")@" +
         std::to_string(PI_externVarLine(record));
}

std::vector<std::string> describeExternVars() {
  std::vector<std::string> seen;
  for (const P_ExternVarRecord *record : walkAll(PI_beginExternVars(), externVars))
    seen.push_back(describe(record));
  return seen;
}

TEST_F(EntityQueriesTest, ExternalVariablesOfEveryRecordFileBySecondName) {
  readRecordFile("a.c", withDefines({"<EXTV> eq_f eq_w 1"}));
  EXPECT_TRUE(describeExternVars().empty()) << "read only once registered";

  PI_registerExternVarHandler();
  readRecordFile("a.c", withDefines({"<EXTV> eq_f eq_w 1", "<EXTV> eq_f eq_v 12", "<EXTV> eq_g eq_v 30"}));
  readRecordFile("b.c", withDefines({"<EXTV> eq_g eq_w -4"}));
  EXPECT_EQ((std::vector<std::string>{"eq_f(eq_f)>eq_v(eq_v)@12", "eq_g(eq_g)>eq_v(eq_v)@30",
                                      "eq_f(eq_f)>eq_w(eq_w)@1", "eq_g(eq_g)>eq_w(eq_w)@4294967292"}),
            describeExternVars());

  const struct Case {
    std::string name;
    std::uint32_t count;
  } cases[] = {{"eq_v", 2}, {"eq_w", 2}, {"eq_f", 0}, {"eq_unknown", 0}, {"", 0}};
  for (const Case &c : cases) {
    // The name need not come from the pool.
    const std::string own = c.name;
    EXPECT_EQ(c.count, PI_countExternVars(own.c_str())) << c.name;
  }
  EXPECT_EQ(0u, PI_countExternVars(nullptr));
}

void onAlloc(P_AllocRecord *record) {
  std::string kinds = std::string(PI_allocIsPlain(record) ? "plain" : "") +
                      (PI_allocIsArray(record) ? "array" : "") + (PI_allocIsOld(record) ? "old" : "") +
                      (PI_allocIsOtherKind(record) ? "other" : "");
  events.push_back(std::string(PI_allocName(record)) + "(" + nameOf(PI_allocSymbol(record)) + ") " + kinds +
                   " " + PI_allocFileName(record) + ":" + std::to_string(PI_allocLine(record)) + ":" +
                   std::to_string(PI_allocColumn(record)));
}

TEST_F(EntityQueriesTest, AllocationsReachTheListenerWithTheirKind) {
  events.clear();
  PI_registerAllocListener(onAlloc);
  readRecordFile("a.c", withDefines({"<ALLOC> eq_v plain /q/a.c 10 5", "<ALLOC> eq_v array /q/a.c 11 6",
                                     "<ALLOC> eq_w old /q/b.c 12 7", "<ALLOC> eq_w Array /q/a.c 13 8",
                                     "<ALLOC> eq_unknown plain /q/a.c 14 9"}));
  EXPECT_EQ((std::vector<std::string>{"eq_v(eq_v) plain /q/a.c:10:5", "eq_v(eq_v) array /q/a.c:11:6",
                                      "eq_w(eq_w) old /q/b.c:12:7", "eq_w(eq_w) other /q/a.c:13:8"}),
            events);
}

void onEntity(const char *entity) { events.push_back(entity ? entity : "(null)"); }

TEST_F(EntityQueriesTest, MetricsByEntityAndName) {
  readRecordFile("a.c", {"<S>STFIL /q/a.c", "<S>STNAM eq_f", "<S>A 3"});
  EXPECT_FALSE(PI_hasMetric("eq_f", "A")) << "read only once registered";

  PI_registerMetricRecordHandler();
  readRecordFile("a.c", {"<S>STFIL /q/a.c", "<S>STNAM /q/a.c", "<S>LINES 40", "<S>STNAM eq_f", "<S>A 3",
                         "<S>B 2.50", "<S>C x", "<S>D  7"});
  const struct Case {
    const char *entity;
    const char *metric;
    bool has;
    std::int32_t number;
    double floating;
    const char *text;
  } cases[] = {
      {"eq_f", "A", true, 3, 3.0, "3"},          {"eq_f", "B", true, 2, 2.5, "2.50"},
      {"eq_f", "C", true, 0, 0.0, "x"},          {"eq_f", "D", true, 7, 7.0, "7"},
      {"/q/a.c", "LINES", true, 40, 40.0, "40"}, {"eq_f", "LINES", false, 0, 0.0, nullptr},
      {"eq_g", "A", false, 0, 0.0, nullptr},
  };
  for (const Case &c : cases) {
    const std::string where = std::string(c.entity) + " " + c.metric;
    EXPECT_EQ(c.has, PI_hasMetric(c.entity, c.metric)) << where;
    EXPECT_EQ(c.number, PI_getMetric(c.entity, c.metric)) << where;
    EXPECT_EQ(c.floating, PI_getMetricDouble(c.entity, c.metric)) << where;
    if (c.text)
      EXPECT_STREQ(c.text, PI_getMetricString(c.entity, c.metric)) << where;
    else
      EXPECT_EQ(nullptr, PI_getMetricString(c.entity, c.metric)) << where;
  }
}

TEST_F(EntityQueriesTest, AMetricListenerIsToldOfEachEntityAndTheLastAtTheEnd) {
  events.clear();
  PI_registerMetricListener(onEntity);
  readRecordFile("a.c", {"<S>STFIL /q/a.c", "<S>STNAM eq_f", "<S>A 1", "<S>STNAM eq_g", "<S>A 2"});
  EXPECT_EQ((std::vector<std::string>{"eq_f"}), events);
  notifyRunEndListeners(SymbolTable::instance());
  EXPECT_EQ((std::vector<std::string>{"eq_f", "eq_g"}), events);
  EXPECT_EQ(2, PI_getMetric("eq_g", "A"));
}

const QueryWalk<std::uint32_t> graphNodes = {PI_graphNodesAtEnd, PI_currentGraphNode, PI_nextGraphNode};
const QueryWalk<P_ControlGraphEdge *> graphEdges = {PI_graphEdgesAtEnd, PI_currentGraphEdge,
                                                    PI_nextGraphEdge};

// A graph as "<object>(<its symbol>)#<number> n:<nodes> e:<from>><to>,...",
// read through the walks.
void onGraph(P_ControlGraph *graph) {
  std::string text = std::string(PI_controlGraphObject(graph)) + "(" + nameOf(PI_controlGraphSymbol(graph)) +
                     ")#" + std::to_string(PI_controlGraphNumber(graph)) + " n:";
  for (std::uint32_t node : walkAll(PI_beginGraphNodes(graph), graphNodes))
    text += std::to_string(node) + ",";
  text += " e:";
  for (const P_ControlGraphEdge *edge : walkAll(PI_beginGraphEdges(graph), graphEdges))
    text += std::to_string(PI_controlGraphEdgeFrom(edge)) + ">" +
            std::to_string(PI_controlGraphEdgeTo(edge)) + ",";
  events.push_back(text);
}

P_ControlGraph *lastGraph = nullptr;
void keepGraph(P_ControlGraph *graph) { lastGraph = graph; }

TEST_F(EntityQueriesTest, ControlGraphsWithTheirNodesAndEdges) {
  events.clear();
  PI_registerControlGraphHandlers(onGraph);
  readRecordFile("a.c",
                 withDefines({"<CTLG> eq_f 3", "<CTLG> 1 2", "<CTLG> 2 3", "<CTLG> 1 3", "<CTLGN> 1 2 3",
                              "<CTLG> eq_g 4", "<CTLGN>", "<CTLG> eq_v 5", "<CTLG> 0 9", "<CTLGN> 0 9"}));
  EXPECT_EQ((std::vector<std::string>{"eq_f(eq_f)#3 n:1,2,3, e:1>2,2>3,1>3,",
                                      "eq_g(eq_g)#4 n: e:", "eq_v(eq_v)#5 n:0,9, e:0>9,"}),
            events);
}

TEST_F(EntityQueriesTest, NestedAndAbandonedWalksOfAGraph) {
  PI_registerControlGraphHandlers(keepGraph);
  readRecordFile("a.c", withDefines({"<CTLG> eq_f 1", "<CTLG> 1 2", "<CTLG> 2 1", "<CTLGN> 1 2"}));
  ASSERT_NE(nullptr, lastGraph);
  const P_ControlGraph *graph = lastGraph;

  // A node walk inside a node walk, and edge walks (a store of their own)
  // inside both.
  std::vector<std::string> seen;
  const std::int32_t outer = PI_beginGraphNodes(graph);
  std::int32_t inner = -1;
  while (!PI_graphNodesAtEnd(outer)) {
    inner = PI_beginGraphNodes(graph);
    EXPECT_NE(outer, inner);
    for (std::uint32_t node : walkAll(inner, graphNodes))
      seen.push_back(std::to_string(PI_currentGraphNode(outer)) + "/" + std::to_string(node) + "/" +
                     std::to_string(walkAll(PI_beginGraphEdges(graph), graphEdges).size()));
    if (PI_nextGraphNode(outer))
      break;
  }
  EXPECT_EQ((std::vector<std::string>{"1/1/2", "1/2/2", "2/1/2", "2/2/2"}), seen);
  EXPECT_EQ(0u, PI_currentGraphNode(outer)) << "0 at the end";
  EXPECT_EQ(outer, PI_beginGraphNodes(graph)) << "the id freed last comes first";
  EXPECT_EQ(inner, PI_beginGraphNodes(graph));

  // Both walks were left at their starts: their ids stay taken.
  const std::int32_t fresh = PI_beginGraphNodes(graph);
  EXPECT_NE(outer, fresh);
  EXPECT_NE(inner, fresh);
}

void *value(std::uintptr_t number) { return reinterpret_cast<void *>(number); }
void onClassTag(P_Define *define, void *given) {
  events.push_back(std::string("class:") + PI_displayName(PI_defineName(define)) + ":" +
                   std::to_string(reinterpret_cast<std::uintptr_t>(given)));
}
void onFunction(P_Define *define, void *given) {
  events.push_back(std::string("function:") + PI_displayName(PI_defineName(define)) + ":" +
                   std::to_string(reinterpret_cast<std::uintptr_t>(given)));
}

// Names of this test only: a struct, a union, a function declared only, a
// variable.
TEST_F(EntityQueriesTest, ClassTagAndFunctionListenersAtTheEndOfTheRun) {
  events.clear();
  PI_registerFunctionListener(value(3), onFunction);
  PI_registerClassTagListener(value(7), onClassTag);
  PI_registerFunctionListener(value(4), onFunction);
  readRecordFile(
      "a.c", {"<DEFINE> eq_T /q/a.c 1 N DF TG F N {s::eq_T} -", "<DEFINE> eq_h(v) /q/a.c 2 N DC OF F X v -",
              "<DEFINE> eq_U /q/a.c 3 N DF TG F N {u::eq_U} -", "<DEFINE> eq_x /q/a.c 4 N DF OV F X ni -"});
  EXPECT_TRUE(events.empty()) << "called at the end of the run only";
  notifyRunEndListeners(SymbolTable::instance());
  // Symbols of other tests are called too.
  std::vector<std::string> own;
  for (const std::string &event : events)
    if (event.find(":eq_T:") != std::string::npos || event.find(":eq_h(v):") != std::string::npos ||
        event.find(":eq_U:") != std::string::npos || event.find(":eq_x:") != std::string::npos)
      own.push_back(event);
  EXPECT_EQ((std::vector<std::string>{"class:eq_T:7", "function:eq_h(v):3", "function:eq_h(v):4"}), own);
}

using EntityQueriesDeathTest = EntityQueriesTest;

TEST_F(EntityQueriesDeathTest, NullRecordsAndIdsNeverHandedOut) {
  EXPECT_DEATH(PI_externVarLine(nullptr), "Assertion '0 != han && \"Dont dereference 0.\"' failed");
  EXPECT_DEATH(PI_allocIsOld(nullptr), "Dont dereference 0.");
  EXPECT_DEATH(PI_controlGraphNumber(nullptr), "Dont dereference 0.");
  EXPECT_DEATH(PI_beginGraphEdges(nullptr), "Dont dereference 0.");
  EXPECT_DEATH(PI_externVarsAtEnd(1 << 30), "Iterator Id is out of range.");
  EXPECT_DEATH(PI_currentGraphEdge(1 << 30), "Iterator Id is out of range.");
}

} // namespace

// The model objects of external-variable, allocation and control-graph
// records: what they hold, what their accessors give, and what they release.
#include "anlsrslt/model/Alloc.h"
#include "anlsrslt/model/ControlGraph.h"
#include "anlsrslt/model/CountedPtr.h"
#include "anlsrslt/model/ExternVar.h"
#include "foundation/StringStore.h"

#include <gtest/gtest.h>

namespace {

// Symbols are only pointed at: any two distinct addresses serve.
P_Symbol *fakeSymbol(int &place) { return reinterpret_cast<P_Symbol *>(&place); }

TEST(RecordObjectsTest, ExternVarRecordFields) {
  int a = 0;
  int b = 0;
  const char *first = internString("f");
  const char *second = internString("v");
  const P_CountedPtr<P_ExternVarRecord> record =
      P_makeCounted<P_ExternVarRecord>(first, second, -12, fakeSymbol(a), fakeSymbol(b));
  EXPECT_EQ(first, P_externVarFirstName(record.pointer()));
  EXPECT_EQ(second, P_externVarSecondName(record.pointer()));
  EXPECT_EQ(fakeSymbol(a), P_externVarFirstSymbol(record.pointer()));
  EXPECT_EQ(fakeSymbol(b), P_externVarSecondSymbol(record.pointer()));
  EXPECT_EQ(-12, P_externVarLine(record.pointer()));
}

TEST(RecordObjectsTest, AllocRecordKindsAndFile) {
  const U_RefPtr<FilenameProxy> file = P_filenameProxyFor(QL_Filename("/records/alloc.c", "alloc.c"));
  const std::uint32_t count = file->referenceCount();
  int place = 0;
  const struct Case {
    AllocKind kind;
    bool plain, array, old, other;
  } cases[] = {
      {P_allocPlain, true, false, false, false},
      {P_allocArray, false, true, false, false},
      {P_allocOld, false, false, true, false},
      {P_allocOther, false, false, false, true},
  };
  for (const Case &c : cases) {
    {
      const P_CountedPtr<P_AllocRecord> record =
          P_makeCounted<P_AllocRecord>(internString("p"), c.kind, file, 10, -5, fakeSymbol(place));
      const P_AllocRecord *alloc = record.pointer();
      EXPECT_EQ(c.plain, P_allocIsPlain(alloc)) << c.kind;
      EXPECT_EQ(c.array, P_allocIsArray(alloc)) << c.kind;
      EXPECT_EQ(c.old, P_allocIsOld(alloc)) << c.kind;
      EXPECT_EQ(c.other, P_allocIsOtherKind(alloc)) << c.kind;
      EXPECT_STREQ("p", P_allocName(alloc));
      EXPECT_EQ(file->name(), P_allocFileName(alloc));
      EXPECT_EQ(10, P_allocLine(alloc));
      EXPECT_EQ(-5, P_allocColumn(alloc));
      EXPECT_EQ(fakeSymbol(place), P_allocSymbol(alloc));
      EXPECT_EQ(count + 1, file->referenceCount()) << "the record holds the file";
    }
    EXPECT_EQ(count, file->referenceCount()) << "released with the record";
  }
}

TEST(RecordObjectsTest, ControlGraphKeepsNodesAndEdgesInOrder) {
  int place = 0;
  const char *name = internString("::f\x8E\x8F");
  P_CountedPtr<P_ControlGraph> handle = P_makeCounted<P_ControlGraph>(name, 7u, fakeSymbol(place));
  P_ControlGraph *graph = handle.pointer();
  EXPECT_TRUE(P_controlGraphNodes(graph).empty());
  EXPECT_TRUE(P_controlGraphEdges(graph).empty());
  graph->addEdge(1, 2);
  graph->addEdge(2, 0xFFFFFFFFu);
  graph->addNode(2);
  graph->addNode(1);
  EXPECT_EQ(name, P_controlGraphObject(graph));
  EXPECT_EQ(name, P_controlGraphName(graph));
  EXPECT_EQ(7u, P_controlGraphNumber(graph));
  EXPECT_EQ(fakeSymbol(place), P_controlGraphSymbol(graph));
  EXPECT_EQ((std::vector<std::uint32_t>{2, 1}), P_controlGraphNodes(graph));
  const auto &edges = P_controlGraphEdges(graph);
  ASSERT_EQ(2u, edges.size());
  EXPECT_EQ(1u, P_controlGraphEdgeFrom(edges[0].pointer()));
  EXPECT_EQ(2u, P_controlGraphEdgeTo(edges[0].pointer()));
  EXPECT_EQ(2u, P_controlGraphEdgeFrom(edges[1].pointer()));
  EXPECT_EQ(0xFFFFFFFFu, P_controlGraphEdgeTo(edges[1].pointer()));
  EXPECT_EQ(1u, edges[0].useCount()) << "the graph holds the only handle of each edge";

  // An edge handle taken out keeps its edge after the graph goes.
  const P_CountedPtr<P_ControlGraphEdge> kept = edges[1];
  EXPECT_EQ(2u, kept.useCount());
  handle.release();
  EXPECT_EQ(1u, kept.useCount());
  EXPECT_EQ(0xFFFFFFFFu, P_controlGraphEdgeTo(kept.pointer()));
}

TEST(RecordObjectsDeathTest, NullArgumentsAreAssertionFailures) {
  int place = 0;
  EXPECT_DEATH(P_ControlGraph(nullptr, 1, fakeSymbol(place)), "Null string for object.");
  EXPECT_DEATH(P_ControlGraph("f", 1, nullptr), "No define record for object.");
  EXPECT_DEATH(P_controlGraphObject(nullptr), "Dont dereference 0.");
  EXPECT_DEATH(P_controlGraphEdgeFrom(nullptr), "Dont dereference 0.");
  EXPECT_DEATH(P_externVarLine(nullptr), "Dont dereference 0.");
  EXPECT_DEATH(P_allocFileName(nullptr), "Dont dereference 0.");
  EXPECT_DEATH(P_allocIsOld(nullptr), "Dont dereference 0.");
}

} // namespace

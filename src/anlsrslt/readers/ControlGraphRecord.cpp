#include "anlsrslt/readers/ControlGraphRecord.h"

#include "anlsrslt/model/RecordTokens.h"
#include "anlsrslt/readers/DefineRecord.h"
#include "anlsrslt/readers/ListenerList.h"
#include "anlsrslt/readers/RecordFields.h"
#include "anlsrslt/readers/SourceFileReader.h"
#include "foundation/ScratchText.h"
#include "foundation/StringStore.h"

#include <cstdint>

namespace {

struct ControlGraphState {
  bool newGraphExpected = true;
  P_CountedPtr<P_ControlGraph> current;
  std::vector<P_CountedPtr<P_ControlGraph>> graphs;
};

ControlGraphState &state() { return U_singletonAfterInternPool<ControlGraphState>(); }

P_ListenerList<ControlGraphListener> &controlGraphListeners() {
  static P_ListenerList<ControlGraphListener> listeners;
  return listeners;
}

// Record numbers are signed; a node number keeps the bits of a negative one.
std::uint32_t nodeNumber(std::int32_t number) { return static_cast<std::uint32_t>(number); }

void readHeader(P_RecordFields &fields) {
  static P_NameToken name;
  std::int32_t number = 0;
  fields.name(name).number(number);
  const char *object = internString(name.str().c_str());
  U_releaseLongScratch(name.str());
  if (P_Symbol *symbol = P_findRecordSymbol(object))
    state().current = P_makeCounted<P_ControlGraph>(object, nodeNumber(number), symbol);
}

void readEdge(P_RecordFields &fields, P_ControlGraph &graph) {
  std::int32_t from = 0;
  std::int32_t to = 0;
  if (fields.number(from).number(to))
    graph.addEdge(nodeNumber(from), nodeNumber(to));
}

} // namespace

void registerControlGraphHandlers(ControlGraphListener listener) {
  registerRecordHandler("CTLG", handleControlGraphRecord);
  registerRecordHandler("CTLGN", handleControlGraphNodes);
  registerRecordHandler("S", handleSourceStartForGraph);
  controlGraphListeners().addOnce(listener);
}

void handleControlGraphRecord(const std::string &line) {
  ControlGraphState &graphs = state();
  P_RecordFields fields(line);
  fields.word(); // the tag
  if (graphs.newGraphExpected) {
    graphs.newGraphExpected = false;
    readHeader(fields);
  } else if (graphs.current.isSet()) {
    readEdge(fields, *graphs.current);
  }
}

void handleControlGraphNodes(const std::string &line) {
  if (P_ControlGraph *graph = state().current.pointer()) {
    P_RecordFields fields(line);
    fields.word(); // the tag
    for (std::int32_t node = 0; fields.number(node);)
      graph->addNode(nodeNumber(node));
  }
  finishControlGraph();
}

void handleSourceStartForGraph(const std::string &line) {
  if (line.starts_with("<S>STFIL"))
    finishControlGraph();
}

void finishControlGraph() {
  ControlGraphState &graphs = state();
  graphs.newGraphExpected = true;
  if (!graphs.current.isSet())
    return;
  controlGraphListeners().notify(graphs.current.pointer());
  graphs.graphs.push_back(graphs.current);
  graphs.current.release();
}

bool &newGraphExpected() { return state().newGraphExpected; }

P_CountedPtr<P_ControlGraph> &currentControlGraph() { return state().current; }

std::vector<P_CountedPtr<P_ControlGraph>> &controlGraphs() { return state().graphs; }

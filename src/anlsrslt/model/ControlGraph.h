// The control graph of one function, as the control-graph records ("CTLG",
// "CTLGN") of a record file give it: the function, a number, the node numbers
// and the edges between them.
#pragma once

#include "anlsrslt/model/ControlGraphEdge.h"
#include "anlsrslt/model/CountedPtr.h"

#include <cstdint>
#include <vector>

struct P_Symbol;

// Held through P_CountedPtr<P_ControlGraph>; it owns its edges.
class P_ControlGraph {
public:
  // The function's interned marked name and its symbol, neither null (a
  // failed assertion ends the process), and the graph's number; no nodes or
  // edges yet.
  P_ControlGraph(const char *object, std::uint32_t number, P_Symbol *objectSym);

  // Appends an edge from one node number to another.
  void addEdge(std::uint32_t from, std::uint32_t to);
  // Appends a node number.
  void addNode(std::uint32_t node) { m_nodes.push_back(node); }

  const char *object() const { return m_object; }
  std::uint32_t number() const { return m_number; }
  P_Symbol *objectSym() const { return m_objectSym; }
  const std::vector<std::uint32_t> &nodes() const { return m_nodes; }
  const std::vector<P_CountedPtr<P_ControlGraphEdge>> &edges() const { return m_edges; }

private:
  const char *m_object;
  std::uint32_t m_number;
  P_Symbol *m_objectSym;
  std::vector<std::uint32_t> m_nodes;
  std::vector<P_CountedPtr<P_ControlGraphEdge>> m_edges;
};

// The parts of a graph and of an edge; a null graph or edge is a failed
// assertion that ends the process. The name and the object are the same
// text.
const char *P_controlGraphObject(const P_ControlGraph *graph);
const char *P_controlGraphName(const P_ControlGraph *graph);
std::uint32_t P_controlGraphNumber(const P_ControlGraph *graph);
P_Symbol *P_controlGraphSymbol(const P_ControlGraph *graph);
// The node numbers in the order of the node line.
const std::vector<std::uint32_t> &P_controlGraphNodes(const P_ControlGraph *graph);
// The edges in the order of the edge lines.
const std::vector<P_CountedPtr<P_ControlGraphEdge>> &P_controlGraphEdges(const P_ControlGraph *graph);
std::uint32_t P_controlGraphEdgeFrom(const P_ControlGraphEdge *edge);
std::uint32_t P_controlGraphEdgeTo(const P_ControlGraphEdge *edge);

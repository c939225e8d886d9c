#include "anlsrslt/model/ControlGraph.h"

#include "foundation/Assertion.h"

namespace {

template <class T> const T *checked(const T *han) {
  U_ASSERT(0 != han && "Dont dereference 0.");
  return han;
}

} // namespace

P_ControlGraph::P_ControlGraph(const char *object, std::uint32_t number, P_Symbol *objectSym)
    : m_object(object), m_number(number), m_objectSym(objectSym) {
  U_ASSERT(0 != object && "Null string for object.");
  U_ASSERT(0 != objectSym && "No define record for object.");
}

void P_ControlGraph::addEdge(std::uint32_t from, std::uint32_t to) {
  m_edges.push_back(P_makeCounted<P_ControlGraphEdge>(from, to));
}

const char *P_controlGraphObject(const P_ControlGraph *graph) { return checked(graph)->object(); }

const char *P_controlGraphName(const P_ControlGraph *graph) { return checked(graph)->object(); }

std::uint32_t P_controlGraphNumber(const P_ControlGraph *graph) { return checked(graph)->number(); }

P_Symbol *P_controlGraphSymbol(const P_ControlGraph *graph) { return checked(graph)->objectSym(); }

const std::vector<std::uint32_t> &P_controlGraphNodes(const P_ControlGraph *graph) {
  return checked(graph)->nodes();
}

const std::vector<P_CountedPtr<P_ControlGraphEdge>> &P_controlGraphEdges(const P_ControlGraph *graph) {
  return checked(graph)->edges();
}

std::uint32_t P_controlGraphEdgeFrom(const P_ControlGraphEdge *edge) { return checked(edge)->m_from; }

std::uint32_t P_controlGraphEdgeTo(const P_ControlGraphEdge *edge) { return checked(edge)->m_to; }

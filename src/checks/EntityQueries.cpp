#include "anlsrslt/include/EntityQueries.h"

#include "anlsrslt/model/Alloc.h"
#include "anlsrslt/model/ControlGraph.h"
#include "anlsrslt/model/ExternVar.h"
#include "anlsrslt/model/IterSlots.h"
#include "anlsrslt/model/impl/IterCont.h"
#include "anlsrslt/readers/AllocRecord.h"
#include "anlsrslt/readers/ClassFunctionListeners.h"
#include "anlsrslt/readers/ControlGraphRecord.h"
#include "anlsrslt/readers/ExternVarRecord.h"
#include "anlsrslt/readers/MetricRecord.h"
#include "checks/QueryWalk.h"
#include "foundation/StringStore.h"

void PI_registerExternVarHandler() { registerExternVarHandler(); }

std::int32_t PI_beginExternVars() { return beginWalk<P_ExternVarIter>(externVarRecords()); }
PI_WALK_MEMBERS(P_ExternVarIter, PI_externVarsAtEnd, PI_currentExternVar, PI_nextExternVar)

// The name is pooled first: the records are ordered by pooled texts, and a
// text the caller did not take from the pool must not be read as one.
std::uint32_t PI_countExternVars(const char *name) {
  return static_cast<std::uint32_t>(externVarRecords().count(internString(name)));
}

std::uint32_t PI_externVarLine(const P_ExternVarRecord *record) {
  return static_cast<std::uint32_t>(P_externVarLine(record));
}
const char *PI_externVarFirstName(const P_ExternVarRecord *record) { return P_externVarFirstName(record); }
P_Symbol *PI_externVarFirstSymbol(const P_ExternVarRecord *record) { return P_externVarFirstSymbol(record); }
const char *PI_externVarSecondName(const P_ExternVarRecord *record) { return P_externVarSecondName(record); }
P_Symbol *PI_externVarSecondSymbol(const P_ExternVarRecord *record) {
  return P_externVarSecondSymbol(record);
}

void PI_registerAllocListener(PI_AllocListener listener) { registerAllocListener(listener); }
std::uint32_t PI_allocColumn(const P_AllocRecord *record) {
  return static_cast<std::uint32_t>(P_allocColumn(record));
}
const char *PI_allocFileName(const P_AllocRecord *record) { return P_allocFileName(record); }
std::uint32_t PI_allocLine(const P_AllocRecord *record) {
  return static_cast<std::uint32_t>(P_allocLine(record));
}
P_Symbol *PI_allocSymbol(const P_AllocRecord *record) { return P_allocSymbol(record); }
const char *PI_allocName(const P_AllocRecord *record) { return P_allocName(record); }
bool PI_allocIsArray(const P_AllocRecord *record) { return P_allocIsArray(record); }
bool PI_allocIsOld(const P_AllocRecord *record) { return P_allocIsOld(record); }
bool PI_allocIsPlain(const P_AllocRecord *record) { return P_allocIsPlain(record); }
bool PI_allocIsOtherKind(const P_AllocRecord *record) { return P_allocIsOtherKind(record); }

void PI_registerMetricRecordHandler() { registerMetricRecordHandler(); }
void PI_registerMetricListener(PI_MetricListener listener) { registerMetricListener(listener); }
std::int32_t PI_getMetric(const char *entity, const char *metric) { return getMetric(entity, metric); }
double PI_getMetricDouble(const char *entity, const char *metric) { return getMetricDouble(entity, metric); }
const char *PI_getMetricString(const char *entity, const char *metric) {
  return getMetricString(entity, metric);
}
bool PI_hasMetric(const char *entity, const char *metric) {
  return PI_getMetricString(entity, metric) != nullptr;
}

void PI_registerControlGraphHandlers(PI_ControlGraphListener listener) {
  registerControlGraphHandlers(listener);
}
std::uint32_t PI_controlGraphNumber(const P_ControlGraph *graph) { return P_controlGraphNumber(graph); }
P_Symbol *PI_controlGraphSymbol(const P_ControlGraph *graph) { return P_controlGraphSymbol(graph); }
const char *PI_controlGraphObject(const P_ControlGraph *graph) { return P_controlGraphObject(graph); }

std::int32_t PI_beginGraphNodes(const P_ControlGraph *graph) {
  return beginWalk<P_GraphNodeIter>(P_controlGraphNodes(graph));
}
PI_WALK_MEMBERS(P_GraphNodeIter, PI_graphNodesAtEnd, PI_currentGraphNode, PI_nextGraphNode)

std::int32_t PI_beginGraphEdges(const P_ControlGraph *graph) {
  return beginWalk<P_GraphEdgeIter>(P_controlGraphEdges(graph));
}
PI_WALK_MEMBERS(P_GraphEdgeIter, PI_graphEdgesAtEnd, PI_currentGraphEdge, PI_nextGraphEdge)
std::uint32_t PI_controlGraphEdgeFrom(const P_ControlGraphEdge *edge) { return P_controlGraphEdgeFrom(edge); }
std::uint32_t PI_controlGraphEdgeTo(const P_ControlGraphEdge *edge) { return P_controlGraphEdgeTo(edge); }

void PI_registerClassTagListener(void *value, PI_ClassOrFunctionListener listener) {
  registerClassTagListener(value, listener);
}
void PI_registerFunctionListener(void *value, PI_ClassOrFunctionListener listener) {
  registerFunctionListener(value, listener);
}

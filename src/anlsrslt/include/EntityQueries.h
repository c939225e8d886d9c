// Records about the program's entities through the query interface:
// external variables, allocations, metrics and control graphs, and the
// listeners called once per class or struct tag and per function at the end
// of the run. Each registration switches on the reading of its records.
// Conventions as in anlsrslt/include/QueryInterface.h: walks by iteration
// ids, interned texts, and a null record fails the assertion of the model.
#pragma once

#include <cstdint>

struct P_AllocRecord;
struct P_ControlGraphEdge;
struct P_Define;
struct P_ExternVarRecord;
struct P_Symbol;
class P_ControlGraph;

using PI_AllocListener = void (*)(P_AllocRecord *record);
// Called with an entity whose metric lines are complete.
using PI_MetricListener = void (*)(const char *entity);
using PI_ControlGraphListener = void (*)(P_ControlGraph *graph);
// Called with a symbol's representative define and the value registered.
using PI_ClassOrFunctionListener = void (*)(P_Define *define, void *value);

// External variables ("EXTV" records), kept for the whole run. The walk goes
// over every record, by second name (in the order the names were first
// interned), the records of one name in reading order.
void PI_registerExternVarHandler();
std::int32_t PI_beginExternVars();
bool PI_externVarsAtEnd(std::int32_t id);
P_ExternVarRecord *PI_currentExternVar(std::int32_t id); // null at the end
bool PI_nextExternVar(std::int32_t id);
// The number of records filed under the name (their second name). A null
// name counts as the empty text.
std::uint32_t PI_countExternVars(const char *name);
std::uint32_t PI_externVarLine(const P_ExternVarRecord *record);
const char *PI_externVarFirstName(const P_ExternVarRecord *record);
P_Symbol *PI_externVarFirstSymbol(const P_ExternVarRecord *record);
const char *PI_externVarSecondName(const P_ExternVarRecord *record);
P_Symbol *PI_externVarSecondSymbol(const P_ExternVarRecord *record);

// Allocations ("ALLOC" records), handed to the listeners as they are read.
void PI_registerAllocListener(PI_AllocListener listener);
std::uint32_t PI_allocColumn(const P_AllocRecord *record);
const char *PI_allocFileName(const P_AllocRecord *record);
std::uint32_t PI_allocLine(const P_AllocRecord *record);
P_Symbol *PI_allocSymbol(const P_AllocRecord *record);
const char *PI_allocName(const P_AllocRecord *record);
bool PI_allocIsArray(const P_AllocRecord *record);
bool PI_allocIsOld(const P_AllocRecord *record);
bool PI_allocIsPlain(const P_AllocRecord *record);
bool PI_allocIsOtherKind(const P_AllocRecord *record);

// Metrics ("S" records) by entity: a file's name or an entity's marked name.
// The record handler alone, or a listener told of each entity as its metrics
// are complete (the last one at the end of the run).
void PI_registerMetricRecordHandler();
void PI_registerMetricListener(PI_MetricListener listener);
// A metric's value read as a number (0 when missing or not a number), as a
// floating-point number (0.0 likewise) or as its text (null when missing).
std::int32_t PI_getMetric(const char *entity, const char *metric);
double PI_getMetricDouble(const char *entity, const char *metric);
const char *PI_getMetricString(const char *entity, const char *metric);
// Whether the entity has the metric.
bool PI_hasMetric(const char *entity, const char *metric);

// Control graphs ("CTLG", "CTLGN" records), handed to the listeners as each
// is finished. Walks over a graph's node numbers (current gives 0 at the
// end) and over its edges, in the order of the record lines.
void PI_registerControlGraphHandlers(PI_ControlGraphListener listener);
std::uint32_t PI_controlGraphNumber(const P_ControlGraph *graph);
P_Symbol *PI_controlGraphSymbol(const P_ControlGraph *graph);
const char *PI_controlGraphObject(const P_ControlGraph *graph);
std::int32_t PI_beginGraphNodes(const P_ControlGraph *graph);
bool PI_graphNodesAtEnd(std::int32_t id);
std::uint32_t PI_currentGraphNode(std::int32_t id);
bool PI_nextGraphNode(std::int32_t id);
std::int32_t PI_beginGraphEdges(const P_ControlGraph *graph);
bool PI_graphEdgesAtEnd(std::int32_t id);
P_ControlGraphEdge *PI_currentGraphEdge(std::int32_t id); // null at the end
bool PI_nextGraphEdge(std::int32_t id);
std::uint32_t PI_controlGraphEdgeFrom(const P_ControlGraphEdge *edge);
std::uint32_t PI_controlGraphEdgeTo(const P_ControlGraphEdge *edge);

// At the end of the run, after every record file: each registration called
// once per class or struct tag (or per function) of the program, in the
// order the symbols were made, with the value given here; registrations in
// the order made, one made twice called twice. Switches on "DEFINE" records.
void PI_registerClassTagListener(void *value, PI_ClassOrFunctionListener listener);
void PI_registerFunctionListener(void *value, PI_ClassOrFunctionListener listener);

// The functions through which a caller reports records and metric values to
// the installed metric sink. They write nothing while option "metrics" is off
// (read once per process) or no sink is installed, and nothing for a location
// in a quiet file where they test one. A metric value that meets a limit of
// option "threshold" raises a diagnostic with the limit's message number, the
// metric's name and the value text, even while nothing is written.
#pragma once

#include "foundation/Ref.h"
#include "resultfiles/MetricDescriptions.h"

#include <cstdint>
#include <string>
#include <vector>

class M_Diagnostic;
class QL_Filename;
class U_Identifier;
class U_Location;

// Whether option "metrics" is on, as read at the first call of the process.
bool metricsEnabled();

// The value texts: doubles with three digits after the point (2.5 gives
// 2.500), integers in decimal.
std::string formatMetricDouble(double value);
std::string formatMetricInt64(std::int64_t value);
std::string formatMetricUInt64(std::uint64_t value);

// Records, handed on unchanged to the sink operation of the same suffix.
// Those that take a location or a definition test its quietness first.
void M_reportRelation(const U_Location &location, std::uint32_t kind, const std::string &from,
                      const std::string &to, std::uint32_t flags);
void M_reportExternal(const U_Location &location, std::uint32_t kind, const std::string &name,
                      const std::string &text);
void M_reportExternal(const U_Location &location, std::uint32_t kind, const std::string &name);
void M_reportDefineTG(const MI_DefineTG &define, std::uint32_t kind);
void M_reportDefineOT(const MI_DefineName &define, std::uint32_t kind);
void M_reportDefineTG2(const MI_DefineName &define, std::uint32_t kind);
void M_reportDefineOF(const MI_DefineOF &define, std::uint32_t kind);
void M_reportDefineOV(const MI_DefineOV &define, std::uint32_t kind);
void M_reportDefineOV2(const MI_DefineOV2 &define, std::uint32_t kind);
void M_reportDefineOE(const MI_DefineName &define, std::uint32_t kind);
void M_reportDefineLB(const U_Location &location, const U_Identifier &name, std::uint32_t kind);
void M_reportDefineOMFunction(const U_Location &location, const U_Identifier &name, std::uint32_t kind);
void M_reportDefineOMObject(const U_Location &location, const U_Identifier &name, std::uint32_t kind);
void M_reportControlGraphNodes(const std::vector<std::int32_t> &nodes);
void M_reportControlGraphEdge(std::uint32_t from, std::uint32_t to);
void M_reportControlGraphEntity(const MI_EntityRef &entity);
void M_reportAlloc(const MI_Text &allocated, std::uint32_t kind, const U_Location &location);
void M_reportThrowsE(const MI_EntityRef &entity, const MI_TypeRef &type);
void M_reportThrowsT(const MI_EntityRef &entity, const MI_Text &thrown);
void M_reportThrowsC(const MI_EntityRef &entity, const MI_Text &caught, const MI_TypeRef &type);
void M_reportPragma(const U_Location &location, const std::string &text);
void M_reportLocation(const std::string &text, const U_Location &location);
void M_reportLocation(const std::string &text, const QL_Filename &file);
void M_reportLocation(const std::string &text, const QL_Filename &file, const std::string &text2);
void M_reportMessage(const std::string &first, const std::string &second);
void M_reportLiteral(const MI_LiteralBase &literal, const MI_Text &second);

// Metric values of an entity, a symbol or a file (the file of the location):
// quiet test on the location, threshold check, then the "<S>" record with
// the value text. An entity or location without a location is in no file.
void M_reportEntityMetric(const char *metric, const MI_Entity &entity, double value);
void M_reportEntityMetric(const char *metric, const MI_Entity &entity, std::int64_t value);
void M_reportEntityMetric(const char *metric, const MI_Entity &entity, std::uint64_t value);
void M_reportSymbolMetric(const char *metric, const MI_Symbol &symbol, double value);
void M_reportSymbolMetric(const char *metric, const MI_Symbol &symbol, std::int64_t value);
void M_reportSymbolMetric(const char *metric, const MI_Symbol &symbol, std::uint64_t value);
void M_reportFileMetric(const char *metric, const U_Location &location, double value);
void M_reportFileMetric(const char *metric, const U_Location &location, std::int64_t value);
void M_reportFileMetric(const char *metric, const U_Location &location, std::uint64_t value);

// Sends the threshold diagnostic of the metric's value at the location when
// a limit of the metric meets it; nothing otherwise.
void M_checkMetricThreshold(U_Location location, const char *metric, double value);
void M_checkMetricThreshold(U_Location location, const char *metric, std::int64_t value);
void M_checkMetricThreshold(U_Location location, const char *metric, std::uint64_t value);

// The threshold diagnostic: the number at the location, with the metric's
// name and the value text as its parameters.
U_RefPtr<M_Diagnostic> M_createMetricDiagnostic(std::uint32_t number, const U_Location &location,
                                                const char *metric, const std::string &value);

#include "resultfiles/MetricReporting.h"

#include "cmdline/CmdArgs.h"
#include "cmdline/OnceAnswer.h"
#include "foundation/FileIdentity.h"
#include "foundation/Location.h"
#include "messages/Diagnostic.h"
#include "messages/InternalMessages.h"
#include "messages/Output.h"
#include "messages/QuietFiles.h"
#include "resultfiles/MetricOutput.h"
#include "resultfiles/MetricSink.h"
#include "resultfiles/MetricThresholds.h"

#include <iomanip>
#include <locale>
#include <sstream>

namespace {

// The sink to write to: none while metrics are off or no sink is installed.
M_MetricBase *openGate() { return metricsEnabled() ? M_currentMetricOutput() : nullptr; }

std::string valueText(double value) { return formatMetricDouble(value); }
std::string valueText(std::int64_t value) { return formatMetricInt64(value); }
std::string valueText(std::uint64_t value) { return formatMetricUInt64(value); }

QL_Filename fileOf(const U_Location &location) {
  return location.isSet() ? location.getFile() : QL_Filename();
}

// Hands the record to the sink through write; nothing behind a closed gate.
template <class Write> void report(Write write) {
  if (M_MetricBase *sink = openGate())
    write(*sink);
}

// The same, but nothing at all for a location in a quiet file.
template <class Write> void reportAt(const U_Location &location, Write write) {
  if (!isQuietLocation(location))
    report(write);
}

// A metric value: nothing at all in a quiet file; the threshold check before
// the gate; then the record.
template <class Value, class Write>
void reportMetric(const U_Location &location, const char *metric, Value value, Write write) {
  if (isQuietLocation(location))
    return;
  M_checkMetricThreshold(location, metric, value);
  report([&](M_MetricBase &sink) { write(sink, valueText(value)); });
}

template <class Value> void reportEntityMetric(const char *metric, const MI_Entity &entity, Value value) {
  const U_Location location = entity.location();
  reportMetric(location, metric, value, [&](M_MetricBase &sink, const std::string &text) {
    std::string name;
    entity.name(name);
    sink.writeEntityMetric(metric, fileOf(location), name, text);
  });
}

template <class Value> void reportSymbolMetric(const char *metric, const MI_Symbol &symbol, Value value) {
  reportMetric(symbol.location(), metric, value, [&](M_MetricBase &sink, const std::string &text) {
    sink.writeSymbolMetric(metric, symbol, text);
  });
}

template <class Value> void reportFileMetric(const char *metric, const U_Location &location, Value value) {
  reportMetric(location, metric, value, [&](M_MetricBase &sink, const std::string &text) {
    sink.writeFileMetric(metric, fileOf(location), text);
  });
}

template <class Value> void checkThreshold(const U_Location &location, const char *metric, Value value) {
  const std::int32_t number = thresholdMessageFor(std::string(metric), value);
  if (number == 0)
    return;
  M_sendMessage(
      M_createMetricDiagnostic(static_cast<std::uint32_t>(number), location, metric, valueText(value)));
}

} // namespace

bool metricsEnabled() {
  static C_OnceAnswer<bool> metrics([] {
    const C_CmdArgs *args = C_currentCmdArgs();
    return !args || !args->options() || args->options()->metrics().value();
  });
  return metrics.get();
}

std::string formatMetricDouble(double value) {
  std::ostringstream text;
  text.imbue(std::locale::classic());
  text << std::fixed << std::setprecision(3) << value;
  return text.str();
}

std::string formatMetricInt64(std::int64_t value) { return std::to_string(value); }

std::string formatMetricUInt64(std::uint64_t value) { return std::to_string(value); }

void M_reportRelation(const U_Location &location, std::uint32_t kind, const std::string &from,
                      const std::string &to, std::uint32_t flags) {
  report([&](M_MetricBase &sink) { sink.writeRelation(location, kind, from, to, flags); });
}

void M_reportExternal(const U_Location &location, std::uint32_t kind, const std::string &name,
                      const std::string &text) {
  reportAt(location, [&](M_MetricBase &sink) { sink.writeExternal(location, kind, name, text); });
}

void M_reportExternal(const U_Location &location, std::uint32_t kind, const std::string &name) {
  M_reportExternal(location, kind, name, std::string());
}

void M_reportDefineTG(const MI_DefineTG &define, std::uint32_t kind) {
  reportAt(define.location(), [&](M_MetricBase &sink) { sink.writeDefineTG(define, kind); });
}

void M_reportDefineOT(const MI_DefineName &define, std::uint32_t kind) {
  reportAt(define.location(), [&](M_MetricBase &sink) { sink.writeDefineOT(define, kind); });
}

void M_reportDefineTG2(const MI_DefineName &define, std::uint32_t kind) {
  reportAt(define.location(), [&](M_MetricBase &sink) { sink.writeDefineTG2(define, kind); });
}

void M_reportDefineOF(const MI_DefineOF &define, std::uint32_t kind) {
  reportAt(define.location(), [&](M_MetricBase &sink) { sink.writeDefineOF(define, kind); });
}

void M_reportDefineOV(const MI_DefineOV &define, std::uint32_t kind) {
  reportAt(define.location(), [&](M_MetricBase &sink) { sink.writeDefineOV(define, kind); });
}

void M_reportDefineOV2(const MI_DefineOV2 &define, std::uint32_t kind) {
  reportAt(define.location(), [&](M_MetricBase &sink) { sink.writeDefineOV2(define, kind); });
}

void M_reportDefineOE(const MI_DefineName &define, std::uint32_t kind) {
  reportAt(define.location(), [&](M_MetricBase &sink) { sink.writeDefineOE(define, kind); });
}

void M_reportDefineLB(const U_Location &location, const U_Identifier &name, std::uint32_t kind) {
  reportAt(location, [&](M_MetricBase &sink) { sink.writeDefineLB(location, name, kind); });
}

void M_reportDefineOMFunction(const U_Location &location, const U_Identifier &name, std::uint32_t kind) {
  reportAt(location, [&](M_MetricBase &sink) { sink.writeDefineOMFunction(location, name, kind); });
}

void M_reportDefineOMObject(const U_Location &location, const U_Identifier &name, std::uint32_t kind) {
  reportAt(location, [&](M_MetricBase &sink) { sink.writeDefineOMObject(location, name, kind); });
}

void M_reportControlGraphNodes(const std::vector<std::int32_t> &nodes) {
  report([&](M_MetricBase &sink) { sink.writeControlGraphNodes(nodes); });
}

void M_reportControlGraphEdge(std::uint32_t from, std::uint32_t to) {
  report([&](M_MetricBase &sink) { sink.writeControlGraphEdge(from, to); });
}

void M_reportControlGraphEntity(const MI_EntityRef &entity) {
  report([&](M_MetricBase &sink) { sink.writeControlGraphEntity(entity); });
}

void M_reportAlloc(const MI_Text &allocated, std::uint32_t kind, const U_Location &location) {
  report([&](M_MetricBase &sink) { sink.writeAlloc(allocated, kind, location); });
}

void M_reportThrowsE(const MI_EntityRef &entity, const MI_TypeRef &type) {
  report([&](M_MetricBase &sink) { sink.writeThrowsE(entity, type); });
}

void M_reportThrowsT(const MI_EntityRef &entity, const MI_Text &thrown) {
  report([&](M_MetricBase &sink) { sink.writeThrowsT(entity, thrown); });
}

void M_reportThrowsC(const MI_EntityRef &entity, const MI_Text &caught, const MI_TypeRef &type) {
  report([&](M_MetricBase &sink) { sink.writeThrowsC(entity, caught, type); });
}

void M_reportPragma(const U_Location &location, const std::string &text) {
  report([&](M_MetricBase &sink) { sink.writePragma(location, text); });
}

void M_reportLocation(const std::string &text, const U_Location &location) {
  report([&](M_MetricBase &sink) { sink.writeLocation(text, location); });
}

void M_reportLocation(const std::string &text, const QL_Filename &file) {
  report([&](M_MetricBase &sink) { sink.writeLocation(text, file); });
}

void M_reportLocation(const std::string &text, const QL_Filename &file, const std::string &text2) {
  report([&](M_MetricBase &sink) { sink.writeLocation(text, file, text2); });
}

void M_reportMessage(const std::string &first, const std::string &second) {
  report([&](M_MetricBase &sink) { sink.writeMessage(first, second); });
}

void M_reportLiteral(const MI_LiteralBase &literal, const MI_Text &second) {
  report([&](M_MetricBase &sink) { sink.writeLiteral(literal, second); });
}

void M_reportEntityMetric(const char *metric, const MI_Entity &entity, double value) {
  reportEntityMetric(metric, entity, value);
}
void M_reportEntityMetric(const char *metric, const MI_Entity &entity, std::int64_t value) {
  reportEntityMetric(metric, entity, value);
}
void M_reportEntityMetric(const char *metric, const MI_Entity &entity, std::uint64_t value) {
  reportEntityMetric(metric, entity, value);
}

void M_reportSymbolMetric(const char *metric, const MI_Symbol &symbol, double value) {
  reportSymbolMetric(metric, symbol, value);
}
void M_reportSymbolMetric(const char *metric, const MI_Symbol &symbol, std::int64_t value) {
  reportSymbolMetric(metric, symbol, value);
}
void M_reportSymbolMetric(const char *metric, const MI_Symbol &symbol, std::uint64_t value) {
  reportSymbolMetric(metric, symbol, value);
}

void M_reportFileMetric(const char *metric, const U_Location &location, double value) {
  reportFileMetric(metric, location, value);
}
void M_reportFileMetric(const char *metric, const U_Location &location, std::int64_t value) {
  reportFileMetric(metric, location, value);
}
void M_reportFileMetric(const char *metric, const U_Location &location, std::uint64_t value) {
  reportFileMetric(metric, location, value);
}

void M_checkMetricThreshold(U_Location location, const char *metric, double value) {
  checkThreshold(location, metric, value);
}
void M_checkMetricThreshold(U_Location location, const char *metric, std::int64_t value) {
  checkThreshold(location, metric, value);
}
void M_checkMetricThreshold(U_Location location, const char *metric, std::uint64_t value) {
  checkThreshold(location, metric, value);
}

U_RefPtr<M_Diagnostic> M_createMetricDiagnostic(std::uint32_t number, const U_Location &location,
                                                const char *metric, const std::string &value) {
  U_RefPtr<M_Diagnostic> diagnostic = M_createDiagnostic(number, location);
  diagnostic->addParameter(metric);
  diagnostic->addParameter(value);
  return diagnostic;
}

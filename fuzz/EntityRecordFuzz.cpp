// Record lines, one per input line, handed by their tags to the readers of
// records that name entities ("EXTV", "ALLOC", "CTLG", "CTLGN"), to the
// metric reader ("S") and to the DEFINE reader that gives them symbols; a
// line "<UNIT>" begins another translation unit (another record file), while
// the metric and graph readers carry their state over as they do between
// files. Nothing may crash; an "EXTV" line must file what stream extraction
// from the whole line reads, a metric line must store what the metric name
// and the rest of the line are; the listeners take every record apart with
// its accessors, and every finished graph is kept.
#include "FuzzSupport.h"

#include "anlsrslt/model/RecordTokens.h"
#include "anlsrslt/model/SymbolTable.h"
#include "anlsrslt/readers/AllocRecord.h"
#include "anlsrslt/readers/ControlGraphRecord.h"
#include "anlsrslt/readers/DefineRecord.h"
#include "anlsrslt/readers/ExternVarRecord.h"
#include "anlsrslt/readers/MetricRecord.h"
#include "foundation/StringStore.h"
#include "support/RecordStoresReset.h"
#include "support/TemplateTableReset.h"

#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

namespace {

void check(bool condition) {
  if (!condition)
    std::abort();
}

const char *markedName(const std::string &word) {
  P_NameToken token;
  token.assign(word);
  return internString(token.str().c_str());
}

// What stream extraction reads of an "EXTV" line, and whether it is filed.
void checkExternVar(const std::string &line, SymbolTable &symbols) {
  const std::size_t before = externVarRecords().size();
  handleExternVarRecord(line);
  std::istringstream in(line);
  std::string tag, first, second;
  std::int32_t number = 0;
  in >> tag >> first >> second;
  if (!(in >> number))
    number = 0;
  const char *firstName = markedName(first);
  const char *secondName = markedName(second);
  P_Symbol *firstSymbol = P_findSymbolIn(firstName, symbols);
  P_Symbol *secondSymbol = P_findSymbolIn(secondName, symbols);
  const bool filed = firstSymbol && secondSymbol;
  check(externVarRecords().size() == before + (filed ? 1 : 0));
  if (!filed)
    return;
  auto range = externVarRecords().equal_range(secondName);
  check(range.first != range.second);
  const P_ExternVarRecord *record = (--range.second)->second.pointer();
  check(P_externVarFirstName(record) == firstName && P_externVarSecondName(record) == secondName);
  check(P_externVarLine(record) == number);
  check(P_externVarFirstSymbol(record) == firstSymbol && P_externVarSecondSymbol(record) == secondSymbol);
}

// A metric line stores its value under its name, both as stream reads give
// them: the name a word, the value the rest after blanks.
void checkMetric(const std::string &line) {
  handleMetricRecord(line);
  handleSourceStartForGraph(line);
  std::istringstream in(line.substr(3));
  std::string name;
  in >> name;
  while (in.peek() == ' ')
    in.get();
  std::string value;
  std::getline(in, value);
  (void)stripQuotes(value);
  if (name.empty() || value.empty() || name == "STFIL")
    return;
  if (name == "STNAM" && getLastFIL().empty())
    return;
  const auto entity = metricStore().find(currentMetricEntity());
  check(entity != metricStore().end());
  const auto stored = entity->second.find(name);
  check(stored != entity->second.end() && stored->second == internString(value.c_str()));
}

void onAlloc(P_AllocRecord *record) {
  check(P_allocSymbol(record) != nullptr);
  (void)P_allocName(record);
  (void)P_allocFileName(record);
  (void)P_allocLine(record);
  (void)P_allocColumn(record);
  check(P_allocIsPlain(record) + P_allocIsArray(record) + P_allocIsOld(record) + P_allocIsOtherKind(record) ==
        1);
}

void onGraph(P_ControlGraph *graph) {
  check(graph == currentControlGraph().pointer());
  check(P_controlGraphObject(graph) != nullptr && P_controlGraphSymbol(graph) != nullptr);
  (void)P_controlGraphNumber(graph);
  (void)P_controlGraphNodes(graph);
  for (const auto &edge : P_controlGraphEdges(graph))
    (void)(P_controlGraphEdgeFrom(edge.pointer()) + P_controlGraphEdgeTo(edge.pointer()));
}

// Told of the entity whose lines are complete: the current one.
void onMetricEntity(const char *entity) { check(entity == currentMetricEntity()); }
void onRunEnd() {}

void handleLine(const std::string &line, SymbolTable &symbols) {
  if (line.empty() || line[0] != '<')
    return;
  const std::size_t close = line.find('>');
  if (close == std::string::npos)
    return;
  const std::string_view tag = std::string_view(line).substr(1, close - 1);
  if (tag == "DEFINE")
    handleDefineRecord(line);
  else if (tag == "EXTV")
    checkExternVar(line, symbols);
  else if (tag == "ALLOC")
    handleAllocRecord(line);
  else if (tag == "S")
    checkMetric(line);
  else if (tag == "CTLG")
    handleControlGraphRecord(line);
  else if (tag == "CTLGN")
    handleControlGraphNodes(line);
  else if (tag == "UNIT")
    symbols.clearTranslationUnit();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  static const bool registered = [] {
    fuzz_support::useInstallation();
    fuzz_support::quietStandardOutput();
    registerDefineRunEndListener(onRunEnd);
    registerExternVarHandler();
    registerAllocListener(onAlloc);
    registerMetricListener(onMetricEntity);
    registerControlGraphHandlers(onGraph);
    return true;
  }();
  (void)registered;

  test_support::RecordStoresReset::resetAll();
  test_support::TemplateTableReset::reset();
  SymbolTable symbols;
  setSymbolTableContext(&symbols);
  fuzz_support::forEachLine(data, size, [&symbols](const std::string &line) { handleLine(line, symbols); });
  const std::size_t finished = controlGraphs().size();
  const bool open = currentControlGraph().isSet();
  finishControlGraph();
  check(controlGraphs().size() == finished + (open ? 1 : 0) && newGraphExpected());
  notifyMetricListeners();
  setSymbolTableContext(nullptr);
  test_support::RecordStoresReset::resetAll();
  return 0;
}

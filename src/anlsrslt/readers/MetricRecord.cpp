#include "anlsrslt/readers/MetricRecord.h"

#include "anlsrslt/model/FilenameProxy.h"
#include "anlsrslt/model/RecordTokens.h"
#include "anlsrslt/readers/ListenerList.h"
#include "anlsrslt/readers/RecordFields.h"
#include "anlsrslt/readers/SourceFileReader.h"
#include "cmdline/OnceAnswer.h"
#include "cmdline/Options.h"
#include "foundation/Assertion.h"
#include "foundation/ScratchText.h"

#include <algorithm>
#include <cstdio>
#include <locale>
#include <sstream>
#include <string_view>

namespace {

struct MetricState {
  MetricStore store;
  const char *current = nullptr;
  std::string lastFile;
};

MetricState &state() { return U_singletonAfterInternPool<MetricState>(); }

P_ListenerList<MetricListener> &metricListeners() {
  static P_ListenerList<MetricListener> listeners;
  return listeners;
}

bool showMetricErrors() {
  static C_OnceAnswer<bool> answer([] { return debugFlag("show-metric-errors"); });
  return answer.get();
}

// The key of a named entity: its encoded name, marked and interned.
const char *namedEntityKey(std::string_view name) {
  static P_NameToken token;
  token.assign(name);
  const char *key = internString(token.str().c_str());
  U_releaseLongScratch(token.str());
  return key;
}

// The key of the file that a file text names: its proxy's name.
const char *fileEntityKey(std::string_view text) {
  U_RefPtr<FilenameProxy> file;
  P_RecordFields(text).file(file);
  return P_filenameTextOf(file);
}

// The stored value of the metric, or null; reported under
// "show-metric-errors" when missing.
const char *lookUp(const char *entity, const char *metric) {
  const char *key = namedEntityKey(entity ? entity : "");
  const std::string_view name = metric ? metric : "";
  const MetricStore &store = state().store;
  const auto found = store.find(key);
  if (found == store.end()) {
    if (showMetricErrors()) {
      std::fprintf(stdout, "Missing Metrics for : %s\n", key);
      std::fflush(stdout);
    }
    return nullptr;
  }
  const auto value = found->second.find(name);
  if (value == found->second.end()) {
    if (showMetricErrors()) {
      std::fprintf(stdout, "%s does not have the metric  : %.*s\n", key, static_cast<int>(name.size()),
                   name.data());
      std::fflush(stdout);
    }
    return nullptr;
  }
  return value->second;
}

} // namespace

void handleMetricRecord(const std::string &line) {
  U_ASSERT(line.compare(0, 3, "<S>") == 0);
  P_RecordFields fields(std::string_view(line).substr(3));
  const std::string_view name = fields.word();
  // Only blanks separate the value from the name: a tab is its first
  // character.
  std::string_view value = fields.rest();
  value.remove_prefix(std::min(value.find_first_not_of(' '), value.size()));
  value = value.substr(0, value.find('\n'));

  MetricState &metrics = state();
  if (name == "STFIL") {
    metrics.lastFile.assign(value);
    return;
  }
  if (name == "STNAM") {
    if (metrics.lastFile.empty()) {
      if (showMetricErrors())
        P_reportSkippedRecord("S");
      return;
    }
    const char *entity = value == metrics.lastFile ? fileEntityKey(value) : namedEntityKey(value);
    setMetric(entity, "STFIL", metrics.lastFile);
    if (metrics.current)
      notifyMetricListeners();
    metrics.current = entity;
  }
  if (!name.empty() && !value.empty())
    metrics.store[metrics.current].insert_or_assign(std::string(name),
                                                    internString(std::string(value).c_str()));
}

void registerMetricListener(MetricListener listener) {
  registerMetricListenerNoRunEnd(listener);
  registerRunEndListener(notifyMetricListenersAtRunEnd);
}

void registerMetricListenerNoRunEnd(MetricListener listener) {
  registerMetricRecordHandler();
  metricListeners().addOnce(listener);
}

void registerMetricRecordHandler() { registerRecordHandler("S", handleMetricRecord); }

std::int32_t getMetric(const char *entity, const char *metric) {
  const char *value = lookUp(entity, metric);
  std::int32_t number = 0;
  if (value)
    P_RecordFields(value).number(number);
  return number;
}

double getMetricDouble(const char *entity, const char *metric) {
  const char *value = lookUp(entity, metric);
  if (!value)
    return 0.0;
  std::istringstream in(value);
  in.imbue(std::locale::classic());
  double number = 0.0;
  return in >> number ? number : 0.0;
}

const char *getMetricString(const char *entity, const char *metric) { return lookUp(entity, metric); }

void notifyMetricListeners() { metricListeners().notify(state().current); }

void notifyMetricListenersAtRunEnd() { notifyMetricListeners(); }

void setMetric(const char *entity, const std::string &metric, const std::string &value) {
  state().store[entity].insert_or_assign(metric, internString(value.c_str()));
}

std::string stripQuotes(std::string text) {
  if (text.empty() || text.front() != '"')
    return text;
  const std::size_t closing = text.rfind('"');
  if (closing == 0)
    return text;
  text.erase(closing);
  text.erase(0, 1);
  return text;
}

MetricStore &metricStore() { return state().store; }

const char *&currentMetricEntity() { return state().current; }

const std::string &getLastFIL() { return state().lastFile; }

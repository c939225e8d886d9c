// The metric lines of a record file (tag "S") and the store they fill: for
// each entity (a file, or a named entity) its metrics by name, each value the
// text of its line.
//
// A line is "<S>", a metric name and, after blanks, a value that runs to the
// end of the line. "STFIL" names the file of the entities that follow;
// "STNAM" starts a new entity: the file itself when its value is the last
// "STFIL" text, else the entity of that encoded name. Every other name is a
// metric of the current entity. The store, the current entity and the last
// file text are kept for the whole run, across record files.
#pragma once

#include "foundation/StringStore.h"

#include <cstdint>
#include <map>
#include <string>

// Called with an entity whose metric lines are complete (its key, null before
// the first entity of the run).
using MetricListener = void (*)(const char *entity);

// Entity keys: interned texts in the order of their first interning, the null
// key first.
struct P_MetricEntityOrder {
  bool operator()(const char *a, const char *b) const {
    if (!a || !b)
      return !a && b;
    return U_InternedStringOrder()(a, b);
  }
};
// The metrics of one entity: metric name to interned value text.
using P_EntityMetrics = std::map<std::string, const char *, std::less<>>;
// Every metric read so far, by entity key. A file's key is the name of its
// FilenameProxy; a named entity's the interned marked form of its name.
using MetricStore = std::map<const char *, P_EntityMetrics, P_MetricEntityOrder>;

// The record handler of tag "S" (the line begins with "<S>"; anything else is
// a failed assertion that ends the process). A "STNAM" line while the last
// file text is empty names no file for its entity and is skipped (reported
// under the debug word "show-metric-errors"). A "STNAM" line tells the
// metric listeners that the entity before it is complete. A metric line with
// an empty name or value stores nothing; a later value of a name replaces
// the earlier one.
void handleMetricRecord(const std::string &line);

// Switches on the reading of "S" lines and adds the listener (once); the
// first form also has the listeners told of the last entity at the end of the
// run.
void registerMetricListener(MetricListener listener);
void registerMetricListenerNoRunEnd(MetricListener listener);
// Switches on the reading of "S" lines without a listener.
void registerMetricRecordHandler();

// One metric of an entity, looked up by the entity's encoded name or file
// text (marked and interned as the reader marks "STNAM" values): the value
// read as a signed 32-bit number (leading white space skipped, reading up to
// the first character that cannot continue it; 0 when none can be read or it
// does not fit), as a floating-point number (0.0 when none can be read), or
// as its text (null when missing). A missing entity or metric gives the
// missing result; under the debug word "show-metric-errors" it is reported on
// standard output. A lookup adds nothing to the store.
std::int32_t getMetric(const char *entity, const char *metric);
double getMetricDouble(const char *entity, const char *metric);
const char *getMetricString(const char *entity, const char *metric);

// Tells every metric listener of the current entity.
void notifyMetricListeners();
// The end-of-run listener of registerMetricListener: notifyMetricListeners.
void notifyMetricListenersAtRunEnd();

// Stores the interned value as the metric of that name of the entity key,
// replacing an older one.
void setMetric(const char *entity, const std::string &metric, const std::string &value);

// The text without its surrounding double quotes: a text that begins with one
// loses it and everything from the last double quote on. A text without a
// closing quote is given back unchanged.
std::string stripQuotes(std::string text);

// The module state: the store, the current entity (null before the first
// "STNAM" of the run) and the value of the last "STFIL" line.
MetricStore &metricStore();
const char *&currentMetricEntity();
const std::string &getLastFIL();

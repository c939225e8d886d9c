#include "resultfiles/MetricOutput.h"

namespace {

MetricOutputState &installedMetricOutput() {
  static MetricOutputState state;
  return state;
}

} // namespace

void openMetricOutput(const std::string &sourceName, const std::string &outputDirectory, int kind) {
  MetricOutputState &state = installedMetricOutput();
  state = MetricOutputState();
  state.installed = true;
  state.open = true;
  state.sourceName = sourceName;
  state.outputDirectory = outputDirectory;
  state.kind = kind;
}

void flushMetricOutput() {
  MetricOutputState &state = installedMetricOutput();
  // A closed sink has nothing to flush.
  if (state.installed && state.open)
    ++state.flushes;
}

void closeMetricOutput() {
  MetricOutputState &state = installedMetricOutput();
  if (state.installed)
    state.open = false;
}

const MetricOutputState &metricOutputState() { return installedMetricOutput(); }

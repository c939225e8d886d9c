// The one process-wide metric sink of a run.
#pragma once

#include <string>

// Installs and opens the metric sink for the source file in the output
// directory: kind 0 appends to the source's record file, kind 4 discards,
// any other kind writes to standard output. No metric records are written yet.
void openMetricOutput(const std::string &sourceName, const std::string &outputDirectory, int kind);
// Flushes the installed sink; nothing when none is installed.
void flushMetricOutput();
// Closes the installed sink, which stays installed; nothing when none is.
void closeMetricOutput();

// What the installed sink was opened for, whether it is open and how often it
// was flushed while open since it was installed.
struct MetricOutputState {
  bool installed = false;
  bool open = false;
  std::string sourceName;
  std::string outputDirectory;
  int kind = 0;
  int flushes = 0;
};
const MetricOutputState &metricOutputState();

// The one process-wide metric sink: installing it, and the open, flush and
// close operations through which the analysis driver uses it.
#pragma once

#include <string>

class M_MetricBase;

// The installed sink; null until the first install. An install replaces it
// (closing the one before); closing leaves it installed.
M_MetricBase *M_currentMetricOutput();

// The driver's entry points. openMetricOutput installs the sink of the kind
// for the file under analysis and opens it: kind 0 appends to the file's
// record file in the output directory, kind 4 discards, any other kind writes
// to standard output. Raises M_LYRCannotOpenMetricFile when the record file
// cannot be opened; the sink then stays installed without a stream.
void openMetricOutput(const std::string &file, const std::string &directory, int kind);
// The installed sink's flush and close; nothing when none is installed.
void flushMetricOutput();
void closeMetricOutput();

// Further ways to install and open a sink: kind 0 writes the file's record
// file anew in the default output directory, kind 4 discards, any other kind
// writes to standard output ...
void openMetric(const std::string &file, int kind);
// ... the same, but kind 0 appends ...
void openMetricDefault(const std::string &file, int kind);
// ... and standard output alone.
void openStandardMetricOutput();
void openStandardMetricOutputDefault();

// The installers: each closes and removes the installed sink, installs a new
// one and opens it with its arguments.
void installMetricLYR(const std::string &file);
void installMetricLYRDefault(const std::string &file);
void installMetricLYRAppend(const std::string &file, const std::string &directory);
void installMetricNull(const std::string &file);
void installMetricNullDefault(const std::string &file);

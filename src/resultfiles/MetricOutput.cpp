#include "resultfiles/MetricOutput.h"

#include "foundation/TextConversion.h"
#include "resultfiles/MetricSink.h"

#include <memory>

namespace {

std::unique_ptr<M_MetricBase> &installedSink() {
  static std::unique_ptr<M_MetricBase> sink;
  return sink;
}

// Closes and removes the installed sink, then installs a new one. When the
// old sink's close fails, it is removed all the same and nothing new is
// installed.
template <class Sink> Sink &install() {
  std::unique_ptr<M_MetricBase> &slot = installedSink();
  if (slot) {
    const std::unique_ptr<M_MetricBase> old = std::move(slot);
    old->close();
  }
  auto sink = std::make_unique<Sink>();
  Sink &installed = *sink;
  slot = std::move(sink);
  return installed;
}

std::string standardOutputName() { return QL_toInternal(std::string("-")); }

} // namespace

M_MetricBase *M_currentMetricOutput() { return installedSink().get(); }

void openMetricOutput(const std::string &file, const std::string &directory, int kind) {
  if (kind == 0)
    installMetricLYRAppend(file, directory);
  else if (kind == 4)
    installMetricNullDefault(file);
  else
    installMetricLYRDefault(standardOutputName());
}

void flushMetricOutput() {
  if (M_MetricBase *sink = M_currentMetricOutput())
    sink->flush();
}

void closeMetricOutput() {
  if (M_MetricBase *sink = M_currentMetricOutput())
    sink->close();
}

void openMetric(const std::string &file, int kind) {
  if (kind == 0)
    installMetricLYR(file);
  else if (kind == 4)
    installMetricNull(file);
  else
    installMetricLYR(standardOutputName());
}

void openMetricDefault(const std::string &file, int kind) {
  if (kind == 0)
    installMetricLYRDefault(file);
  else if (kind == 4)
    installMetricNullDefault(file);
  else
    installMetricLYRDefault(standardOutputName());
}

void openStandardMetricOutput() { installMetricLYR(standardOutputName()); }

void openStandardMetricOutputDefault() { installMetricLYRDefault(standardOutputName()); }

void installMetricLYR(const std::string &file) { install<M_MetricLYR>().open(file); }

void installMetricLYRDefault(const std::string &file) { install<M_MetricLYR>().openDefault(file); }

void installMetricLYRAppend(const std::string &file, const std::string &directory) {
  install<M_MetricLYR>().openAppend(file, directory);
}

void installMetricNull(const std::string &file) { install<M_MetricNull>().open(file); }

void installMetricNullDefault(const std::string &file) { install<M_MetricNull>().openDefault(file); }

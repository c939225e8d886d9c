#include "resultfiles/MetricFilePath.h"

#include "foundation/PathText.h"

std::string metricFilePath(const std::string &directory, const std::string &file) {
  return QL_addExtension(QL_joinPath(directory, QL_basename(file)), "met");
}

#include "resultfiles/MetricFilePath.h"

#include "cmdline/ProductEnvironment.h"
#include "foundation/PathText.h"
#include "foundation/TagLineIterator.h"

// "met" is plain ASCII, the same in every encoding, so forming the name needs
// no conversion and cannot fail.
std::string metricFilePath(const std::string &directory, const std::string &file) {
  return QL_addExtension(QL_joinPath(directory, QL_basename(file)), "met");
}

bool TagLineIterator::openRecordFile(const std::string &sourceFile, const std::string &directory) {
  return open(metricFilePath(directory, sourceFile));
}

bool TagLineIterator::openRecordFile(const std::string &sourceFile) {
  return openRecordFile(sourceFile, outputDirectory());
}

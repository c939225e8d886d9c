#include "anlsrslt/readers/SourceFileReader.h"

#include "anlsrslt/readers/FileOpenException.h"
#include "cmdline/PrintableFileName.h"
#include "foundation/FileIdentity.h"
#include "foundation/TagLineIterator.h"
#include "resultfiles/MetricFilePath.h"

void initSourceLog() {}

void closeSourceLog() {}

int addSourceFile(std::int32_t, std::int32_t, const QL_Filename &) { return 2; }

int readMetricFile(const QL_Filename &outputDirectory, const QL_Filename &file, SymbolTable &) {
  const std::string path =
      metricFilePath(filenameText(outputDirectory.canonical()), filenameText(file.canonical()));
  TagLineIterator records;
  if (!records.open(path))
    throw P_FileOpenException(QL_Filename::fromPath(path));
  for (const TagLineIterator end; records != end; ++records) {
  }
  return 0;
}

void notifyRunEndListeners(SymbolTable &) {}

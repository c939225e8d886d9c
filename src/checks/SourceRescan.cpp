#include "checks/SourceRescan.h"

#include "anlsrslt/include/QueryInterface.h"
#include "cmdline/CmdArgs.h"
#include "cmdline/Options.h"
#include "foundation/FileIdentity.h"
#include "foundation/PathText.h"
#include "foundation/TextConversion.h"
#include "messages/QuietFiles.h"

#include <cstdint>
#include <unordered_set>
#include <vector>

namespace {

// Whether the run analyses several input files with a cross-module analysis
// file, which the driver announces after them.
bool isMultiFileRun() {
  const C_CmdArgs *args = C_currentCmdArgs();
  return args && C_optCrossModuleAnalysisFile(*args->options()).isSet();
}

} // namespace

std::string &currentSourceFile() {
  static std::string name;
  return name;
}

std::string &currentPreprocessedFile() {
  static std::string path;
  return path;
}

std::deque<std::string> &CheckedFileList() {
  static std::deque<std::string> files;
  return files;
}

void initSourceRescan() {
  PI_registerSourceListener(sourceFileStartListener);
  PI_registerIncludeCollector();
}

void sourceFileStartListener(const P_Source *source) { onSourceFileStart(source); }

bool onSourceFileStart(const P_Source *source) {
  // In a multi-file run the analysed file is the cross-module analysis file:
  // no C source to re-read, and not the file whose includes are checked.
  if (isMultiFileRun() && PI_sourceIsAnalysedFile(source))
    return true;
  currentSourceFile() = PI_sourceFileName(source);
  const std::string out = PI_getOutputPath(1);
  currentPreprocessedFile() =
      QL_fromInternal(QL_joinPath(QL_toInternal(out), QL_basename(QL_toInternal(currentSourceFile())))) +
      ".i";
  CheckedFileList().push_back(currentSourceFile());
  return true;
}

void addNonQuietIncludedFiles() {
  // Each included file once, in the order first met among the records.
  // Names are interned: one name, one pointer.
  std::vector<const char *> included;
  std::unordered_set<const char *> seen;
  for (std::int32_t id = PI_beginIncludes(); !PI_includesAtEnd(id);) {
    const char *name = PI_includeToFileName(PI_currentInclude(id));
    if (seen.insert(name).second)
      included.push_back(name);
    if (PI_nextInclude(id))
      break;
  }
  for (const char *name : included)
    if (!isQuietFilename(QL_Filename::fromPath(name)))
      CheckedFileList().push_back(name);
}

void resetSourceRescan() {
  CheckedFileList().clear();
  currentSourceFile().clear();
  currentPreprocessedFile().clear();
}

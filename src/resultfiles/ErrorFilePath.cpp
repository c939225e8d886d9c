#include "resultfiles/ErrorFilePath.h"

#include "foundation/PathText.h"

std::string errorFilePath(const std::string &directory, const std::string &sourceFile) {
  return QL_addExtension(QL_joinPath(directory, QL_basename(sourceFile)), "err");
}

#include "messages/OutputSelection.h"

#include "messages/TextOutputs.h"

#include <memory>

namespace {

// Until the error-file outputs exist, kinds 2 and 3 print the simple text
// lines under their own kind.
void openErrorFileForOutput(const std::string &, const std::string &, int kind) {
  M_installOutput(kind, std::make_unique<M_OutputSimple>());
}

} // namespace

void selectOutput(const std::string &sourceName, const std::string &outputDirectory, int kind) {
  switch (kind) {
  case 1:
    M_openFormatOutput();
    break;
  case 2:
  case 3:
    openErrorFileForOutput(sourceName, outputDirectory, kind);
    break;
  case 5:
    M_openNullOutput();
    break;
  default:
    M_openSimpleOutput();
    break;
  }
}

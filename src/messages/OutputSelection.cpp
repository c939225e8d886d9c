#include "messages/OutputSelection.h"

#include "cmdline/ProductEnvironment.h"
#include "messages/TextOutputs.h"
#include "resultfiles/ErrorFileOutput.h"

void selectOutput(const std::string &sourceName, const std::string &outputDirectory, int kind) {
  switch (kind) {
  case 1:
    M_openFormatOutput();
    break;
  case 2:
  case 3:
    openHeldErrorFileOutput(sourceName, outputDirectory, kind);
    break;
  case 5:
    M_openNullOutput();
    break;
  default:
    M_openSimpleOutput();
    break;
  }
}

void selectOutputWithoutDirectory(const std::string &sourceName, int kind) {
  selectOutput(sourceName, outputDirectory(), kind);
}

void openNewErrorFileOutput(const std::string &errorFilePath, int kind) {
  switch (kind) {
  case 0:
    M_openSimpleOutputForErrorFile(errorFilePath);
    break;
  case 2:
    openNewTamselOutput(errorFilePath);
    break;
  case 3:
    openNewTamsel2Output(errorFilePath);
    break;
  default:
    break;
  }
}

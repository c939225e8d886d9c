#include "cmdline/PrintableFileName.h"

#include "cmdline/CmdArgs.h"
#include "cmdline/Options.h"

std::string filenameToString(const U_Filename &name) { return name.str(); }

std::string filenameText(const U_Filename &name) { return name.str(); }

std::string fileIdentityGivenName(const QL_Filename &file) { return file.given().str(); }

std::string fileIdentityGivenNameText(const QL_Filename &file) { return file.given().str(); }

std::string printableFileName(const QL_Filename &file) {
  const C_CmdArgs *args = C_currentCmdArgs();
  if (args && args->options())
    return printableFileName(file, *args->options());
  return file.canonical().str();
}

std::string printableFileName(const QL_Filename &file, const C_Options &options) {
  return options.expandFilenames().value() ? file.canonical().str() : file.given().str();
}

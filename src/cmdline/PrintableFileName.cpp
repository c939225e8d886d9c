#include "cmdline/PrintableFileName.h"

#include "cmdline/CmdArgs.h"
#include "cmdline/Options.h"

std::string filenameToString(const U_Filename &name) { return name.str(); }

std::string filenameText(const U_Filename &name) { return name.str(); }

std::string fileIdentityGivenName(const QL_Filename &file) { return file.given().str(); }

std::string fileIdentityGivenNameText(const QL_Filename &file) { return file.given().str(); }

std::string printableFileName(const QL_Filename &file) { return printableFileNameHandle(file).str(); }

std::string printableFileName(const QL_Filename &file, const C_Options &options) {
  return options.expandFilenames().value() ? file.canonical().str() : file.given().str();
}

const U_Filename &printableFileNameHandle(const QL_Filename &file) {
  const C_CmdArgs *args = C_currentCmdArgs();
  if (args && args->options() && !args->options()->expandFilenames().value())
    return file.given();
  return file.canonical();
}

#include "anlsrslt/readers/ErrorFileReader.h"

#include "anlsrslt/readers/FileOpenException.h"
#include "cmdline/Options.h"
#include "cmdline/PrintableFileName.h"
#include "foundation/FileIdentity.h"
#include "foundation/PathText.h"
#include "foundation/PlatformName.h"
#include "platform/TextFile.h"

#include <cstdio>

int readErrorFile(const QL_Filename &outputDirectory, const QL_Filename &file) {
  if (!debugFlag("always_read_errors"))
    return 2;
  const std::string path = QL_joinPath(filenameText(outputDirectory.canonical()),
                                       QL_addExtension(QL_basename(filenameText(file.canonical())), "err"));
  std::FILE *errors = platform::openTextFile(nameForPlatform(path), "rb");
  if (!errors)
    throw P_FileOpenException(QL_Filename::fromPath(path));
  std::fclose(errors);
  return 0;
}

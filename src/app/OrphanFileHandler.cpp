#include "app/OrphanFileHandler.h"

#include "cmdline/CmdArgs.h"
#include "cmdline/ProductEnvironment.h"
#include "foundation/FileSystem.h"
#include "foundation/NamedFiles.h"
#include "foundation/PlatformName.h"

void C_OrphanFileHandler::handle(C_CmdArgs &args, const std::string &word) {
  const QL_Filename file = QL_Filename::fromPath(QL_nameToInternal(args.product(), word));
  addNamedFile(file);
  // The "outputpath" value read so far, else the product's default.
  const auto [entry, inserted] = m_files.emplace(file, QL_canonicalPath(outputDirectory(args)));
  if (inserted)
    m_firstSeen.push_back(entry);
}

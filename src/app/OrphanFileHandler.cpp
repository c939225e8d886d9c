#include "app/OrphanFileHandler.h"

#include "cmdline/CmdArgs.h"
#include "cmdline/ProductEnvironment.h"
#include "foundation/FileSystem.h"
#include "foundation/NamedFiles.h"
#include "foundation/PathText.h"
#include "foundation/TextConversion.h"
#include "platform/Environment.h"

#include <optional>

namespace {

// The "outputpath" value read so far, else <NAME>OUTPATH, else ".".
std::string resultDirectory(C_CmdArgs &args) {
  const std::string &option = C_optOutputPath(*args.options()).getValue();
  if (!option.empty())
    return option;
  const std::string variable = std::string(ProductTable[args.product().index()].name) + "OUTPATH";
  if (const std::optional<std::string> value = platform::environmentValue(variable))
    return QL_toForwardSlashes(QL_toInternal(args.product(), *value));
  return ".";
}

} // namespace

void C_OrphanFileHandler::handle(C_CmdArgs &args, const std::string &word) {
  const QL_Filename file = QL_Filename::fromPath(QL_toInternal(args.product(), word));
  addNamedFile(file);
  const auto [entry, inserted] = m_files.emplace(file, QL_canonicalPath(resultDirectory(args)));
  if (inserted)
    m_firstSeen.push_back(entry);
}

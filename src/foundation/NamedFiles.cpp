#include "foundation/NamedFiles.h"

#include "cmdline/CmdArgs.h"
#include "cmdline/ProductEnvironment.h"
#include "foundation/Location.h"

#include <optional>
#include <set>

namespace {

struct NamedFiles {
  std::set<U_Filename> canonicalNames;
  std::optional<U_Filename> implicitHeader;
};

NamedFiles &namedFiles() {
  static NamedFiles files;
  return files;
}

// Named, and not the implicit header (as far as it is known yet).
bool isNamed(const NamedFiles &files, const QL_Filename &file) {
  if (files.implicitHeader && *files.implicitHeader == file.canonical())
    return false;
  return files.canonicalNames.count(file.canonical()) != 0;
}

} // namespace

void clearNamedFiles() { namedFiles().canonicalNames.clear(); }

void addNamedFile(const QL_Filename &file) { namedFiles().canonicalNames.insert(file.canonical()); }

bool isNamedFile(const QL_Filename &file) {
  const C_CmdArgs *args = C_currentCmdArgs();
  if (args)
    return isNamedFile(*args, file);
  return isNamed(namedFiles(), file);
}

bool isNamedFile(const C_CmdArgs &args, const QL_Filename &file) {
  NamedFiles &files = namedFiles();
  // Without an installation directory there is no implicit header to know;
  // the look-up is tried again on a later call.
  if (!files.implicitHeader && hasProductBinDir(args.product()))
    files.implicitHeader = implicitHeaderLocation(args, 0).getFile().canonical();
  return isNamed(files, file);
}

bool isNamedFileLocation(const U_Location &location) {
  return location.isSet() && isNamedFile(location.getFile());
}

void resetImplicitHeaderIdentity() { namedFiles().implicitHeader.reset(); }

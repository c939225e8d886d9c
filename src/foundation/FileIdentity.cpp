#include "foundation/FileIdentity.h"

#include "foundation/FileSystem.h"
#include "foundation/PathText.h"

QL_Filename::QL_Filename(const std::string &canonical, const std::string &given)
    : m_canonical(canonical), m_given(given) {}

QL_Filename QL_Filename::fromPath(const std::string &path) {
  const std::string slashed = QL_toForwardSlashes(path);
  const std::string canonical = QL_canonicalPath(slashed);
  return QL_Filename(canonical, slashed);
}

QL_Filename QL_Filename::fromAbsolutePath(const std::string &path) {
  return QL_Filename(U_absolutePath(path), path);
}

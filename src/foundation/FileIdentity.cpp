#include "foundation/FileIdentity.h"

#include "foundation/FileSystem.h"
#include "foundation/PathText.h"

#include <cstdint>
#include <unordered_set>
#include <utility>

QL_Filename::QL_Filename(std::string_view canonical, std::string_view given)
    : m_canonical(canonical), m_given(given) {}

namespace {

// The absolute canonical names that fromPath made, by their sequence. Each is
// its own canonical form (files do not move during a run), so a name met
// again as one of them, as the names handed out by the model are, needs no
// resolving. A relative one depends on the current directory and is not kept.
std::unordered_set<std::uint64_t> &canonicalForms() {
  static std::unordered_set<std::uint64_t> forms;
  return forms;
}

} // namespace

// The name is read in place: a copy of it is made only to turn its
// backslashes, and the canonical form goes into the store as it is made.
// The canonical name is interned first, as the two-text constructor does.
QL_Filename QL_Filename::fromPath(std::string_view path) {
  std::string slashed;
  if (path.find('\\') != std::string_view::npos) {
    slashed = QL_toForwardSlashes(std::string(path));
    path = slashed;
  }
  QL_Filename file;
  if (const U_Filename known = U_Filename::find(path);
      known.isSet() && canonicalForms().count(known.sequence())) {
    file.m_canonical = known;
    file.m_given = known;
    return file;
  }
  std::string canonical = QL_canonicalPath(path);
  const bool absolute = !canonical.empty() && canonical.front() == '/';
  file.m_canonical = U_Filename(std::move(canonical));
  if (absolute)
    canonicalForms().insert(file.m_canonical.sequence());
  file.m_given = U_Filename(path);
  return file;
}

QL_Filename QL_Filename::fromAbsolutePath(const std::string &path) {
  return QL_Filename(U_absolutePath(path), path);
}

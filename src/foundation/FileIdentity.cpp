#include "foundation/FileIdentity.h"

#include "foundation/FileSystem.h"
#include "foundation/PathText.h"

#include <cstdint>
#include <unordered_set>
#include <utility>

QL_Filename::QL_Filename(std::string_view canonical, std::string_view given)
    : m_canonical(canonical), m_given(given) {}

namespace {

// The canonical names that fromPath made that are absolute and normalised (no
// empty, "." or ".." component, no trailing "/"), by their sequence. Such a
// name is its own canonical form whether or not its directory exists, so a
// name met again as one of them, as the names handed out by the model are,
// needs no resolving. A relative one depends on the current directory.
std::unordered_set<std::uint64_t> &canonicalForms() {
  static std::unordered_set<std::uint64_t> forms;
  return forms;
}

bool isNormalisedAbsolute(std::string_view name) {
  if (name.size() < 2 || name.front() != '/' || name.back() == '/')
    return false;
  for (std::size_t at = 1; at <= name.size();) {
    std::size_t end = name.find('/', at);
    if (end == std::string_view::npos)
      end = name.size();
    const std::string_view part = name.substr(at, end - at);
    if (part.empty() || part == "." || part == "..")
      return false;
    at = end + 1;
  }
  return true;
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
  const bool remembered = isNormalisedAbsolute(canonical);
  file.m_canonical = U_Filename(std::move(canonical));
  if (remembered)
    canonicalForms().insert(file.m_canonical.sequence());
  file.m_given = U_Filename(path);
  return file;
}

QL_Filename QL_Filename::fromAbsolutePath(const std::string &path) {
  return QL_Filename(U_absolutePath(path), path);
}

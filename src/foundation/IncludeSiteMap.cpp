#include "foundation/IncludeSiteMap.h"

#include "anlsrslt/model/CountedPtr.h"
#include "anlsrslt/model/IncludeRecord.h"
#include "anlsrslt/readers/RelationInclude.h"
#include "foundation/StringStore.h"

#include <map>

namespace {

// The location of an #include that brought a file in, with the levels that
// it takes (1, or one more than its include location).
struct IncludeSite {
  U_Location location;
  std::uint32_t depth;
};

// Included file (ordered and matched by its canonical name) to its include
// site. Never cleared during a run.
struct IncludeSites {
  std::map<QL_Filename, IncludeSite> sites;
};

std::map<QL_Filename, IncludeSite> &includeSiteMap() {
  return U_singletonAfterInternPool<IncludeSites>().sites;
}

// A site carries at most this many levels, so that a position in its file,
// one level more, can still be written to an error file and read back.
constexpr std::uint32_t maxSiteDepth = U_maxLocationDepth - 1;

} // namespace

U_Location makeIncludedLocation(const QL_Filename &file, std::int32_t line, std::int32_t column) {
  const auto &sites = includeSiteMap();
  const auto found = sites.find(file);
  if (found == sites.end())
    return U_Location(file, line, column);
  return U_Location(found->second.location, file, line, column);
}

void onIncludeRelation(const P_CountedPtr<P_IncludeRecord> &record) {
  // The reader sets both files of every record; one without them names no
  // include site.
  if (!record.isSet() || !record->m_from.isSet() || !record->m_to.isSet())
    return;
  const P_IncludeRecord &include = *record;
  const QL_Filename from = P_filenameOf(include.m_from);
  auto &sites = includeSiteMap();
  const auto found = sites.find(from);
  // Only a file that includes itself, or a cycle of includes read over and
  // over, makes a chain this long: it is cut there and starts again from the
  // directive read last.
  IncludeSite site{U_Location(from, include.m_line, 0), 1};
  if (found != sites.end() && found->second.depth < maxSiteDepth)
    site = IncludeSite{U_Location(found->second.location, from, include.m_line, 0), found->second.depth + 1};
  sites.insert_or_assign(P_filenameOf(include.m_to), site);
}

void registerIncludeRelationHandler() { registerIncludeListener(onIncludeRelation); }

#include "foundation/IncludeSiteMap.h"

#include "anlsrslt/model/CountedPtr.h"
#include "anlsrslt/model/IncludeRecord.h"
#include "anlsrslt/readers/RelationInclude.h"
#include "foundation/StringStore.h"

#include <map>

namespace {

// Included file (ordered and matched by its canonical name) to the location
// of the directive that brought it in. Never cleared during a run.
struct IncludeSites {
  std::map<QL_Filename, U_Location> sites;
};

std::map<QL_Filename, U_Location> &includeSiteMap() {
  return U_singletonAfterInternPool<IncludeSites>().sites;
}

} // namespace

U_Location makeIncludedLocation(const QL_Filename &file, std::int32_t line, std::int32_t column) {
  const auto &sites = includeSiteMap();
  const auto found = sites.find(file);
  if (found == sites.end())
    return U_Location(file, line, column);
  return U_Location(found->second, file, line, column);
}

void onIncludeRelation(const P_CountedPtr<P_IncludeRecord> &record) {
  // The reader sets both files of every record; one without them names no
  // include site.
  if (!record.isSet() || !record->m_from.isSet() || !record->m_to.isSet())
    return;
  const P_IncludeRecord &include = *record;
  const U_Location site = makeIncludedLocation(P_filenameOf(include.m_from), include.m_line, 0);
  includeSiteMap().insert_or_assign(P_filenameOf(include.m_to), site);
}

void registerIncludeRelationHandler() { registerIncludeListener(onIncludeRelation); }

#include "anlsrslt/model/IncludeLocationMap.h"

#include "anlsrslt/model/CountedPtr.h"
#include "anlsrslt/model/IncludeRecord.h"

namespace {

struct IncludeLocations {
  P_IncludeLocations map;
};

} // namespace

P_IncludeLocations &P_includeLocationMap() { return U_singletonAfterInternPool<IncludeLocations>().map; }

void P_recordIncludeLocation(P_IncludeLocations &map, const P_CountedPtr<P_IncludeRecord> &record) {
  if (!record.isSet() || !record->m_from.isSet() || !record->m_to.isSet())
    return;
  const char *key = record->m_to->name();
  if (map.count(key))
    return;
  const U_Location parent = P_lookupIncludeLocation(map, record->m_from->name());
  map.emplace(key, U_Location(parent, P_filenameOf(record->m_from), record->m_line, 0));
}

U_Location P_lookupIncludeLocation(const P_IncludeLocations &map, const char *fileName) {
  if (!fileName)
    return U_Location();
  const auto found = map.find(fileName);
  return found == map.end() ? U_Location() : found->second;
}

#include "foundation/InternedLocation.h"

#include "anlsrslt/model/ModelLocation.h"
#include "foundation/Assertion.h"
#include "foundation/StringStore.h"

#include <set>

namespace {

struct LocationOrder {
  bool operator()(const U_RefPtr<P_Location> &a, const U_RefPtr<P_Location> &b) const {
    return P_IsLocationLess(a, b);
  }
};

// Every interned location of the process; it never loses one.
struct InternedLocationSet {
  std::set<U_RefPtr<P_Location>, LocationOrder> locations;
};

// The getters' report of a null location, under the unit and line that name
// each getter.
void requireLocation(const P_Location *loc, unsigned line) {
  if (!loc)
    assertFailed("Location", line, "0 != loc && \"Dont dereference 0.\"", true);
}

} // namespace

P_Location *internLocation(const U_Location &location) {
  if (!location.isSet())
    return nullptr;
  U_RefPtr<P_Location> made(new P_Location(location));
  auto &locations = U_singletonAfterInternPool<InternedLocationSet>().locations;
  // An equal location already there wins; the new one goes with its handle.
  return locations.insert(made).first->pointer();
}

bool P_IsLocationLess(const U_RefPtr<P_Location> &a, const U_RefPtr<P_Location> &b) {
  return U_compareLocations(a->m_location, b->m_location) < 0;
}

const char *P_locationFileName(const P_Location *loc) {
  requireLocation(loc, 28);
  return loc->m_file->name();
}

std::int32_t P_locationLine(const P_Location *loc) {
  requireLocation(loc, 34);
  return loc->m_line;
}

std::int32_t P_locationColumn(const P_Location *loc) {
  requireLocation(loc, 40);
  return loc->m_column;
}

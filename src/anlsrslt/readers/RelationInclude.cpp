#include "anlsrslt/readers/RelationInclude.h"

#include <set>

namespace {

std::set<P_IncludeListener> &includeListeners() {
  static std::set<P_IncludeListener> listeners;
  return listeners;
}

} // namespace

void registerIncludeListener(P_IncludeListener listener) { includeListeners().insert(listener); }

bool isIncludeListener(P_IncludeListener listener) { return includeListeners().count(listener) != 0; }

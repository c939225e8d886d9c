#include "anlsrslt/readers/IncludeLocationMap.h"

#include "anlsrslt/readers/RelationInclude.h"

void onIncludeRelation(const P_CountedPtr<P_IncludeRecord> &) {}

void registerIncludeRelationHandler() { registerIncludeListener(onIncludeRelation); }

#include "anlsrslt/readers/RelationInclude.h"

#include "anlsrslt/readers/ListenerList.h"
#include "anlsrslt/readers/RelationRecord.h"
#include "anlsrslt/readers/SourceFileReader.h"

namespace {

P_ListenerList<P_IncludeListener> &includeListeners() {
  static P_ListenerList<P_IncludeListener> listeners;
  return listeners;
}

} // namespace

void registerIncludeListener(P_IncludeListener listener) {
  registerRecordHandler("R", handleRelationRecord);
  includeListeners().addOnce(listener);
}

bool isIncludeListener(P_IncludeListener listener) { return includeListeners().contains(listener); }

void notifyIncludeListeners(const P_CountedPtr<P_IncludeRecord> &record) {
  includeListeners().notify(record);
}

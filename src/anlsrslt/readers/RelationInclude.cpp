#include "anlsrslt/readers/RelationInclude.h"

#include "anlsrslt/model/CountedPtr.h"
#include "anlsrslt/model/IncludeLocationMap.h"
#include "anlsrslt/model/RecordTokens.h"
#include "anlsrslt/readers/ListenerList.h"
#include "anlsrslt/readers/RecordFields.h"
#include "anlsrslt/readers/RelationRecord.h"
#include "anlsrslt/readers/SourceFileReader.h"
#include "foundation/Assertion.h"
#include "foundation/StringStore.h"

namespace {

constexpr P_FlagLetter kIncludeFlags[] = {{'S', P_IncludeRecord::FlagS}, {'-', 0}};

P_ListenerList<P_IncludeListener> &includeListeners() {
  static P_ListenerList<P_IncludeListener> listeners;
  return listeners;
}

struct IncludeRecords {
  P_IncludeRelationSet records;
};

const P_IncludeRecord &includeOf(const P_IncludeRecord *rel) {
  if (0 == rel)
    assertFailed("RelationInclude", __LINE__, "0 != rel && \"Dont dereference 0.\"", true);
  return *rel;
}

} // namespace

void handleIncludeRelation(const std::string &line) {
  P_RecordFields fields(line);
  fields.word(); // the tag
  // A file token that the end of the line ends may be cut short (the writer
  // of the record file died): the record names no file for certain.
  // Plain tokens are read where they stand in the line.
  std::string fromScratch;
  std::string toScratch;
  std::string_view from;
  std::string_view to;
  if (!fields.quoted(from, fromScratch).quoted(to, toScratch)) {
    if (showRelationErrors())
      P_reportSkippedRecord("R");
    return;
  }
  const P_CountedPtr<P_IncludeRecord> record = P_makeCounted<P_IncludeRecord>();
  P_readFilenameProxy(from, record->m_from);
  P_readFilenameProxy(to, record->m_to);
  fields.number(record->m_line);
  record->m_flags = includeFlagsFromLetters(fields);
  P_recordIncludeLocation(P_includeLocationMap(), record);
  notifyIncludeListeners(record);
}

std::uint32_t includeFlagsFromLetters(P_RecordFields &fields) {
  return P_flagsFromLetters(fields, kIncludeFlags);
}

void registerIncludeListener(P_IncludeListener listener) {
  registerRecordHandler("R", handleRelationRecord);
  includeListeners().addOnce(listener);
}

void registerIncludeCollector() { registerIncludeListener(collectIncludeRecord); }

void collectIncludeRecord(const P_CountedPtr<P_IncludeRecord> &record) {
  if (!record.isSet() || !record->m_from.isSet())
    return;
  includeRelationSet().emplace(record->m_from, record);
}

P_IncludeRelationSet &includeRelationSet() { return U_singletonAfterInternPool<IncludeRecords>().records; }

bool isIncludeListener(P_IncludeListener listener) { return includeListeners().contains(listener); }

void notifyIncludeListeners(const P_CountedPtr<P_IncludeRecord> &record) {
  includeListeners().notify(record);
}

const char *P_includeFromFileName(const P_IncludeRecord *rel) {
  return P_filenameTextOf(includeOf(rel).m_from);
}
const char *P_includeToFileName(const P_IncludeRecord *rel) { return P_filenameTextOf(includeOf(rel).m_to); }
std::int32_t P_includeLine(const P_IncludeRecord *rel) { return includeOf(rel).m_line; }
bool P_includeHasFlagS(const P_IncludeRecord *rel) { return includeOf(rel).m_flags & P_IncludeRecord::FlagS; }

// Suppression records as the query interface hands them out: one object per
// distinct record met during the run, with pooled locations, name and message
// ranges, kept until the process ends.
#pragma once

#include "foundation/Ref.h"
#include "messages/SuppressionRecord.h"

#include <cstdint>
#include <vector>

struct P_Location;
struct P_MessageRange;

class P_SuppressionRecord : public U_Ref {
public:
  // Keeps the record; its locations, name and ranges enter their pools.
  explicit P_SuppressionRecord(const U_RefPtr<M_SuppressionRecord> &source);
  // Releases the record only: the pooled objects belong to their pools.
  ~P_SuppressionRecord() override;

  // The accessors of the query interface. A null record, and an index not
  // below the count, are failed assertions that end the run.
  // Where the suppression was written.
  static P_Location *getLocation(const P_SuppressionRecord *supp);
  static P_Location *getStartLocation(const P_SuppressionRecord *supp);
  // Null when the record has no end.
  static P_Location *getEndLocation(const P_SuppressionRecord *supp);
  // Read from the record it was made from on every call.
  static std::uint32_t getKind(const P_SuppressionRecord *supp);
  // A pooled text.
  static const char *getName(const P_SuppressionRecord *supp);
  // One range per (from, to) text pair, in the order of the record first met.
  static std::uint32_t getMessageRangeCount(const P_SuppressionRecord *supp);
  static std::int32_t getMessageRangeFrom(const P_SuppressionRecord *supp, std::uint32_t index);
  static std::int32_t getMessageRangeTo(const P_SuppressionRecord *supp, std::uint32_t index);

  const U_RefPtr<M_SuppressionRecord> &source() const { return m_source; }

private:
  static const P_MessageRange *rangeAt(const P_SuppressionRecord *supp, std::uint32_t index);

  P_Location *m_location;
  P_Location *m_startLocation;
  P_Location *m_endLocation;
  const char *m_name;
  std::vector<P_MessageRange *> m_messageRanges;
  U_RefPtr<M_SuppressionRecord> m_source;
};

// The pooled object of a record: a record equal to one met before, in this or
// an earlier error file, gives that one's object (isSuppressionRecordLess).
P_SuppressionRecord *addSuppressionRecord(const U_RefPtr<M_SuppressionRecord> &record);

// The order of the pool, key by key on the records the objects were made of:
// region start, region end, record location (each a missing one first, then
// U_compareLocations), kind, name (bytes), then the (from, to) text pairs,
// each list sorted, compared pair by pair. Records equal on every key are the
// same record.
bool isSuppressionRecordLess(const P_SuppressionRecord &a, const P_SuppressionRecord &b);

#include "anlsrslt/suppression/SuppressionRecord.h"

#include "anlsrslt/model/MessageRange.h"
#include "anlsrslt/suppression/MessageRangePool.h"
#include "foundation/Assertion.h"
#include "foundation/InternedLocation.h"
#include "foundation/Location.h"
#include "foundation/StringStore.h"

#include <algorithm>
#include <set>

namespace {

struct SuppressionRecordOrder {
  bool operator()(const U_RefPtr<P_SuppressionRecord> &a, const U_RefPtr<P_SuppressionRecord> &b) const {
    return isSuppressionRecordLess(*a, *b);
  }
};

// Every record object of the process; it never loses one.
struct SuppressionRecordSet {
  std::set<U_RefPtr<P_SuppressionRecord>, SuppressionRecordOrder> records;
};

// The accessors' reports of a null record; each names its own condition.
const P_SuppressionRecord *dereferenced(const P_SuppressionRecord *supp, unsigned line) {
  if (!supp)
    assertFailed("SuppressionRecord", line, "0 != supp && \"Dont dereference 0.\"", true);
  return supp;
}

const P_SuppressionRecord *nilChecked(const P_SuppressionRecord *supp, unsigned line) {
  if (!supp)
    assertFailed("SuppressionRecord", line, "0 != supp && \"Suppression record handle is nil\"", true);
  return supp;
}

M_SuppressionRecord::Ranges sortedRanges(const M_SuppressionRecord &record) {
  M_SuppressionRecord::Ranges ranges = record.getMessageRanges();
  std::sort(ranges.begin(), ranges.end());
  return ranges;
}

} // namespace

P_SuppressionRecord::P_SuppressionRecord(const U_RefPtr<M_SuppressionRecord> &source)
    : m_location(internLocation(source->getLocation())),
      m_startLocation(internLocation(source->getStartLocation())),
      m_endLocation(internLocation(source->getEndLocation())),
      m_name(internString(source->getName().c_str())), m_source(source) {
  for (const auto &[from, to] : source->getMessageRanges())
    m_messageRanges.push_back(makeMessageRange(from, to));
}

P_SuppressionRecord::~P_SuppressionRecord() = default;

P_Location *P_SuppressionRecord::getLocation(const P_SuppressionRecord *supp) {
  return dereferenced(supp, __LINE__)->m_location;
}

P_Location *P_SuppressionRecord::getStartLocation(const P_SuppressionRecord *supp) {
  return dereferenced(supp, __LINE__)->m_startLocation;
}

P_Location *P_SuppressionRecord::getEndLocation(const P_SuppressionRecord *supp) {
  return dereferenced(supp, __LINE__)->m_endLocation;
}

std::uint32_t P_SuppressionRecord::getKind(const P_SuppressionRecord *supp) {
  if (!supp)
    assertFailed("SuppressionRecord", __LINE__, "0 != supp && \"Suppression record handle is 0\"", true);
  return supp->m_source->getKind();
}

const char *P_SuppressionRecord::getName(const P_SuppressionRecord *supp) {
  return nilChecked(supp, __LINE__)->m_name;
}

std::uint32_t P_SuppressionRecord::getMessageRangeCount(const P_SuppressionRecord *supp) {
  return static_cast<std::uint32_t>(nilChecked(supp, __LINE__)->m_messageRanges.size());
}

std::int32_t P_SuppressionRecord::getMessageRangeFrom(const P_SuppressionRecord *supp, std::uint32_t index) {
  return rangeAt(nilChecked(supp, __LINE__), index)->m_from;
}

std::int32_t P_SuppressionRecord::getMessageRangeTo(const P_SuppressionRecord *supp, std::uint32_t index) {
  return rangeAt(nilChecked(supp, __LINE__), index)->m_to;
}

const P_MessageRange *P_SuppressionRecord::rangeAt(const P_SuppressionRecord *supp, std::uint32_t index) {
  if (index >= supp->m_messageRanges.size())
    assertFailed("SuppressionRecord", __LINE__,
                 "index < supp->m_messageRanges.size() && \"Index out of range\"", true);
  return supp->m_messageRanges[index];
}

P_SuppressionRecord *addSuppressionRecord(const U_RefPtr<M_SuppressionRecord> &record) {
  U_RefPtr<P_SuppressionRecord> made(new P_SuppressionRecord(record));
  // A record met before wins; the new object goes with its handle.
  return U_singletonAfterInternPool<SuppressionRecordSet>().records.insert(made).first->pointer();
}

bool isSuppressionRecordLess(const P_SuppressionRecord &a, const P_SuppressionRecord &b) {
  const M_SuppressionRecord &x = *a.source();
  const M_SuppressionRecord &y = *b.source();
  // A null location orders before every set one, two null ones are equal.
  for (const auto place : {&M_SuppressionRecord::getStartLocation, &M_SuppressionRecord::getEndLocation,
                           &M_SuppressionRecord::getLocation}) {
    if (const int order = U_compareLocations((x.*place)(), (y.*place)()))
      return order < 0;
  }
  if (x.getKind() != y.getKind())
    return x.getKind() < y.getKind();
  if (const int order = x.getName().compare(y.getName()))
    return order < 0;
  return sortedRanges(x) < sortedRanges(y);
}

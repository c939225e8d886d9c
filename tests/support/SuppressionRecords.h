// Test helpers: suppression records as an error file would give them back.
#pragma once

#include "foundation/Location.h"
#include "messages/SuppressionRecord.h"

#include <cstdint>
#include <string>

namespace test_support {

// A new record of the kind written at a location, naming the (from, to) text
// pairs over the region from start to end (no end by default).
inline U_RefPtr<M_SuppressionRecord> suppressionRecord(std::uint32_t kind, const U_Location &written,
                                                       const M_SuppressionRecord::Ranges &ranges,
                                                       const U_Location &start,
                                                       const U_Location &end = U_Location(),
                                                       const std::string &name = "") {
  return U_RefPtr<M_SuppressionRecord>(new M_SuppressionRecord(kind, written, name, ranges, start, end));
}

} // namespace test_support

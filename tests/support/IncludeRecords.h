// Test helper: include records as the record reader hands them to the
// include-site map.
#pragma once

#include "anlsrslt/model/CountedPtr.h"
#include "anlsrslt/model/IncludeRecord.h"
#include "foundation/IncludeSiteMap.h"

#include <cstdint>

namespace test_support {

// One include record read from a record file: from includes to at the line.
inline void readIncludeRecord(const QL_Filename &from, const QL_Filename &to, std::int32_t line) {
  P_CountedPtr<P_IncludeRecord> record = P_makeCounted<P_IncludeRecord>();
  record->m_from = P_filenameProxyFor(from);
  record->m_to = P_filenameProxyFor(to);
  record->m_line = line;
  onIncludeRelation(record);
}

} // namespace test_support

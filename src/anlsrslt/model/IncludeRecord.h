// One include record of a record file: which file included which, on what
// line, and whether the primary analyser marked it as a system include.
#pragma once

#include "anlsrslt/model/CountedPtr.h"
#include "anlsrslt/model/FilenameProxy.h"
#include "foundation/Ref.h"

#include <cstdint>
#include <map>

// Held through P_CountedPtr<P_IncludeRecord>. The reader makes it with both
// files unset and zero numbers and fills it field by field; releasing the last
// handle drops the two file handles.
struct P_IncludeRecord {
  // The flag bit of the record's letter "S".
  static constexpr std::uint32_t FlagS = 0x100;

  U_RefPtr<FilenameProxy> m_from; // the file that holds the #include
  U_RefPtr<FilenameProxy> m_to;   // the file it brings in
  std::int32_t m_line = 0;        // line of the directive in m_from
  std::uint32_t m_flags = 0;      // FlagS or nothing
};

// Orders file proxies as isFilenameProxyLess does.
struct P_FilenameProxyLess {
  bool operator()(const U_RefPtr<FilenameProxy> &a, const U_RefPtr<FilenameProxy> &b) const {
    return isFilenameProxyLess(a, b);
  }
};

// Include records by their including file (files in the order their names
// were first interned, the same in every run), the records of one file in
// the order they were read.
using P_IncludeRelationSet =
    std::multimap<U_RefPtr<FilenameProxy>, P_CountedPtr<P_IncludeRecord>, P_FilenameProxyLess>;

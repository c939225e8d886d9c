// The index of the region suppressions (kind 1) and position suppressions
// (kind 2) of every error file read during a run, and the suppression decision
// for a diagnostic read back: whether a record suppresses it, and which.
#pragma once

#include "anlsrslt/suppression/NumberRangeIndex.h"
#include "foundation/FileIdentity.h"
#include "foundation/Ref.h"
#include "messages/Diagnostic.h"
#include "messages/SuppressionRecord.h"

#include <cstdint>
#include <map>
#include <set>
#include <utility>
#include <vector>

// Records in the order in which the maps first received each, each once.
using P_SuppressionRecordSet = std::vector<U_RefPtr<M_SuppressionRecord>>;

// The distinct ranges that a record's (from, to) text pairs index: each text
// read by P_messageNumberOf, a pair whose from is 0 dropped, a to of 0 made
// the from.
std::set<P_NumberRange> toNumberRanges(const M_SuppressionRecord::Ranges &texts);

// Whether (line, column) lies in the region from (startLine, startColumn) to
// (endLine, endColumn). A region over several lines whose end column is 0 ends
// with the line before its end line, with no column bound there; an end column
// of -1 is no column bound. Every column of the start line is inside, and on
// the last line the columns up to the end column; on a one-line region only
// the columns both after the end and before the start are outside. The exact
// form asks in addition for the position to be the region's start.
bool isPositionInRegion(std::int32_t line, std::int32_t column, std::int32_t startLine,
                        std::int32_t startColumn, std::int32_t endLine, std::int32_t endColumn,
                        bool exact = false);

class P_SuppressionMaps {
public:
  P_SuppressionMaps();
  ~P_SuppressionMaps();
  P_SuppressionMaps(const P_SuppressionMaps &) = delete;
  P_SuppressionMaps &operator=(const P_SuppressionMaps &) = delete;

  // Indexes a record of kind 1 or 2 under each of its ranges and its region:
  // the region start's file, line and column, and the end's line and column
  // (the start's again when it has no end). Records of other kinds, and
  // records without a record location or a region start, are passed over.
  // The maps keep the record; one added twice is kept twice.
  void add(const U_RefPtr<M_SuppressionRecord> &record);

  // False for a diagnostic with the error flag. Otherwise true when, at the
  // diagnostic's location or at one of its include locations outward, a
  // kind-1 region under a range covering its number contains the position
  // (isSuppressedByRegion), or a kind-2 region under such a range starts
  // exactly there (isSuppressedAtPosition).
  bool isSuppressed(const U_RefPtr<M_Diagnostic> &diagnostic) const;
  bool isSuppressedByRegion(const U_RefPtr<M_Diagnostic> &diagnostic) const;
  bool isSuppressedAtPosition(const U_RefPtr<M_Diagnostic> &diagnostic) const;

  // Every record that suppresses the diagnostic by the same rules: the kind-1
  // records, and the kind-2 records too when withPositionRecords is set.
  // Empty for a diagnostic with the error flag or without a location.
  P_SuppressionRecordSet recordsFor(const U_RefPtr<M_Diagnostic> &diagnostic, bool withPositionRecords) const;

  // Empties the maps and releases their records.
  void clear();

private:
  // A region of one file: start line, start column, end line, end column.
  struct Region {
    QL_Filename file;
    std::int32_t startLine;
    std::int32_t startColumn;
    std::int32_t endLine;
    std::int32_t endColumn;
  };
  // A region under one range; ordered by the range, then the file, then the
  // four numbers, so that the regions of one file under one range are
  // neighbours.
  struct RegionKey {
    P_NumberRange range;
    Region region;
  };
  struct RegionKeyLess {
    bool operator()(const RegionKey &a, const RegionKey &b) const;
  };
  // A record with the place of its first arrival in the maps.
  struct HeldRecord {
    std::uint64_t arrival;
    U_RefPtr<M_SuppressionRecord> record;
  };
  // The records of one kind: filed under each region of each range, and the
  // distinct ranges that have regions, kept as intervals: memory follows the
  // number of records, not the widths of their ranges, and the ranges that
  // cover a number are found by one descent.
  struct KindRecords {
    P_NumberRangeIndex ranges;
    std::map<RegionKey, std::vector<HeldRecord>, RegionKeyLess> regions;
  };

  // Calls visit (records of the region) for each region of kinds that lies in
  // the file of the location or of one of its include locations, under a
  // range covering the number, and contains that position (exact: starts
  // there); stops at the first call that answers true, and answers whether
  // some call did.
  template <class Visit>
  bool forEachMatch(const KindRecords &kinds, std::int32_t number, const U_Location &location, bool exact,
                    Visit visit) const;
  bool matches(const KindRecords &kinds, const U_RefPtr<M_Diagnostic> &diagnostic, bool exact) const;

  KindRecords m_regionRecords;   // kind 1
  KindRecords m_positionRecords; // kind 2
  // The arrival of each record object held.
  std::map<const M_SuppressionRecord *, std::uint64_t> m_arrivals;
};

#include "anlsrslt/suppression/SuppressionMaps.h"

#include "anlsrslt/suppression/MessageRangePool.h"
#include "foundation/Location.h"

#include <limits>
#include <tuple>

namespace {

constexpr std::int32_t lowest = std::numeric_limits<std::int32_t>::min();

} // namespace

std::set<P_NumberRange> toNumberRanges(const M_SuppressionRecord::Ranges &texts) {
  std::set<P_NumberRange> ranges;
  for (const auto &[fromText, toText] : texts) {
    const std::int32_t from = P_messageNumberOf(fromText);
    if (from == 0)
      continue;
    const std::int32_t to = P_messageNumberOf(toText);
    ranges.emplace(from, to == 0 ? from : to);
  }
  return ranges;
}

bool isPositionInRegion(std::int32_t line, std::int32_t column, std::int32_t startLine,
                        std::int32_t startColumn, std::int32_t endLine, std::int32_t endColumn, bool exact) {
  if (exact && (line != startLine || column != startColumn))
    return false;
  // In 64 bits: the line before the end line exists for every end line.
  std::int64_t lastLine = endLine;
  std::int64_t lastColumn = endColumn;
  if (endLine != startLine && endColumn == 0) {
    lastLine = std::int64_t(endLine) - 1;
    lastColumn = -1;
  }
  if (line < startLine || line > lastLine)
    return false;
  return !(line == lastLine && lastColumn != -1 && column > lastColumn &&
           (line != startLine || column < startColumn));
}

bool P_SuppressionMaps::RegionKeyLess::operator()(const RegionKey &a, const RegionKey &b) const {
  if (a.range != b.range)
    return a.range < b.range;
  if (a.region.file != b.region.file)
    return a.region.file < b.region.file;
  return std::tie(a.region.startLine, a.region.startColumn, a.region.endLine, a.region.endColumn) <
         std::tie(b.region.startLine, b.region.startColumn, b.region.endLine, b.region.endColumn);
}

P_SuppressionMaps::P_SuppressionMaps() = default;
P_SuppressionMaps::~P_SuppressionMaps() = default;

void P_SuppressionMaps::add(const U_RefPtr<M_SuppressionRecord> &record) {
  if (!record.isSet())
    return;
  const std::uint32_t kind = record->getKind();
  if (kind != 1 && kind != 2)
    return;
  // Damaged error files may lack the places a record needs.
  const U_Location &start = record->getStartLocation();
  if (!start.isSet() || !record->getLocation().isSet())
    return;
  const U_Location &end = record->getEndLocation().isSet() ? record->getEndLocation() : start;
  const Region region{start.getFile(), start.getLine(), start.getColumn(), end.getLine(), end.getColumn()};

  const std::uint64_t arrival = m_arrivals.try_emplace(record.pointer(), m_arrivals.size()).first->second;
  KindRecords &kinds = kind == 1 ? m_regionRecords : m_positionRecords;
  for (const P_NumberRange &range : toNumberRanges(record->getMessageRanges())) {
    kinds.ranges.insert(range);
    kinds.regions[RegionKey{range, region}].push_back(HeldRecord{arrival, record});
  }
}

template <class Visit>
bool P_SuppressionMaps::forEachMatch(const KindRecords &kinds, std::int32_t number,
                                     const U_Location &location, bool exact, Visit visit) const {
  for (U_Location place = location; place.isSet(); place = place.getInclLoc()) {
    const QL_Filename &file = place.getFile();
    // The regions of the place's file under each range that covers the number.
    const auto inRegionsOf = [&](const P_NumberRange &range) {
      const RegionKey first{range, Region{file, lowest, lowest, lowest, lowest}};
      for (auto entry = kinds.regions.lower_bound(first);
           entry != kinds.regions.end() && entry->first.range == range && entry->first.region.file == file;
           ++entry) {
        const Region &region = entry->first.region;
        if (isPositionInRegion(place.getLine(), place.getColumn(), region.startLine, region.startColumn,
                               region.endLine, region.endColumn, exact) &&
            visit(entry->second))
          return true;
      }
      return false;
    };
    if (kinds.ranges.forEachCovering(number, inRegionsOf))
      return true;
  }
  return false;
}

bool P_SuppressionMaps::matches(const KindRecords &kinds, const U_RefPtr<M_Diagnostic> &diagnostic,
                                bool exact) const {
  if (diagnostic->isError())
    return false;
  const auto found = [](const std::vector<HeldRecord> &) { return true; };
  return forEachMatch(kinds, static_cast<std::int32_t>(diagnostic->getNumber()), diagnostic->getLocation(),
                      exact, found);
}

bool P_SuppressionMaps::isSuppressed(const U_RefPtr<M_Diagnostic> &diagnostic) const {
  return isSuppressedByRegion(diagnostic) || isSuppressedAtPosition(diagnostic);
}

bool P_SuppressionMaps::isSuppressedByRegion(const U_RefPtr<M_Diagnostic> &diagnostic) const {
  return matches(m_regionRecords, diagnostic, false);
}

bool P_SuppressionMaps::isSuppressedAtPosition(const U_RefPtr<M_Diagnostic> &diagnostic) const {
  return matches(m_positionRecords, diagnostic, true);
}

P_SuppressionRecordSet P_SuppressionMaps::recordsFor(const U_RefPtr<M_Diagnostic> &diagnostic,
                                                     bool withPositionRecords) const {
  if (diagnostic->isError() || !diagnostic->getLocation().isSet())
    return {};
  std::map<std::uint64_t, U_RefPtr<M_SuppressionRecord>> found;
  const auto gather = [&found](const std::vector<HeldRecord> &records) {
    for (const HeldRecord &held : records)
      found.emplace(held.arrival, held.record);
    return false;
  };
  const auto number = static_cast<std::int32_t>(diagnostic->getNumber());
  forEachMatch(m_regionRecords, number, diagnostic->getLocation(), false, gather);
  if (withPositionRecords)
    forEachMatch(m_positionRecords, number, diagnostic->getLocation(), true, gather);
  P_SuppressionRecordSet records;
  records.reserve(found.size());
  for (auto &[arrival, record] : found)
    records.push_back(record);
  return records;
}

void P_SuppressionMaps::clear() {
  for (KindRecords *kinds : {&m_regionRecords, &m_positionRecords}) {
    kinds->ranges.clear();
    kinds->regions.clear();
  }
  m_arrivals.clear();
}

#include "anlsrslt/suppression/DiagnosticTagSet.h"

#include "foundation/StringStore.h"
#include "messages/QuietFiles.h"

#include <algorithm>
#include <iterator>
#include <limits>

namespace {

void sortUnique(P_TagList &tags) {
  std::sort(tags.begin(), tags.end());
  tags.erase(std::unique(tags.begin(), tags.end()), tags.end());
}

} // namespace

P_TagList intersectTagLists(P_TagList a, P_TagList b) {
  sortUnique(a);
  sortUnique(b);
  P_TagList common;
  std::set_intersection(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(common));
  return common;
}

P_DiagnosticTagSet &P_DiagnosticTagSet::instance() {
  // Its records hold locations, and so interned file names, until it goes.
  return U_singletonAfterInternPool<P_DiagnosticTagSet>();
}

P_DiagnosticTagSet::P_DiagnosticTagSet() = default;
P_DiagnosticTagSet::~P_DiagnosticTagSet() = default;

void P_DiagnosticTagSet::addIfWanted(const U_RefPtr<M_SuppressionRecord> &record, bool withPositionRecords) {
  if (!record.isSet() || !record->getLocation().isSet() || !record->getStartLocation().isSet())
    return;
  if (isQuietLocation(record->getLocation()) || isQuietLocation(record->getStartLocation()))
    return;
  const std::uint32_t kind = record->getKind();
  if (kind == 1 || (kind == 2 && withPositionRecords))
    m_suppressionMaps.add(record);
}

void P_DiagnosticTagSet::addSuppressionRecord(const U_RefPtr<M_SuppressionRecord> &record) {
  m_suppressionMaps.add(record);
}

void P_DiagnosticTagSet::clearSuppressions() { m_suppressionMaps.clear(); }

bool P_DiagnosticTagSet::isSuppressed(const U_RefPtr<M_Diagnostic> &diagnostic) const {
  return !diagnostic->isError() && m_suppressionMaps.isSuppressed(diagnostic);
}

bool P_DiagnosticTagSet::isSuppressedByRegion(const U_RefPtr<M_Diagnostic> &diagnostic) const {
  return !diagnostic->isError() && m_suppressionMaps.isSuppressedByRegion(diagnostic);
}

bool P_DiagnosticTagSet::isSuppressedAtPosition(const U_RefPtr<M_Diagnostic> &diagnostic) const {
  return !diagnostic->isError() && m_suppressionMaps.isSuppressedAtPosition(diagnostic);
}

P_SuppressionRecordSet P_DiagnosticTagSet::suppressionRecordsFor(const U_RefPtr<M_Diagnostic> &diagnostic,
                                                                 bool withPositionRecords) const {
  return m_suppressionMaps.recordsFor(diagnostic, withPositionRecords);
}

void P_DiagnosticTagSet::defineTag(const std::string &tag, const std::string &messageName,
                                   const std::string &placeName) {
  m_messageNameTags.addTag(tag, messageName);
  m_placeNameTags.addTag(tag, placeName);
  m_tags.insert(tag);
}

void P_DiagnosticTagSet::addMessageTag(const std::string &name, std::int32_t number) {
  m_messageTags.addTag(name, number);
}

void P_DiagnosticTagSet::addLocationTag(const std::string &name, const U_Location &location) {
  if (location.isSet())
    m_locationTags.addTag(name, location);
}

void P_DiagnosticTagSet::addLocationRangeTag(const std::string &name,
                                             const std::pair<U_Location, U_Location> &range) {
  if (range.first.isSet() && range.second.isSet())
    m_locationRangeTags.addTag(name, range);
}

void P_DiagnosticTagSet::addFilenameTag(const std::string &name, const QL_Filename &file) {
  m_filenameTags.addTag(name, file);
}

P_TagList P_DiagnosticTagSet::expandTagNames(const std::set<std::string> *names,
                                             const NameTags &translations) {
  P_TagList tags;
  if (!names)
    return tags;
  for (const std::string &name : *names) {
    if (const std::set<std::string> *translated = translations.find(name))
      tags.insert(tags.end(), translated->begin(), translated->end());
  }
  return tags;
}

P_TagList P_DiagnosticTagSet::tagsByMessage(std::int32_t number) const {
  return expandTagNames(m_messageTags.find(number), m_messageNameTags);
}

P_TagList P_DiagnosticTagSet::tagsByLocation(const U_Location &location) const {
  if (!location.isSet())
    return {};
  return expandTagNames(m_locationTags.find(location), m_placeNameTags);
}

P_TagList P_DiagnosticTagSet::tagsByLocationRange(const U_Location &location) const {
  P_TagList tags;
  if (!location.isSet())
    return tags;
  // The ranges whose first location lies in the file up to the location are
  // neighbours in the container; no line number is computed, so none wraps.
  constexpr std::int32_t lowest = std::numeric_limits<std::int32_t>::min();
  const U_Location fileStart(location.getFile(), lowest, lowest);
  const auto &ranges = m_locationRangeTags.keyTags();
  for (auto entry = ranges.lower_bound({fileStart, fileStart});
       entry != ranges.end() && U_compareLocations(entry->first.first, location) <= 0; ++entry) {
    const U_Location &second = entry->first.second;
    if (!U_Location::sameFile(second, location) || U_compareLocations(second, location) < 0)
      continue;
    const P_TagList expanded = expandTagNames(&entry->second, m_placeNameTags);
    tags.insert(tags.end(), expanded.begin(), expanded.end());
  }
  std::sort(tags.begin(), tags.end());
  return tags;
}

P_TagList P_DiagnosticTagSet::tagsByFile(const QL_Filename &file) const {
  return expandTagNames(m_filenameTags.find(file), m_placeNameTags);
}

P_TagList P_DiagnosticTagSet::tagsOf(U_RefPtr<M_Diagnostic> diagnostic) const {
  if (diagnostic->isError())
    return {};
  const U_Location &location = diagnostic->getLocation();
  if (!location.isSet())
    return {};
  const P_TagList byMessage = tagsByMessage(static_cast<std::int32_t>(diagnostic->getNumber()));
  P_TagList tags = intersectTagLists(byMessage, tagsByLocation(location));
  for (const P_TagList &part : {intersectTagLists(byMessage, tagsByLocationRange(location)),
                                intersectTagLists(byMessage, tagsByFile(location.getFile()))})
    tags.insert(tags.end(), part.begin(), part.end());
  return tags;
}

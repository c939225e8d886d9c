// The one diagnostic tag set of the process. Its suppression half indexes the
// suppression records of every error file read and decides, per diagnostic
// read back, whether they suppress it. Its tag half attaches tags to message
// numbers, locations, location ranges and files; a diagnostic's tags are those
// its number and its place have in common.
#pragma once

#include "anlsrslt/suppression/KeyTagCont.h"
#include "anlsrslt/suppression/SuppressionMaps.h"

#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

using P_TagList = std::vector<std::string>;

// The texts that both lists hold, each once, in byte order: both lists are
// sorted and freed of duplicates first, so their order does not matter.
P_TagList intersectTagLists(P_TagList a, P_TagList b);

class P_DiagnosticTagSet {
public:
  // The instance of the process, built empty on the first call and kept until
  // the process ends; its suppression records only accumulate.
  static P_DiagnosticTagSet &instance();

  // The run uses instance(); tests build sets of their own.
  P_DiagnosticTagSet();
  ~P_DiagnosticTagSet();
  P_DiagnosticTagSet(const P_DiagnosticTagSet &) = delete;
  P_DiagnosticTagSet &operator=(const P_DiagnosticTagSet &) = delete;

  // Suppression half.

  // Indexes the records, in order, that are written in and point into no
  // quiet file: those of kind 1, and of kind 2 when withPositionRecords is
  // set. Records without a record location or a region start are passed
  // over.
  template <class RecordIterator>
  void addSuppressionRecords(RecordIterator first, RecordIterator last, bool withPositionRecords) {
    for (; first != last; ++first)
      addIfWanted(*first, withPositionRecords);
  }
  // Indexes the record without the quiet-file and kind filter.
  void addSuppressionRecord(const U_RefPtr<M_SuppressionRecord> &record);
  void clearSuppressions();

  // Each false for a diagnostic with the error flag; otherwise the answers of
  // the suppression maps.
  bool isSuppressed(const U_RefPtr<M_Diagnostic> &diagnostic) const;
  bool isSuppressedByRegion(const U_RefPtr<M_Diagnostic> &diagnostic) const;
  bool isSuppressedAtPosition(const U_RefPtr<M_Diagnostic> &diagnostic) const;
  // The records that suppress the diagnostic (kind 2 only with the flag).
  P_SuppressionRecordSet suppressionRecordsFor(const U_RefPtr<M_Diagnostic> &diagnostic,
                                               bool withPositionRecords) const;

  // Tag half.

  // Makes the tag the translation of messageName for message numbers and of
  // placeName for locations, location ranges and files.
  void defineTag(const std::string &tag, const std::string &messageName, const std::string &placeName);
  // Attach a tag name to a key. A null location, and a range with a null end,
  // take no name: a place that is nowhere has no tags.
  void addMessageTag(const std::string &name, std::int32_t number);
  void addLocationTag(const std::string &name, const U_Location &location);
  void addLocationRangeTag(const std::string &name, const std::pair<U_Location, U_Location> &range);
  void addFilenameTag(const std::string &name, const QL_Filename &file);

  const M_MessageTagCont &getMessageTagCont() const { return m_messageTags; }
  const M_LocationTagCont &getLocationTagCont() const { return m_locationTags; }
  const M_LocationRangeTagCont &getLocationRangeTagCont() const { return m_locationRangeTags; }
  const M_FilenameTagCont &getFilenameTagCont() const { return m_filenameTags; }

  // The tags that the names attached to a key translate into: for each name
  // in byte order, its tags in byte order, so that a tag two names share
  // appears twice. Empty for a key without names, and for a null location.
  P_TagList tagsByMessage(std::int32_t number) const;
  // Names attached to the same file, line and column, whatever the history.
  P_TagList tagsByLocation(const U_Location &location) const;
  // Names attached to every range of the location's file whose first location
  // is at or before the location and whose second is at or after it; sorted,
  // duplicates kept.
  P_TagList tagsByLocationRange(const U_Location &location) const;
  P_TagList tagsByFile(const QL_Filename &file) const;

  // The tags that the number has in common with the location, then those it
  // has in common with the location's ranges, then with its file; a tag may
  // appear once in each part. Empty for a diagnostic with the error flag.
  P_TagList tagsOf(U_RefPtr<M_Diagnostic> diagnostic) const;

private:
  using NameTags = M_KeyTagCont<std::string, std::less<std::string>>;

  void addIfWanted(const U_RefPtr<M_SuppressionRecord> &record, bool withPositionRecords);
  static P_TagList expandTagNames(const std::set<std::string> *names, const NameTags &translations);

  NameTags m_messageNameTags;
  NameTags m_placeNameTags;
  M_MessageTagCont m_messageTags;
  M_LocationTagCont m_locationTags;
  M_LocationRangeTagCont m_locationRangeTags;
  M_FilenameTagCont m_filenameTags;
  // Every tag ever defined.
  std::set<std::string> m_tags;
  P_SuppressionMaps m_suppressionMaps;
};

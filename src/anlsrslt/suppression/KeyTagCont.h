// Containers that attach tag names to keys: message numbers, locations,
// location ranges, file identities and texts.
#pragma once

#include "foundation/FileIdentity.h"
#include "foundation/Location.h"

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>

// Location keys: file, line and column; the history of a location plays no
// part. Keys are set locations.
struct M_IsLocationLess {
  bool operator()(const U_Location &a, const U_Location &b) const { return U_compareLocations(a, b) < 0; }
};

// Location ranges by their first location, then by their second.
struct M_IsLocationRangeLess {
  bool operator()(const std::pair<U_Location, U_Location> &a,
                  const std::pair<U_Location, U_Location> &b) const {
    if (const int order = U_compareLocations(a.first, b.first))
      return order < 0;
    return U_compareLocations(a.second, b.second) < 0;
  }
};

// Key -> the distinct tag texts filed under it, in byte order.
template <class K, class Cmp> class M_KeyTagCont {
public:
  using TagSet = std::set<std::string>;
  using KeyTags = std::map<K, TagSet, Cmp>;

  virtual ~M_KeyTagCont() = default;

  // Files the tag under the key; gives the key's entry and whether the tag was
  // new there.
  std::pair<typename KeyTags::iterator, bool> addTag(const std::string &tag, const K &key) {
    const auto entry = m_keyTags.try_emplace(key).first;
    return {entry, entry->second.insert(tag).second};
  }

  // The tags of the key, or null when it has none.
  const TagSet *find(const K &key) const {
    const auto entry = m_keyTags.find(key);
    return entry == m_keyTags.end() ? nullptr : &entry->second;
  }

  const KeyTags &keyTags() const { return m_keyTags; }

protected:
  KeyTags m_keyTags;
};

class M_MessageTagCont : public M_KeyTagCont<std::int32_t, std::less<std::int32_t>> {
public:
  ~M_MessageTagCont() override = default;
};

class M_LocationTagCont : public M_KeyTagCont<U_Location, M_IsLocationLess> {
public:
  ~M_LocationTagCont() override = default;
};

class M_LocationRangeTagCont : public M_KeyTagCont<std::pair<U_Location, U_Location>, M_IsLocationRangeLess> {
public:
  ~M_LocationRangeTagCont() override = default;
};

class M_FilenameTagCont : public M_KeyTagCont<QL_Filename, std::less<QL_Filename>> {
public:
  ~M_FilenameTagCont() override = default;
};

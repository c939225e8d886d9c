// The id tables of a reader of the binary record stream: what each id read
// so far stands for.
#pragma once

#include "foundation/Assertion.h"
#include "foundation/FileIdentity.h"
#include "foundation/Filename.h"
#include "foundation/Location.h"
#include "resultfiles/Identifier.h"

#include <cstddef>
#include <cstdint>
#include <deque>

// Whether an id read from a file names one of the first size entries of a
// table; a negative id never does.
inline bool R_isIndexOf(std::int32_t id, std::size_t size) {
  return static_cast<std::uint64_t>(static_cast<std::int64_t>(id)) < size;
}

class R_ReaderDataInterface {
public:
  virtual ~R_ReaderDataInterface() = default;
  // Whether the id names an entry of the table.
  virtual bool isKnown(std::int32_t id) const = 0;
  // Removes every entry.
  virtual void clear() = 0;
};

// The entry kept for a key kind: the file table keeps whole file identities.
template <class Key> struct R_ReaderEntry { using Type = Key; };
template <> struct R_ReaderEntry<U_Filename> { using Type = QL_Filename; };

// Entries at the positions of their ids; each new entry goes to the end.
template <class Key> class R_ReaderSimpleData final : public R_ReaderDataInterface {
public:
  using Entry = typename R_ReaderEntry<Key>::Type;

  bool isKnown(std::int32_t id) const override { return R_isIndexOf(id, m_entries.size()); }
  void clear() override { m_entries.clear(); }
  void append(const Entry &entry) { m_entries.push_back(entry); }
  Entry get(std::int32_t id) const {
    U_ASSERT(isKnown(id) && "Id not known.");
    return m_entries[static_cast<std::size_t>(id)];
  }
  std::size_t size() const { return m_entries.size(); }

private:
  std::deque<Entry> m_entries;
};

// Locations at the positions of their ids, each with its nesting depth (1
// for a location without parts, one more than its deepest part otherwise). A
// location is stored once all its parts are read, so its entry stays null
// while the parts, which have larger ids, are stored.
class R_ReaderLocData final : public R_ReaderDataInterface {
public:
  bool isKnown(std::int32_t id) const override { return R_isIndexOf(id, m_entries.size()); }
  // Also numbers the next location from 0 again.
  void clear() override;
  // The table first grows with null entries up to the id when it is shorter.
  void set(std::int32_t id, const U_Location &location, std::uint32_t depth = 1);
  U_Location get(std::int32_t id) const;
  std::uint32_t depth(std::int32_t id) const;
  std::size_t size() const { return m_entries.size(); }

  // The id that the next location record must carry: records are numbered
  // in the order in which they begin, so an outer location comes before its
  // parts.
  std::int64_t nextId() const { return m_nextId; }
  void takeNextId() { ++m_nextId; }

private:
  struct Entry {
    U_Location location;
    std::uint32_t depth = 0;
  };
  std::deque<Entry> m_entries;
  std::int64_t m_nextId = 0;
};

// The three tables of one reader.
struct R_ReaderData {
  R_ReaderSimpleData<U_Identifier> m_identifiers;
  R_ReaderSimpleData<U_Filename> m_files;
  R_ReaderLocData m_locations;
};

// Interned texts: one never-shrinking store of unique texts per comparison
// class, and the separate pool behind internString for model names.
#pragma once

#include <cstdint>
#include <deque>
#include <set>
#include <string>
#include <string_view>

// One stored text. It keeps its address for the whole run; its sequence number
// is its place in the order of first interning, which orders interned texts
// the same way in every run.
struct U_StoredString {
  std::string text;
  std::uint64_t sequence;
};

// Compares two file-name texts: the shorter first; for equal lengths the byte
// order (bytes unsigned), with ASCII A-Z folded to a-z when foldCase is set.
int U_compareFilenameTexts(std::string_view a, std::string_view b, bool foldCase);

// Order of the file-name store: shorter first, then byte order. Letter case is
// folded as the file system does it (not on Linux), so that two names of one
// file are one entry.
struct FilenameStringCompare {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const;
};

// Plain byte order: the common length byte by byte (unsigned), then the
// shorter first.
struct SimpleStringCompare {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const;
};

// The store of one comparison class, created on first use and destroyed at
// process exit. Nothing is ever removed, so a stored text stays at its address.
template <class Compare> class U_SingletonStringStore {
public:
  static U_SingletonStringStore &instance() {
    static U_SingletonStringStore store;
    return store;
  }
  virtual ~U_SingletonStringStore() = default;

  U_SingletonStringStore(const U_SingletonStringStore &) = delete;
  U_SingletonStringStore &operator=(const U_SingletonStringStore &) = delete;

  // The stored entry equal to the text under Compare; inserted when absent.
  const U_StoredString *intern(const char *text) { return intern(std::string_view(text ? text : "")); }
  const U_StoredString *intern(const std::string &text) { return intern(std::string_view(text)); }
  const U_StoredString *intern(std::string_view text) {
    auto found = m_index.find(text);
    if (found != m_index.end())
      return *found;
    return add(std::string(text));
  }
  // As intern; a text that is not stored yet is moved into the store rather
  // than copied.
  const U_StoredString *intern(std::string &&text) {
    auto found = m_index.find(std::string_view(text));
    if (found != m_index.end())
      return *found;
    return add(std::move(text));
  }

  // The stored entry equal to the text under Compare; null when absent.
  const U_StoredString *find(std::string_view text) const {
    auto found = m_index.find(text);
    return found != m_index.end() ? *found : nullptr;
  }

  std::size_t size() const { return m_entries.size(); }

private:
  U_SingletonStringStore() = default;

  const U_StoredString *add(std::string &&text) {
    m_entries.push_back(U_StoredString{std::move(text), m_entries.size()});
    const U_StoredString *entry = &m_entries.back();
    m_index.insert(entry);
    return entry;
  }

  struct EntryOrder {
    using is_transparent = void;
    bool operator()(const U_StoredString *a, const U_StoredString *b) const {
      return Compare()(a->text, b->text);
    }
    bool operator()(const U_StoredString *a, std::string_view b) const { return Compare()(a->text, b); }
    bool operator()(std::string_view a, const U_StoredString *b) const { return Compare()(a, b->text); }
  };

  // A deque keeps its elements in place as it grows.
  std::deque<U_StoredString> m_entries;
  std::set<const U_StoredString *, EntryOrder> m_index;
};

// The pooled copy of a text for model names: equal texts give the same
// pointer, valid until process exit. A null text is pooled as the empty text.
const char *internString(const char *text);

// Makes the pool behind internString if it is not made yet.
void U_requireInternPool();

// The one T of the process, made on first use after the pool behind
// internString, so that it goes before the pool at exit and may hold pooled
// texts until then. T should be a type of the caller's own.
template <class T> T &U_singletonAfterInternPool() {
  static T &object = []() -> T & {
    U_requireInternPool();
    static T made;
    return made;
  }();
  return object;
}

// Orders pooled texts by their first pooling, the same way in every run.
struct U_InternedStringOrder {
  bool operator()(const char *a, const char *b) const;
};

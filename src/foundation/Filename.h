// Handle to one entry of the file-name store.
#pragma once

#include "foundation/StringStore.h"

#include <ostream>
#include <string>
#include <string_view>

// Holds the address of a stored file-name text, or nothing. Two handles are the
// same name exactly when they hold the same entry; handles are ordered by the
// order in which their texts were first interned.
class U_Filename {
public:
  using Store = U_SingletonStringStore<FilenameStringCompare>;

  // Unset; makes sure that the store exists.
  U_Filename();
  U_Filename(const std::string &text);
  U_Filename(const char *text);
  U_Filename(std::string_view text);
  // A text that is not stored yet is moved into the store.
  U_Filename(std::string &&text);

  // The handle of the stored text equal to the text; unset when none is
  // stored. Stores nothing.
  static U_Filename find(std::string_view text);

  bool isSet() const { return m_entry != nullptr; }
  // The name's place in the order of first interning; 0 when unset. Serves as
  // a hash that is the same in every run.
  std::uint64_t sequence() const { return m_entry ? m_entry->sequence : 0; }
  // A copy of the stored text up to its first NUL byte (empty when unset).
  std::string str() const;
  const char *c_str() const;
  std::ostream &print(std::ostream &out) const;

  friend bool operator==(const U_Filename &a, const U_Filename &b) { return a.m_entry == b.m_entry; }
  friend bool operator!=(const U_Filename &a, const U_Filename &b) { return a.m_entry != b.m_entry; }
  // Unset handles come first.
  friend bool operator<(const U_Filename &a, const U_Filename &b) {
    if (!a.m_entry || !b.m_entry)
      return !a.m_entry && b.m_entry;
    return a.m_entry->sequence < b.m_entry->sequence;
  }

private:
  const U_StoredString *m_entry = nullptr;
};

std::ostream &operator<<(std::ostream &out, const U_Filename &name);

// Interned macro names: every distinct text is stored once in the process-wide
// identifier store, so identifiers compare by the address of their text.
#pragma once

#include "foundation/InterningTrie.h"

#include <functional>

// The store of identifier texts: NUL-terminated characters in buffers that
// never move, found and inserted through a crit-bit trie over their bytes.
// The store starts with the empty text as its only entry.
class U_IdentifierStore {
public:
  using Trie = U_InterningTrie<char>;

  U_IdentifierStore() = default;
  U_IdentifierStore(const U_IdentifierStore &) = delete;
  U_IdentifierStore &operator=(const U_IdentifierStore &) = delete;

  // The one store of the process, built on first use.
  static U_IdentifierStore &instance();

  // The stored copy of the text (a null text is the empty text).
  const char *intern(const char *text);
  // Builds a text in pieces: appends the bytes without looking them up ...
  void appendPending(const char *text);
  // ... and ends the text built so far and interns it.
  const char *internPending();

  // The buffers and the trie, for inspection.
  const Trie &trie() const { return m_trie; }

private:
  Trie m_trie;
};

class U_Identifier {
public:
  // Interns the text (up to its first NUL) in the process-wide store.
  explicit U_Identifier(const char *text) : m_text(U_IdentifierStore::instance().intern(text)) {}

  const char *text() const { return m_text; }

  friend bool operator==(const U_Identifier &a, const U_Identifier &b) { return a.m_text == b.m_text; }
  friend bool operator!=(const U_Identifier &a, const U_Identifier &b) { return a.m_text != b.m_text; }
  // By the address of the stored text: fixed within a run.
  friend bool operator<(const U_Identifier &a, const U_Identifier &b) {
    return std::less<const char *>()(a.m_text, b.m_text);
  }

private:
  const char *m_text;
};

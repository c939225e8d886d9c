#include "resultfiles/Identifier.h"

U_IdentifierStore &U_IdentifierStore::instance() {
  static U_IdentifierStore store;
  return store;
}

const char *U_IdentifierStore::intern(const char *text) {
  appendPending(text);
  return internPending();
}

void U_IdentifierStore::appendPending(const char *text) {
  if (!text)
    return;
  for (; *text != '\0'; ++text)
    m_trie.push(*text);
}

const char *U_IdentifierStore::internPending() { return m_trie.intern()->m_key; }

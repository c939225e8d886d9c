// Interning of strings of 32-bit words: each distinct string is stored once
// and represented by one node whose address identifies it.
#pragma once

#include "foundation/InterningTrie.h"

#include <cstdint>
#include <string_view>

using U_WordStringNode = U_InterningTrie<std::uint32_t>::Node;

class U_WordStringStore : public U_InterningTrie<std::uint32_t> {
public:
  // Appends a word to the key being built.
  void pushWord(std::uint32_t word) { push(word); }
  // Appends each byte b as the word b + 1, so that no byte yields the
  // terminating 0 and a byte string never equals a prefix of another.
  void pushBytes(std::string_view bytes);
};

// Byte signatures (byte-order marks) mapped to the codecs they announce. Each
// signature is interned as a word string, and the address of its node keys
// the map of codecs.
#pragma once

#include "foundation/CritBitMap.h"
#include "foundation/WordStringStore.h"

#include <string_view>

class QTextCodec;

class QL_ByteSignatureTable {
public:
  // Enters a signature; the first codec entered for a signature stays.
  void add(std::string_view signature, QTextCodec *codec);
  // The codec of the longest signature of 4, 3 or 2 bytes that begins the
  // buffer, or null. Every probe stays interned in the store.
  QTextCodec *lookup(std::string_view buffer);

private:
  std::uint64_t keyOf(std::string_view bytes);

  U_WordStringStore m_signatures;
  U_CritBitMap<QTextCodec *> m_codecs;
};

#include "foundation/ByteSignatureTable.h"

std::uint64_t QL_ByteSignatureTable::keyOf(std::string_view bytes) {
  m_signatures.pushBytes(bytes);
  return reinterpret_cast<std::uintptr_t>(m_signatures.intern());
}

void QL_ByteSignatureTable::add(std::string_view signature, QTextCodec *codec) {
  const std::uint64_t key = keyOf(signature);
  const auto lookup = m_codecs.find(key);
  if (!lookup.found())
    m_codecs.insert(key, lookup.mask, codec);
}

QTextCodec *QL_ByteSignatureTable::lookup(std::string_view buffer) {
  for (std::size_t length : {4u, 3u, 2u}) {
    if (buffer.size() < length)
      continue;
    const auto entry = m_codecs.find(keyOf(buffer.substr(0, length)));
    if (entry.found())
      return *entry.value;
  }
  return nullptr;
}

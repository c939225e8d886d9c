// Builds binary test input piece by piece: bytes, 32-bit little-endian
// integers and length-prefixed texts, as the binary record stream has them.
#pragma once

#include <cstdint>
#include <string>

namespace test_support {

class ByteBuilder {
public:
  ByteBuilder &byte(std::uint8_t value) {
    m_bytes += static_cast<char>(value);
    return *this;
  }
  // The low 32 bits of the value, little-endian (-1 gives FF FF FF FF).
  ByteBuilder &int32(std::int64_t value) {
    const std::uint32_t bits = static_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8)
      m_bytes += static_cast<char>((bits >> shift) & 0xFF);
    return *this;
  }
  // int32 length, then the text's bytes.
  ByteBuilder &text(const std::string &value) {
    int32(static_cast<std::int64_t>(value.size()));
    m_bytes += value;
    return *this;
  }
  ByteBuilder &raw(const std::string &bytes) {
    m_bytes += bytes;
    return *this;
  }

  const std::string &bytes() const { return m_bytes; }
  operator const std::string &() const { return m_bytes; }

private:
  std::string m_bytes;
};

} // namespace test_support

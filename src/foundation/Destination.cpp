#include "foundation/Destination.h"

#include <cstring>
#include <ostream>

Destination::~Destination() = default;

void Destination::Close() {}

bool FileDestination::open(CountedString path) {
  Close();
  m_file = std::fopen(path.text(), "w");
  return m_file != nullptr;
}

bool FileDestination::attach(std::FILE *stream) {
  if (stream != m_file)
    Close();
  m_file = stream;
  return m_file != nullptr;
}

void FileDestination::Close() {
  if (m_file) {
    std::fclose(m_file);
    m_file = nullptr;
  }
}

void FileDestination::PutInt(std::int32_t value) {
  if (!m_file)
    return;
  unsigned char bytes[sizeof value];
  std::memcpy(bytes, &value, sizeof value);
  std::fwrite(bytes, 1, sizeof bytes, m_file);
}

void FileDestination::PutChar(int byte) {
  if (m_file)
    std::fputc(static_cast<unsigned char>(byte), m_file);
}

void FileDestination::PutString(CountedString text) {
  if (m_file && text.length() != 0)
    std::fwrite(text.text(), 1, text.length(), m_file);
}

void StringDestination::PutChar(int byte) { m_text.push_back(static_cast<char>(byte)); }

void StringDestination::PutString(CountedString text) { m_text.append(text.text(), text.length()); }

void StreamDestination::PutInt(std::int32_t value) {
  if (!m_out)
    return;
  std::uint32_t bits = static_cast<std::uint32_t>(value);
  for (int shift = 24; shift >= 0; shift -= 8)
    m_out->put(static_cast<char>((bits >> shift) & 0xFF));
}

void StreamDestination::PutChar(int byte) {
  if (m_out)
    *m_out << static_cast<char>(byte);
}

void StreamDestination::PutString(CountedString text) {
  if (m_out)
    *m_out << text;
}

// Byte destinations for the encoding converters and file translators: one
// interface over files, strings and standard output streams.
#pragma once

#include "foundation/CountedString.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <iosfwd>
#include <string>

// Receives bytes, texts and 32-bit integers. No destructor closes anything:
// the owner calls Close.
class Destination {
public:
  virtual ~Destination();
  virtual void Close();
  virtual void PutInt(std::int32_t value) = 0;
  // Writes one byte, the value 0 to 255.
  virtual void PutChar(int byte) = 0;
  // Writes the bytes of the text.
  virtual void PutString(CountedString text) = 0;
};

// A file written through the C runtime. Without a stream nothing is written.
class FileDestination : public Destination {
public:
  FileDestination() = default;
  // Creates or empties the file; true when a stream was returned. A stream
  // still open is closed first.
  bool open(CountedString path);
  // Takes over a stream the caller opened; true when it is not null.
  bool attach(std::FILE *stream);
  // Closes the stream; closing twice is harmless.
  void Close() override;
  // The 4 bytes in the machine's own order.
  void PutInt(std::int32_t value) override;
  void PutChar(int byte) override;
  void PutString(CountedString text) override;

private:
  std::FILE *m_file = nullptr;
};

// Collects the bytes in a text; integers are not kept. The bytes go into a
// standard string, which grows in proportion to its size, so that a
// conversion of any length takes time in proportion to its length (a
// CountedString grows by 16 bytes at a time).
class StringDestination : public Destination {
public:
  StringDestination() = default;
  // Makes room for that many bytes ahead, such as the size of the input.
  void reserve(std::size_t bytes) { m_text.reserve(bytes); }
  void PutInt(std::int32_t) override {}
  void PutChar(int byte) override;
  void PutString(CountedString text) override;
  // What has been collected so far.
  CountedString text() const { return CountedString(m_text); }
  const std::string &bytes() const { return m_text; }

private:
  std::string m_text;
};

// A standard output stream that stays the caller's. Without a stream nothing
// is written.
class StreamDestination : public Destination {
public:
  explicit StreamDestination(std::ostream *out) : m_out(out) {}
  // The 4 bytes, most significant first.
  void PutInt(std::int32_t value) override;
  void PutChar(int byte) override;
  void PutString(CountedString text) override;

private:
  std::ostream *m_out;
};

// Byte sources for the encoding converters and file translators: one
// interface over files, strings and standard input streams.
#pragma once

#include "foundation/CountedString.h"

#include <cstdio>
#include <iosfwd>
#include <string>

// Gives bytes one at a time and takes bytes back. No destructor closes
// anything: the owner calls Close.
class Source {
public:
  virtual ~Source();
  virtual void Close();
  // The next byte, 0 to 255, or -1 at the end of the input.
  virtual int Get() = 0;
  // Gives a byte back so that the next Get returns it. A negative value (the
  // end of the input) gives nothing back.
  virtual void Unget(int byte) = 0;
};

// Bytes given back and not yet read again, last in first out. The file and
// stream sources keep their own, so that any number of bytes can go back in a
// row whatever the C runtime or the stream buffer allows.
class SourcePushback {
public:
  void push(int byte) { m_bytes.push_back(static_cast<char>(byte)); }
  bool empty() const { return m_bytes.empty(); }
  int pop() {
    unsigned char byte = static_cast<unsigned char>(m_bytes.back());
    m_bytes.pop_back();
    return byte;
  }
  void clear() { m_bytes.clear(); }

private:
  std::string m_bytes;
};

// A file opened for reading through the C runtime, in text mode.
class FileSource : public Source {
public:
  // Not open: Get gives -1 until open succeeds.
  FileSource();
  // Opens the file; true when a stream was returned. A stream still open is
  // closed first.
  bool open(CountedString path);
  // Closes the file; closing twice is harmless.
  void Close() override;
  int Get() override;
  void Unget(int byte) override;
  // Whether a read failed since the file was opened: a failed read gives -1
  // like the end of the file, and the readers that must not take a broken
  // file for a short one ask here.
  bool readFailed() const { return m_readFailed; }

private:
  std::FILE *pfile = nullptr;
  bool m_atEnd = true;
  bool m_readFailed = false;
  SourcePushback m_pushback;
};

// The bytes of a text, from its first byte to its terminator.
class StringSource : public Source {
public:
  StringSource() = default;
  // Starts over on a new text; always true.
  bool setText(CountedString text);
  // Forgets the text.
  void Close() override;
  int Get() override;
  // Steps back one byte unless at the start; the byte given is not used,
  // since it is the one that was read there.
  void Unget(int byte) override;

private:
  CountedString m_text;
  std::size_t m_position = 0;
};

// A standard input stream that stays the caller's. Without a stream the
// source is empty.
class StreamSource : public Source {
public:
  explicit StreamSource(std::istream *in) : m_in(in) {}
  int Get() override;
  void Unget(int byte) override;

private:
  std::istream *m_in;
  SourcePushback m_pushback;
};

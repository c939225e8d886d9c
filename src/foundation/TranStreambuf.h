// Stream buffers over text files in any encoding kind: the program reads and
// writes the internal encoding, the files are in the product's encoding.
#pragma once

#include "foundation/EncodingKind.h"
#include "foundation/FileOutTranslator.h"
#include "foundation/FileTranslator.h"

#include <cstddef>
#include <cstdio>
#include <streambuf>
#include <string>

// Reads a text file, opened in text mode through QL_FileTranslator, as a
// stream of bytes in the internal encoding. Up to 10 characters can be put
// back across a refill. No writing and no positioning.
class itranstreambuf : public std::streambuf {
public:
  // path is a name in the operating system's encoding; kind is the file's
  // encoding. Raises what QL_FileTranslator::open raises.
  itranstreambuf(QL_EncodingKind kind, const std::string &path);
  itranstreambuf(const itranstreambuf &) = delete;
  itranstreambuf &operator=(const itranstreambuf &) = delete;
  // Closes the file and removes a temporary copy.
  ~itranstreambuf() override;

  bool isOpen() const { return m_file != nullptr; }
  // A read of the file failed; the input ended there.
  bool readFailed() const { return m_readFailed; }

  // Characters kept for putting back across a refill.
  static constexpr std::size_t putbackSize = 10;
  // Bytes asked for by one read: large, since every record file of a run is
  // read through here and each read costs a call down to the file.
  static constexpr std::size_t dataSize = 65536;

protected:
  int_type underflow() override;

private:
  char *dataArea() { return m_area + putbackSize; }

  QL_FileTranslator m_translator;
  std::FILE *m_file;
  bool m_readFailed = false;
  char m_area[putbackSize + dataSize];
};

// Writes a text file in an encoding kind from text in the internal encoding.
// Kinds that need no conversion are written as the characters come; for the
// others the text goes to a temporary file that close translates into the
// target, replacing it or appended to it.
class otranstreambuf : public std::streambuf {
public:
  // path is a name in the operating system's encoding; the file is written in
  // the product's encoding, or in kind.
  otranstreambuf(const std::string &path, bool append);
  otranstreambuf(QL_EncodingKind kind, const std::string &path, bool append);
  otranstreambuf(const otranstreambuf &) = delete;
  otranstreambuf &operator=(const otranstreambuf &) = delete;
  // Closes a file still open, dropping any failure: call close to see it.
  ~otranstreambuf() override;

  bool isOpen() const { return m_file != nullptr; }
  // Finishes the file: flushes it and makes the translation. Raises
  // QL_TranslateException (QL_TranslateFileOpenException naming the file)
  // when a character could not be written or the target cannot be made;
  // characters are refused afterwards.
  void close();

protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char *text, std::streamsize count) override;
  // Hands the characters written so far to the file (to the temporary file
  // for kinds that translate on close); -1 when that fails.
  int sync() override;

private:
  QL_FileOutTranslator m_translator;
  std::FILE *m_file;
};

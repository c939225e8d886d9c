// Opening text files of any encoding kind for reading: a file whose kind needs
// conversion is first translated into a temporary copy in the internal
// encoding, which is read instead and removed when the file is closed.
#pragma once

#include "foundation/EncodingKind.h"
#include "foundation/TextConversion.h"

#include <cstdint>
#include <cstdio>
#include <string>

class Destination;
class Source;

class QL_FileTranslator {
public:
  // kind is the encoding of the file to be read; temporary copies are named
  // for tempDir.
  QL_FileTranslator(QL_EncodingKind kind, const std::string &tempDir);
  QL_FileTranslator(const QL_FileTranslator &) = delete;
  QL_FileTranslator &operator=(const QL_FileTranslator &) = delete;
  // Closes the file and removes a temporary copy.
  ~QL_FileTranslator();

  // Opens the file at path (a name in the operating system's encoding) and
  // gives a C stream of its text in the internal encoding, in binary mode
  // ("rb") or text mode ("r"). Null when the file cannot be opened or read.
  // Raises QL_InvalidEncodingException for eceInvalid and the translation
  // errors when the temporary copy cannot be made; no temporary file is left
  // behind then.
  std::FILE *open(const std::string &path, bool binary);
  // Closes the stream and removes a temporary copy.
  void close();

  // Converts the source from this translator's kind (Shift_JIS or a JIS
  // form) into the internal encoding; raises QL_InvalidEncodingException for
  // any other kind.
  void translateToInternal(Source &source, Destination &destination);

  std::FILE *file() const { return m_file; }
  // The encoding of the file being read.
  const QL_EncodingDescriptor &encoding() const { return m_kind; }
  // The file the stream reads: the given path, or the temporary copy.
  const std::string &path() const { return m_path; }
  bool isTemporary() const { return m_isTemporary; }

private:
  std::FILE *openUtf(const std::string &path, const char *mode);
  std::FILE *openByteConverted(const std::string &path, const char *mode);
  // Opens the finished temporary copy for reading.
  std::FILE *openCopy(const char *mode);
  void discardCopy();

  QL_EncodingDescriptor m_kind;
  std::FILE *m_file = nullptr;
  std::string m_path;
  bool m_isTemporary = false;
  std::string m_tempDir;
};

// Shared ownership of one translator: the last handle to go destroys it,
// which closes its file and removes its temporary copy.
class QL_FileTranslatorPtr {
public:
  QL_FileTranslatorPtr() = default;
  // Takes the translator, which was made with new.
  explicit QL_FileTranslatorPtr(QL_FileTranslator *translator);
  QL_FileTranslatorPtr(const QL_FileTranslatorPtr &other);
  QL_FileTranslatorPtr &operator=(const QL_FileTranslatorPtr &other);
  ~QL_FileTranslatorPtr();

  bool isSet() const { return m_block != nullptr; }
  QL_FileTranslator *pointer() const { return m_block ? m_block->translator : nullptr; }
  QL_FileTranslator *operator->() const { return pointer(); }
  QL_FileTranslator &operator*() const { return *pointer(); }
  // Number of handles sharing the translator (0 for an empty handle).
  std::uint32_t count() const { return m_block ? m_block->count : 0; }

private:
  struct Block {
    QL_FileTranslator *translator;
    std::uint32_t count;
  };
  void release();

  Block *m_block = nullptr;
};

// Writing text files of any encoding kind: text is written in the internal
// encoding, either straight into the target (kinds that need no conversion)
// or into a temporary file that is translated into the target on close,
// replacing it or appended to it.
#pragma once

#include "foundation/CountedString.h"
#include "foundation/EncodingKind.h"
#include "foundation/TextConversion.h"

#include <cstdio>
#include <string>

class QL_FileOutTranslator {
public:
  // kind is the encoding of the target; temporary files are made in tempDir;
  // with append the text is added to an existing target, else it replaces it.
  QL_FileOutTranslator(QL_EncodingKind kind, const std::string &tempDir, bool append);
  QL_FileOutTranslator(const QL_FileOutTranslator &) = delete;
  QL_FileOutTranslator &operator=(const QL_FileOutTranslator &) = delete;
  // Finishes a file still open, dropping any failure: call close to see it.
  ~QL_FileOutTranslator();

  // Opens the target at path (a name in the operating system's encoding), or
  // a temporary file for it, and gives the C stream to write the internal
  // encoding into; null when it cannot be created. Raises
  // QL_InvalidEncodingException for eceInvalid.
  std::FILE *open(const std::string &path);

  // Closes the stream; a temporary file is translated into the target and
  // removed. Raises QL_TranslateException (or QL_TranslateFileOpenException
  // naming the file) when the text cannot be written, translated or
  // appended; a temporary file then stays on disk. Closing a closed
  // translator does nothing.
  void close();

  std::FILE *file() const { return m_file; }

private:
  // Translates the internal-encoding file from into the file to, in this
  // translator's kind.
  void translate(const std::string &from, const std::string &to);
  // Adds the bytes of from to the end of target.
  void appendFile(const std::string &target, const std::string &from);
  // A new temporary file's name in the operating system's encoding.
  std::string newTempFile() const;

  QL_EncodingDescriptor m_kind;
  bool m_append;
  std::FILE *m_file = nullptr;
  CountedString m_target;
  CountedString m_temp;
  std::string m_tempDir;
};

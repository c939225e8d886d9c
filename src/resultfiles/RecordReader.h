// Reading the binary record stream that R_Writer writes, with the ids of each
// table resolved against what was read before.
//
// Nothing read is trusted: every failure, and every id, length or nesting that
// the writer cannot have written (locations nest down to U_maxLocationDepth
// levels, macro histories hold up to that many elements), is an
// R_ReadingReadException (an R_ReadingException), never a crash or an
// allocation of a size that the file only claims.
#pragma once

#include "foundation/FileIdentity.h"
#include "foundation/Location.h"
#include "foundation/Ref.h"
#include "resultfiles/Identifier.h"
#include "resultfiles/RecordReaderData.h"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

class U_MacroHistory;

class R_Reader {
public:
  // The name goes to the C runtime as it is.
  explicit R_Reader(std::string fileName);
  ~R_Reader();
  R_Reader(const R_Reader &) = delete;
  R_Reader &operator=(const R_Reader &) = delete;

  // Opens the file for reading ("rb"); true when a stream was obtained.
  bool open();
  // Opens the file and goes to the byte offset; true when both succeed.
  bool openAt(std::uint32_t offset);

  // Whether the file has no byte left. May read one byte ahead, which the
  // next read delivers first. R_ReadingEOFException when that read fails
  // before the end of the file.
  bool atEnd();
  // Exactly count bytes, or R_ReadingReadException (also at the end of the
  // file).
  void readBytes(void *buffer, std::uint64_t count);
  std::uint8_t readByte();
  // 4 bytes little-endian.
  std::uint32_t readInt();
  // int32 length, then that many bytes.
  std::string readString();
  // int32 id: a known id gives its entry; otherwise the id must be the next
  // one of the table, and an int32 length and the text's bytes follow (the
  // text ends at its first NUL).
  U_Identifier readIdentifier();
  // int32 id as for identifiers; a new file brings its canonical and given
  // names as strings.
  QL_Filename readFile();
  // Empties the identifier, file and location tables, in this order; ids
  // start from 0 again.
  void resetTables();

  // Bytes not read yet, the look-ahead byte included; nothing when the file's
  // size cannot be known (not a regular file). Readers check the counts and
  // lengths that a file gives against it before they take room for them.
  std::optional<std::uint64_t> bytesLeft() const;

  R_ReaderData &data() { return m_data; }
  const std::string &fileName() const { return m_fileName; }

private:
  // A text whose length the file gave: the length must be neither negative
  // nor more than the bytes left in the file.
  std::string readText(std::int32_t length);
  std::string m_fileName;
  std::FILE *m_stream = nullptr;
  bool m_lookAheadHeld = false;
  std::uint8_t m_lookAhead = 0;
  R_ReaderData m_data;
  std::optional<std::uint64_t> m_size; // at the opening
  std::uint64_t m_consumed = 0;        // bytes taken from the stream
};

// Throws R_ReadingReadException for bytes that a writer cannot have written.
[[noreturn]] void R_rejectRecord();

// A location: a known id gives its entry, which must not be null (a location
// still being read); otherwise the id must be the next location id and the
// record follows. The location is stored at its id once its parts are read.
U_Location readBinaryLocation(R_Reader &reader);
// A macro history: elements of location, macro name and a byte that is not 0
// when the element's parent follows.
U_RefPtr<U_MacroHistory> readMacroHistory(R_Reader &reader);

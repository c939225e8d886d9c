// Reading an error file of either format back whole: its diagnostics and its
// suppression records, each in file order.
//
// Nothing in the file is trusted. Every failure ends the reading, and the
// open operations give a null handle: what was read before is dropped. On
// standard error a version word of neither format shows "Unknown error file
// format: id=<hex>", and a record that cannot be read whole shows "caught a
// R_ReadingException in getNextMessage()." and "  reason: <text>". Records of
// an unknown type or with a parameter of an unknown kind, and format-1 messages
// with list parameters, end the reading without a line. A count or a length is
// checked against the bytes left in the file before room is taken for it, and
// lists of messages nested deeper than M_maxMessageListNesting end the
// reading. The file is only read, never changed.
#pragma once

#include "foundation/FileIdentity.h"
#include "foundation/Ref.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class M_Diagnostic;
class M_SuppressionRecord;
class R_Reader;

// How deeply lists of messages may nest in a format-2 message: a message in a
// list of a top-level message is at level 1.
inline constexpr std::uint32_t M_maxMessageListNesting = 1000;

class M_InputTamsel : public U_Ref {
public:
  using Diagnostics = std::vector<U_RefPtr<M_Diagnostic>>;
  using SuppressionRecords = std::vector<U_RefPtr<M_SuppressionRecord>>;

  // What getMode tells.
  enum Mode : int {
    M_inputFormat1 = 2,
    M_inputFormat2 = 3,
    M_inputNothingRead = 5, // a file shorter than its version word
  };

  // The error file of the source file in the output directory (names in the
  // internal encoding), read whole; null on any failure.
  static U_RefPtr<M_InputTamsel> open(const std::string &sourceFile, const std::string &outputDirectory);
  // The same in the output directory of the current arguments.
  static U_RefPtr<M_InputTamsel> open(const std::string &sourceFile);
  // The error file at the path, which also serves as the source file.
  static U_RefPtr<M_InputTamsel> openPath(const std::string &path);
  // The error file at the path; format-1 messages are in the source file until
  // a record names another file.
  static U_RefPtr<M_InputTamsel> openWith(const std::string &sourceFile, const std::string &path);
  // As openPath, with nothing on standard error, for a caller that says
  // itself why a file cannot be read: what ends the reading is thrown (the
  // M_ErrorFileException family and R_ReadingException).
  static U_RefPtr<M_InputTamsel> readPath(const std::string &path);

  ~M_InputTamsel() override;
  M_InputTamsel(const M_InputTamsel &) = delete;
  M_InputTamsel &operator=(const M_InputTamsel &) = delete;

  // Every diagnostic read carries a location.
  Diagnostics::const_iterator diagnosticsBegin() const { return m_diagnostics.begin(); }
  Diagnostics::const_iterator diagnosticsEnd() const { return m_diagnostics.end(); }
  SuppressionRecords::const_iterator suppressionRecordsBegin() const { return m_suppressionRecords.begin(); }
  SuppressionRecords::const_iterator suppressionRecordsEnd() const { return m_suppressionRecords.end(); }

  int getMode() const { return m_mode; }
  // The version word read; 0 when the file is shorter than one.
  std::uint32_t getVersion() const { return m_version; }
  // Makes the file of the path (internal encoding) the main file and the
  // current file.
  void setSourceFile(const std::string &path);

  // Reads the file at the path into the reader; throws what ends the reading.
  friend void readErrorFileAll(M_InputTamsel &input, const std::string &path);
  // Reads one record (in format 1, current-file records with the record after
  // them).
  friend void readErrorFileRecord(M_InputTamsel &input);

private:
  M_InputTamsel() = default;

  // Format 1.
  void readTamselFileRecord();
  // Types 0 and 2: the own line, the main-file line, the column field, the
  // number, the flags in type 2, and one text.
  void readTamselTextMessage(bool withFlags);
  void readTamselMessage3();
  void readTamselParams(M_Diagnostic &diagnostic);
  std::string readTamselString();
  // A message at its own line in the current file, reached from the main file
  // at mainLine unless that is -1; columnField is the column - 1.
  U_RefPtr<M_Diagnostic> tamselDiagnostic(std::int32_t line, std::int32_t mainLine, std::int32_t columnField,
                                          std::uint32_t number) const;

  std::unique_ptr<R_Reader> m_reader; // open until the reader goes
  QL_Filename m_currentFile;
  QL_Filename m_mainFile;
  std::int32_t m_reservedWord = 0;
  int m_mode = M_inputNothingRead;
  Diagnostics m_diagnostics;
  SuppressionRecords m_suppressionRecords;
  std::uint32_t m_version = 0;
};

void readErrorFileAll(M_InputTamsel &input, const std::string &path);
void readErrorFileRecord(M_InputTamsel &input);

// Whether the error file at the path (in the internal encoding) reads back
// whole, as the open operations read it; nothing goes to standard error.
bool M_errorFileReadsBack(const std::string &path);
// As M_InputTamsel::open, with nothing on standard error: for a caller that
// says itself what becomes of a file that cannot be read.
U_RefPtr<M_InputTamsel> M_openErrorFileQuietly(const std::string &sourceFile,
                                               const std::string &outputDirectory);

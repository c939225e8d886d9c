#include "resultfiles/ErrorFileInput.h"

#include "cmdline/ProductEnvironment.h"
#include "foundation/Location.h"
#include "foundation/PathText.h"
#include "foundation/TextConversion.h"
#include "messages/Diagnostic.h"
#include "messages/SuppressionRecord.h"
#include "resultfiles/ErrorFileExceptions.h"
#include "resultfiles/ErrorFileFormat1.h"
#include "resultfiles/ErrorFileFormat2.h"
#include "resultfiles/ErrorFilePath.h"
#include "resultfiles/RecordExceptions.h"
#include "resultfiles/RecordReader.h"

#include <algorithm>
#include <cerrno>
#include <iostream>
#include <optional>
#include <sstream>
#include <utility>

namespace {

// The fewest bytes that an item of a counted list can take: a parameter is a
// kind byte and at least an int32; a message body a location id and four
// int32; a string its length; a message range two strings.
constexpr std::uint64_t minParameterBytes = 1 + 4;
constexpr std::uint64_t minBodyBytes = 4 + 4 * 4;
constexpr std::uint64_t minStringBytes = 4;
constexpr std::uint64_t minRangeBytes = 2 * minStringBytes;

// Rejects a count of items that the rest of the file cannot hold; a count of
// 0 or less stands for no item.
void requireRoom(const R_Reader &reader, std::int32_t count, std::uint64_t minimumBytes) {
  if (count <= 0)
    return;
  const std::optional<std::uint64_t> left = reader.bytesLeft();
  if (left && static_cast<std::uint64_t>(count) * minimumBytes > *left)
    R_rejectRecord();
}

std::int32_t readSigned(R_Reader &reader) { return static_cast<std::int32_t>(reader.readInt()); }

// Whether a flag word has the bit of that value.
bool hasValue(std::uint32_t word, std::uint32_t value) { return (word & value) != 0; }

// Flags of format-1 messages: 1 hidden by a pragma, 2 hidden by the user;
// either also sets the hidden flag.
void setTamselFlags(M_Diagnostic &diagnostic, std::uint32_t flags) {
  diagnostic.setHiddenByPragma(hasValue(flags, 1));
  diagnostic.setHiddenByUser(hasValue(flags, 2));
  diagnostic.setHidden(hasValue(flags, 1) || hasValue(flags, 2));
}

std::string hexText(std::uint32_t value) {
  std::ostringstream text;
  text << std::hex << value;
  return text.str();
}

// Format 2.

void readTamsel2Opening(R_Reader &reader) {
  reader.resetTables();
  const std::int32_t count = readSigned(reader);
  requireRoom(reader, count, 1);
  char skipped[256];
  for (std::int32_t left = count; left > 0;) {
    const std::int32_t piece = std::min<std::int32_t>(left, static_cast<std::int32_t>(sizeof skipped));
    reader.readBytes(skipped, static_cast<std::uint64_t>(piece));
    left -= piece;
  }
}

// A message body at the nesting level given (0 for a record's own body).
U_RefPtr<M_Diagnostic> readTamsel2MessageBody(R_Reader &reader, std::uint32_t nesting) {
  const U_Location location = readBinaryLocation(reader);
  const std::uint32_t number = reader.readInt();
  const std::uint32_t flags = reader.readInt();
  const std::uint32_t error = reader.readInt();
  U_RefPtr<M_Diagnostic> diagnostic(new M_Diagnostic(number, location));
  diagnostic->setHiddenByPragma(hasValue(flags, M_tamsel2Suppressed));
  diagnostic->setHiddenByUser(hasValue(flags, M_tamsel2HiddenByUser));
  diagnostic->setError(error != 0);
  const std::int32_t parameters = readSigned(reader);
  requireRoom(reader, parameters, minParameterBytes);
  for (std::int32_t i = 0; i < parameters; ++i) {
    switch (reader.readByte()) {
    case M_tamsel2TextParam:
      diagnostic->addParameter(reader.readString());
      break;
    case M_tamsel2ListParam: {
      const std::int32_t count = readSigned(reader);
      requireRoom(reader, count, minStringBytes);
      std::vector<std::string> texts;
      for (std::int32_t j = 0; j < count; ++j)
        texts.push_back(reader.readString());
      diagnostic->addParameter(texts);
      break;
    }
    case M_tamsel2MessageListParam: {
      const std::int32_t count = readSigned(reader);
      requireRoom(reader, count, minBodyBytes);
      if (count > 0 && nesting >= M_maxMessageListNesting)
        R_rejectRecord();
      std::vector<U_RefPtr<M_Diagnostic>> nested;
      for (std::int32_t j = 0; j < count; ++j)
        nested.push_back(readTamsel2MessageBody(reader, nesting + 1));
      diagnostic->addParameter(std::move(nested));
      break;
    }
    default:
      // No writer makes another kind, and its value has no known length:
      // nothing after it could be read for what it is.
      throw M_BadInfoTypeException();
    }
  }
  return diagnostic;
}

U_RefPtr<M_Diagnostic> readTamsel2Message(R_Reader &reader) {
  U_RefPtr<M_Diagnostic> diagnostic = readTamsel2MessageBody(reader, 0);
  reader.readInt(); // the trailer
  return diagnostic;
}

U_RefPtr<M_SuppressionRecord> readTamsel2Suppression(R_Reader &reader) {
  const std::uint8_t kind = reader.readByte();
  const U_Location location = readBinaryLocation(reader);
  const std::string name = reader.readString();
  const std::int32_t count = readSigned(reader);
  requireRoom(reader, count, minRangeBytes);
  M_SuppressionRecord::Ranges ranges;
  for (std::int32_t i = 0; i < count; ++i) {
    std::string from = reader.readString();
    ranges.emplace_back(std::move(from), reader.readString());
  }
  reader.readByte(); // the marker
  const U_Location start = readBinaryLocation(reader);
  const U_Location end = reader.readByte() != 0 ? readBinaryLocation(reader) : U_Location();
  return U_RefPtr<M_SuppressionRecord>(new M_SuppressionRecord(kind, location, name, ranges, start, end));
}

// Set while a file is only checked: its failures then go unreported.
bool &quietReading() {
  static bool quiet = false;
  return quiet;
}

void reportUnreadableRecord(const R_ReadingException &error) {
  if (quietReading())
    return;
  std::cerr << "caught a R_ReadingException in getNextMessage()." << std::endl
            << "  reason: " << error.what() << std::endl;
}

} // namespace

U_RefPtr<M_InputTamsel> M_InputTamsel::open(const std::string &sourceFile,
                                            const std::string &outputDirectory) {
  return openWith(sourceFile, errorFilePath(outputDirectory, sourceFile));
}

U_RefPtr<M_InputTamsel> M_InputTamsel::open(const std::string &sourceFile) {
  return open(sourceFile, outputDirectory());
}

U_RefPtr<M_InputTamsel> M_InputTamsel::openPath(const std::string &path) { return openWith(path, path); }

U_RefPtr<M_InputTamsel> M_InputTamsel::openWith(const std::string &sourceFile, const std::string &path) {
  U_RefPtr<M_InputTamsel> input(new M_InputTamsel);
  try {
    input->setSourceFile(sourceFile);
    readErrorFileAll(*input, path);
  } catch (...) {
    // Whatever ends the reading, the file counts as unreadable.
    return U_RefPtr<M_InputTamsel>();
  }
  return input;
}

namespace {

// Keeps the reading quiet while it lives.
struct QuietReading {
  QuietReading() { quietReading() = true; }
  ~QuietReading() { quietReading() = false; }
  QuietReading(const QuietReading &) = delete;
  QuietReading &operator=(const QuietReading &) = delete;
};

} // namespace

U_RefPtr<M_InputTamsel> M_InputTamsel::readPath(const std::string &path) {
  const QuietReading quiet;
  U_RefPtr<M_InputTamsel> input(new M_InputTamsel);
  input->setSourceFile(path);
  readErrorFileAll(*input, path);
  return input;
}

bool M_errorFileReadsBack(const std::string &path) {
  const QuietReading quiet;
  return M_InputTamsel::openPath(path).isSet();
}

U_RefPtr<M_InputTamsel> M_openErrorFileQuietly(const std::string &sourceFile,
                                               const std::string &outputDirectory) {
  const QuietReading quiet;
  return M_InputTamsel::open(sourceFile, outputDirectory);
}

M_InputTamsel::~M_InputTamsel() {
  // The file closes before the lists go.
  m_reader.reset();
}

void M_InputTamsel::setSourceFile(const std::string &path) {
  m_mainFile = QL_Filename::fromPath(QL_toForwardSlashes(path));
  m_currentFile = m_mainFile;
}

void readErrorFileAll(M_InputTamsel &input, const std::string &path) {
  const std::string name = QL_fromInternal(path);
  input.m_reader = std::make_unique<R_Reader>(name);
  R_Reader &reader = *input.m_reader;
  if (!reader.open())
    throw M_BadFileOpenException(name, errno);
  try {
    input.m_version = reader.readInt();
  } catch (const R_ReadingException &error) {
    if (reader.atEnd())
      return; // shorter than a version word: nothing to read
    throw M_BadFileOpenException(name, error.errorNumber());
  }
  switch (input.m_version) {
  case 0x7700:
  case 0x7800:
  case 0x7900:
    input.m_mode = M_InputTamsel::M_inputFormat1;
    break;
  case 0x8100:
  case 0x8200:
  case 0x9100:
  case 0x9200:
  case 0x9300:
    input.m_mode = M_InputTamsel::M_inputFormat2;
    break;
  default:
    if (!quietReading())
      std::cerr << "Unknown error file format: id=" << hexText(input.m_version) << std::endl;
    throw M_BadErrorFileVersion(input.m_version);
  }
  input.m_reservedWord = readSigned(reader);
  while (!reader.atEnd()) {
    try {
      readErrorFileRecord(input);
    } catch (const R_ReadingException &error) {
      reportUnreadableRecord(error);
      throw;
    }
  }
}

void readErrorFileRecord(M_InputTamsel &input) {
  R_Reader &reader = *input.m_reader;
  if (input.m_mode == M_InputTamsel::M_inputFormat2) {
    switch (reader.readByte()) {
    case M_tamsel2Opening:
      readTamsel2Opening(reader);
      return;
    case M_tamsel2Body:
      input.m_diagnostics.push_back(readTamsel2MessageBody(reader, 0));
      return;
    case M_tamsel2Suppression:
      input.m_suppressionRecords.push_back(readTamsel2Suppression(reader));
      return;
    case M_tamsel2Message:
      input.m_diagnostics.push_back(readTamsel2Message(reader));
      return;
    default:
      throw M_BadInfoTypeException();
    }
  }
  // A current-file record and the record after it are one step. Taken in a
  // loop: a file may hold any number of them in a row.
  std::uint32_t type = reader.readInt();
  while (type == M_tamselFileRecord) {
    input.readTamselFileRecord();
    type = reader.readInt();
  }
  switch (type) {
  case M_tamselMessage0:
    input.readTamselTextMessage(false);
    return;
  case M_tamselMessage2:
    input.readTamselTextMessage(true);
    return;
  case M_tamselMessage3:
    input.readTamselMessage3();
    return;
  default:
    throw M_BadInfoTypeException();
  }
}

std::string M_InputTamsel::readTamselString() {
  std::string text = m_reader->readString();
  if (!text.empty() && text.back() == '\0')
    text.pop_back();
  return text;
}

void M_InputTamsel::readTamselFileRecord() {
  m_currentFile = QL_Filename::fromPath(QL_toForwardSlashes(QL_toInternal(readTamselString())));
}

U_RefPtr<M_Diagnostic> M_InputTamsel::tamselDiagnostic(std::int32_t line, std::int32_t mainLine,
                                                       std::int32_t columnField, std::uint32_t number) const {
  // Unsigned arithmetic: the field of column 0 is FF FF FF FF.
  const auto column = static_cast<std::int32_t>(static_cast<std::uint32_t>(columnField) + 1u);
  const U_Location location =
      mainLine == -1 ? U_Location(m_currentFile, line, column)
                     : U_Location(U_Location(m_mainFile, mainLine, 0), m_currentFile, line, column);
  return U_RefPtr<M_Diagnostic>(new M_Diagnostic(number, location));
}

void M_InputTamsel::readTamselTextMessage(bool withFlags) {
  R_Reader &reader = *m_reader;
  const std::int32_t line = readSigned(reader);
  const std::int32_t mainLine = readSigned(reader);
  const std::int32_t columnField = readSigned(reader);
  const std::uint32_t number = reader.readInt();
  const std::uint32_t flags = withFlags ? reader.readInt() : 0;
  U_RefPtr<M_Diagnostic> diagnostic = tamselDiagnostic(line, mainLine, columnField, number);
  if (const std::string text = readTamselString(); !text.empty())
    diagnostic->addParameter(text);
  setTamselFlags(*diagnostic, flags);
  m_diagnostics.push_back(diagnostic);
}

void M_InputTamsel::readTamselMessage3() {
  R_Reader &reader = *m_reader;
  const std::int32_t first = readSigned(reader);
  const std::int32_t second = readSigned(reader);
  const std::int32_t columnField = readSigned(reader);
  const std::uint32_t number = reader.readInt();
  const std::uint32_t flags = reader.readInt();
  const std::uint32_t error = reader.readInt();
  // The main-file line comes first when the message was in an included file.
  U_RefPtr<M_Diagnostic> diagnostic = second == -1 ? tamselDiagnostic(first, -1, columnField, number)
                                                   : tamselDiagnostic(second, first, columnField, number);
  readTamselParams(*diagnostic);
  setTamselFlags(*diagnostic, flags);
  diagnostic->setError(hasValue(error, 1));
  m_diagnostics.push_back(diagnostic);
}

void M_InputTamsel::readTamselParams(M_Diagnostic &diagnostic) {
  const std::int32_t count = readSigned(*m_reader);
  // The strings, then the closing int32.
  requireRoom(*m_reader, count, minStringBytes);
  for (std::int32_t i = 0; i < count; ++i)
    diagnostic.addParameter(readTamselString());
  if (m_reader->readInt() != 0)
    throw M_HasListParameterException();
}

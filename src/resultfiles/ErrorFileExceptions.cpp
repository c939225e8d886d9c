#include "resultfiles/ErrorFileExceptions.h"

#include "platform/AppendProtocol.h"

#include <cstring>
#include <sstream>
#include <utility>

namespace {

// Digits a to f in lower case, no prefix, no leading zeros.
std::string hexText(std::uint32_t value) {
  std::ostringstream text;
  text << std::hex << value;
  return text.str();
}

// " (<the system's text of the errno>)"; nothing for 0.
std::string reasonText(int error) {
  return error == 0 ? std::string() : " (" + std::string(std::strerror(error)) + ")";
}

std::string badFileOpenText(const std::string &fileName, int error) {
  return "Cannot write error file '" + fileName + "'" + reasonText(error) + ".";
}

std::string putBackText(const std::string &fileName, std::uint64_t length, const std::string &journal,
                        bool afterWrite, int syncError, int writeError) {
  std::string text = afterWrite ? badFileOpenText(fileName, writeError) + "\n" : std::string();
  std::string line(2 * (fileName.size() + journal.size()) + 512, '\0');
  const char *kept = journal.empty() ? nullptr : journal.c_str();
  line.resize(syncError != 0
                  ? platform::putBackSyncFailureText(line.data(), line.size(), fileName.c_str(), length,
                                                     syncError, kept)
                  : platform::putBackFailureText(line.data(), line.size(), fileName.c_str(), length, kept));
  return text + line;
}

std::string appendJournalText(M_AppendJournalException::Kind kind, const std::string &fileName,
                              const std::string &journal, int error, std::uint64_t length) {
  using Kind = M_AppendJournalException::Kind;
  const std::string reason = reasonText(error);
  switch (kind) {
  case Kind::cannotCheck:
    return "Cannot check error file '" + fileName + "' against its journal '" + journal + "'" + reason +
           "; both are left as they are.";
  case Kind::cannotSync:
    return putBackText(fileName, length, journal, false, error, 0);
  case Kind::cannotRemove:
    return "Cannot remove journal '" + journal + "' of error file '" + fileName + "'" + reason +
           "; the file is left as it is, and no run adds to it while the journal is there.";
  case Kind::cannotRemoveOwn:
    return "Cannot remove journal '" + journal + "' of error file '" + fileName + "'" + reason +
           "; this run's findings are taken back out of the file, and no run adds to it while the journal "
           "is there.";
  case Kind::cannotWrite:
    return "Cannot write journal '" + journal + "' of error file '" + fileName + "' to disk" + reason +
           "; nothing is added to the file.";
  }
  return std::string();
}

std::string badVersionForAppendText(std::uint32_t version) {
  return "Cannot append to error file with incorrect version.  Error file has version: " + hexText(version) +
         ". Expected: " + hexText(M_writtenErrorFileVersion) + "\n";
}

std::string badErrorFileVersionText(std::uint32_t version) {
  return "Error file has incorrect version: " + hexText(version) +
         ". Expected: " + hexText(M_writtenErrorFileVersion) + "\n";
}

// The texts with a value in them: one process-wide string a class, made
// again at each call of what().
template <class Class> const char *keptText(std::string text) {
  static std::string kept;
  kept = std::move(text);
  return kept.c_str();
}

} // namespace

M_ErrorFileException::M_ErrorFileException() = default;

M_ErrorFileException::M_ErrorFileException(const std::string &message) : U_UserException(message) {}

M_BadFileOpenException::M_BadFileOpenException(std::string fileName, int error)
    : M_ErrorFileException(badFileOpenText(fileName, error)), m_fileName(std::move(fileName)),
      m_error(error) {}

const char *M_BadFileOpenException::what() const noexcept {
  return keptText<M_BadFileOpenException>(badFileOpenText(m_fileName, m_error));
}

M_FilePutBackException::M_FilePutBackException(std::string fileName, std::uint64_t length,
                                               std::string journal, bool afterWrite, int syncError,
                                               int writeError)
    : M_ErrorFileException(putBackText(fileName, length, journal, afterWrite, syncError, writeError)),
      m_fileName(std::move(fileName)), m_length(length), m_journal(std::move(journal)),
      m_afterWrite(afterWrite), m_syncError(syncError), m_writeError(writeError) {}

const char *M_FilePutBackException::what() const noexcept {
  return keptText<M_FilePutBackException>(
      putBackText(m_fileName, m_length, m_journal, m_afterWrite, m_syncError, m_writeError));
}

M_AppendJournalException::M_AppendJournalException(Kind kind, std::string fileName, std::string journal,
                                                   int error, std::uint64_t length)
    : M_ErrorFileException(appendJournalText(kind, fileName, journal, error, length)), m_kind(kind),
      m_fileName(std::move(fileName)), m_journal(std::move(journal)), m_error(error), m_length(length) {}

const char *M_AppendJournalException::what() const noexcept {
  return keptText<M_AppendJournalException>(
      appendJournalText(m_kind, m_fileName, m_journal, m_error, m_length));
}

M_BadVersionForAppendException::M_BadVersionForAppendException(std::uint32_t version)
    : M_ErrorFileException(badVersionForAppendText(version)), m_version(version) {}

const char *M_BadVersionForAppendException::what() const noexcept {
  return keptText<M_BadVersionForAppendException>(badVersionForAppendText(m_version));
}

M_BadErrorFileVersion::M_BadErrorFileVersion(std::uint32_t version)
    : M_ErrorFileException(badErrorFileVersionText(version)), m_version(version) {}

const char *M_BadErrorFileVersion::what() const noexcept {
  return keptText<M_BadErrorFileVersion>(badErrorFileVersionText(m_version));
}

#define M_FIXED_TEXT_ERROR(Name, text)                                                                       \
  Name::Name() : M_ErrorFileException(text) {}                                                               \
  const char *Name::what() const noexcept { return text; }

M_FIXED_TEXT_ERROR(M_BadTextReadException, "problems reading a text string from error file")
M_FIXED_TEXT_ERROR(M_BadIntWriteException, "problems writing an int from error file")
M_FIXED_TEXT_ERROR(M_BadTextWriteException, "problems writing a text string from error file")
M_FIXED_TEXT_ERROR(M_BadInfoTypeException, "unknown error record type in error file")
M_FIXED_TEXT_ERROR(M_HasListParameterException, "error file has string list parameter")
M_FIXED_TEXT_ERROR(M_BadIntReadException, "problems reading an int from error file")
M_FIXED_TEXT_ERROR(M_EOFException, "M_EOFException")

// The errors of the error files: opening, probing, writing and reading them.
// Handlers catch the whole family as M_ErrorFileException.
#pragma once

#include "foundation/Exception.h"

#include <cstdint>
#include <string>

// The version word that this system writes into a new file of format 2, and
// that the version errors name as the one expected.
inline constexpr std::uint32_t M_writtenErrorFileVersion = 0x9300;

// Base of the family; never thrown by itself. Its text is that of
// U_UserException.
class M_ErrorFileException : public U_UserException {
public:
  M_ErrorFileException();
  explicit M_ErrorFileException(const std::string &message);
  M_ErrorFileException(const M_ErrorFileException &) = default;
  ~M_ErrorFileException() override = default;
};

// An error file that cannot be opened, probed, written or closed (also one to
// be read).
class M_BadFileOpenException : public M_ErrorFileException {
public:
  // The name as handed to the operating system; error the errno of the
  // failure, 0 when there is none to tell.
  explicit M_BadFileOpenException(std::string fileName, int error = 0);
  M_BadFileOpenException(const M_BadFileOpenException &) = default;
  ~M_BadFileOpenException() override = default;
  // "Cannot write error file '<name>' (<reason>).", the reason the system's
  // text of the errno; without the reason for 0.
  const char *what() const noexcept override;
  const std::string &fileName() const { return m_fileName; }
  int error() const { return m_error; }

private:
  std::string m_fileName;
  int m_error;
};

// An error file that could not be put back to the length it had before a
// run appended to it: after this run's own write failed (afterWrite), or after
// another run ended while writing it. Its journal, when it has one, stays, so
// that a later run can put it back.
class M_FilePutBackException : public M_ErrorFileException {
public:
  // The name as handed to the operating system; journal empty when there is
  // none; syncError the errno of a cut that was made but could not be synced,
  // 0 for a cut that could not be made; writeError the errno of the failed
  // write (0 when there is none to tell).
  M_FilePutBackException(std::string fileName, std::uint64_t length, std::string journal, bool afterWrite,
                         int syncError = 0, int writeError = 0);
  M_FilePutBackException(const M_FilePutBackException &) = default;
  ~M_FilePutBackException() override = default;
  // After a failed write the line of M_BadFileOpenException and a newline;
  // then "Cannot put file '<name>' back to its length of <length> bytes; its
  // journal '<journal>' is kept, so that a later run puts it back." (see
  // platform::putBackFailureText), or, for a cut that could not be synced,
  // "Cannot sync error file '<name>' after putting it back to its length of
  // <length> bytes (<reason>); its journal '<journal>' is kept, so that a
  // later run puts it back." (platform::putBackSyncFailureText).
  const char *what() const noexcept override;
  const std::string &fileName() const { return m_fileName; }

private:
  std::string m_fileName;
  std::uint64_t m_length;
  std::string m_journal;
  bool m_afterWrite;
  int m_syncError;
  int m_writeError;
};

// An error file that no run may add to because of its append journal: the
// file and the journal could not be held against each other, a put-back could
// not be synced, a journal could not be removed, or the journal of this run's
// append is not known to be on disk. Each is one line that names the file and
// the journal, and says what became of them.
class M_AppendJournalException : public M_ErrorFileException {
public:
  enum class Kind {
    // "Cannot check error file '<name>' against its journal '<journal>'
    // (<reason>); both are left as they are."
    cannotCheck,
    // "Cannot sync error file '<name>' after putting it back to its length of
    // <length> bytes (<reason>); its journal '<journal>' is kept, so that a
    // later run puts it back."
    cannotSync,
    // "Cannot remove journal '<journal>' of error file '<name>' (<reason>); the
    // file is left as it is, and no run adds to it while the journal is
    // there."
    cannotRemove,
    // "Cannot remove journal '<journal>' of error file '<name>' (<reason>);
    // this run's findings are taken back out of the file, and no run adds to
    // it while the journal is there."
    cannotRemoveOwn,
    // "Cannot write journal '<journal>' of error file '<name>' to disk
    // (<reason>); nothing is added to the file."
    cannotWrite,
  };
  // The names as handed to the operating system; error an errno.
  M_AppendJournalException(Kind kind, std::string fileName, std::string journal, int error,
                           std::uint64_t length = 0);
  M_AppendJournalException(const M_AppendJournalException &) = default;
  ~M_AppendJournalException() override = default;
  const char *what() const noexcept override;
  Kind kind() const { return m_kind; }

private:
  Kind m_kind;
  std::string m_fileName;
  std::string m_journal;
  int m_error;
  std::uint64_t m_length;
};

// An existing error file too short to hold its version word.
class M_BadTextReadException : public M_ErrorFileException {
public:
  M_BadTextReadException();
  // "problems reading a text string from error file"
  const char *what() const noexcept override;
};

// An existing error file whose version this system does not append to.
class M_BadVersionForAppendException : public M_ErrorFileException {
public:
  explicit M_BadVersionForAppendException(std::uint32_t version);
  M_BadVersionForAppendException(const M_BadVersionForAppendException &) = default;
  ~M_BadVersionForAppendException() override = default;
  // "Cannot append to error file with incorrect version.  Error file has
  // version: <hex>. Expected: 9300" and an end of line.
  const char *what() const noexcept override;
  std::uint32_t version() const { return m_version; }

private:
  std::uint32_t m_version;
};

// An error file to be read whose version is not one of either format.
class M_BadErrorFileVersion : public M_ErrorFileException {
public:
  explicit M_BadErrorFileVersion(std::uint32_t version);
  M_BadErrorFileVersion(const M_BadErrorFileVersion &) = default;
  ~M_BadErrorFileVersion() override = default;
  // "Error file has incorrect version: <hex>. Expected: 9300" and an end of
  // line.
  const char *what() const noexcept override;
  std::uint32_t version() const { return m_version; }

private:
  std::uint32_t m_version;
};

// The errors with a fixed text.
#define M_FIXED_TEXT_ERROR(Name)                                                                             \
  class Name : public M_ErrorFileException {                                                                 \
  public:                                                                                                    \
    Name();                                                                                                  \
    const char *what() const noexcept override;                                                              \
  };

// A format-1 integer that did not reach the file whole: "problems writing an
// int from error file".
M_FIXED_TEXT_ERROR(M_BadIntWriteException)
// A format-1 string that did not reach the file whole: "problems writing a
// text string from error file".
M_FIXED_TEXT_ERROR(M_BadTextWriteException)
// A record type that neither format has: "unknown error record type in error
// file".
M_FIXED_TEXT_ERROR(M_BadInfoTypeException)
// A format-1 message with string-list parameters: "error file has string list
// parameter".
M_FIXED_TEXT_ERROR(M_HasListParameterException)
// "problems reading an int from error file".
M_FIXED_TEXT_ERROR(M_BadIntReadException)
// "M_EOFException".
M_FIXED_TEXT_ERROR(M_EOFException)

#undef M_FIXED_TEXT_ERROR
